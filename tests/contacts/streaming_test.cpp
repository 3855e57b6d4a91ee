// A file is read piece by piece: whatever the pieces, the cards are those of the whole text, and what
// the export does not use (photos, long values) costs no memory.

#include <gtest/gtest.h>

#include <filesystem>

#include "contacts/contact_record.h"
#include "contacts/vcard_bytes.h"
#include "contacts/vcard_parser.h"
#include "contacts/vcard_text.h"
#include "fixtures/card.h"
#include "fixtures/temp_folder.h"

namespace fernkartei::contacts {
namespace {

using testing::Card;

// Every text of every record, then the problems.
std::vector<std::string> Read(ByteSource& raw) {
  NormalizedBytes bytes(raw);
  std::vector<std::string> read;
  const auto problems = ParseVCards(bytes, &IsContactProperty, [&](VCard& card) {
    const ContactRecord record = ToContactRecord(card);
    for (std::size_t i = 0; i < kContactFieldCount; ++i) read.emplace_back(record.Field(i));
  });
  read.insert(read.end(), problems.begin(), problems.end());
  return read;
}

std::string Base64Lines(std::size_t count, const std::string& indent) {
  std::string lines;
  for (std::size_t i = 0; i < count; ++i) lines += indent + std::string(72, "AQID/+9z"[i % 8]) + "\r\n";
  return lines;
}

TEST(Streaming, AnyPiecesGiveTheCardsOfTheWholeText) {
  std::vector<std::string> texts;
  for (const char* folder : {"/vcard", "/streaming"}) {
    for (const auto& file : std::filesystem::directory_iterator(std::string(FERNKARTEI_TEST_DATA) + folder))
      texts.push_back(testing::ReadFile(file.path()));
  }
  // Photos of every version, and values longer than a line is kept.
  texts.push_back(Card("3.0", "N:Foto;Drei\r\nPHOTO;ENCODING=b;TYPE=JPEG:" +
                                  Base64Lines(40000, " ").substr(1) + "TEL;TYPE=CELL:0151 3\r\n") +
                  Card("2.1", "N:Foto;Zwei\r\nPHOTO;TYPE=JPEG;ENCODING=BASE64:\r\n" +
                                  Base64Lines(20000, "  ") + "\r\nTEL;HOME:030 2\r\n") +
                  Card("4.0", "N:Foto;Vier\r\nPHOTO:data:image/jpeg;base64," + std::string(3 << 20, 'Q') +
                                  "\r\nSOUND;ENCODING=b:" + Base64Lines(100, " ").substr(1) + "TEL:4\r\n") +
                  Card("3.0", "N:" + std::string(3 << 19, 'L') + ";Lang\r\nTEL;TYPE=WORK:5\r\n"));
  for (const auto& text : texts) {
    const std::string normalized = NormalizeFileBytes(text);
    TextBytes whole(normalized);
    const auto expected = Read(whole);
    for (const std::size_t piece : {1, 3, 4096}) {
      TextBytes pieces(text, piece);
      EXPECT_EQ(Read(pieces), expected) << "pieces of " << piece << " bytes, text " << text.substr(0, 80);
    }
  }
  const auto& photos = texts.back();
  TextBytes source(photos);
  const auto read = Read(source);
  ASSERT_EQ(read.size(), 4 * kContactFieldCount + 1);
  EXPECT_EQ(read[4 + static_cast<int>(TelephoneSlot::Mobile)], "0151 3");
  EXPECT_EQ(read[2 * kContactFieldCount + 4 + static_cast<int>(TelephoneSlot::Other)], "4");
  EXPECT_EQ(read[3 * kContactFieldCount].size(), (std::size_t{1} << 20) - 2);  // the long name, cut
  EXPECT_EQ(read.back(), "Zeile 60121: Wert länger als 1 MB, gekürzt");
}

}  // namespace
}  // namespace fernkartei::contacts
