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
  struct Case {
    const char* what;
    const char* profile;
    std::string user_dirs;  // empty: no such file
    ExportFormat format;
    std::string expected;
  };
  const Case cases[] = {
      {"profile without separator", "/home/erika", "", ExportFormat::Nfon, "/home/erika/documents/nfon.csv"},
      {"profile with separator", "/home/erika/", "", ExportFormat::Simple,
       "/home/erika/documents/simple.csv"},
      {"no profile, user dirs", nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", ExportFormat::Siemens,
       h + "/Dokumente/siemens.csv"},
      {"no profile, documents switched off", nullptr, "XDG_DOCUMENTS_DIR=\"$HOME/\"\n", ExportFormat::Outlook,
       h + "/Documents/outlook.csv"},
      {"no profile, no user dirs", nullptr, "", ExportFormat::Nfon, h + "/Documents/nfon.csv"},
      {"an empty profile counts as none", "", "", ExportFormat::Nfon, h + "/Documents/nfon.csv"},
  };
  testing::ScopedEnvironment home_variable("HOME", h.c_str());
  testing::ScopedEnvironment config_variable("XDG_CONFIG_HOME", (h + "/config").c_str());
  for (const auto& c : cases) {
    testing::ScopedEnvironment profile("USERPROFILE", c.profile);
    home.Write("config/user-dirs.dirs", "# written by xdg-user-dirs-update\n" + c.user_dirs);
    EXPECT_EQ(DefaultOutputPath(c.format), c.expected) << c.what;
  }
}

}  // namespace
}  // namespace fernkartei::exporting
