#pragma once
// The contacts of a folder of .vcf files or of one .vcf file, read into records.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "contacts/contact_record.h"
#include "export/source_notes.h"
#include "support/file_helpers.h"

namespace fernkartei::contacts {

// Receives one German sentence per thing the reader passed over or left out, with its kind.
using Report = exporting::NoteSink;
using exporting::PassedOver;

using support::PathFromUtf8;
using support::Utf8FromPath;

// True for a file name ending in ".vcf" or ".vcard" (any case).
bool IsVCardFileName(const std::filesystem::path& path);

// The vCard files directly in `folder` (not in subfolders), sorted by name.
std::vector<std::filesystem::path> VCardFilesIn(const std::filesystem::path& folder);

// The cards of one file in file order, read piece by piece. A file that cannot be read to its end gives
// no records and one report (a file passed over).
std::vector<ContactRecord> ReadVCardFile(const std::filesystem::path& file, const Report& report);
// The same, appending to `records`; false when the file was passed over.
bool ReadVCardFile(const std::filesystem::path& file, const Report& report,
                   std::vector<ContactRecord>& records);

// The cards of one text that holds vCards (a server's answer), appended to `records`; `name` stands
// before each report.
void ReadVCardText(std::string text, const std::string& name, const Report& report,
                   std::vector<ContactRecord>& records);

// The cards of a folder's vCard files, file after file in name order, or of one file. Throws
// exporting::ContactsUnreadable, naming the file, when there are files and not one of them can be read.
std::vector<ContactRecord> ReadContacts(const std::filesystem::path& folder_or_file, const Report& report);

}  // namespace fernkartei::contacts
