// The settings file against what the old program never met: values with line breaks, editors that save
// UTF-8, program folders that take no new files.

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/failing_file_system.h"
#include "support/settings.h"
#include "support/temp_folder.h"

namespace fernkartei::support {
namespace {

class SettingsSafety : public ::testing::Test {
 protected:
  std::string Ini() const { return folder.Read("system.ini"); }

  testing::TempFolder folder;
  std::string path = folder / "system.ini";
  SettingsFile settings{path, ErrorLog(folder / "error_log.txt")};
};

// The old reader cut the value into its buffer and trimmed only the front of that buffer: blanks that
// quotes protect stay at the end, and a value of blanks is empty rather than missing.
TEST_F(SettingsSafety, BlanksInsideQuotesAndAtTheCutStay) {
  const std::string cut_at_blank = std::string(253, 'x') + " yz";
  const std::pair<std::string, std::string> cases[] = {
      {"\" \"", ""},
      {cut_at_blank, std::string(253, 'x') + " "},
  };
  for (const auto& [stored, expected] : cases) {
    folder.Write("system.ini", "[Fernkartei]\r\nOutput=" + stored + "\r\n");
    EXPECT_EQ(settings.Get("Fernkartei", "Output", "I (V) N"), expected) << stored;
  }
}

TEST_F(SettingsSafety, AValueNeverCarriesALineBreakIntoTheFile) {
  settings.Write("Fernkartei", "Teilnehmer", "11,12\r\nDatabaseName=/tmp/x.mdb");
  settings.Write("Fernkartei", "Output", "I V N\nTyp=3");
  EXPECT_EQ(Ini(), "[Fernkartei]\r\nTeilnehmer=11,12\r\nOutput=I V N\r\n");
}

TEST_F(SettingsSafety, AFileSavedAsUtf8WithoutByteOrderMarkStaysUtf8) {
  folder.Write("system.ini", "[Fernkartei]\nOutput=M\xC3\xBCller\n");
  EXPECT_EQ(settings.Get("Fernkartei", "Output", ""), "M\xC3\xBCller");
  settings.Write("Fernkartei", "Teilnehmer", "\xC3\xA4");
  EXPECT_EQ(Ini(), "[Fernkartei]\nOutput=M\xC3\xBCller\nTeilnehmer=\xC3\xA4\r\n");
}

// A program folder that takes no new files (as root, only the file system seam can refuse them) around
// a settings file that may be written: the file is written over, shorter than before, and nothing is
// logged.
TEST_F(SettingsSafety, AFolderWithoutNewFilesGetsTheFileWrittenInPlace) {
  folder.Write("system.ini", "[Fernkartei]\r\nTyp=0123456789\r\n");
  std::filesystem::create_hard_link(path, folder / "same.ini");  // shows the file itself was written
  fakes::FailingFileSystem refusing(fakes::FileCall::Lock, ErrorNumber::PermissionDenied);
  SettingsFile(path, ErrorLog(folder / "error_log.txt"), refusing).Write("Fernkartei", "Typ", "1");
  EXPECT_EQ(Ini(), "[Fernkartei]\r\nTyp=1\r\n");
  EXPECT_EQ(folder.Read("same.ini"), Ini());
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "error_log.txt"));
}

}  // namespace
}  // namespace fernkartei::support
