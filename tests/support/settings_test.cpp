#include "support/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "fakes/failing_file_system.h"
#include "fixtures/temp_folder.h"

namespace fernkartei::support {
namespace {

namespace fs = std::filesystem;
using fakes::FileCall;

class Settings : public ::testing::Test {
 protected:
  std::string Ini() const { return folder.Read("system.ini"); }
  void SetIni(const std::string& bytes) const { folder.Write("system.ini", bytes); }
  bool Logged() const { return fs::exists(folder.path() / "error_log.txt"); }

  testing::TempFolder folder;
  SettingsFile settings{folder / "system.ini", ErrorLog(folder / "error_log.txt")};
};

// Every settings file in golden/ (<name>.ini): what reading Output gives, where <name>.value says, and
// what the writes below make of it, where <name>.written says. The old reader's ways are kept: blanks
// around a value go, one pair of quotes goes and protects the blanks at its end, at most 254 characters
// are kept, an empty value gives the default. A file keeps its form (Windows-1252 as the old program
// wrote it, UTF-8 with or without byte-order mark, UTF-16 as Notepad saves "Unicode") and every other
// byte; new lines end in CR LF; of a value only its first line is stored.
TEST_F(Settings, EveryGoldenFileReadsAndIsWrittenAsItsGoldenFilesSay) {
  std::size_t checked = 0;
  for (const auto& entry : fs::directory_iterator(fs::path(FERNKARTEI_SOURCE_DIR) / "tests/support/golden")) {
    if (entry.path().extension() != ".ini") continue;
    SetIni(testing::ReadFile(entry.path()));
    fs::path golden = entry.path();
    if (fs::exists(golden.replace_extension(".value"))) {
      EXPECT_EQ(settings.Get("Fernkartei", "Output", "default"), testing::ReadFile(golden)) << golden;
      ++checked;
    }
    if (!fs::exists(golden.replace_extension(".written"))) continue;
    settings.Write("Fernkartei", "Output", "I (V) N \xE2\x82\xAC \xF0\x9F\x98\x80\r\nTyp=3");
    settings.Write("Fernkartei", "Teilnehmer", "11,12\nDatabaseName=x.mdb");
    settings.Write("Neu", "A", "b");
    EXPECT_EQ(Ini(), testing::ReadFile(golden)) << golden;
    ++checked;
  }
  EXPECT_EQ(checked, 21U);
  EXPECT_FALSE(Logged());
  fs::remove(folder.path() / "system.ini");
  EXPECT_EQ(settings.Get("Fernkartei", "Output", "I (V) N "), "I (V) N");
  EXPECT_EQ(settings.Get("Fernkartei", "X", std::string(300, 'y')), std::string(254, 'y'));
}

// The old program skipped a write-protected file silently. One too large to be a settings file is
// neither read nor overwritten with the one key: that would lose every other setting.
TEST_F(Settings, AWriteProtectedOrOverlargeFileStaysAsItIs) {
  const std::string small = "[Fernkartei]\r\nTyp=0\r\n", large = small + std::string(1 << 20, ';');
  for (const auto& [before, mode] : {std::pair(large, 0644), std::pair(small, 0444)}) {
    SetIni(before);
    ::chmod((folder / "system.ini").c_str(), mode);
    EXPECT_EQ(settings.Get("Fernkartei", "Typ", "-"), mode == 0444 ? "0" : "-");
    settings.Write("Fernkartei", "Typ", "2");
    EXPECT_EQ(Ini(), before);
    EXPECT_FALSE(Logged());
  }
}

// A refused file is skipped silently; in a folder that takes no new files (as root, only the file-system
// seam can refuse them) the file is written over in place; any other failure up to the new file taking
// its place is logged and keeps the old file.
TEST_F(Settings, AFailingWriteKeepsTheOldFile) {
  const std::string old = "[Fernkartei]\r\nTyp=0123456789\r\n";
  const std::tuple<FileCall, ErrorNumber, std::string, bool> cases[] = {
      {FileCall::Open, ErrorNumber::PermissionDenied, old, false},
      {FileCall::Lock, ErrorNumber::PermissionDenied, "[Fernkartei]\r\nTyp=2\r\n", false},
      {FileCall::Open, ErrorNumber::DiskFull, old, true},
      {FileCall::Write, ErrorNumber::DiskFull, old, true}};
  for (const auto& [call, number, after, logged] : cases) {
    SCOPED_TRACE(static_cast<int>(call));
    SetIni(old);
    fs::remove(folder.path() / "error_log.txt");
    fakes::FailingFileSystem files(call, number);
    SettingsFile(folder / "system.ini", ErrorLog(folder / "error_log.txt"), files)
        .Write("Fernkartei", "Typ", "2");
    EXPECT_EQ(Ini(), after);
    EXPECT_EQ(folder.Read("error_log.txt").find("Fehler 57 in Hauptmodul!Sub Write_INI() (Line = 3)") !=
                  std::string::npos,
              logged);
    EXPECT_EQ(folder.Names().size(), logged ? 2U : 1U);
  }
}

}  // namespace
}  // namespace fernkartei::support
