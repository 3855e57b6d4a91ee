#include "contacts/outlook/outlook_source.h"

#include <functional>
#include <map>
#include <optional>
#include <string_view>
#include <utility>

#include "support/failure.h"
#include "support/windows/automation.h"

namespace fernkartei::contacts {
namespace {

using support::automation::ComApartment;
using support::automation::Dispatch;
using support::automation::Enumerator;
using support::automation::Variant;

// Every object of a run holds the apartment, so that COM stays joined until the last one is released.
using Apartment = std::shared_ptr<ComApartment>;

// The members of one item class: their ids, or nothing for a member the class lacks.
using MemberIds = std::map<std::string, std::optional<DISPID>, std::less<>>;

class OutlookItem final : public exporting::ContactItem {
 public:
  OutlookItem(Apartment apartment, Dispatch item, MemberIds* class_members)
      : apartment_(std::move(apartment)), item_(std::move(item)), class_members_(class_members) {}

  std::string Property(std::string_view name) override { return item_.Get(IdOf(name)).ToText(); }

 private:
  DISPID IdOf(std::string_view name) {
    if (class_members_ == nullptr) return item_.MemberId(name);
    auto known = class_members_->find(name);
    if (known == class_members_->end())
      known = class_members_->emplace(std::string(name), item_.FindMember(name)).first;
    if (!known->second) throw support::Failure(support::ErrorNumber::PropertyNotSupported);
    return *known->second;
  }

  Apartment apartment_;
  Dispatch item_;
  MemberIds* class_members_;
};

class OutlookItems final : public exporting::ContactItems {
 public:
  OutlookItems(Apartment apartment, Dispatch items)
      : apartment_(std::move(apartment)), items_(std::move(items)) {}

  void Sort(std::string_view property, bool descending) override {
    items_.Call("Sort", {Variant::Text(property), Variant::Bool(descending)});
  }
  void Rewind() override { enumerator_.reset(); }
  std::unique_ptr<exporting::ContactItem> Next() override {
    if (!enumerator_) enumerator_.emplace(items_.Enumerate());
    const std::optional<Variant> element = enumerator_->Next();
    if (!element) return nullptr;
    Dispatch item;
    try {
      item = element->ToObject();
    } catch (const support::Failure&) {
      // Not an object: an item none of whose properties can be read, which still counts.
    }
    MemberIds* class_members = MembersOfClass(item);
    return std::make_unique<OutlookItem>(apartment_, std::move(item), class_members);
  }

 private:
  // Every item of one class (a contact, a distribution list) is reached through the same interface, so
  // the ids of its members are the same for all of them; looking them up once per class rather than
  // once per item saves a round trip to Outlook per property. The class itself is asked of each item:
  // ids are never carried over to an item of another class.
  MemberIds* MembersOfClass(const Dispatch& item) {
    if (!item) return nullptr;
    try {
      const auto class_id = item.FindMember("Class");
      return class_id ? &members_by_class_[item.Get(*class_id).ToInt()] : nullptr;
    } catch (const support::Failure&) {
      return nullptr;
    }
  }

  Apartment apartment_;
  Dispatch items_;
  std::optional<Enumerator> enumerator_;
  std::map<std::int32_t, MemberIds> members_by_class_;
};

class OutlookFolder final : public exporting::ContactFolder {
 public:
  OutlookFolder(Apartment apartment, Dispatch folder)
      : apartment_(std::move(apartment)), folder_(std::move(folder)) {}

  std::string DefaultProperty() override { return folder_.Value().ToText(); }
  int DefaultItemType() override { return folder_.Get("DefaultItemType").ToInt(); }
  std::unique_ptr<exporting::ContactItems> Items() override {
    return std::make_unique<OutlookItems>(apartment_, folder_.Get("Items").ToObject());
  }

 private:
  Apartment apartment_;
  Dispatch folder_;
};

class OutlookNamespace final : public exporting::ContactNamespace {
 public:
  OutlookNamespace(Apartment apartment, Dispatch name_space)
      : apartment_(std::move(apartment)), namespace_(std::move(name_space)) {}

  // Outlook reads the text as one of its folder numbers ("10" is the contacts folder).
  std::unique_ptr<exporting::ContactFolder> GetDefaultFolder(const std::string& folder) override {
    return FolderOf(namespace_.Get("GetDefaultFolder", {Variant::Text(folder)}));
  }
  std::unique_ptr<exporting::ContactFolder> PickFolder() override {
    return FolderOf(namespace_.Get("PickFolder"));
  }

 private:
  // Nothing (a cancelled dialog) becomes no folder.
  std::unique_ptr<exporting::ContactFolder> FolderOf(const Variant& result) {
    Dispatch folder = result.ToObject();
    if (!folder) return nullptr;
    return std::make_unique<OutlookFolder>(apartment_, std::move(folder));
  }

  Apartment apartment_;
  Dispatch namespace_;
};

class OutlookApplication final : public exporting::ContactApplication {
 public:
  OutlookApplication(Apartment apartment, Dispatch application)
      : apartment_(std::move(apartment)), application_(std::move(application)) {}

  std::unique_ptr<exporting::ContactNamespace> GetNamespace(const std::string& type) override {
    Dispatch name_space = application_.Get("GetNamespace", {Variant::Text(type)}).ToObject();
    if (!name_space) return nullptr;
    return std::make_unique<OutlookNamespace>(apartment_, std::move(name_space));
  }

 private:
  Apartment apartment_;
  Dispatch application_;
};

}  // namespace

OutlookSource::OutlookSource(std::string prog_id) : prog_id_(std::move(prog_id)) {}

std::unique_ptr<exporting::ContactApplication> OutlookSource::CreateApplication() {
  Apartment apartment = support::automation::JoinComApartment();
  Dispatch application = Dispatch::Create(prog_id_);
  return std::make_unique<OutlookApplication>(std::move(apartment), std::move(application));
}

}  // namespace fernkartei::contacts
