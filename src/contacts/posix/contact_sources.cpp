#include "contacts/contact_sources.h"

#include <memory>
#include <utility>

namespace fernkartei::contacts {

exporting::ContactSourceFactory MakeContactSourceFactory(std::string program_folder,
                                                         DiagnosticSink on_diagnostic) {
  // Every folder setting names vCards here: a folder, one file, or "10" for the folder Kontakte.
  return [program_folder = std::move(program_folder), on_diagnostic = std::move(on_diagnostic)](
             const std::string&, const exporting::FolderPicker& pick_folder) {
    return std::make_unique<VCardSource>(program_folder, pick_folder, on_diagnostic);
  };
}

}  // namespace fernkartei::contacts
