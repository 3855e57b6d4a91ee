// Every vCard file in golden/ read as the export run reads it, against the records written beside it
// (<name>.records): each item's name and telephone properties, then what the reader passed over, also
// when the bytes come in small pieces. A new case is a new pair of files.

#include <gtest/gtest.h>

#include "contacts/contact_record.h"
#include "contacts/vcard_bytes.h"
#include "contacts/vcard_parser.h"
#include "contacts/vcard_source.h"
#include "export/telephone_entries.h"
#include "fixtures/temp_folder.h"
#include "support/failure.h"
#include "support/file_helpers.h"

namespace fernkartei::contacts {
namespace {

namespace fs = std::filesystem;

const fs::path kGolden = fs::path(FERNKARTEI_SOURCE_DIR) / "tests/contacts/golden";

std::string Records(const fs::path& file) {
  std::string records;
  std::string notes;
  // Notes begin with the file's path, which is this machine's: from its name on they are the file's.
  const std::string name = support::Utf8FromPath(file.filename());
  VCardSource source("/", {}, [&](std::string note) {
    note.erase(0, std::min(note.find(name), note.size()));
    notes += "! " + note + "\n";
  });
  auto items = source.CreateApplication()
                   ->GetNamespace("MAPI")
                   ->GetDefaultFolder(support::Utf8FromPath(file))
                   ->Items();
  while (auto item = items->Next()) {
    try {
      records += "- " + item->Property("LastNameAndFirstName") + "\n";
      std::vector<std::string_view> properties{"FirstName", "LastName"};
      for (const auto& entry : exporting::kTelephoneEntries) properties.push_back(entry.property);
      for (const auto name : properties) {
        const std::string value = item->Property(name);
        if (!value.empty()) records += "  " + std::string(name) + ": " + value + "\n";
      }
    } catch (const support::Failure&) {
      records += "(keine Kontaktkarte)\n";
    }
  }
  return records + notes;
}

// Every field of every card and the problems, from the text handed over in pieces of `piece` bytes.
std::vector<std::string> Fields(const std::string& text, std::size_t piece) {
  TextBytes raw(text, piece);
  NormalizedBytes bytes(raw);
  std::vector<std::string> fields;
  const auto problems = ParseVCards(bytes, &IsContactProperty, [&](VCard& card) {
    const ContactRecord record = ToContactRecord(card);
    for (std::size_t i = 0; i < kContactFieldCount; ++i) fields.emplace_back(record.Field(i));
  });
  fields.insert(fields.end(), problems.begin(), problems.end());
  return fields;
}

TEST(Golden, EveryFileGivesItsRecords) {
  std::size_t files = 0;
  for (const auto& entry : fs::directory_iterator(kGolden)) {
    if (entry.path().extension() != ".vcf") continue;
    ++files;
    fs::path expected = entry.path();
    expected.replace_extension(".records");
    const std::string actual = Records(entry.path());
    EXPECT_EQ(actual, testing::ReadFile(expected)) << entry.path().filename();
    // A character or a line end split between two reads changes nothing.
    const std::string text = testing::ReadFile(entry.path());
    for (const std::size_t piece : {1, 3})
      EXPECT_EQ(Fields(text, piece), Fields(text, text.size() + 1))
          << entry.path().filename() << " " << piece;
  }
  EXPECT_GT(files, 10U);
}

}  // namespace
}  // namespace fernkartei::contacts
