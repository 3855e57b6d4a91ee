// "Outlook.Application" for the tests: the part of Outlook's object model the export uses, with folders
// and items read from the scenario file named by FERNKARTEI_OUTLOOK_DOUBLE. Every call goes to the
// journal beside it (scenario + ".log"). The scenario, one directive a line:
//   delay 50                      each call takes at least 50 µs, as a call into Outlook's process does
//   quiet                         no journal (for timing)
//   pick 10                       PickFolder gives folder 10; without it the user cancels
//   fail-enumeration-after 3      the enumeration fails once three items are out
//   folder 10 2 Kontakte          folder number, DefaultItemType, name (its default property)
//   contact | distlist            an item of the folder above: a contact or a distribution list
//   LastName=Muster               a property of the item above
//   fail=MobileTelephoneNumber    reading that property of the item above fails

#include <cstdint>
#include <map>
#include <set>
#include <sstream>

#include "com_doubles/com_double.h"

namespace fernkartei::doubles {
namespace {

constexpr long kContactClass = 40;
constexpr long kDistributionListClass = 69;

// The members of each item class, with 0x100 plus their place as their id. A distribution list reuses ids
// the contact gives other members (MemberCount has MobileTelephoneNumber's), as the interfaces of
// different classes may: an id carried over from one class to the other would read the wrong member.
const std::map<long, std::vector<std::wstring>> kMembersByClass = {
    {kContactClass,
     {L"LastNameAndFirstName", L"FirstName", L"LastName", L"PrimaryTelephoneNumber",
      L"BusinessTelephoneNumber", L"Business2TelephoneNumber", L"HomeTelephoneNumber",
      L"Home2TelephoneNumber", L"MobileTelephoneNumber", L"CompanyMainTelephoneNumber",
      L"OtherTelephoneNumber"}},
    {kDistributionListClass, {L"DLName", L"", L"", L"", L"", L"", L"", L"", L"MemberCount"}},
};

struct Item {
  long item_class;
  std::map<std::wstring, std::wstring> properties;  // LastName always, the sort key
  std::set<std::wstring> failing;
};

struct Folder {
  long number = 0;
  long item_type = 0;
  std::wstring name;
  std::vector<Item> items;
};

struct Scenario {
  std::vector<Folder> folders;
  long pick = -1;
  std::size_t fail_enumeration_after = SIZE_MAX;
  long long delay = 0;
  bool quiet = false;
};

Scenario Read(const std::wstring& path) {
  Scenario scenario;
  for (const std::wstring& line : ReadLines(path)) {
    std::wistringstream words(line);
    std::wstring word;
    words >> word;
    if (word.empty() || word[0] == L'#') continue;
    std::vector<Item>* items = scenario.folders.empty() ? nullptr : &scenario.folders.back().items;
    const auto equals = line.find(L'=');
    if (equals != std::wstring::npos && items != nullptr && !items->empty()) {
      const std::wstring name = line.substr(0, equals), value = line.substr(equals + 1);
      if (name == L"fail")
        items->back().failing.insert(value);
      else
        items->back().properties[name] = value;
    } else if (word == L"folder") {
      Folder& folder = scenario.folders.emplace_back();
      words >> folder.number >> folder.item_type >> std::ws;
      std::getline(words, folder.name);
    } else if ((word == L"contact" || word == L"distlist") && items != nullptr) {
      items->push_back(
          {word == L"contact" ? kContactClass : kDistributionListClass, {{L"LastName", L""}}, {}});
    } else if (word == L"quiet") {
      scenario.quiet = true;
    } else if (word == L"delay") {
      words >> scenario.delay;
    } else if (word == L"pick") {
      words >> scenario.pick;
    } else if (word == L"fail-enumeration-after") {
      words >> scenario.fail_enumeration_after;
    }
  }
  return scenario;
}

IDispatch* NewItem(const std::shared_ptr<Session>& session, const Item& item) {
  auto* object = new Object(session, L"Item");
  object->Add(L"Class", Constant(item.item_class), 0xF00A);
  const std::vector<std::wstring>& members = kMembersByClass.at(item.item_class);
  for (DISPID place = 0; place < static_cast<DISPID>(members.size()); ++place) {
    const std::wstring& name = members[place];
    if (name.empty()) continue;
    const auto found = item.properties.find(name);
    Member value = Constant(found == item.properties.end() ? std::wstring() : found->second);
    if (item.failing.count(name) != 0)
      value = [](Call& call) { return call.Raise(L"Die Eigenschaft ist nicht verfügbar."); };
    object->Add(name, value, 0x100 + place);
  }
  return object;
}

IDispatch* NewItems(const std::shared_ptr<Session>& session, const Folder& folder, std::size_t fail_at) {
  auto* object = new Object(session, L"Items");
  auto items = std::make_shared<std::vector<Item>>(folder.items);
  object->Add(L"Sort", [items](Call& call) {
    std::wstring property;
    long descending = 0;
    if (!call.Text(0, property) || _wcsicmp(property.c_str(), L"[LastName]") != 0 ||
        !call.Number(1, descending))
      return E_INVALIDARG;
    std::stable_sort(items->begin(), items->end(), [&](const Item& a, const Item& b) {
      const int order = CompareStringEx(L"de-DE", NORM_IGNORECASE, a.properties.at(L"LastName").c_str(), -1,
                                        b.properties.at(L"LastName").c_str(), -1, nullptr, nullptr, 0);
      return order == (descending != 0 ? CSTR_GREATER_THAN : CSTR_LESS_THAN);
    });
    return S_OK;
  });
  object->Add(
      L"_NewEnum",
      [session, items, fail_at](Call& call) {
        std::vector<IDispatch*> elements;
        for (const Item& item : *items) elements.push_back(NewItem(session, item));
        V_VT(call.result) = VT_UNKNOWN;
        V_UNKNOWN(call.result) = new Enumeration(session, std::move(elements), fail_at);
        return S_OK;
      },
      DISPID_NEWENUM);
  return object;
}

IDispatch* NewFolder(const std::shared_ptr<Session>& session, const Folder& folder, std::size_t fail_at) {
  auto* object = new Object(session, L"Folder");
  object->Add(L"Name", Constant(folder.name), DISPID_VALUE);
  object->Add(L"DefaultItemType", Constant(folder.item_type));
  object->Add(L"Items", [session, folder, fail_at](Call& call) {
    return Return(call.result, NewItems(session, folder, fail_at));
  });
  return object;
}

IDispatch* NewApplication() {
  const std::wstring path = EnvironmentValue(L"FERNKARTEI_OUTLOOK_DOUBLE");
  auto scenario = std::make_shared<Scenario>(Read(path));
  auto session =
      std::make_shared<Session>(path.empty() || scenario->quiet ? L"" : path + L".log", scenario->delay);
  // Nothing when there is no such folder.
  auto folder_of = [session, scenario](long number) -> IDispatch* {
    for (const Folder& folder : scenario->folders)
      if (folder.number == number) return NewFolder(session, folder, scenario->fail_enumeration_after);
    return nullptr;
  };
  auto* application = new Object(session, L"Application");
  application->Add(L"GetNamespace", [session, folder_of, scenario](Call& call) {
    std::wstring type;
    if (!call.Text(0, type) || type != L"MAPI") return E_INVALIDARG;
    auto* name_space = new Object(session, L"Namespace");
    name_space->Add(L"GetDefaultFolder", [folder_of](Call& call) {
      long number = 0;
      // Outlook's dispatch converts the argument through its type library: "10" is taken as 10.
      if (!call.Number(0, number)) return DISP_E_TYPEMISMATCH;
      IDispatch* folder = folder_of(number);
      return folder != nullptr ? Return(call.result, folder) : call.Raise(L"Der Vorgang ist fehlgeschlagen.");
    });
    name_space->Add(L"PickFolder", [folder_of, scenario](Call& call) {
      return Return(call.result, folder_of(scenario->pick));
    });
    return Return(call.result, name_space);
  });
  return application;
}

}  // namespace

const std::vector<ServerClass>& ServerClasses() {
  // A class id of its own: Outlook's is never claimed.
  static const std::vector<ServerClass> classes = {
      {{0x5f1c3a2e, 0x7d4b, 0x4c1e, {0x9a, 0x61, 0x2b, 0x8e, 0x40, 0x11, 0xc7, 0x01}},
       L"Outlook.Application",
       &NewApplication},
  };
  return classes;
}

}  // namespace fernkartei::doubles
