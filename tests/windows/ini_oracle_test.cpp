// Our reader of the settings file against the one Windows itself has (GetPrivateProfileStringA), read
// the way the old program read every key: a buffer of 255 characters, the default when nothing came
// back, leading blanks removed, on the files of golden/settings: the cases only the system's reader can
// decide. Where the two readers part, the documented behaviour of the program decides; docs/windows.md
// lists those cases.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "fixtures/program_folder.h"
#include "support/settings.h"
#include "support/text.h"

namespace fernkartei::support {
namespace {

std::string OldProgramsGetIni(const std::string& path, const char* key, const std::string& default_value) {
  char buffer[255] = {};
  if (GetPrivateProfileStringA("Fernkartei", key, default_value.c_str(), buffer, 255, path.c_str()) == 0)
    return default_value;
  std::string value(buffer, strnlen(buffer, sizeof buffer));
  return Windows1252ToUtf8(value.erase(0, std::min(value.find_first_not_of(' '), value.size())));
}

TEST(IniOracle, GetInIReadsWhatWindowsReads) {
  // The oracle's answers are in the ANSI code page; Wine's prefix for the tests uses Windows-1252.
  if (GetACP() != 1252) GTEST_SKIP() << "ANSI code page " << GetACP();
  const std::pair<const char*, std::string> reads[] = {{"Typ", "0"},
                                                       {"Output", "I (V) N"},
                                                       {"Teilnehmer", "  11,12,15  "},
                                                       {"Teilnehmer", std::string(300, 'y')}};
  testing::ProgramFolder folder;
  for (const auto& file : std::filesystem::directory_iterator(std::string(FERNKARTEI_SOURCE_DIR) +
                                                              "/tests/windows/golden/settings")) {
    if (file.path().extension() != ".ini") continue;
    folder.Write("system.ini", testing::ReadFile(file.path()));
    for (const auto& [key, default_value] : reads)
      EXPECT_EQ(Get_InI("Fernkartei", key, default_value), OldProgramsGetIni(INI_Path, key, default_value))
          << file.path().filename() << " " << key;
  }
}

}  // namespace
}  // namespace fernkartei::support
