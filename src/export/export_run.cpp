#include "export/export_run.h"

#include <cstdint>
#include <memory>

#include "export/program_settings.h"
#include "export/telephone_entries.h"
#include "phone/area_code_database.h"
#include "support/failure.h"
#include "support/file_helpers.h"
#include "support/platform_files.h"
#include "support/process_state.h"
#include "support/replacement_file.h"
#include "support/settings.h"
#include "support/stdio_file.h"
#include "support/text.h"
#include "support/utf8_output.h"
#include "support/wait_cursor.h"

namespace fernkartei::exporting {
namespace {

constexpr const char* kStandardOutputName = "Standardausgabe";
constexpr const char* kErrorOccurred = "Es ist ein Fehler aufgetreten";

// Every way a run ends before its final message.
enum class EarlyEnd {
  NoParticipants,       // NFon and Siemens need them
  OldFileStays,         // the old file could not be replaced; nothing was touched
  ContactsUnavailable,  // any failure in reaching the folder and its items, a cancelled dialog too
  NotAContactsFolder,   // the picked folder holds no contacts
  NothingPicked,        // the picked folder's default property is 0: ends without a word
  FileFailed,           // the file could not be opened or written; the old one stays
  ContactsUnreadable,   // the contacts are there but cannot be read: the source says which
  PassedOverStrict,     // strict: something was passed over; the old file stays
  NoContactStrict,      // strict: not one item is a contact; the old file stays
};

struct RunEnded {
  EarlyEnd why;
  std::string detail = {};  // what the message names: the unreadable contacts, the counts passed over
};

// What the user is told for each early end; no text: nothing is shown.
struct EndMessage {
  std::string text;
  MessageIcon icon;
};

constexpr const char* kOldFileStays = " Die Telefonbuch-Datei bleibt, wie sie war.";

EndMessage MessageFor(const RunEnded& end) {
  switch (end.why) {
    case EarlyEnd::ContactsUnreadable:
      return {end.detail, MessageIcon::None};
    case EarlyEnd::PassedOverStrict:
      return {
          "Abgebrochen: beim Lesen der Kontakte wurde etwas übergangen (" + end.detail + ")." + kOldFileStays,
          MessageIcon::None};
    case EarlyEnd::NoContactStrict:
      return {
          std::string("Abgebrochen: der Kontakte-Ordner enthält keinen einzigen Kontakt.") + kOldFileStays,
          MessageIcon::None};
    case EarlyEnd::NoParticipants:
      return {"Fehler, keine Teilnehmer angegeben", MessageIcon::None};
    case EarlyEnd::OldFileStays:
    case EarlyEnd::FileFailed:
      return {kErrorOccurred, MessageIcon::None};
    case EarlyEnd::ContactsUnavailable:
      return {"Es ist ein Fehler beim öffnene von Outlook aufgetreten", MessageIcon::None};
    case EarlyEnd::NotAContactsFolder:
      return {"Bitte einen Kontakte-Ordner auswählen", MessageIcon::Stop};
    case EarlyEnd::NothingPicked:
      break;
  }
  return {"", MessageIcon::None};
}

template <typename T>
T NotNull(T object) {
  if (!object) throw support::Failure(support::ErrorNumber::ObjectNotSet);
  return object;
}

// A property that cannot be read gives nothing; the item goes on with its other properties.
std::optional<std::string> TryProperty(ContactItem& item, std::string_view name) {
  try {
    return item.Property(name);
  } catch (...) {
    return std::nullopt;
  }
}

// The first part is the full name as read; without one, the first name, then the last name. A name
// part of blanks counts as none. Nothing when the item has no name to read: it is no contact.
std::optional<std::string> ContactName(ContactItem& item) {
  std::string first;
  std::string second;
  const auto given = [](const std::optional<std::string>& part) {
    return part && !support::Trim(*part).empty();
  };
  const auto full = TryProperty(item, "LastNameAndFirstName");
  if (!full) return std::nullopt;
  if (given(full)) {
    first = *full;
  } else {
    if (const auto name = TryProperty(item, "FirstName"); given(name)) first = *name;
    if (const auto name = TryProperty(item, "LastName"); given(name)) second = *name;
  }
  return support::Trim(first + " " + second);
}

// The state of one run. Members are released in the reverse order of their declaration, whenever the
// run ends: the output first, then the wait cursor, then the contact objects from the items back to the
// namespace.
class ExportRun {
 public:
  ExportRun(ExportFormat format, RunSurroundings& surroundings, const RunOptions& options)
      : traits_(TraitsOf(format)),
        format_(format),
        surroundings_(surroundings),
        options_(options),
        files_(options.file_system != nullptr ? *options.file_system : support::PlatformFileSystem()) {}

  void CheckInputs(const std::string& participants, std::string& number_template);
  void OpenContacts(const ContactSourceFactory& sources);
  std::int32_t WritePhonebook(std::string_view participants, std::string_view number_template);
  void Finish(std::int32_t item_counter);
  void Tell(const RunEnded& end);

