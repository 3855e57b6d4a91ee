#pragma once
// Contacts from vCard files: a folder of .vcf files or one .vcf file, behind the contact-source
// interface the export run talks to.

#include <functional>
#include <optional>
#include <string>

#include "export/contact_source.h"

namespace fernkartei::contacts {

// Asks the surroundings for a folder (the window's dialog); nothing when the user cancels or there is
// no one to ask (the command line).
using FolderPicker = std::function<std::optional<std::string>()>;

class VCardSource : public exporting::ContactSource {
 public:
  // program_folder: where "Kontakte" lives for the folder number "10".
  VCardSource(std::string program_folder, FolderPicker pick_folder);
  std::unique_ptr<exporting::ContactApplication> CreateApplication() override;

 private:
  std::string program_folder_;
  FolderPicker pick_folder_;
};

}  // namespace fernkartei::contacts
