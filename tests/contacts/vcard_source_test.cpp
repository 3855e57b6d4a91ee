// The vCard source as the export run drives it: folders by path or by Outlook's number, the picked folder,
// properties by Outlook name, sorting. Which files of a folder are read, in which order, and what is said
// of a file that cannot be read: the golden folders and passed_over_test.cpp of the export tests.

#include "contacts/vcard_source.h"

#include <gtest/gtest.h>

#include "fixtures/card.h"
#include "fixtures/failure_number.h"
#include "fixtures/temp_folder.h"
#include "support/file_helpers.h"

namespace fernkartei::contacts {
namespace {

using support::ErrorNumber;
using testing::FailureNumberOf;
using testing::Number;

std::string Card(const std::string& body) {
  return testing::Card("3.0", body);
}

// LastNameAndFirstName of every item, in enumeration order; "-" for an item that is no contact.
std::vector<std::string> Names(exporting::ContactItems& items) {
  std::vector<std::string> names;
  items.Rewind();
  while (auto item = items.Next()) {
    try {
      names.push_back(item->Property("LastNameAndFirstName"));
    } catch (const support::Failure&) {
      names.push_back("-");
    }
  }
  return names;
}

class VCardSourceTest : public ::testing::Test {
 protected:
  std::unique_ptr<exporting::ContactNamespace> Namespace(FolderPicker pick = {}) const {
    return VCardSource(Path(""), std::move(pick)).CreateApplication()->GetNamespace("mapi");
  }
  std::string Path(const std::string& name) const { return support::Utf8FromPath(program_.path() / name); }

  testing::TempFolder program_;
};

TEST_F(VCardSourceTest, DefaultFolderByPathOrTheNumberTenForKontakteBesideTheProgram) {
  EXPECT_NE(FailureNumberOf([] { VCardSource("/", {}).CreateApplication()->GetNamespace("LDAP"); }), 0);
  auto ns = Namespace();
  // The folder's default property and item type, or the number of its failure.
  const auto open = [&](const std::string& text) {
    try {
      const auto folder = ns->GetDefaultFolder(text);
      return folder->DefaultProperty() + " " + std::to_string(folder->DefaultItemType());
    } catch (const support::Failure& failure) {
      return "Fehler " + std::to_string(failure.number());
    }
  };
  const std::string missing = "Fehler " + std::to_string(Number(ErrorNumber::PathNotFound));
  const std::string contacts = " " + std::to_string(exporting::kContactItemType);
  EXPECT_EQ(open("10"), missing);
  program_.Write("Kontakte/a.vcf", Card("N:Muster;Max\r\n"));
  const auto file = program_.Write("one.vcf", Card("N:Eins;E\r\n") + Card("N:Zwei;Z\r\n"));
  program_.Write("leer/notiz.txt", "keine Karte");
  const std::pair<std::string, std::string> cases[] = {
      {" 10 ", Path("Kontakte") + contacts},
      {file, file + contacts},
      {Path(""), Path("") + contacts},
      {Path("leer"), Path("leer") + " 0"},
      {Path("fehlt.vcf"), missing},
      {Path("fehlt"), missing},
      {"", missing},
      {"6", missing},  // another of Outlook's folder numbers is no path here
  };
  for (const auto& [text, opened] : cases) EXPECT_EQ(open(text), opened) << text;
  EXPECT_EQ(Names(*ns->GetDefaultFolder("10")->Items()), std::vector<std::string>{"Muster, Max"});
  EXPECT_EQ(Names(*ns->GetDefaultFolder(file)->Items()), (std::vector<std::string>{"Eins, E", "Zwei, Z"}));
}

TEST_F(VCardSourceTest, PickFolderAsksTheSurroundings) {
  program_.Write("karten/x.vcf", Card("N:X;y\r\n"));
  EXPECT_EQ(Namespace([] { return std::string(); })->PickFolder(), nullptr);
  auto folder = Namespace([&] { return Path("karten"); })->PickFolder();
  ASSERT_NE(folder, nullptr);
  EXPECT_EQ(folder->DefaultProperty(), Path("karten"));
  EXPECT_EQ(folder->DefaultItemType(), exporting::kContactItemType);
}

TEST_F(VCardSourceTest, PropertiesByOutlookNameAndNoneOfAGroup) {
  const auto file = program_.Write("k.vcf", Card("N:Muster;Max\r\nTEL;TYPE=CELL:6\r\n") +
                                                Card("KIND:group\r\nFN:Verteiler\r\nN:Liste;L\r\nTEL:9\r\n"));
  auto items = Namespace()->GetDefaultFolder(file)->Items();
  auto contact = items->Next();
  EXPECT_EQ(contact->Property("lastname"), "Muster");
  EXPECT_EQ(contact->Property("MobileTelephoneNumber"), "6");
  for (const char* name : {"Email1Address", ""})
    EXPECT_EQ(FailureNumberOf([&] { contact->Property(name); }), Number(ErrorNumber::PropertyNotSupported));
  auto group = items->Next();
  ASSERT_NE(group, nullptr);
  for (const char* name : {"LastNameAndFirstName", "LastName", "OtherTelephoneNumber"})
    EXPECT_EQ(FailureNumberOf([&] { group->Property(name); }), Number(ErrorNumber::PropertyNotSupported));
  EXPECT_EQ(items->Next(), nullptr);
  EXPECT_EQ(items->Next(), nullptr);
}

// Stable either way: equal last names keep the order of the files; what is no contact sorts as empty.
TEST_F(VCardSourceTest, SortsEitherWayAndByAnyNameProperty) {
  auto items =
      Namespace()
          ->GetDefaultFolder(program_.Write(
              "s.vcf", Card("N:Zorn;1\r\n") + Card("N:Bauer;2\r\n") + Card("FN:Ohne Nachname\r\n") +
                           Card("KIND:group\r\nN:Aaa;G\r\n") + Card("N:Bauer;1\r\n") + Card("N:Ärger;3\r\n")))
          ->Items();
  items->Sort("[LastName]", true);
  EXPECT_EQ(Names(*items),
            (std::vector<std::string>{"Zorn, 1", "Bauer, 2", "Bauer, 1", "Ärger, 3", "Ohne Nachname", "-"}));
  items->Sort("[FirstName]", false);
  EXPECT_EQ(Names(*items).front(), "Ohne Nachname");
  EXPECT_EQ(FailureNumberOf([&] { items->Sort("[Unbekannt]", false); }),
            Number(ErrorNumber::PropertyNotSupported));
}

}  // namespace
}  // namespace fernkartei::contacts
