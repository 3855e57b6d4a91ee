#include "contacts/contact_sources.h"

#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>

#include "contacts/outlook/outlook_source.h"
#include "contacts/vcard_folder.h"

namespace fernkartei::contacts {
namespace {

// A folder, or a file named like a vCard file (a missing one too, so that its reader says what is wrong).
bool NamesVCards(const std::string& folder_setting) {
  if (folder_setting.empty()) return false;
  const std::filesystem::path path = PathFromUtf8(folder_setting);
  std::error_code error;
  return std::filesystem::is_directory(path, error) || IsVCardFileName(path);
}

}  // namespace

exporting::ContactSourceFactory MakeContactSourceFactory(std::string program_folder,
                                                         DiagnosticSink on_diagnostic) {
  // On Windows the contacts are Outlook's, unless the setting names vCards: "10", another of Outlook's
  // folder numbers, or nothing at all (Outlook's own dialog then picks the folder).
  return [program_folder = std::move(program_folder), on_diagnostic = std::move(on_diagnostic)](
             const std::string& folder_setting,
             const exporting::FolderPicker& pick_folder) -> std::unique_ptr<exporting::ContactSource> {
    if (NamesVCards(folder_setting))
      return std::make_unique<VCardSource>(program_folder, pick_folder, on_diagnostic);
    return std::make_unique<OutlookSource>();
  };
}

}  // namespace fernkartei::contacts
