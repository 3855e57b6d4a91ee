// Where the phonebook goes when the command line names no file: USERPROFILE as the old program had it,
// else the documents folder of a POSIX desktop.

#include <gtest/gtest.h>

#include "export/export_run.h"
#include "fixtures/program_folder.h"

namespace fernkartei::exporting {
namespace {

TEST(DefaultOutputPath, FollowsTheUserProfileElseTheDocumentsFolder) {
  testing::TempFolder home;
  const std::string h = home.path().string();
  const struct {
    const char* profile;
    std::string user_dirs;  // empty: no such file
    ExportFormat format;
    std::string expected;
  } cases[] = {
      {"/home/erika", "", ExportFormat::Nfon, "/home/erika/documents/nfon.csv"},
      {"/home/erika/", "", ExportFormat::Simple, "/home/erika/documents/simple.csv"},
      {nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", ExportFormat::Siemens,
       h + "/Dokumente/siemens.csv"},
      // The documents folder switched off, no user dirs, an empty profile: the folder's English name.
      {nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/\"\n", ExportFormat::Outlook, h + "/Documents/outlook.csv"},
      {nullptr, "", ExportFormat::Nfon, h + "/Documents/nfon.csv"},
      {"", "", ExportFormat::Nfon, h + "/Documents/nfon.csv"},
  };
  testing::ScopedEnvironment home_variable("HOME", h.c_str());
  testing::ScopedEnvironment config_variable("XDG_CONFIG_HOME", (h + "/config").c_str());
  for (const auto& c : cases) {
    testing::ScopedEnvironment profile("USERPROFILE", c.profile);
    home.Write("config/user-dirs.dirs", "# written by xdg-user-dirs-update\n" + c.user_dirs);
    EXPECT_EQ(DefaultOutputPath(c.format), c.expected) << c.user_dirs;
  }
}

}  // namespace
}  // namespace fernkartei::exporting
