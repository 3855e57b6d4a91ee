#include "support/replacement_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "export/export_run.h"
#include "support/failure.h"
#include "support/temp_folder.h"

namespace fernkartei::exporting {
namespace {

namespace fs = std::filesystem;
using support::ReplacementFile;

std::size_t EntriesIn(const fs::path& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(ReplacementFile, TheOldFileStaysUntilCommit) {
  testing::TempFolder folder;
  const std::string target = folder.Write("nfon.csv", "alt\r\n");
  ::chmod(target.c_str(), 0640);
  {
    ReplacementFile file(target);
    file.Open().Write("neu\r\n");
    EXPECT_EQ(folder.Read("nfon.csv"), "alt\r\n");
    EXPECT_EQ(EntriesIn(folder.path()), 3U);  // the old file, the new one and the lock beside them
    file.Commit();
  }
  EXPECT_EQ(folder.Read("nfon.csv"), "neu\r\n");
  EXPECT_EQ(EntriesIn(folder.path()), 1U);
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640U) << "the new file keeps the old one's access rights";
}

TEST(ReplacementFile, CanReplaceOnlyWhatMayBeOverwritten) {
  testing::TempFolder folder;
  const std::string locked = folder.Write("locked.csv", "x");
  ::chmod(locked.c_str(), 0444);
  fs::create_directory(folder.path() / "dir.csv");
  struct Case {
    std::string target;
    bool replaceable;
  };
  const Case cases[] = {
      {folder.Write("plain.csv", "x"), true},
      {folder / "new.csv", true},
      {locked, true},
      {folder / "dir.csv", false},
      {folder / "fehlt/new.csv", false},
  };
  const auto can_replace = [](const std::string& target) {
    try {
      ReplacementFile(target).Open();
      return true;
    } catch (const support::Failure&) {
      return false;
    }
  };
  for (const auto& c : cases) EXPECT_EQ(can_replace(c.target), c.replaceable) << c.target;
  EXPECT_EQ(EntriesIn(folder.path()), 3U) << "probing leaves nothing behind";
}

TEST(ReplacementFile, AWriteProtectedOldFileIsReplacedAndLosesItsProtection) {
  testing::TempFolder folder;
  const std::string target = folder.Write("nfon.csv", "alt\r\n");
  ::chmod(target.c_str(), 0444);
  ReplacementFile file(target);
  file.Open().Write("neu\r\n");
  file.Commit();
  EXPECT_EQ(folder.Read("nfon.csv"), "neu\r\n");
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644U);
}

TEST(ReplacementFile, ARenameThatFailsKeepsTheTargetAndDropsTheNewFile) {
  testing::TempFolder folder;
  fs::create_directory(folder.path() / "nfon.csv");
  folder.Write("nfon.csv/inhalt", "x");
  ReplacementFile file(folder / "nfon.csv");
  EXPECT_THROW(
      {
        file.Open().Write("neu\r\n");
        file.Commit();
      },
      support::Failure);
  EXPECT_EQ(EntriesIn(folder.path()), 1U);
  EXPECT_EQ(folder.Read("nfon.csv/inhalt"), "x");
}

// Restores an environment variable when the test ends.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedEnvironment() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(DefaultOutputPath, FollowsTheUserProfileElseTheDocumentsFolder) {
  testing::TempFolder home;
  fs::create_directories(home.path() / "config");
  struct Case {
    const char* what;
    const char* profile;
    std::string user_dirs;  // empty: no such file
    ExportFormat format;
    std::string expected;
  };
  const std::string h = home.path().string();
  const Case cases[] = {
      {"profile without separator", "/home/erika", "", ExportFormat::Nfon, "/home/erika/documents/nfon.csv"},
      {"profile with separator", "/home/erika/", "", ExportFormat::Simple,
       "/home/erika/documents/simple.csv"},
      {"no profile, user dirs", nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", ExportFormat::Siemens,
       h + "/Dokumente/siemens.csv"},
      {"no profile, documents switched off", nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/\"\n", ExportFormat::Outlook,
       h + "/Documents/outlook.csv"},
      {"no profile, no user dirs", nullptr, "", ExportFormat::Nfon, h + "/Documents/nfon.csv"},
  };
  ScopedEnvironment home_variable("HOME", h.c_str());
  ScopedEnvironment config_variable("XDG_CONFIG_HOME", (h + "/config").c_str());
  for (const auto& c : cases) {
    ScopedEnvironment profile("USERPROFILE", c.profile);
    fs::remove(home.path() / "config/user-dirs.dirs");
    if (!c.user_dirs.empty())
      home.Write("config/user-dirs.dirs", "# written by xdg-user-dirs-update\n" + c.user_dirs);
    EXPECT_EQ(DefaultOutputPath(c.format), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace fernkartei::exporting
