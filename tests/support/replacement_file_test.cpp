// Replacing a file on a POSIX system against other users, other runs, crashes and failing disks: what is
// put in place is what was written, nothing but a regular file or a link of the user is replaced, the old
// file's owner and attributes stay, a failure keeps the old file, and left-over temporary files go.

#include "support/replacement_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "fakes/failing_file_system.h"
#include "fixtures/failure_number.h"
#include "fixtures/temp_folder.h"
#include "support/settings.h"

namespace fernkartei::support {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using fakes::FileCall;
using testing::TempFolder;

constexpr uid_t kNobody = 65534;
constexpr const char* kAcl = "system.posix_acl_access";

struct stat StatOf(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info;
}

std::string Attribute(const std::string& path, const char* name) {
  char value[256];
  const ssize_t size = ::getxattr(path.c_str(), name, value, sizeof value);
  return size < 0 ? "" : std::string(value, static_cast<std::size_t>(size));
}

std::size_t EntryCount(const TempFolder& folder) {
  return static_cast<std::size_t>(std::distance(fs::recursive_directory_iterator(folder.path()), {}));
}

using Maker = std::function<std::string(const TempFolder&)>;  // makes the target, returns its path

Maker OldFile(mode_t mode, const std::string& name = "nfon.csv") {
  return [=](const TempFolder& f) {
    const std::string path = f.Write(name, "alt");
    ::chmod(path.c_str(), mode);
    return path;
  };
}

// "nfon.csv", a link to "echt/nfon.csv"; nothing where the owner cannot be given (another user's, as
// a user).
Maker LinkOf(uid_t owner) {
  return [=](const TempFolder& f) {
    OldFile(0640, "echt/nfon.csv")(f);
    fs::create_symlink("echt/nfon.csv", f.path() / "nfon.csv");
    return ::lchown((f / "nfon.csv").c_str(), owner, owner) == 0 ? f / "nfon.csv" : "";
  };
}

// Whatever the target, and whatever fails from the first byte to the new file taking its place: either
// the new file is in place with the old one's owner, rights and attributes, or the old one stays as it
// was, the failure reaches the caller, and nothing is left behind.
TEST(ReplacementFile, ReplacesRegularFilesAndTheUsersLinksOnlyWhenComplete) {
  const Maker with_attributes = [](const TempFolder& f) {
    // An ACL as the kernel stores it: version 2, then (tag, permissions, id) for the owner, the owning
    // group, the group "nobody", the mask and the others.
    const std::string path = f.Write("nfon.csv", "alt"),
                      acl("\2\0\0\0\1\0\6\0\xFF\xFF\xFF\xFF\4\0\4\0\xFF\xFF\xFF\xFF\x08\0\4\0\xFE\xFF\0\0"
                          "\x10\0\4\0\xFF\xFF\xFF\xFF\x20\0\0\0\xFF\xFF\xFF\xFF",
                          44);
    ::setxattr(path.c_str(), kAcl, acl.data(), acl.size(), 0);
    ::setxattr(path.c_str(), "user.telefonanlage", "pbx", 3, 0);  // where the file system has them
    ::chmod(path.c_str(), 0640);
    static_cast<void>(::chown(path.c_str(), kNobody, kNobody) == 0);  // as root only
    return path;
  };
  const Maker fifo = [](const TempFolder& f) {
    return ::mkfifo((f / "nfon.csv").c_str(), 0600), f / "nfon.csv";
  };
  const Maker folder = [](const TempFolder& f) {
    return fs::create_directory(f.path() / "nfon.csv"), f / "nfon.csv";
  };
  const auto path = [](const char* name) { return [=](const TempFolder& f) { return f / name; }; };
  constexpr ErrorNumber kReplaced{};
  const std::tuple<const char*, Maker, FileCall, ErrorNumber, mode_t> cases[] = {
      {"a file of another owner with attributes", with_attributes, FileCall::None, kReplaced, 0640},
      {"a write-protected file loses its protection", OldFile(0444), FileCall::None, kReplaced, 0644},
      {"a name of the longest length", OldFile(0640, std::string(251, 'n') + ".csv"), FileCall::None,
       kReplaced, 0640},
      {"a new file", path("nfon.csv"), FileCall::None, kReplaced, 0666},
      {"a link of the user", LinkOf(::geteuid()), FileCall::None, kReplaced, 0640},
      {"a link of another user", LinkOf(kNobody), FileCall::None, ErrorNumber::PermissionDenied, 0},
      {"a FIFO", fifo, FileCall::None, ErrorNumber::PathFileAccessError, 0},
      {"a folder", folder, FileCall::None, ErrorNumber::PathFileAccessError, 0},
      {"a missing folder", path("fehlt/nfon.csv"), FileCall::None, ErrorNumber::PathNotFound, 0},
      {"no new file allowed", OldFile(0640), FileCall::Open, ErrorNumber::PermissionDenied, 0},
      {"a full disk", OldFile(0640), FileCall::Write, ErrorNumber::DiskFull, 0},
      {"a failing flush", OldFile(0640), FileCall::Flush, ErrorNumber::DiskFull, 0},
      {"a failing sync", OldFile(0640), FileCall::Sync, ErrorNumber::DeviceIoError, 0},
      {"a failing close", OldFile(0640), FileCall::Close, ErrorNumber::DiskFull, 0},
      {"a failing rename", OldFile(0640), FileCall::Replace, ErrorNumber::PermissionDenied, 0},
  };
  const mode_t saved_umask = ::umask(0);  // the rights are the file's own, whatever the umask
  for (const auto& [what, make, call, failure, mode] : cases) {
    SCOPED_TRACE(what);
    TempFolder temp;
    const std::string target = make(temp);
    if (target.empty()) continue;
    const fs::file_type type = fs::symlink_status(target).type();
    const struct stat old = StatOf(target);
    const std::string acl = Attribute(target, kAcl), user = Attribute(target, "user.telefonanlage");
    const std::size_t entries = EntryCount(temp);
    fakes::FailingFileSystem files(call, failure);
    EXPECT_EQ(testing::FailureNumberOf([&] {
                ReplacementFile file(target, files);
                file.Open().Write("neu");
                EXPECT_EQ(StatOf(file.temporary_path()).st_mode & 07777, 0600U);
                EXPECT_EQ(EntryCount(temp), entries + 2) << "the new file and the lock beside the old one";
                EXPECT_EQ(fs::is_regular_file(target) ? testing::ReadFile(target) : "",
                          type == fs::file_type::not_found ? "" : "alt");
                file.Commit();
              }),
              testing::Number(failure));
    const bool created = failure == kReplaced && type == fs::file_type::not_found;
    EXPECT_EQ(EntryCount(temp), entries + (created ? 1 : 0)) << "nothing left behind";
    EXPECT_EQ(fs::symlink_status(target).type(), created ? fs::file_type::regular : type);
    if (fs::is_regular_file(target)) {
      EXPECT_EQ(testing::ReadFile(target), failure == kReplaced ? "neu" : "alt");
    }
    if (failure != kReplaced) continue;
    const struct stat now = StatOf(target);
    EXPECT_EQ(now.st_mode & 07777, mode);
    EXPECT_TRUE(created || (now.st_uid == old.st_uid && now.st_gid == old.st_gid)) << "owner and group";
    EXPECT_EQ(Attribute(target, kAcl), acl);
    EXPECT_EQ(Attribute(target, "user.telefonanlage"), user);
  }
  ::umask(saved_umask);
}

TEST(ReplacementFile, ATemporaryFileSwappedForALinkIsNeitherChangedNorPutInPlace) {
  TempFolder folder;
  const std::string victim = folder.Write("geheim", "geheim"), target = folder.Write("nfon.csv", "alt");
  ::chmod(victim.c_str(), 0600);
  ReplacementFile file(target);
  file.Open().Write("neu");
  fs::remove(file.temporary_path());
  fs::create_symlink(victim, file.temporary_path());
  EXPECT_THROW(file.Commit(), Failure);
  EXPECT_EQ(StatOf(victim).st_mode & 07777, 0600U);
  EXPECT_EQ(folder.Read("nfon.csv"), "alt");
}

// Killed runs leave their temporary files; the next run removes those of the user that no run holds.
TEST(ReplacementFile, LeftOverTemporaryFilesOfTheUserGo) {
  TempFolder folder;
  const auto held = PlatformFileSystem().CreateNew(folder / ".fernkartei-89abcdef.tmp");
  const std::pair<std::string, bool> cases[] = {
      {".fernkartei-0123abcd.tmp", false},
      {".fernkartei-0123abcz.tmp", true},  // not the pattern
      {".andere-prg-0123abcd.tmp", true},
      {".fernkartei-89abcdef.tmp", true},              // held
      {".fernkartei-fedcba98.tmp", ::geteuid() == 0},  // another user's, where root can make one
  };
  for (const auto& [name, stays] : cases)
    if (!fs::exists(folder.path() / name)) folder.Write(name, "x");
  static_cast<void>(::chown((folder / ".fernkartei-fedcba98.tmp").c_str(), kNobody, kNobody) == 0);
  ReplacementFile(folder.Write("nfon.csv", "alt")).Prepare();
  for (const auto& [name, stays] : cases) EXPECT_EQ(fs::exists(folder.path() / name), stays) << name;
}

TEST(ReplacementFile, ASecondRunOnTheSameFileWaitsAndThenGivesUp) {
  TempFolder folder;
  const std::string target = folder.Write("nfon.csv", "alt");
  ReplacementFile first(target);
  first.Open().Write("erster");
  EXPECT_THROW(ReplacementFile(target, PlatformFileSystem(), 200ms).Prepare(), Failure);
  std::thread finish([&first] { std::this_thread::sleep_for(100ms), first.Commit(); });
  ReplacementFile second(target, PlatformFileSystem(), 5s);
  second.Open().Write("zweiter");
  finish.join();
  second.Commit();
  EXPECT_EQ(folder.Read("nfon.csv"), "zweiter");
}

// Should a read wait for a writer, the alarm ends the test instead of letting it hang.
TEST(SettingsFile, AFifoIsNeitherWaitedForNorReplaced) {
  TempFolder folder;
  SettingsFile settings(folder / "system.ini", ErrorLog(folder / "error_log.txt"));
  ASSERT_EQ(::mkfifo((folder / "system.ini").c_str(), 0600), 0);
  ::alarm(5);
  EXPECT_EQ(settings.Get("Fernkartei", "Typ", "0"), "0");
  settings.Write("Fernkartei", "Typ", "1");
  ::alarm(0);
  EXPECT_EQ(fs::status(folder.path() / "system.ini").type(), fs::file_type::fifo);
}

}  // namespace
}  // namespace fernkartei::support
