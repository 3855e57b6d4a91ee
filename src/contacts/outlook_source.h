#pragma once
// Outlook, reached through its automation objects on Windows: which folder settings belong to it, and
// the source that serves them. Elsewhere no folder setting belongs to Outlook.

#include <memory>
#include <string>

#include "contacts/vcard_source.h"
#include "export/contact_source.h"

namespace fernkartei::contacts {

// Windows: everything that is not a path to a folder or a .vcf file (a separator, a drive, a .vcf
// ending, or an existing entry), that is a number such as "10", other text, or nothing at all (the
// folder dialog is Outlook's). Elsewhere: false.
bool IsOutlookFolderSetting(const std::string& folder_setting);

// The source for such a setting: Windows gives Outlook's automation objects (whether Outlook can be
// reached shows when the run creates the application); elsewhere this throws support::Failure.
std::unique_ptr<exporting::ContactSource> MakeOutlookSource(const std::string& folder_setting,
                                                            const DiagnosticSink& on_diagnostic);

}  // namespace fernkartei::contacts
