#include "support/text.h"

#include <gtest/gtest.h>

namespace fernkartei::support {
namespace {

TEST(Text, TrimRemovesOnlySpaces) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim(" \ta\t "), "\ta\t");
  EXPECT_EQ(Trim("   "), "");
}

TEST(Text, Windows1252RoundTripsEveryByteAndReplacesWhatItLacks) {
  for (int b = 1; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(one)), one) << b;
  }
  EXPECT_EQ(Windows1252ToUtf8("\x80\xE4\x9F"), "\xE2\x82\xAC\xC3\xA4\xC5\xB8");  // € ä Ÿ
  EXPECT_EQ(Utf8ToWindows1252("\xE4\xB8\xAD|\xFF"), "?|?");                      // 中, an invalid byte
}

TEST(Text, Utf8ValidityAndSanitizing) {
  const std::string r = "\xEF\xBF\xBD";  // U+FFFD
  const std::tuple<std::string, bool, std::string> cases[] = {
      {"abc", true, "abc"},
      {"\xC3\xA4\xF0\x9F\x98\x80", true, "\xC3\xA4\xF0\x9F\x98\x80"},
      {"\xC3", false, r},
      {"\xC0\xAF", false, r + r},                  // overlong
      {"\xED\xA0\x80", false, r + r + r},          // surrogate
      {"\xF4\x90\x80\x80", false, r + r + r + r},  // above U+10FFFF
      {"a\xE2\x82", false, "a" + r},               // cut short
  };
  for (const auto& [in, valid, sanitized] : cases) {
    EXPECT_EQ(IsValidUtf8(in), valid) << in;
    EXPECT_EQ(SanitizeUtf8(in), sanitized) << in;
  }
}

TEST(Text, AsciiCaseComparesLettersOnly) {
  EXPECT_TRUE(EqualsIgnoringAsciiCase("Outlook-Ordner", "OUTLOOK-ordner"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC3\xA4", "\xC3\x84"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("Typ", "Ty"));
}

}  // namespace
}  // namespace fernkartei::support
