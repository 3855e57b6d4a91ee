#include "support/utf8_output.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/failure.h"
#include "support/temp_folder.h"

namespace fernkartei::support {
namespace {

std::string WrittenBytes(std::string_view text, bool add_line_end) {
  testing::TempFolder folder;
  const std::string path = folder / "out.csv";
  auto file = Open_UTF8_File(path);
  Write_UTF8_Text(*file, text, add_line_end);
  file->Close();
  return folder.Read("out.csv");
}

TEST(Utf8Output, EncodesEachTextAsUtf8WithOptionalCrLf) {
  struct Case {
    const char* what;
    std::string text;
    bool line_end;
    std::string bytes;
  };
  const Case cases[] = {
      {"a umlaut", "\xC3\xA4", false, "\xC3\xA4"},
      {"euro sign", "\xE2\x82\xAC", true, "\xE2\x82\xAC\r\n"},
      {"above U+FFFF stays one 4-byte sequence", "\xF0\x9F\x93\x9E", false, "\xF0\x9F\x93\x9E"},
      {"empty with line end", "", true, "\r\n"},
      {"empty without line end", "", false, ""},
      {"header, no byte-order mark", "displayName;destination", true, "displayName;destination\r\n"},
      {"lone surrogate becomes one replacement", "a\xED\xA0\x80z", false, "a\xEF\xBF\xBDz"},
      {"stray continuation byte", "M\x80ller", false, "M\xEF\xBF\xBDller"},
      {"Latin-1 byte from a careless source", "M\xFCller", true, "M\xEF\xBF\xBDller\r\n"},
      {"cut-off sequence at the end", "ab\xE2\x82", false, "ab\xEF\xBF\xBD"},
      {"inner line breaks are the caller's business", "a\nb", false, "a\nb"},
  };
  for (const auto& c : cases) EXPECT_EQ(WrittenBytes(c.text, c.line_end), c.bytes) << c.what;
}

TEST(Utf8Output, OpeningAnExistingFileAppendsAfterItsLastByte) {
  testing::TempFolder folder;
  const std::string path = folder.Write("out.csv", "old\r\n");
  auto file = Open_UTF8_File(path);
  Write_UTF8_Text(*file, "new", true);
  file->Close();
  EXPECT_EQ(folder.Read("out.csv"), "old\r\nnew\r\n");
}

TEST(Utf8Output, OpenFailuresCarryTheirReason) {
  testing::TempFolder folder;
  struct Case {
    std::string path;
    ErrorNumber number;
  };
  const Case cases[] = {
      {folder / "missing/out.csv", ErrorNumber::PathNotFound},
      {folder.path().string(), ErrorNumber::PathFileAccessError},
  };
  for (const auto& c : cases) {
    try {
      Open_UTF8_File(c.path);
      ADD_FAILURE() << c.path << " opened";
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.number(), static_cast<int>(c.number)) << c.path;
    }
  }
}

TEST(Utf8Output, AFullDeviceIsReportedAtTheLatestOnClose) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  auto file = Open_UTF8_File("/dev/full");
  try {
    for (int i = 0; i < 10000; ++i) Write_UTF8_Text(*file, "Muster, Erika (BT);+49 (30) 1234567", true);
    file->Close();
    FAIL() << "writing to a full device succeeded";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.number(), static_cast<int>(ErrorNumber::DiskFull));
  }
}

}  // namespace
}  // namespace fernkartei::support
