// Where an export run may write: never over what is not a regular file, never at the root of the file
// system because of an empty profile variable.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "export/export_run.h"
#include "fakes/fake_contact_source.h"
#include "fakes/fake_surroundings.h"
#include "support/process_state.h"
#include "support/temp_folder.h"

namespace fernkartei::exporting {
namespace {

TEST(OutputSafety, AFifoAtTheOutputPathEndsTheRunBeforeTheContactsAreRead) {
  testing::TempFolder folder;
  support::INI_Path = folder / "system.ini";
  const std::string output = folder / "simple.csv";
  ASSERT_EQ(::mkfifo(output.c_str(), 0600), 0);
  fakes::FakeContactSource contacts;
  fakes::FakeSurroundings surroundings;
  RunOptions options;
  options.output_path = output;
  options.contacts_folder = "10";
  std::string number_template = "I (V) N";
  EXPECT_EQ(RunExport(ExportFormat::Simple, surroundings, contacts.Factory(), "", number_template, options),
            RunOutcome::Failed);
  EXPECT_EQ(surroundings.Texts(), std::vector<std::string>{"Es ist ein Fehler aufgetreten"});
  EXPECT_TRUE(contacts.Calls("CreateApplication").empty());
  struct stat info {};
  ASSERT_EQ(::lstat(output.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST(OutputSafety, AnEmptyUserProfileCountsAsNone) {
  testing::TempFolder home;
  const char* old_home = std::getenv("HOME");
  const std::string saved_home = old_home != nullptr ? old_home : "";
  ::setenv("HOME", home.path().c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (home / "config").c_str(), 1);
  ::setenv("USERPROFILE", "", 1);
  EXPECT_EQ(DefaultOutputPath(ExportFormat::Nfon), home / "Documents/nfon.csv");
  ::unsetenv("USERPROFILE");
  ::unsetenv("XDG_CONFIG_HOME");
  ::setenv("HOME", saved_home.c_str(), 1);
}

}  // namespace
}  // namespace fernkartei::exporting
