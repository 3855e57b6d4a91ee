// Replacing a file safely against other users, other runs and crashes on a POSIX system: what is put in
// place is what was written, nothing but a regular file is replaced or read, the old file's owner and
// attributes stay, and left-over temporary files go.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "support/failure.h"
#include "support/replacement_file.h"
#include "support/settings.h"
#include "support/temp_folder.h"

namespace fernkartei::support {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr uid_t kNobody = 65534;

struct stat StatOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
  return info;
}

void Replace(const std::string& target, const std::string& bytes) {
  ReplacementFile file(target);
  file.Open().Write(bytes);
  file.Commit();
}

TEST(ReplacementSafety, ATemporaryFileSwappedForALinkIsNeitherChangedNorPutInPlace) {
  testing::TempFolder folder;
  const std::string victim = folder.Write("geheim", "geheim");
  ::chmod(victim.c_str(), 0600);
  const std::string target = folder.Write("nfon.csv", "alt");
  ::chmod(target.c_str(), 0666);
  ReplacementFile file(target);
  file.Open().Write("neu");
  fs::remove(file.temporary_path());
  fs::create_symlink(victim, file.temporary_path());
  EXPECT_THROW(file.Commit(), Failure);
  EXPECT_EQ(StatOf(victim).st_mode & 07777, 0600U);
  EXPECT_TRUE(S_ISREG(StatOf(target).st_mode));
  EXPECT_EQ(folder.Read("nfon.csv"), "alt");
}

// A link of the user (or of root) is followed and its target replaced; a link of anyone else and
// anything but a regular file are refused before a byte is written.
TEST(ReplacementSafety, OnlyRegularFilesAndTheLinksOfTheUserAreReplaced) {
  struct Case {
    const char* what;
    std::function<void(const testing::TempFolder&)> make;  // makes "nfon.csv"
    bool replaced;
    bool needs_root;
  };
  const auto link = [](uid_t owner) {
    return [owner](const testing::TempFolder& f) {
      fs::create_directory(f.path() / "echt");
      f.Write("echt/nfon.csv", "alt");
      fs::create_symlink("echt/nfon.csv", f.path() / "nfon.csv");
      ASSERT_EQ(::lchown((f / "nfon.csv").c_str(), owner, owner), 0);
    };
  };
  const Case cases[] = {
      {"own link", link(::geteuid()), true, false},
      {"link of another user", link(kNobody), false, true},
      {"FIFO", [](const auto& f) { ::mkfifo((f / "nfon.csv").c_str(), 0600); }, false, false},
      {"folder", [](const auto& f) { fs::create_directory(f.path() / "nfon.csv"); }, false, false},
  };
  for (const auto& c : cases) {
    if (c.needs_root && ::geteuid() != 0) continue;
    testing::TempFolder folder;
    c.make(folder);
    const fs::file_type before = fs::symlink_status(folder.path() / "nfon.csv").type();
    if (c.replaced) {
      Replace(folder / "nfon.csv", "neu");
      EXPECT_EQ(folder.Read("echt/nfon.csv"), "neu") << c.what;
    } else {
      EXPECT_THROW(ReplacementFile(folder / "nfon.csv").Open(), Failure) << c.what;
    }
    EXPECT_EQ(fs::symlink_status(folder.path() / "nfon.csv").type(), before) << c.what;
  }
}

// An ACL granting read access to one group, as the kernel stores it: version 2, then (tag, permissions,
// id) for the owner, the owning group, the named group, the mask and the others.
std::string AclReadableBy(uint32_t group) {
  std::string acl;
  const auto put = [&acl](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) acl += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  put(2, 4);
  const uint32_t entries[][3] = {
      {0x01, 6, ~0U}, {0x04, 4, ~0U}, {0x08, 4, group}, {0x10, 4, ~0U}, {0x20, 0, ~0U}};
  for (const auto& entry : entries) put(entry[0], 2), put(entry[1], 2), put(entry[2], 4);
  return acl;
}

std::string Attribute(const std::string& path, const char* name) {
  char value[256];
  const ssize_t size = ::getxattr(path.c_str(), name, value, sizeof value);
  return size < 0 ? "" : std::string(value, static_cast<std::size_t>(size));
}

