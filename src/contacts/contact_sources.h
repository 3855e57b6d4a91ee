#pragma once
// The one place that knows which kinds of contact source there are and which one serves a folder
// setting. Each program's main makes the factory and hands it down; a new kind of source is added here
// and nowhere else.

#include <string>

#include "contacts/vcard_source.h"
#include "export/contact_source.h"

namespace fernkartei::contacts {

// program_folder: where "Kontakte" lives for the folder number "10". on_diagnostic: what the readers
// passed over, as it happens.
exporting::ContactSourceFactory MakeContactSourceFactory(std::string program_folder,
                                                         DiagnosticSink on_diagnostic = {});

}  // namespace fernkartei::contacts
