// Where an export run may write: never over what is not a regular file (an empty profile variable:
// output_path_test.cpp).

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "export/export_run.h"
#include "fakes/fake_contact_source.h"
#include "fakes/fake_surroundings.h"
#include "fixtures/temp_folder.h"
#include "support/process_state.h"

namespace fernkartei::exporting {
namespace {

TEST(OutputSafety, AFifoAtTheOutputPathEndsTheRunBeforeTheContactsAreRead) {
  testing::TempFolder folder;
  support::INI_Path = folder / "system.ini";
  const std::string output = folder / "simple.csv";
  ASSERT_EQ(::mkfifo(output.c_str(), 0600), 0);
  fakes::FakeScript script;
  fakes::FakeSurroundings surroundings;
  RunOptions options;
  options.output_path = output;
  options.contacts_folder = "10";
  std::string number_template = "I (V) N";
  EXPECT_EQ(
      RunExport(ExportFormat::Simple, surroundings, fakes::FactoryOf(script), "", number_template, options),
      RunOutcome::Failed);
  EXPECT_EQ(surroundings.Texts(), std::vector<std::string>{"Es ist ein Fehler aufgetreten"});
  EXPECT_TRUE(script.log.empty());
  struct stat info {};
  ASSERT_EQ(::lstat(output.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

}  // namespace
}  // namespace fernkartei::exporting
