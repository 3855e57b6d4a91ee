#include "export/export_run.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

#include "export/line_builders.h"
#include "export/replacement_file.h"
#include "phone/area_code_database.h"
#include "support/failure.h"
#include "support/file_helpers.h"
#include "support/platform_files.h"
#include "support/process_state.h"
#include "support/settings.h"
#include "support/text.h"
#include "support/utf8_output.h"
#include "support/wait_cursor.h"

namespace fernkartei::exporting {
namespace {

constexpr const char* kNoParticipants = "Fehler, keine Teilnehmer angegeben";
constexpr const char* kErrorOccurred = "Es ist ein Fehler aufgetreten";
constexpr const char* kOutlookFailure = "Es ist ein Fehler beim öffnene von Outlook aufgetreten";
constexpr const char* kChooseContactsFolder = "Bitte einen Kontakte-Ordner auswählen";
constexpr const char* kDefaultTemplate = "I (V) N";
constexpr const char* kStandardOutputName = "Standardausgabe";

struct TelephoneEntry {
  const char* suffix;
  const char* property;
};

// In the order the lines of one contact are written. " (HT2)" reads Outlook's second home number, a
// property of its own, as " (BT2)" reads the second business number.
constexpr std::array<TelephoneEntry, 8> kTelephoneEntries = {{
    {" (PT)", "PrimaryTelephoneNumber"},
    {" (BT)", "BusinessTelephoneNumber"},
    {" (BT2)", "Business2TelephoneNumber"},
    {" (HT)", "HomeTelephoneNumber"},
    {" (HT2)", "Home2TelephoneNumber"},
    {" (MT)", "MobileTelephoneNumber"},
    {" (CT)", "CompanyMainTelephoneNumber"},
    {" (OT)", "OtherTelephoneNumber"},
}};

std::string FolderSetting(const RunOptions& options) {
  if (options.contacts_folder) return *options.contacts_folder;
  return support::Get_InI(support::App_Title, "Outlook-Ordner", "");
}

template <typename T>
T NotNull(T object) {
  if (!object) throw support::Failure(support::ErrorNumber::ObjectNotSet);
  return object;
}

// A property that cannot be read gives nothing; the item goes on with its other properties.
std::optional<std::string> TryProperty(ContactItem& item, const char* name) {
  try {
    return item.Property(name);
  } catch (...) {
    return std::nullopt;
  }
}

std::string ContactName(ContactItem& item) {
  std::string first;
  std::string second;
  if (const auto full = TryProperty(item, "LastNameAndFirstName")) {
    if (!support::Trim(*full).empty()) {
      first = *full;
    } else {
      if (const auto given = TryProperty(item, "FirstName"); given && !support::Trim(*given).empty())
        first = *given;
      if (const auto family = TryProperty(item, "LastName"); family && !support::Trim(*family).empty()) {
        second = *family;
      }
    }
  }
  return support::Trim(first + " " + second);
}

bool TargetExists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

void Release(std::unique_ptr<ContactItems>& items, std::unique_ptr<ContactFolder>& folder,
             std::unique_ptr<ContactApplication>& application,
             std::unique_ptr<ContactNamespace>& name_space) {
  items.reset();
  folder.reset();
  application.reset();
  name_space.reset();
}

}  // namespace

void Step_Progress(RunSurroundings& surroundings) {
  const float maximum = surroundings.ProgressMax();
  const float value = surroundings.ProgressValue();
  surroundings.SetProgressValue(value + 1 > maximum ? 1.0F : value + 1);
}

std::string DefaultOutputPath(ExportFormat format) {
  const std::string file = TraitsOf(format).file_name;
  if (const char* profile = std::getenv("USERPROFILE"); profile != nullptr) {
    return support::Add_Backslash(profile) + "documents" + support::kPathSeparator + file;
  }
  if (const std::string documents = support::UserDocumentsFolder(); !documents.empty()) {
    return support::Add_Backslash(documents) + file;
  }
  return support::Add_Backslash("") + "documents" + support::kPathSeparator + file;
}

RunOutcome RunExport(ExportFormat format, RunSurroundings& surroundings, ContactSource& contacts,
                     std::string& participants, std::string& number_template, const RunOptions& options) {
  const FormatTraits& traits = TraitsOf(format);

  if (traits.participants_required && participants.empty()) {
    surroundings.ShowMessage(kNoParticipants, MessageIcon::None);
    return RunOutcome::Failed;
  }
  if (number_template.empty()) number_template = kDefaultTemplate;

  const bool to_stream = options.output_stream != nullptr;
  const std::string output_path = options.output_path
                                      ? *options.output_path
                                      : (to_stream ? kStandardOutputName : DefaultOutputPath(format));

  // The old file is only replaced at the very end; what must be known now is that it can be.
  if (!to_stream && TargetExists(output_path) && !ReplacementFile::CanReplace(output_path)) {
    surroundings.ShowMessage(kErrorOccurred, MessageIcon::None);
    return RunOutcome::Failed;
  }

  // Declared so that leaving early releases them in the same order as the regular end does.
  std::unique_ptr<ContactNamespace> name_space;
  std::unique_ptr<ContactApplication> application;
  std::unique_ptr<ContactFolder> folder;
  std::unique_ptr<ContactItems> items;
  bool not_a_contacts_folder = false;
  try {
    application = NotNull(contacts.CreateApplication());
    name_space = NotNull(application->GetNamespace("MAPI"));
    if (!FolderSetting(options).empty()) {
      folder = NotNull(name_space->GetDefaultFolder(FolderSetting(options)));
    } else {
      folder = name_space->PickFolder();
      if (!folder) throw support::Failure(support::ErrorNumber::OperationCancelled);
      if (folder->DefaultProperty() == "0") return RunOutcome::Failed;
      if (folder->DefaultItemType() != kContactItemType) {
        not_a_contacts_folder = true;
      } else if (options.record_picked_folder) {
        support::Write_INI(support::App_Title, "OutlookFolder", folder->DefaultProperty());
      }
    }
    if (!not_a_contacts_folder) {
      items = NotNull(folder->Items());
      items->Sort("[LastName]", false);
    }
  } catch (...) {
    surroundings.ShowMessage(kOutlookFailure, MessageIcon::None);
    return RunOutcome::Failed;
  }
  if (not_a_contacts_folder) {
    surroundings.ShowMessage(kChooseContactsFolder, MessageIcon::Stop);
    return RunOutcome::Failed;
  }

  std::optional<support::clsWaitCursor> wait_cursor;
  wait_cursor.emplace(surroundings);
  wait_cursor->Show();

  ReplacementFile replacement(output_path);
  std::unique_ptr<support::Utf8File> stream_file;
  support::Utf8File* out = nullptr;
  try {
    if (to_stream) {
      stream_file = std::make_unique<support::Utf8File>(options.output_stream);
      out = stream_file.get();
    } else {
      out = &replacement.Open();
    }
    support::Write_UTF8_Text(*out, traits.header, true);
  } catch (...) {
    replacement.Discard();
    surroundings.ShowMessage(kErrorOccurred, MessageIcon::None);
    return RunOutcome::Failed;
  }

  const bool area_table_exists = phone::Area_Table_Exists;
  std::int32_t item_counter = 0;
  try {
    try {
      items->Rewind();
    } catch (...) {
      // Enumeration starts where the collection stands; nothing is lost by going on.
    }
    // An enumeration that fails leaves the rest of the folder unread: that ends the run below.
    while (const std::unique_ptr<ContactItem> item = items->Next()) {
      const std::string name = ContactName(*item);
      for (const TelephoneEntry& entry : kTelephoneEntries) {
        if (const auto number = TryProperty(*item, entry.property)) {
          const std::string line = traits.build_line(name + entry.suffix, *number, participants,
                                                     area_table_exists, number_template);
          if (!line.empty()) support::Write_UTF8_Text(*out, line, true);
        }
        try {
          Step_Progress(surroundings);
        } catch (...) {
          // The bar only shows activity; the file matters more.
        }
      }
      ++item_counter;
    }
    if (to_stream) {
      stream_file->Close();
    } else {
      replacement.Commit();
    }
  } catch (...) {
    // A line that cannot be written or contacts that cannot be read make the whole file worthless: no
    // shortened phonebook.
    replacement.Discard();
    Release(items, folder, application, name_space);
    surroundings.ShowMessage(kErrorOccurred, MessageIcon::None);
    return RunOutcome::Failed;
  }
  Release(items, folder, application, name_space);

  surroundings.SetProgressValue(100);
  surroundings.ShowMessage(
      "Fertig, " + std::to_string(item_counter) + " Adressen exportiert in \r\n" + output_path,
      MessageIcon::None);
  surroundings.SetProgressValue(1);
  return RunOutcome::Written;
}

RunOutcome Export_Nfon(RunSurroundings& surroundings, ContactSource& contacts, std::string& participants,
                       std::string& number_template) {
  return RunExport(ExportFormat::Nfon, surroundings, contacts, participants, number_template);
}

RunOutcome Export_Siemens(RunSurroundings& surroundings, ContactSource& contacts, std::string& participants,
                          std::string& number_template) {
  return RunExport(ExportFormat::Siemens, surroundings, contacts, participants, number_template);
}

RunOutcome Export_Outlook(RunSurroundings& surroundings, ContactSource& contacts, std::string& participants,
                          std::string& number_template) {
  return RunExport(ExportFormat::Outlook, surroundings, contacts, participants, number_template);
}

RunOutcome Export_Simple(RunSurroundings& surroundings, ContactSource& contacts, std::string& participants,
                         std::string& number_template) {
  return RunExport(ExportFormat::Simple, surroundings, contacts, participants, number_template);
}

}  // namespace fernkartei::exporting
