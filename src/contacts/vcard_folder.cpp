#include "contacts/vcard_folder.h"

#include <algorithm>
#include <new>
#include <optional>
#include <system_error>

#include "contacts/vcard_bytes.h"
#include "contacts/vcard_parser.h"
#include "export/contact_source.h"
#include "support/failure.h"
#include "support/text.h"

namespace fernkartei::contacts {
namespace fs = std::filesystem;
namespace {

bool KeepForRecord(std::string_view upper_name) {
  return IsContactProperty(upper_name);
}

std::string Describe(const ContactRecord& record) {
  if (!record.last_name_and_first_name().empty()) {
    return " (" + std::string(record.last_name_and_first_name()) + ")";
  }
  return "";
}

// The cards of one source, appended to `records`; `name` stands before each report.
void ReadVCards(ByteSource& bytes, const std::string& name, const Report& report,
                std::vector<ContactRecord>& records) {
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

// Reads one file into `records`; when it cannot be read to its end, drops what it gave, reports it and
// returns why.
std::optional<std::string> PassedOverFile(const fs::path& file, const Report& report,
                                          std::vector<ContactRecord>& records) {
  // File names on Linux are bytes; what reaches a message must be text.
  const std::string name = support::SanitizeUtf8(Utf8FromPath(file));
  const std::size_t records_before = records.size();
  std::string why;
  try {
    FileBytes raw(file);
    NormalizedBytes bytes(raw);
    ReadVCards(bytes, name, report, records);
    return std::nullopt;
  } catch (const support::Failure& failure) {
    why = failure.description();
  } catch (const std::bad_alloc&) {
    why = "zu wenig Speicher";
  }
  records.resize(records_before);
  if (report) report({name + ": Datei nicht lesbar (" + why + "), übergangen", PassedOver::File});
  return name + " kann nicht gelesen werden (" + why + ")";
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

bool ReadVCardFile(const fs::path& file, const Report& report, std::vector<ContactRecord>& records) {
  return !PassedOverFile(file, report, records);
}

void ReadVCardText(std::string text, const std::string& name, const Report& report,
                   std::vector<ContactRecord>& records) {
  TextBytes raw(text);
  NormalizedBytes bytes(raw);
  ReadVCards(bytes, name, report, records);
}

std::vector<ContactRecord> ReadVCardFile(const fs::path& file, const Report& report) {
  std::vector<ContactRecord> records;
  ReadVCardFile(file, report, records);
  return records;
}

std::vector<ContactRecord> ReadContacts(const fs::path& folder_or_file, const Report& report) {
  std::vector<ContactRecord> all;
  std::error_code ec;
  const bool folder = fs::is_directory(folder_or_file, ec);
  const std::vector<fs::path> files = folder ? VCardFilesIn(folder_or_file) : std::vector{folder_or_file};
  std::optional<std::string> first_unread;
  bool any_read = files.empty();
  for (const auto& file : files) {
    const auto why = PassedOverFile(file, report, all);
    any_read = any_read || !why;
    if (why && !first_unread) first_unread = why;
  }
  if (!any_read) {
    // An address book that cannot be read is no empty one: the old phonebook must not be replaced by it.
    throw exporting::ContactsUnreadable(support::ErrorNumber::PathFileAccessError,
                                        "Die Kontakte-Datei " + *first_unread + ".");
  }
  return all;
}

}  // namespace fernkartei::contacts
