#include "contacts/vcard_folder.h"

#include <algorithm>
#include <system_error>

#include "contacts/vcard_parser.h"
#include "contacts/vcard_text.h"
#include "support/text.h"
#include "support/whole_file.h"

namespace fernkartei::contacts {
namespace fs = std::filesystem;
namespace {

// Far beyond any real address book; a larger file is almost surely something else, and reading it
// whole could exhaust memory.
constexpr std::uintmax_t kLargestFile = std::uintmax_t{1} << 30;

bool KeepForRecord(std::string_view upper_name) {
  return IsContactProperty(upper_name);
}

std::string Describe(const ContactRecord& record) {
  if (!record.last_name_and_first_name().empty()) {
    return " (" + std::string(record.last_name_and_first_name()) + ")";
  }
  return "";
}

}  // namespace

bool IsVCardFileName(const fs::path& path) {
  const std::string ext = support::AsciiLower(Utf8FromPath(path.extension()));
  return ext == ".vcf" || ext == ".vcard";
}

std::vector<fs::path> VCardFilesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    if (!IsVCardFileName(it->path())) continue;
    std::error_code type_ec;
    // A link to nowhere is listed too: reading it fails and says so, instead of the card going missing
    // without a word.
    const bool dangling = it->is_symlink(type_ec) && !it->exists(type_ec);
    if (it->is_regular_file(type_ec) || dangling) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
    return Utf8FromPath(a.filename()) < Utf8FromPath(b.filename());
  });
  return files;
}

void ReadVCardFile(const fs::path& file, const Report& report, std::vector<ContactRecord>& records) {
  // File names on Linux are bytes; what reaches a message must be text.
  const std::string name = support::SanitizeUtf8(Utf8FromPath(file));
  support::WholeFile read = support::ReadWholeFile(file, kLargestFile);
  if (!read.read) {
    const std::string reason = read.too_large ? "zu groß für ein Adressbuch" : read.failure;
    if (report) report({name + ": Datei nicht lesbar (" + reason + "), übergangen", PassedOver::File});
    return;
  }
  const std::string bytes = NormalizeFileBytes(std::move(read.bytes));
  // Room for every card at once: growing a vector of large records card by card moves them all again
  // and again.
  std::size_t cards = 0;
  for (auto at = bytes.find("BEGIN:VCARD"); at != std::string::npos;
       at = bytes.find("BEGIN:VCARD", at + 11)) {
    ++cards;
  }
  cards = std::min(cards, bytes.size() / 22);  // the shortest card: "BEGIN:VCARD\nEND:VCARD\n"
  if (records.size() + cards > records.capacity()) {
    records.reserve(std::max(records.size() + cards, records.capacity() * 2));
  }
  std::vector<std::string> dropped;
  const auto problems = ParseVCards(bytes, &KeepForRecord, [&](VCard& card) {
    dropped.clear();
    records.push_back(ToContactRecord(card, report ? &dropped : nullptr));
    for (const auto& d : dropped) {
      report(
          {name + ": Karte ab Zeile " + std::to_string(card.first_line) + Describe(records.back()) + ": " + d,
           PassedOver::Number});
    }
  });
  if (report) {
    // Every problem of the reader is a card it could not read whole, or a card's end without its start.
    for (const auto& problem : problems) report({name + ": " + problem, PassedOver::Card});
  }
}

std::vector<ContactRecord> ReadVCardFile(const fs::path& file, const Report& report) {
  std::vector<ContactRecord> records;
  ReadVCardFile(file, report, records);
  return records;
}

std::vector<ContactRecord> ReadContacts(const fs::path& folder_or_file, const Report& report) {
  std::vector<ContactRecord> all;
  std::error_code ec;
  if (!fs::is_directory(folder_or_file, ec)) {
    ReadVCardFile(folder_or_file, report, all);
    return all;
  }
  for (const auto& file : VCardFilesIn(folder_or_file)) ReadVCardFile(file, report, all);
  return all;
}

}  // namespace fernkartei::contacts
