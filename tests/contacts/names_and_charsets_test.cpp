// Contact names from N, FN and ORG, and the character sets and encodings their text arrives in.

#include <gtest/gtest.h>

#include "card_helpers.h"
#include "contacts/vcard_text.h"
#include "support/text.h"

namespace fernkartei::contacts {
namespace {

using testing::Card;
using testing::OnlyRecord;

struct NameCase {
  const char* what;
  const char* version;
  std::string body;
  std::string last_name_and_first_name;
  std::string first_name;
  std::string last_name;
};

const NameCase kNameCases[] = {
    {"last and first", "3.0", "N:Doe;John;;;\r\n", "Doe, John", "John", "Doe"},
    {"last alone", "3.0", "N:Doe;;;;\r\n", "Doe", "", "Doe"},
    {"first alone", "2.1", "N:;Broken;;;\r\n", "Broken", "Broken", ""},
    {"short N", "4.0", "N:Doe\r\n", "Doe", "", "Doe"},
    {"blanks around parts", "3.0", "N: Doe ; John \r\n", "Doe, John", "John", "Doe"},
    {"N wins over FN", "3.0", "FN:Mr. John Doe Sr.\r\nN:Doe;John;;Mr.;Sr.\r\n", "Doe, John", "John", "Doe"},
    {"empty N falls back to FN unsplit", "3.0", "N:;;;;\r\nFN:Johann Sebastian Bach\r\n",
     "Johann Sebastian Bach", "", ""},
    {"blank N falls back to FN", "2.1", "N: ; ;;;\r\nFN:Anna\r\n", "Anna", "", ""},
    {"no N, FN", "4.0", "FN:Sherlock Holmes\r\n", "Sherlock Holmes", "", ""},
    {"no N, no FN, ORG name", "2.1", "ORG:Bike Shop;Verkauf\r\n", "Bike Shop", "", ""},
    {"ORG without its name", "3.0", "ORG:;Einkauf\r\n", "Einkauf", "", ""},
    {"nothing at all", "3.0", "TEL:1\r\n", "", "", ""},
    {"3.0 escaped comma", "3.0", "N:Smith\\, Jr.;John\r\n", "Smith, Jr., John", "John", "Smith, Jr."},
    {"3.0 escaped semicolon stays in the part", "3.0", "N:A\\;B;C\r\n", "A;B, C", "C", "A;B"},
    {"3.0 backslash", "3.0", "N:Back\\\\slash;X\r\n", "Back\\slash, X", "X", "Back\\slash"},
    {"2.1 escaped semicolon", "2.1", "N:A\\;B;C\r\n", "A;B, C", "C", "A;B"},
    {"2.1 keeps other backslashes", "2.1", "N:Back\\slash;X\r\n", "Back\\slash, X", "X", "Back\\slash"},
    {"2.1 commas are text", "2.1", "N;LANGUAGE=en-us:Doe;John;Richter,James;Mr.;Sr.\r\n", "Doe, John", "John",
     "Doe"},
    {"line break in FN becomes a blank", "3.0", "FN:Erste\\nZweite\r\n", "Erste Zweite", "", ""},
    {"group prefix on N", "3.0", "item7.N:Doe;Jane\r\n", "Doe, Jane", "Jane", "Doe"},
    {"folded N", "3.0", "N:Schmidt-\r\n Hansen;Jörg\r\n", "Schmidt-Hansen, Jörg", "Jörg", "Schmidt-Hansen"},
    {"folded with a tab", "3.0", "N:Schmidt;\r\n\tJörg\r\n", "Schmidt, Jörg", "Jörg", "Schmidt"},
    {"first N counts", "3.0", "N:Erster;A\r\nN:Zweiter;B\r\n", "Erster, A", "A", "Erster"},
};

TEST(ContactNames, FromNThenFnThenOrg) {
  for (const auto& c : kNameCases) {
    SCOPED_TRACE(std::string(c.version) + ": " + c.what);
    const ContactRecord r = OnlyRecord(Card(c.version, c.body));
    EXPECT_EQ(r.last_name_and_first_name(), c.last_name_and_first_name);
    EXPECT_EQ(r.first_name(), c.first_name);
    EXPECT_EQ(r.last_name(), c.last_name);
    EXPECT_TRUE(r.is_contact());
  }
}

struct CharsetCase {
  const char* what;
  std::string n_line;  // the whole N line without its line end
  std::string last_name;
};

const CharsetCase kCharsetCases[] = {
    {"UTF-8 declared", "N;CHARSET=UTF-8:M\xC3\xBCller;Hans", "Müller"},
    {"UTF-8 without a label", "N:M\xC3\xBCller;Hans", "Müller"},
    {"8-bit without a label is Windows-1252", "N:M\xFCller \x80;Hans", "Müller €"},
    {"Windows-1252", "N;CHARSET=windows-1252:\x84Gr\xFC\xDF\x93;Hans", "„Grüß“"},
    {"ISO-8859-1", "N;CHARSET=ISO-8859-1:M\xFCller;Hans", "Müller"},
    {"ISO-8859-15 euro", "N;CHARSET=ISO-8859-15:\xA4uro;X", "€uro"},
    {"ISO-8859-15 differs from Latin-1", "N;CHARSET=iso-8859-15:\xA6\xA8\xB4\xB8\xBC\xBD\xBE;X", "ŠšŽžŒœŸ"},
    {"Latin-1 keeps those", "N;CHARSET=ISO-8859-1:\xA4\xBD;X", "¤½"},
    {"declared UTF-8 that is not", "N;CHARSET=UTF-8:M\xFCller;X", "M\xEF\xBF\xBDller"},
    {"unknown charset, valid UTF-8", "N;CHARSET=X-UNKNOWN:M\xC3\xBCller;X", "Müller"},
    {"unknown charset, 8-bit", "N;CHARSET=X-UNKNOWN:M\xFCller;X", "Müller"},
    {"quoted-printable UTF-8", "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;X", "Müller"},
    {"quoted-printable Latin-1", "N;ENCODING=QUOTED-PRINTABLE;CHARSET=ISO-8859-1:M=FCller;X", "Müller"},
    {"quoted-printable lower-case everything", "n;charset=iso-8859-1;encoding=quoted-printable:M=fcller;X",
     "Müller"},
    {"bare quoted-printable", "N;QUOTED-PRINTABLE;CHARSET=UTF-8:M=C3=BCller;X", "Müller"},
    {"quoted-printable without charset, 8-bit", "N;ENCODING=QUOTED-PRINTABLE:M=FCller;X", "Müller"},
    {"soft break inside a character", "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=\r\n=BCller;X",
     "Müller"},
    {"value starting with a soft break", "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=\r\nM=C3=BCller;X",
     "Müller"},
    {"several soft breaks", "N;ENCODING=QUOTED-PRINTABLE:=\r\nMu=\r\nst=\r\ner;X", "Muster"},
    {"soft break with LF only", "N;ENCODING=QUOTED-PRINTABLE:Mu=\nster;X", "Muster"},
    {"soft break before a blank keeps the blank", "N;ENCODING=QUOTED-PRINTABLE:von=\r\n der Heide;X",
     "von der Heide"},
    {"folded header of a quoted-printable value",
     "N;CHARSET=ISO-8859-1;\r\n ENCODING=QUOTED-PRINTABLE:M=FCller;X", "Müller"},
    {"a lone equals sign stays", "N;ENCODING=QUOTED-PRINTABLE:A=ZB;X", "A=ZB"},
};

TEST(ContactNames, EveryCharsetEndsAsUtf8) {
  for (const auto& c : kCharsetCases) {
    SCOPED_TRACE(c.what);
    const ContactRecord r = OnlyRecord(Card("2.1", c.n_line + "\r\n"));
    EXPECT_EQ(r.last_name(), c.last_name);
    EXPECT_TRUE(support::IsValidUtf8(r.last_name_and_first_name()));
  }
}

TEST(ContactNames, FileBytesInUtf16AreRead) {
  const std::string text = Card("3.0", "N:Müller;Jörg\r\nTEL;TYPE=HOME:1\r\n");
  // Little and big endian, with and without the byte-order mark.
  std::u16string wide;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      wide += static_cast<char16_t>(b);
      ++i;
    } else {  // the only non-ASCII letters here are two-byte sequences
      wide += static_cast<char16_t>(((b & 0x1F) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F));
      i += 2;
    }
  }
  for (const bool little : {true, false}) {
    for (const bool bom : {true, false}) {
      std::string bytes;
      if (bom) bytes = little ? "\xFF\xFE" : "\xFE\xFF";
      for (const char16_t u : wide) {
        const char lo = static_cast<char>(u & 0xFF), hi = static_cast<char>(u >> 8);
        bytes += little ? lo : hi;
        bytes += little ? hi : lo;
      }
      const ContactRecord r = OnlyRecord(NormalizeFileBytes(bytes));
      EXPECT_EQ(r.last_name_and_first_name(), "Müller, Jörg") << little << bom;
      EXPECT_EQ(testing::Telephone(r, TelephoneSlot::Home), "1");
    }
  }
  EXPECT_EQ(NormalizeFileBytes(std::string("\xEF\xBB\xBF") + "BEGIN"), "BEGIN");
  // A lone surrogate and an odd last byte become replacement characters.
  EXPECT_EQ(NormalizeFileBytes(std::string("\xFF\xFE"
                                           "A\0\x3D\xD8"
                                           "B",
                                           7)),
            "A\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(ValueText, QuotedPrintableAndEscapes) {
  EXPECT_EQ(DecodeQuotedPrintable("a=3Db=0D=0Ac"), "a=b\r\nc");
  EXPECT_EQ(DecodeQuotedPrintable("abc="), "abc");  // a soft break whose next line never came
  EXPECT_EQ(DecodeQuotedPrintable("=4"), "=4");
  EXPECT_EQ(DecodeQuotedPrintable("=e4"), "\xE4");
  EXPECT_EQ(UnescapeText("a\\nb\\Nc\\,d\\;e\\\\f\\:g", false), "a\nb\nc,d;e\\f:g");
  EXPECT_EQ(UnescapeText("a\\nb\\;c", true), "a\\nb;c");
  EXPECT_EQ(UnescapeText("trailing\\", false), "trailing\\");
  EXPECT_EQ(SplitComponents("a\\;b;c\\\\;d", false), (std::vector<std::string>{"a;b", "c\\", "d"}));
  EXPECT_EQ(SplitComponents("", false), (std::vector<std::string>{""}));
}

}  // namespace
}  // namespace fernkartei::contacts
