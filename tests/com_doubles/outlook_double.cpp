// "Outlook.Application" for the tests: the part of Outlook's object model the export uses, with folders
// and items read from the scenario file named by FERNKARTEI_OUTLOOK_DOUBLE. Every call goes to the
// journal beside it (scenario + ".log"). The scenario, one directive a line (others are passed over):
//   delay 50                      each call takes at least 50 µs, as a call into Outlook's process does,
//                                 and no journal is kept, so that a benchmark times the calls alone
//   pick 10                       PickFolder gives folder 10; without it the user cancels
//   fail-enumeration-after 3      the enumeration fails once three items are out
//   folder 10 2 Kontakte          folder number, DefaultItemType, name (its default property)
//   contact | distlist            an item of the folder above: a contact or a distribution list
//   LastName=Muster               a property of the item above
//   fail=MobileTelephoneNumber    reading that property of the item above fails

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
  long long pick = -1, fail_enumeration_after = -1, delay = 0;
};

Scenario Read(const std::wstring& path) {
  Scenario scenario;
  const std::map<std::wstring, long long*> numbers = {
      {L"pick", &scenario.pick},
      {L"fail-enumeration-after", &scenario.fail_enumeration_after},
      {L"delay", &scenario.delay}};
  for (const std::wstring& line : ReadLines(path)) {
    std::wistringstream words(line);
    std::wstring word;
    words >> word;
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
    } else if (numbers.count(word) != 0) {
      words >> *numbers.at(word);
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

IDispatch* NewFolder(const std::shared_ptr<Session>& session, const Folder& folder, std::size_t fail_at) {
  auto* object = new Object(session, L"Folder");
  object->Add(L"Name", Constant(folder.name), DISPID_VALUE);
  object->Add(L"DefaultItemType", Constant(folder.item_type));
  object->Add(L"Items", [session, folder, fail_at](Call& call) {
    auto* collection = new Object(session, L"Items");
    auto items = std::make_shared<std::vector<Item>>(folder.items);
    collection->Add(L"Sort", [items](Call& call) {
      if (_wcsicmp(call.Text(0).c_str(), L"[LastName]") != 0) return E_INVALIDARG;
      const bool descending = call.Text(1) == L"True";
      std::stable_sort(items->begin(), items->end(), [&](const Item& a, const Item& b) {
        const int order = CompareStringEx(L"de-DE", NORM_IGNORECASE, a.properties.at(L"LastName").c_str(), -1,
                                          b.properties.at(L"LastName").c_str(), -1, nullptr, nullptr, 0);
        return order == (descending ? CSTR_GREATER_THAN : CSTR_LESS_THAN);
      });
      return S_OK;
    });
    collection->Add(
        L"_NewEnum",
        [session, items, fail_at](Call& call) {
          V_VT(call.result) = VT_UNKNOWN;
          V_UNKNOWN(call.result) = new Enumeration(
              session, items->size(),
              [session, items](std::size_t i) { return NewItem(session, (*items)[i]); }, fail_at);
          return S_OK;
        },
        DISPID_NEWENUM);
    return Return(call.result, collection);
  });
  return object;
}

IDispatch* NewApplication() {
  wchar_t path[MAX_PATH] = {};
  GetEnvironmentVariableW(L"FERNKARTEI_OUTLOOK_DOUBLE", path, MAX_PATH);
  auto scenario = std::make_shared<Scenario>(Read(path));
  auto session = std::make_shared<Session>();
  session->delay = std::chrono::microseconds(scenario->delay);
  if (*path != L'\0' && scenario->delay == 0)
    session->journal.open((std::wstring(path) + L".log").c_str(), std::ios::binary | std::ios::app);
  // Nothing when there is no such folder.
  auto folder_of = [session, scenario](long long number) -> IDispatch* {
    for (const Folder& folder : scenario->folders)
      if (folder.number == number) return NewFolder(session, folder, scenario->fail_enumeration_after);
    return nullptr;
  };
  auto* application = new Object(session, L"Application");
  application->Add(L"GetNamespace", [session, folder_of, scenario](Call& call) {
    if (call.Text(0) != L"MAPI") return E_INVALIDARG;
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

const std::vector<ServerClass> kServerClasses = {{1, L"Outlook.Application", &NewApplication}};

}  // namespace fernkartei::doubles