 private:
  std::string FolderSetting() const;
  void PickFolder();
  support::Utf8File& OpenOutput();
  std::int32_t WriteItems(support::Utf8File& out, LineInput line);
  void WriteContact(ContactItem& item, support::Utf8File& out, LineInput& line);
  void ReleaseContacts();
  void KeepOldFileWhenStrict() const;
  void Abandon();

  const FormatTraits& traits_;
  ExportFormat format_;
  RunSurroundings& surroundings_;
  const RunOptions& options_;
  support::FileSystem& files_;
  std::string output_path_;
  std::int32_t contacts_ = 0;  // items that answered their name

  std::unique_ptr<ContactSource> source_;
  std::unique_ptr<ContactNamespace> name_space_;
  std::unique_ptr<ContactApplication> application_;
  std::unique_ptr<ContactFolder> folder_;
  std::unique_ptr<ContactItems> items_;
  std::optional<support::clsWaitCursor> wait_cursor_;
  std::optional<support::ReplacementFile> replacement_;
  std::optional<support::Utf8File> out_;
};

void ExportRun::CheckInputs(const std::string& participants, std::string& number_template) {
  if (traits_.participants_required && participants.empty()) throw RunEnded{EarlyEnd::NoParticipants};
  if (number_template.empty()) number_template = kDefaultTemplate;
  if (options_.output_path) {
    output_path_ = *options_.output_path;
  } else {
    output_path_ = options_.output_stream != nullptr ? kStandardOutputName : DefaultOutputPath(format_);
  }
  if (options_.output_stream != nullptr) return;
  // The old file is only replaced at the very end; what must be known now is that it is a file that
  // may be replaced, and that no other run replaces it meanwhile: the lock lasts until the run ends.
  replacement_.emplace(output_path_, files_);
  try {
    replacement_->Prepare();
  } catch (const support::Failure&) {
    throw RunEnded{EarlyEnd::OldFileStays};
  }
}

std::string ExportRun::FolderSetting() const {
  return options_.contacts_folder ? *options_.contacts_folder : ContactsFolderSetting();
}

void ExportRun::OpenContacts(const ContactSourceFactory& sources) {
  if (options_.passed_over != nullptr) options_.passed_over->Clear();
  try {
    const std::string folder_setting = FolderSetting();
    source_ = NotNull(sources(folder_setting, [this] { return surroundings_.PickContactsFolder(); }));
    application_ = NotNull(source_->CreateApplication());
    name_space_ = NotNull(application_->GetNamespace("MAPI"));
    if (folder_setting.empty()) {
      PickFolder();
    } else {
      folder_ = NotNull(name_space_->GetDefaultFolder(FolderSetting()));
    }
    items_ = NotNull(folder_->Items());
    items_->Sort("[LastName]", false);
  } catch (const RunEnded&) {
    throw;
  } catch (const ContactsUnreadable& failure) {
    throw RunEnded{EarlyEnd::ContactsUnreadable, failure.description()};
  } catch (...) {
    throw RunEnded{EarlyEnd::ContactsUnavailable};
  }
}

// The folder the user picks, checked to hold contacts and recorded under "OutlookFolder".
void ExportRun::PickFolder() {
  folder_ = name_space_->PickFolder();
  if (!folder_) throw support::Failure(support::ErrorNumber::OperationCancelled);
  if (folder_->DefaultProperty() == "0") throw RunEnded{EarlyEnd::NothingPicked};
  if (folder_->DefaultItemType() != kContactItemType) throw RunEnded{EarlyEnd::NotAContactsFolder};
  if (options_.record_picked_folder) {
    support::Write_INI(support::App_Title, kPickedFolderKey, folder_->DefaultProperty());
  }
}

support::Utf8File& ExportRun::OpenOutput() {
  if (options_.output_stream != nullptr) {
    return out_.emplace(std::make_unique<support::StdioFile>(options_.output_stream, false), output_path_);
  }
  return out_.emplace(replacement_->Open());
}

// Returns the number of items; a line that cannot be written or contacts that cannot all be read make
// the whole file worthless, so the old file then stays and no shortened phonebook takes its place.
std::int32_t ExportRun::WritePhonebook(std::string_view participants, std::string_view number_template) {
  wait_cursor_.emplace(surroundings_);
  wait_cursor_->Show();
  support::Utf8File* out = nullptr;
  try {
    out = &OpenOutput();
    support::Write_UTF8_Text(*out, traits_.header, true);
  } catch (...) {
    if (replacement_) replacement_->Discard();
    throw RunEnded{EarlyEnd::FileFailed};
  }
  try {
    LineInput line;
    line.participants = participants;
    line.area_table_exists = phone::Area_Table_Exists;
    line.number_template = number_template;
    const std::int32_t item_counter = WriteItems(*out, line);
    KeepOldFileWhenStrict();
    if (replacement_) {
      replacement_->Commit();
    } else {
      out->Close();
    }
    return item_counter;
  } catch (const RunEnded&) {
    Abandon();
    throw;
  } catch (...) {
    Abandon();
    throw RunEnded{EarlyEnd::FileFailed};
  }
}

// The new file goes, the old one stays.
void ExportRun::Abandon() {
  if (replacement_) replacement_->Discard();
  ReleaseContacts();
}

void ExportRun::KeepOldFileWhenStrict() const {
  if (!options_.strict) return;
  if (options_.passed_over != nullptr && !options_.passed_over->Empty()) {
    throw RunEnded{EarlyEnd::PassedOverStrict, options_.passed_over->Counts()};
  }
  if (contacts_ == 0) throw RunEnded{EarlyEnd::NoContactStrict};
}

std::int32_t ExportRun::WriteItems(support::Utf8File& out, LineInput line) {
  try {
    items_->Rewind();
  } catch (...) {
    // Enumeration starts where the collection stands; nothing is lost by going on.
  }
  std::int32_t item_counter = 0;
  // An enumeration that fails leaves the rest of the folder unread, which ends the run like a failed write.
  while (const std::unique_ptr<ContactItem> item = items_->Next()) {
    WriteContact(*item, out, line);
    ++item_counter;
  }
  return item_counter;
}

// One line per telephone entry that gives one; the progress bar moves for every entry.
void ExportRun::WriteContact(ContactItem& item, support::Utf8File& out, LineInput& line) {
  const std::optional<std::string> contact_name = ContactName(item);
  if (contact_name) ++contacts_;
  const std::string name = contact_name.value_or("");
  for (const TelephoneEntry& entry : kTelephoneEntries) {
    if (const auto number = TryProperty(item, entry.property)) {
      std::string label = name;
      label += entry.suffix;
      line.label = label;
      line.number = *number;
      const std::string text = traits_.build_line(line);
      if (!text.empty()) support::Write_UTF8_Text(out, text, true);
    }
    try {
      Step_Progress(surroundings_);
    } catch (...) {
      // The bar only shows activity; the file matters more.
    }
  }
}

void ExportRun::ReleaseContacts() {
  items_.reset();
  folder_.reset();
  application_.reset();
  name_space_.reset();
}

// Failures from here on are not the run's to settle: they pass to its caller.
void ExportRun::Finish(std::int32_t item_counter) {
  ReleaseContacts();
  surroundings_.SetProgressValue(100);
  surroundings_.ShowMessage(
      "Fertig, " + std::to_string(item_counter) + " Adressen exportiert in \r\n" + output_path_,
      MessageIcon::None);
  surroundings_.SetProgressValue(1);
}

void ExportRun::Tell(const RunEnded& end) {
  const EndMessage message = MessageFor(end);
  if (!message.text.empty()) surroundings_.ShowMessage(message.text, message.icon);
}

}  // namespace

void Step_Progress(RunSurroundings& surroundings) {
  const float maximum = surroundings.ProgressMax();
  const float value = surroundings.ProgressValue();
  surroundings.SetProgressValue(value + 1 > maximum ? 1.0F : value + 1);
}

std::string DefaultOutputPath(ExportFormat format) {
  const std::string file = TraitsOf(format).file_name;
  // Set but empty counts as not set: it would put the file at the root of the file system.
  if (const auto profile = support::EnvironmentVariable("USERPROFILE"); profile && !profile->empty()) {
    return support::Add_Backslash(*profile) + "documents" + support::kPathSeparator + file;
  }
  if (const std::string documents = support::UserDocumentsFolder(); !documents.empty()) {
    return support::Add_Backslash(documents) + file;
  }
  return support::Add_Backslash("") + "documents" + support::kPathSeparator + file;
}

RunOutcome RunExport(ExportFormat format, RunSurroundings& surroundings, const ContactSourceFactory& sources,
                     const std::string& participants, std::string& number_template,
                     const RunOptions& options) {
  ExportRun run(format, surroundings, options);
  try {
    run.CheckInputs(participants, number_template);
    run.OpenContacts(sources);
    const std::int32_t item_counter = run.WritePhonebook(participants, number_template);
    run.Finish(item_counter);
    return RunOutcome::Written;
  } catch (const RunEnded& end) {
    run.Tell(end);
    return RunOutcome::Failed;
  }
}

RunOutcome Export_Nfon(RunSurroundings& surroundings, const ContactSourceFactory& sources,
                       std::string& participants, std::string& number_template) {
  return RunExport(ExportFormat::Nfon, surroundings, sources, participants, number_template);
}

RunOutcome Export_Siemens(RunSurroundings& surroundings, const ContactSourceFactory& sources,
                          std::string& participants, std::string& number_template) {
  return RunExport(ExportFormat::Siemens, surroundings, sources, participants, number_template);
}

RunOutcome Export_Outlook(RunSurroundings& surroundings, const ContactSourceFactory& sources,
                          std::string& participants, std::string& number_template) {
  return RunExport(ExportFormat::Outlook, surroundings, sources, participants, number_template);
}

RunOutcome Export_Simple(RunSurroundings& surroundings, const ContactSourceFactory& sources,
                         std::string& participants, std::string& number_template) {
  return RunExport(ExportFormat::Simple, surroundings, sources, participants, number_template);
}

}  // namespace fernkartei::exporting
