#pragma once
// A scripted contact source: folders, items and their properties are set up by the test, every
// operation is recorded, and any one of them can be made to fail.

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "export/contact_source.h"
#include "support/failure.h"

namespace fernkartei::fakes {

enum class FakeOperation {
  CreateApplication,
  GetNamespace,
  GetDefaultFolder,
  PickFolder,
  DefaultProperty,
  DefaultItemType,
  Items,
  Sort,
  Rewind,
  Next,
};

struct FakeItem {
  std::map<std::string, std::string> properties;
  // Properties whose read fails, as for an item that is not a contact.
  std::set<std::string> failing;
  // Any property not listed above fails as well (a distribution list has no telephone numbers at all).
  bool fail_unknown = false;
};

struct FakeFolder {
  std::string default_property = "Kontakte";
  int item_type = exporting::kContactItemType;
  std::vector<FakeItem> items;
};

struct FakeScript {
  std::map<std::string, FakeFolder> default_folders;  // by the text handed to GetDefaultFolder
  std::optional<FakeFolder> picked;                   // nothing: the user cancels the dialog
  std::set<FakeOperation> failing;
  std::vector<std::string> log;  // every call, in order
};

namespace detail {

inline void Enter(FakeScript& script, FakeOperation operation, std::string entry) {
  script.log.push_back(std::move(entry));
  if (script.failing.count(operation) != 0) {
    throw support::Failure(support::ErrorNumber::CannotCreateObject, "scripted failure");
  }
}

class Item : public exporting::ContactItem {
 public:
  Item(FakeScript& script, FakeItem data) : script_(script), data_(std::move(data)) {}
  std::string Property(std::string_view name) override {
    const std::string key(name);
    script_.log.push_back("Property " + key);
    const auto found = data_.properties.find(key);
    if (data_.failing.count(key) != 0 || (found == data_.properties.end() && data_.fail_unknown)) {
      throw support::Failure(support::ErrorNumber::PropertyNotSupported);
    }
    return found == data_.properties.end() ? std::string() : found->second;
  }

 private:
  FakeScript& script_;
  FakeItem data_;
};

class Items : public exporting::ContactItems {
 public:
  Items(FakeScript& script, std::vector<FakeItem> items) : script_(script), items_(std::move(items)) {}
  ~Items() override { script_.log.push_back("release Items"); }
  void Sort(std::string_view property, bool descending) override {
    Enter(script_, FakeOperation::Sort, "Sort " + std::string(property) + (descending ? " true" : " false"));
  }
  void Rewind() override {
    Enter(script_, FakeOperation::Rewind, "Rewind");
    position_ = 0;
  }
  std::unique_ptr<exporting::ContactItem> Next() override {
    Enter(script_, FakeOperation::Next, "Next");
    if (position_ >= items_.size()) return nullptr;
    return std::make_unique<Item>(script_, items_[position_++]);
  }

 private:
  FakeScript& script_;
  std::vector<FakeItem> items_;
  std::size_t position_ = 0;
};

class Folder : public exporting::ContactFolder {
 public:
  Folder(FakeScript& script, FakeFolder data) : script_(script), data_(std::move(data)) {}
  ~Folder() override { script_.log.push_back("release Folder"); }
  std::string DefaultProperty() override {
    Enter(script_, FakeOperation::DefaultProperty, "DefaultProperty");
    return data_.default_property;
  }
  int DefaultItemType() override {
    Enter(script_, FakeOperation::DefaultItemType, "DefaultItemType");
    return data_.item_type;
  }
  std::unique_ptr<exporting::ContactItems> Items() override {
    Enter(script_, FakeOperation::Items, "Items");
    return std::make_unique<detail::Items>(script_, data_.items);
  }

 private:
  FakeScript& script_;
  FakeFolder data_;
};

class Namespace : public exporting::ContactNamespace {
 public:
  explicit Namespace(FakeScript& script) : script_(script) {}
  ~Namespace() override { script_.log.push_back("release Namespace"); }
  std::unique_ptr<exporting::ContactFolder> GetDefaultFolder(const std::string& folder) override {
    Enter(script_, FakeOperation::GetDefaultFolder, "GetDefaultFolder " + folder);
    const auto found = script_.default_folders.find(folder);
    if (found == script_.default_folders.end()) {
      throw support::Failure(support::ErrorNumber::InvalidProcedureCall, "no such folder");
    }
    return std::make_unique<Folder>(script_, found->second);
  }
  std::unique_ptr<exporting::ContactFolder> PickFolder() override {
    Enter(script_, FakeOperation::PickFolder, "PickFolder");
    if (!script_.picked) return nullptr;
    return std::make_unique<Folder>(script_, *script_.picked);
  }

 private:
  FakeScript& script_;
};

class Application : public exporting::ContactApplication {
 public:
  explicit Application(FakeScript& script) : script_(script) {}
  ~Application() override { script_.log.push_back("release Application"); }
  std::unique_ptr<exporting::ContactNamespace> GetNamespace(const std::string& type) override {
    Enter(script_, FakeOperation::GetNamespace, "GetNamespace " + type);
    return std::make_unique<Namespace>(script_);
  }

 private:
  FakeScript& script_;
};

}  // namespace detail

class FakeContactSource : public exporting::ContactSource {
 public:
  FakeScript script;

  std::unique_ptr<exporting::ContactApplication> CreateApplication() override {
    detail::Enter(script, FakeOperation::CreateApplication, "CreateApplication");
    return std::make_unique<detail::Application>(script);
  }

  // What a run is handed: every source it asks for is this one.
  exporting::ContactSourceFactory Factory() {
    struct Handle : exporting::ContactSource {
      explicit Handle(FakeContactSource& source) : source(source) {}
      std::unique_ptr<exporting::ContactApplication> CreateApplication() override {
        return source.CreateApplication();
      }
      FakeContactSource& source;
    };
    return [this](const std::string&, const exporting::FolderPicker&) {
      return std::make_unique<Handle>(*this);
    };
  }

  // Entries of the log that start with prefix, in order.
  std::vector<std::string> Calls(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& entry : script.log) {
      if (entry.rfind(prefix, 0) == 0) out.push_back(entry);
    }
    return out;
  }
};

// A contact with LastNameAndFirstName and the given telephone properties.
inline FakeItem Contact(const std::string& last_and_first, std::map<std::string, std::string> numbers,
                        const std::string& last_name = "") {
  FakeItem item;
  item.properties = std::move(numbers);
  item.properties["LastNameAndFirstName"] = last_and_first;
  item.properties["LastName"] = last_name.empty() ? last_and_first : last_name;
  return item;
}

}  // namespace fernkartei::fakes
