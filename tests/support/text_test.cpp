#include "support/text.h"

#include <gtest/gtest.h>

namespace fernkartei::support {
namespace {

TEST(Trim, RemovesOnlySpaces) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(""), "");
}

TEST(Windows1252, RoundTripsEveryDefinedByte) {
  for (int b = 1; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(one)), one) << b;
  }
}

TEST(Windows1252, MapsGermanAndEuroAndReplacesTheRest) {
  EXPECT_EQ(Utf8ToWindows1252("\xC3\xA4\xC3\x9F\xE2\x82\xAC"), "\xE4\xDF\x80");  // ä ß €
  EXPECT_EQ(Utf8ToWindows1252("\xE4\xB8\xAD"), "?");                             // 中
  EXPECT_EQ(Utf8ToWindows1252("a\xFF"
                              "b"),
            "a?b");  // invalid byte
  EXPECT_EQ(Windows1252ToUtf8("M\xFCller"), "M\xC3\xBCller");
}

TEST(Utf8, ValidityAndSanitizing) {
  struct Case {
    std::string in;
    bool valid;
    std::string sanitized;
  };
  const Case cases[] = {
      {"abc", true, "abc"},
      {"\xC3\xA4", true, "\xC3\xA4"},
      {"\xF0\x9F\x98\x80", true, "\xF0\x9F\x98\x80"},
      {"\xC3", false, "\xEF\xBF\xBD"},
      {"\xC0\xAF", false, "\xEF\xBF\xBD\xEF\xBF\xBD"},                  // overlong
      {"\xED\xA0\x80", false, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},  // surrogate
      {"a\xE2\x82"
       "b",
       false,
       "a\xEF\xBF\xBD"
       "b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsValidUtf8(c.in), c.valid) << c.in;
    EXPECT_EQ(SanitizeUtf8(c.in), c.sanitized) << c.in;
  }
}

TEST(AsciiCase, ComparesLettersOnly) {
  EXPECT_TRUE(EqualsIgnoringAsciiCase("Outlook-Ordner", "OUTLOOK-ordner"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC3\xA4", "\xC3\x84"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("Typ", "Ty"));
}

}  // namespace
}  // namespace fernkartei::support
