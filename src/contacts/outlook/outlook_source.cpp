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

// One Outlook object of the run. The apartment is released after the object.
class Held {
 public:
  Held(Apartment apartment, Dispatch object) : apartment_(std::move(apartment)), object_(std::move(object)) {}

 protected:
  Apartment apartment_;
  Dispatch object_;
};

class OutlookItem final : public exporting::ContactItem, private Held {
 public:
  OutlookItem(Apartment apartment, Dispatch item, MemberIds* class_members)
      : Held(std::move(apartment), std::move(item)), class_members_(class_members) {}

  std::string Property(std::string_view name) override { return object_.Get(IdOf(name)).ToText(); }

 private:
  DISPID IdOf(std::string_view name) {
    if (class_members_ == nullptr) return object_.MemberId(name);
    auto known = class_members_->find(name);
    if (known == class_members_->end())
      known = class_members_->emplace(std::string(name), object_.FindMember(name)).first;
    if (!known->second) throw support::Failure(support::ErrorNumber::PropertyNotSupported);
    return *known->second;
  }

  MemberIds* class_members_;
};

class OutlookItems final : public exporting::ContactItems, private Held {
 public:
  using Held::Held;

  void Sort(std::string_view property, bool descending) override {
    object_.Call("Sort", {Variant::Text(property), Variant::Bool(descending)});
  }
  void Rewind() override { enumerator_.reset(); }
  std::unique_ptr<exporting::ContactItem> Next() override {
    if (!enumerator_) enumerator_.emplace(object_.Enumerate());
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

  std::optional<Enumerator> enumerator_;
  std::map<std::int32_t, MemberIds> members_by_class_;
};

class OutlookFolder final : public exporting::ContactFolder, private Held {
 public:
  using Held::Held;

  std::string DefaultProperty() override { return object_.Value().ToText(); }
  int DefaultItemType() override { return object_.Get("DefaultItemType").ToInt(); }
  std::unique_ptr<exporting::ContactItems> Items() override {
    return std::make_unique<OutlookItems>(apartment_, object_.Get("Items").ToObject());
  }
};

class OutlookNamespace final : public exporting::ContactNamespace, private Held {
 public:
  using Held::Held;

  // Outlook reads the text as one of its folder numbers ("10" is the contacts folder).
  std::unique_ptr<exporting::ContactFolder> GetDefaultFolder(const std::string& folder) override {
    return FolderOf(object_.Get("GetDefaultFolder", {Variant::Text(folder)}));
  }
  std::unique_ptr<exporting::ContactFolder> PickFolder() override {
    return FolderOf(object_.Get("PickFolder"));
  }

 private:
  // Nothing (a cancelled dialog) becomes no folder.
  std::unique_ptr<exporting::ContactFolder> FolderOf(const Variant& result) {
    Dispatch folder = result.ToObject();
    if (!folder) return nullptr;
    return std::make_unique<OutlookFolder>(apartment_, std::move(folder));
  }
};

class OutlookApplication final : public exporting::ContactApplication, private Held {
 public:
  using Held::Held;

  std::unique_ptr<exporting::ContactNamespace> GetNamespace(const std::string& type) override {
    Dispatch name_space = object_.Get("GetNamespace", {Variant::Text(type)}).ToObject();
    if (!name_space) return nullptr;
    return std::make_unique<OutlookNamespace>(apartment_, std::move(name_space));
  }
};

}  // namespace

OutlookSource::OutlookSource(std::string prog_id) : prog_id_(std::move(prog_id)) {}

std::unique_ptr<exporting::ContactApplication> OutlookSource::CreateApplication() {
  Apartment apartment = support::automation::JoinComApartment();
  Dispatch application = Dispatch::Create(prog_id_);
  return std::make_unique<OutlookApplication>(std::move(apartment), std::move(application));
}

}  // namespace fernkartei::contacts