TEST(ReplacementSafety, TheNewFileIsPrivateUntilCompleteThenTakesTheOldOnesOwnerRightsAndAttributes) {
  testing::TempFolder folder;
  const std::string target = folder.Write("nfon.csv", "alt");
  const std::string acl = AclReadableBy(kNobody);
  const bool attributes =
      ::setxattr(target.c_str(), "user.telefonanlage", "pbx", 3, 0) == 0 &&
      ::setxattr(target.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(target.c_str(), kNobody, kNobody), 0);
  }
  const struct stat old = StatOf(target);
  const mode_t mask = ::umask(0);
  ReplacementFile file(target);
  file.Open().Write("neu");
  EXPECT_EQ(StatOf(file.temporary_path()).st_mode & 07777, 0600U);
  file.Commit();
  ::umask(mask);
  const struct stat now = StatOf(target);
  EXPECT_EQ(folder.Read("nfon.csv"), "neu");
  EXPECT_EQ(now.st_mode & 07777, old.st_mode & 07777);
  EXPECT_EQ(now.st_uid, old.st_uid);
  EXPECT_EQ(now.st_gid, old.st_gid);
  if (!attributes) GTEST_SKIP() << "no extended attributes in " << folder.path();
  EXPECT_EQ(Attribute(target, "user.telefonanlage"), "pbx");
  EXPECT_EQ(Attribute(target, "system.posix_acl_access"), acl);
}

// Killed runs leave their temporary files; the next run removes those of the user that nobody holds.
TEST(ReplacementSafety, LeftOverTemporaryFilesOfTheUserGoWhenNoRunHoldsThem) {
  testing::TempFolder folder;
  const std::string target = folder.Write("nfon.csv", "alt");
  folder.Write(".fernkartei-0123abcd.tmp", "abgebrochen");
  folder.Write(".nfon.csv.0123abcd.tmp", "fremdes Muster");
  const auto held = PlatformFileSystem().CreateNew(folder / ".fernkartei-89abcdef.tmp");
  const bool root = ::geteuid() == 0;
  if (root) {
    EXPECT_EQ(::chown(folder.Write(".fernkartei-fedcba98.tmp", "x").c_str(), kNobody, kNobody), 0);
  }
  ReplacementFile(target).Prepare();
  EXPECT_FALSE(fs::exists(folder.path() / ".fernkartei-0123abcd.tmp"));
  EXPECT_TRUE(fs::exists(folder.path() / ".nfon.csv.0123abcd.tmp"));
  EXPECT_TRUE(fs::exists(folder.path() / ".fernkartei-89abcdef.tmp"));
  EXPECT_EQ(fs::exists(folder.path() / ".fernkartei-fedcba98.tmp"), root);
}

TEST(ReplacementSafety, ATargetNameOfTheLongestLengthIsReplaced) {
  testing::TempFolder folder;
  const std::string name = std::string(251, 'n') + ".csv";
  folder.Write(name, "alt");
  Replace(folder / name, "neu");
  EXPECT_EQ(folder.Read(name), "neu");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

// A second run on the same file waits for the first one; when that takes too long, it gives up.
TEST(ReplacementSafety, ASecondRunOnTheSameFileWaitsAndThenGivesUp) {
  testing::TempFolder folder;
  const std::string target = folder.Write("nfon.csv", "alt");
  std::optional<ReplacementFile> first(std::in_place, target);
  first->Open().Write("erster");
  EXPECT_THROW(ReplacementFile(target, PlatformFileSystem(), 200ms).Prepare(), Failure);
  std::thread finish([&first] {
    std::this_thread::sleep_for(100ms);
    first->Commit();
  });
  ReplacementFile second(target, PlatformFileSystem(), 5s);
  second.Open().Write("zweiter");
  finish.join();
  second.Commit();
  EXPECT_EQ(folder.Read("nfon.csv"), "zweiter");
}

// Run in a child that an alarm ends, so that a read that never returns fails the test instead of
// hanging it.
TEST(ReplacementSafety, ASettingsFileThatIsAFifoIsNeitherWaitedForNorReplaced) {
  testing::TempFolder folder;
  const std::string path = folder / "system.ini";
  SettingsFile settings(path, ErrorLog(folder / "error_log.txt"));
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(5);
    const bool defaulted = settings.Get("Fernkartei", "Typ", "0") == "0";
    settings.Write("Fernkartei", "Typ", "1");
    ::_exit(defaulted ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  struct stat info {};
  ASSERT_EQ(::lstat(path.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

}  // namespace
}  // namespace fernkartei::support
