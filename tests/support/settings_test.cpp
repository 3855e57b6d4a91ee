#include "support/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "fakes/failing_file_system.h"
#include "fixtures/temp_folder.h"
#include "support/profile_text.h"

namespace fernkartei::support {
namespace {

class Settings : public ::testing::Test {
 protected:
  std::string Ini() const { return folder.Read("system.ini"); }
  void SetIni(const std::string& bytes) const { folder.Write("system.ini", bytes); }

  testing::TempFolder folder;
  SettingsFile settings{folder / "system.ini", ErrorLog(folder / "error_log.txt")};
};

TEST_F(Settings, ReadsValuesTheWayTheOldReaderDid) {
  struct Case {
    std::string file;
    std::string key;
    std::string expected;
  };
  const std::string long_value(300, 'x');
  const Case cases[] = {
      {"[Fernkartei]\r\nTyp=2\r\n", "Typ", "2"},
      {"[Fernkartei]\r\nTyp=  2  \r\n", "Typ", "2"},
      {"[fernkartei]\r\ntyp=3\r\n", "Typ", "3"},                    // names without regard to case
      {"[Fernkartei]\r\nOutput=\"I-V-N\"\r\n", "Output", "I-V-N"},  // one pair of quotes stripped
      {"[Fernkartei]\r\nOutput='\"I\"'\r\n", "Output", "\"I\""},
      {"[Fernkartei]\r\nOutput=  \"  I-V-N  \"\r\n", "Output", "I-V-N  "},  // trailing blanks stayed
      {"[Fernkartei]\r\nOutput=\r\n", "Output", "default"},                 // empty value gives the default
      {"[Fernkartei]\r\nTeilnehmer=" + long_value + "\r\n", "Teilnehmer", std::string(254, 'x')},
      {"[Fernkartei]\nTyp=1", "Typ", "1"},  // LF and no final line end
      {"\xEF\xBB\xBF[Fernkartei]\r\nOutput=M\xC3\xBCller\r\n", "Output", "M\xC3\xBCller"},  // UTF-8 with BOM
      {"[Fernkartei]\r\nOutput=M\xFCller\r\n", "Output", "M\xC3\xBCller"},                  // Windows-1252
      {std::string("\xFF\xFE[\0F\0e\0r\0n\0k\0a\0r\0t\0e\0i\0]\0\n\0T\0y\0p\0=\0\x42\x01", 38), "Typ",
       "\xC5\x82"},  // UTF-16 with BOM, as Notepad saves "Unicode"
      {"[Other]\r\nTyp=1\r\n[Fernkartei]\r\nTyp=2\r\n", "Typ", "2"},
      {"[Fernkartei]\r\n; Typ=9\r\nTyp=2\r\n", "Typ", "2"},
      {"[Fernkartei]\r\nTyp=2\r\n[Other]\r\n", "Missing", "default"},
  };
  for (const auto& c : cases) {
    SetIni(c.file);
    EXPECT_EQ(settings.Get("Fernkartei", c.key, "default"), c.expected) << c.file;
  }
}

TEST_F(Settings, MissingFileGivesDefaultsCutLikeValues) {
  EXPECT_EQ(settings.Get("Fernkartei", "Output", "I (V) N"), "I (V) N");
  EXPECT_EQ(settings.Get("Fernkartei", "X", std::string(300, 'y')), std::string(254, 'y'));
}

TEST_F(Settings, WriteKeepsEveryOtherByteAndTheEncodingOfTheFile) {
  settings.Write("Fernkartei", "Output", "I (V) N \xE2\x82\xAC");
  settings.Write("Fernkartei", "Output", "I (V) N \xE2\x82\xAC");
  EXPECT_EQ(Ini(), "[Fernkartei]\r\nOutput=I (V) N \x80\r\n");
  EXPECT_EQ(settings.Get("Fernkartei", "Output", ""), "I (V) N \xE2\x82\xAC");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"system.ini"}) << "no temporary file left";

  SetIni("; written by hand\n[Other]\nKey=1\n\n[FERNKARTEI]\r\nTyp=0\r\nUnknown = x \r\n\r\n[Last]\nZ=9");
  settings.Write("Fernkartei", "typ", "1");
  settings.Write("Fernkartei", "Teilnehmer", "11,12");
  settings.Write("Neu", "A", "b");
  EXPECT_EQ(
      Ini(),
      "; written by hand\n[Other]\nKey=1\n\n[FERNKARTEI]\r\ntyp=1\r\nUnknown = x \r\nTeilnehmer=11,12\r\n"
      "\r\n[Last]\nZ=9\r\n[Neu]\r\nA=b\r\n");

  // Saved by an editor as UTF-8 with a byte-order mark: it stays UTF-8.
  SetIni("\xEF\xBB\xBF[Fernkartei]\r\nTyp=0\r\n");
  settings.Write("Fernkartei", "Output", "\xC3\xA4");
  EXPECT_EQ(Ini(), "\xEF\xBB\xBF[Fernkartei]\r\nTyp=0\r\nOutput=\xC3\xA4\r\n");
  // Saved by Notepad as "Unicode": it stays UTF-16.
  SetIni(std::string("\xFF\xFE[\0S\0]\0", 8));
  settings.Write("S", "k", "\xF0\x9F\x98\x80");
  EXPECT_EQ(Ini(), std::string("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\x3D\xD8\x00\xDE\r\0\n\0", 24));
  EXPECT_EQ(SetProfileValue("[S]", "S", "k", "v"), "[S]\r\nk=v\r\n");
  EXPECT_EQ(SetProfileValue("[S]\r\na=1", "S", "k", "v"), "[S]\r\na=1\r\nk=v\r\n");
}

TEST_F(Settings, WriteToAWriteProtectedFileIsSilentlyNotStored) {
  SetIni("[Fernkartei]\r\nTyp=0\r\n");
  ::chmod((folder / "system.ini").c_str(), 0444);
  settings.Write("Fernkartei", "Typ", "2");
  EXPECT_EQ(Ini(), "[Fernkartei]\r\nTyp=0\r\n");
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "error_log.txt"));
}

// A refused file is skipped silently; any other failure up to the new file taking its place is logged.
TEST_F(Settings, AFailingWriteKeepsTheOldFile) {
  using fakes::FileCall;
  const std::tuple<FileCall, ErrorNumber, bool> cases[] = {
      {FileCall::Open, ErrorNumber::PermissionDenied, false},
      {FileCall::Write, ErrorNumber::DiskFull, true},
      {FileCall::Close, ErrorNumber::DiskFull, true},
      {FileCall::Replace, ErrorNumber::PermissionDenied, true}};
  for (const auto& [call, number, logged] : cases) {
    SetIni("[Fernkartei]\r\nTyp=0\r\n");
    std::filesystem::remove(folder.path() / "error_log.txt");
    fakes::FailingFileSystem files(call, number);
    SettingsFile(folder / "system.ini", ErrorLog(folder / "error_log.txt"), files)
        .Write("Fernkartei", "Typ", "2");
    EXPECT_EQ(Ini(), "[Fernkartei]\r\nTyp=0\r\n");
    EXPECT_EQ(folder.Read("error_log.txt").find("Fehler 57 in Hauptmodul!Sub Write_INI() (Line = 3)") !=
                  std::string::npos,
              logged);
    EXPECT_EQ(folder.Names().size(), logged ? 2U : 1U);
  }
}

}  // namespace
}  // namespace fernkartei::support
