#pragma once
// What an export run needs of a contacts store, shaped like the Outlook automation calls it makes, so
// that the run is written once and works the same against Outlook, a vCard folder or a test fake.
// Every operation may fail by throwing support::Failure.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "support/failure.h"

namespace fernkartei::exporting {

// Contacts that are there but cannot be read (a folder none of whose files can be read, say). The run
// ends with this failure's description, which names what could not be read, rather than with the
// message about Outlook, which would send the user looking in the wrong place.
class ContactsUnreadable : public support::Failure {
 public:
  using Failure::Failure;
};

// Outlook's item type of a folder that holds contacts (olContactItem).
inline constexpr int kContactItemType = 2;

// One item of a folder. A contact answers the name and telephone properties; an item that is not a
// contact (a distribution list, a vCard group) fails for them.
class ContactItem {
 public:
  virtual ~ContactItem() = default;
  // The text of a property by its Outlook name ("LastName", "BusinessTelephoneNumber", ...): empty when
  // the contact has no such value; throws when the item has no such property.
  virtual std::string Property(std::string_view name) = 0;
};

// A folder's item collection, enumerated in its current order.
class ContactItems {
 public:
  virtual ~ContactItems() = default;
  // Sorts by a bracketed property name such as "[LastName]"; descending = false sorts ascending.
  virtual void Sort(std::string_view property, bool descending) = 0;
  // Starts the enumeration over; after it, Next gives every item once.
  virtual void Rewind() = 0;
  // The next item, or nullptr after the last one.
  virtual std::unique_ptr<ContactItem> Next() = 0;
};

class ContactFolder {
 public:
  virtual ~ContactFolder() = default;
  // The folder's default property as text (Outlook gives its name; a vCard folder its path).
  virtual std::string DefaultProperty() = 0;
  virtual int DefaultItemType() = 0;
  virtual std::unique_ptr<ContactItems> Items() = 0;
};

class ContactNamespace {
 public:
  virtual ~ContactNamespace() = default;
  // The folder named by the text of the settings key "Outlook-Ordner", handed over unchanged.
  virtual std::unique_ptr<ContactFolder> GetDefaultFolder(const std::string& folder) = 0;
  // The folder the user picks, or nullptr when the user cancels.
  virtual std::unique_ptr<ContactFolder> PickFolder() = 0;
};

class ContactApplication {
 public:
  virtual ~ContactApplication() = default;
  virtual std::unique_ptr<ContactNamespace> GetNamespace(const std::string& type) = 0;
};

// The entry point: "create the object Outlook.Application".
class ContactSource {
 public:
  virtual ~ContactSource() = default;
  virtual std::unique_ptr<ContactApplication> CreateApplication() = 0;
};

// Asks the user for a contacts folder; nothing when the user cancels or there is no one to ask.
using FolderPicker = std::function<std::optional<std::string>()>;

// Makes the source that serves a folder setting ("Outlook-Ordner", or what the command line gives in its
// place; empty when the user is to pick the folder). Each program's main decides which kinds of source
// there are and hands the factory down; the run only asks it. May throw support::Failure.
using ContactSourceFactory = std::function<std::unique_ptr<ContactSource>(const std::string& folder_setting,
                                                                          const FolderPicker& pick_folder)>;

}  // namespace fernkartei::exporting
