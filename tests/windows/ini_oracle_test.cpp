// Our reader of the settings file against the one Windows itself has (GetPrivateProfileStringA), read
// the way the old program read every key: a buffer of 255 characters, the default when nothing came
// back, leading blanks removed. Where the system's reader and ours part, the documented behaviour of
// the program decides; those cases carry our answer and are listed in docs/windows.md.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "fixtures/temp_folder.h"
#include "support/process_state.h"
#include "support/settings.h"
#include "support/text.h"

namespace fernkartei::support {
namespace {

std::string OldProgramsGetIni(const std::string& path, const char* key, const std::string& default_value) {
  char buffer[255] = {};
  const DWORD copied =
      GetPrivateProfileStringA("Fernkartei", key, default_value.c_str(), buffer, sizeof buffer, path.c_str());
  if (copied == 0) return default_value;
  std::string value(buffer, strnlen(buffer, sizeof buffer));
  value.erase(
      0, value.find_first_not_of(' ') == std::string::npos ? value.size() : value.find_first_not_of(' '));
  return Windows1252ToUtf8(value);
}

// The cases the settings tests leave out, where only the system's reader says what is right.
TEST(IniOracle, GetInIReadsWhatWindowsReads) {
  // The oracle's answers are in the ANSI code page; Wine's prefix for the tests uses Windows-1252.
  if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP();
  struct Case {
    std::string file;
    const char* key;
    std::string default_value;
  };
  const std::string s = "[Fernkartei]\r\n";
  const Case cases[] = {
      {s + "Typ =   2   \r\n", "Typ", "0"},
      {"[ Fernkartei ]\r\nTyp=3\r\n", "Typ", "0"},
      {s + "  Typ=3\r\n", "Typ", "0"},
      {s + "Typ=\t2\t\r\n", "Typ", "0"},
      {s + "Output=\"I-V-N\r\n", "Output", "I (V) N"},
      {s + "Output=a=b\r\n", "Output", "I (V) N"},
      {s + "Output=   \r\n", "Output", "I (V) N"},
      {s + "Typ=1\r\nTyp=2\r\n", "Typ", "0"},
      {s + "Typ=1\r\n" + s + "Typ=2\r\n", "Typ", "0"},
      {"Typ=3\r\n" + s, "Typ", "0"},
      {s + "Typ\r\n", "Typ", "0"},
      {s, "Output", "  I (V) N  "},
      {s, "Output", std::string(300, 'y')},
      {"", "Typ", "0"},
  };
  testing::TempFolder folder;
  INI_Path = folder / "system.ini";
  for (const auto& c : cases) {
    folder.Write("system.ini", c.file);
    EXPECT_EQ(Get_InI("Fernkartei", c.key, c.default_value),
              OldProgramsGetIni(INI_Path, c.key, c.default_value))
        << c.file;
  }
  // Where they part: lines end in LF, and a lone CR ends none.
  folder.Write("system.ini", "[Fernkartei]\rTyp=1\r");
  EXPECT_EQ(Get_InI("Fernkartei", "Typ", "0"), "0");
  EXPECT_EQ(OldProgramsGetIni(INI_Path, "Typ", "0"), "1") << "the system's reader now agrees";
}

}  // namespace
}  // namespace fernkartei::support
