#pragma once
// A scripted contact source: folders, items and their properties are set up by the test, the calls the
// run makes are logged, and any one of them can be made to fail.

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

struct FakeItem {
  std::map<std::string, std::string> properties;
  std::set<std::string> failing = {};  // properties whose read fails
  bool fail_unknown = false;           // any property not listed fails too, as for an item that is no contact
};

struct FakeFolder {
  std::string default_property = "Kontakte";
  int item_type = exporting::kContactItemType;
  std::vector<FakeItem> items;
};

struct FakeScript {
  std::map<std::string, FakeFolder> default_folders;  // by the text handed to GetDefaultFolder
  std::optional<FakeFolder> picked;                   // nothing: the user cancels the dialog
  std::set<std::string> failing;                      // names of the calls that fail
  std::vector<std::string> log;                       // every call and release, in order

  void Enter(const std::string& call, const std::string& argument = "") {
    log.push_back(argument.empty() ? call : call + " " + argument);
    if (failing.count(call) != 0) throw support::Failure(support::ErrorNumber::CannotCreateObject);
  }
};

namespace detail {

// One of the contact objects: it plays the script and logs "release <name>" when it goes.
template <typename Interface>
struct Part : Interface {
  Part(FakeScript& s, const char* n) : script(s), name(n) {}
  ~Part() override { script.log.push_back(std::string("release ") + name); }
  FakeScript& script;
  const char* name;
};

struct Item : exporting::ContactItem {
  explicit Item(FakeItem data) : data(std::move(data)) {}
  std::string Property(std::string_view name) override {
    const auto found = data.properties.find(std::string(name));
    if (data.failing.count(std::string(name)) != 0 || (found == data.properties.end() && data.fail_unknown))
      throw support::Failure(support::ErrorNumber::PropertyNotSupported);
    return found == data.properties.end() ? std::string() : found->second;
  }
  FakeItem data;
};

struct Items : Part<exporting::ContactItems> {
  Items(FakeScript& s, std::vector<FakeItem> items) : Part(s, "Items"), items(std::move(items)) {}
  void Sort(std::string_view property, bool descending) override {
    script.Enter("Sort", std::string(property) + (descending ? " true" : " false"));
  }
  void Rewind() override { script.Enter("Rewind"), position = 0; }
  std::unique_ptr<exporting::ContactItem> Next() override {
    script.Enter("Next");
    return position < items.size() ? std::make_unique<Item>(items[position++]) : nullptr;
  }
  std::vector<FakeItem> items;
  std::size_t position = 0;
};

struct Folder : Part<exporting::ContactFolder> {
  Folder(FakeScript& s, FakeFolder data) : Part(s, "Folder"), data(std::move(data)) {}
  std::string DefaultProperty() override { return script.Enter("DefaultProperty"), data.default_property; }
  int DefaultItemType() override { return script.Enter("DefaultItemType"), data.item_type; }
  std::unique_ptr<exporting::ContactItems> Items() override {
    return script.Enter("Items"), std::make_unique<detail::Items>(script, data.items);
  }
  FakeFolder data;
};

struct Namespace : Part<exporting::ContactNamespace> {
  using Part::Part;
  std::unique_ptr<exporting::ContactFolder> GetDefaultFolder(const std::string& folder) override {
    script.Enter("GetDefaultFolder", folder);
    const auto found = script.default_folders.find(folder);
    if (found == script.default_folders.end())
      throw support::Failure(support::ErrorNumber::InvalidProcedureCall);
    return std::make_unique<Folder>(script, found->second);
  }
  std::unique_ptr<exporting::ContactFolder> PickFolder() override {
    script.Enter("PickFolder");
    return script.picked ? std::make_unique<Folder>(script, *script.picked) : nullptr;
  }
};

struct Application : Part<exporting::ContactApplication> {
  using Part::Part;
  std::unique_ptr<exporting::ContactNamespace> GetNamespace(const std::string& type) override {
    return script.Enter("GetNamespace", type), std::make_unique<Namespace>(script, "Namespace");
  }
};

struct Source : exporting::ContactSource {
  explicit Source(FakeScript& s) : script(s) {}
  std::unique_ptr<exporting::ContactApplication> CreateApplication() override {
    return script.Enter("CreateApplication"), std::make_unique<Application>(script, "Application");
  }
  FakeScript& script;
};

}  // namespace detail

// What a run is handed: every source it asks for plays the script.
inline exporting::ContactSourceFactory FactoryOf(FakeScript& script) {
  return [&script](const std::string&, const exporting::FolderPicker&) {
    return std::make_unique<detail::Source>(script);
  };
}

// The entries of the log that start with prefix, in order.
inline std::vector<std::string> Calls(const FakeScript& script, const std::string& prefix) {
  std::vector<std::string> out;
  for (const auto& entry : script.log)
    if (entry.starts_with(prefix)) out.push_back(entry);
  return out;
}

}  // namespace fernkartei::fakes
