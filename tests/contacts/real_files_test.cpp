// Every card of the vCard files real programs wrote (Outlook, Apple, Google, Android, Thunderbird,
// KDE, Evolution), read through the source exactly as the export run reads it. The expected values
// were taken from the files by hand.

#include <gtest/gtest.h>

#include <map>

#include "contacts/vcard_folder.h"
#include "contacts/vcard_source.h"
#include "support/failure.h"

namespace fernkartei::contacts {
namespace {

const std::string kFolder = std::string(FERNKARTEI_TEST_DATA) + "/vcard";

struct ExpectedCard {
  std::string last_name_and_first_name;
  std::string first_name;
  std::string last_name;
  std::map<std::string, std::string> telephones;  // by property name; the others are empty
};

struct ExpectedFile {
  const char* file;
  std::vector<ExpectedCard> cards;
};

const std::string kN4 = "Ñ Ñ Ñ Ñ";
const std::string kN11 = "Ñ Ñ Ñ Ñ Ñ Ñ Ñ Ñ Ñ Ñ Ñ";
const std::string kChinese = "十城目管理大型知座";

const ExpectedFile kFiles[] = {
    {"John_Doe_ANDROID.vcf",
     {
         {"", "", "", {}},
         {"", "", "", {}},
         {kN4, "", kN4, {{"MobileTelephoneNumber", "123456789"}}},
         {kN11,
          "",
          kN11,
          {{"MobileTelephoneNumber", "123456"},
           {"HomeTelephoneNumber", "234567"},
           {"OtherTelephoneNumber", "3456789"},
           {"Home2TelephoneNumber", "45678901"}}},
         {"Ñ Ñ, Ñ Ñ Ñ",
          "Ñ Ñ Ñ",
          "Ñ Ñ",
          {{"MobileTelephoneNumber", "123456"}, {"BusinessTelephoneNumber", "123456"}}},
         {"ÑÑÑÑ", "", "ÑÑÑÑ", {{"MobileTelephoneNumber", "55556666"}}},
     }},
    {"John_Doe_GMAIL.vcf",
     {{"Doe, John",
       "John",
       "Doe",
       {{"MobileTelephoneNumber", "905-555-1234"}, {"HomeTelephoneNumber", "905-666-1234"}}}}},
    {"John_Doe_MAC_ADDRESS_BOOK.vcf",
     {{"Doe, John",
       "John",
       "Doe",
       {{"BusinessTelephoneNumber", "905-777-1234"},
        {"HomeTelephoneNumber", "905-666-1234"},
        {"MobileTelephoneNumber", "905-555-1234"},
        {"OtherTelephoneNumber", "905-222-1234"}}}}},
    {"John_Doe_MS_OUTLOOK.vcf",
     {{"Doe, John",
       "John",
       "Doe",
       {{"BusinessTelephoneNumber", "(905) 555-1234"}, {"HomeTelephoneNumber", "(905) 666-1234"}}}}},
    {"eds-5.vcf",
     {{kChinese,
       kChinese,
       "",
       {{"BusinessTelephoneNumber", kChinese},
        {"HomeTelephoneNumber", kChinese},
        {"MobileTelephoneNumber", kChinese}}}}},
    {"kcontacts-testfullvcard.vcf",
     {{"Holmes, Sherlock",
       "Sherlock",
       "Holmes",
       {{"HomeTelephoneNumber", "+44-555-555-5555;ext=5555"},
        {"MobileTelephoneNumber", "+44-555-555-6666"},
        {"BusinessTelephoneNumber", "+44-555-555-7777"}}}}},
    {"kcontacts-vcard10.vcf",
     {
         {"Bike Shop", "", "", {}},
         {"Broken", "Broken", "", {}},
         {"Broken", "Broken", "", {}},
         {"Name, Surname", "Surname", "Name", {}},
         {"Doctor, Second", "Second", "Doctor", {}},
     }},
    {"outlook-2003.vcf",
     {{"Doe, John",
       "John",
       "Doe",
       {{"BusinessTelephoneNumber", "BusinessPhone"},
        {"HomeTelephoneNumber", "HomePhone"},
        {"MobileTelephoneNumber", "MobilePhone"}}}}},
    {"thunderbird-MoreFunctionsForAddressBook-extension.vcf",
     {{"Doe, John",
       "John",
       "Doe",
       {{"BusinessTelephoneNumber", "555-555-1111"},
        {"HomeTelephoneNumber", "555-555-2222"},
        {"MobileTelephoneNumber", "555-555-5555"}}}}},
};

const char* const kTelephoneNames[] = {"PrimaryTelephoneNumber",     "BusinessTelephoneNumber",
                                       "Business2TelephoneNumber",   "HomeTelephoneNumber",
                                       "Home2TelephoneNumber",       "MobileTelephoneNumber",
                                       "CompanyMainTelephoneNumber", "OtherTelephoneNumber"};

TEST(RealFiles, EveryCardGivesItsNamesAndNumbers) {
  std::vector<std::string> diagnostics;
  VCardSource source("/", {}, [&](const std::string& d) { diagnostics.push_back(d); });
  auto ns = source.CreateApplication()->GetNamespace("MAPI");
  for (const auto& expected : kFiles) {
    SCOPED_TRACE(expected.file);
    auto folder = ns->GetDefaultFolder(kFolder + "/" + expected.file);
    EXPECT_EQ(folder->DefaultItemType(), exporting::kContactItemType);
    auto items = folder->Items();
    std::size_t index = 0;
    while (auto item = items->Next()) {
      SCOPED_TRACE("card " + std::to_string(index + 1));
      ASSERT_LT(index, expected.cards.size());
      const ExpectedCard& card = expected.cards[index++];
      EXPECT_EQ(item->Property("LastNameAndFirstName"), card.last_name_and_first_name);
      EXPECT_EQ(item->Property("FirstName"), card.first_name);
      EXPECT_EQ(item->Property("LastName"), card.last_name);
      for (const char* name : kTelephoneNames) {
        const auto it = card.telephones.find(name);
        EXPECT_EQ(item->Property(name), it == card.telephones.end() ? "" : it->second) << name;
      }
    }
    EXPECT_EQ(index, expected.cards.size());
  }
  // These files are well-formed: nothing may have been passed over.
  EXPECT_EQ(diagnostics, std::vector<std::string>{});
}

TEST(RealFiles, TheWholeFolderSortedByLastName) {
  VCardSource source("/", {});
  auto folder = source.CreateApplication()->GetNamespace("MAPI")->GetDefaultFolder(kFolder);
  EXPECT_EQ(folder->DefaultItemType(), exporting::kContactItemType);
  auto items = folder->Items();
  items->Sort("[LastName]", false);
  std::vector<std::string> order;
  while (auto item = items->Next()) order.push_back(item->Property("LastNameAndFirstName"));
  // Cards without a last name first, in file order (file names sorted byte-wise); "Ñ" sorts as "N",
  // and a blank before letters.
  const std::vector<std::string> expected = {"",
                                             "",
                                             kChinese,
                                             "Bike Shop",
                                             "Broken",
                                             "Broken",
                                             "Doctor, Second",
                                             "Doe, John",
                                             "Doe, John",
                                             "Doe, John",
                                             "Doe, John",
                                             "Doe, John",
                                             "Holmes, Sherlock",
                                             "Ñ Ñ, Ñ Ñ Ñ",
                                             kN4,
                                             kN11,
                                             "Name, Surname",
                                             "ÑÑÑÑ"};
  EXPECT_EQ(order, expected);
}

}  // namespace
}  // namespace fernkartei::contacts
