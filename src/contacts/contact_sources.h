#pragma once
// The one place that knows which kinds of contact source there are and which one serves a folder
// setting. Each program's main makes the factory and hands it down; a new kind of source is added here
// and nowhere else.

#include <optional>
#include <string>

#include "contacts/vcard_source.h"
#include "export/contact_source.h"

namespace fernkartei::contacts {

// program_folder: where "Kontakte" lives for the folder number "10". on_diagnostic: what the readers
// passed over, as it happens, and why a CardDAV server failed. certificate_file: for a CardDAV server,
// in place of the key "CardDAV-Zertifikat" (the command line's --ca-file).
exporting::ContactSourceFactory MakeContactSourceFactory(std::string program_folder,
                                                         DiagnosticSink on_diagnostic = {},
                                                         std::optional<std::string> certificate_file = {});

}  // namespace fernkartei::contacts
