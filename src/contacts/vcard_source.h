#pragma once
// Contacts from vCard files: a folder of .vcf files or one .vcf file, behind the contact-source
// interface the export run talks to.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "export/contact_source.h"
#include "export/source_notes.h"

namespace fernkartei::contacts {

using exporting::FolderPicker;

// Receives, as it happens, each German sentence about what reading the cards passed over or left out
// (an unreadable file, a card without END, a number with no free telephone property), with its kind.
using DiagnosticSink = exporting::NoteSink;

struct DiagnosticLog;

class VCardSource : public exporting::ContactSource {
 public:
  // program_folder: where "Kontakte" lives for the folder number "10".
  VCardSource(std::string program_folder, FolderPicker pick_folder, DiagnosticSink on_diagnostic = {});
  std::unique_ptr<exporting::ContactApplication> CreateApplication() override;

  // The text of every diagnostic so far, oldest first.
  std::vector<std::string> Diagnostics() const;

 private:
  std::string program_folder_;
  FolderPicker pick_folder_;
  std::shared_ptr<DiagnosticLog> diagnostics_;
};

}  // namespace fernkartei::contacts
