// The vCard source as the export run drives it: application, namespace, folders, items, sorting and
// properties, each with the failures the run relies on.

#include "contacts/vcard_source.h"

#include <gtest/gtest.h>

#include "card_helpers.h"
#include "contacts/vcard_folder.h"
#include "support/failure.h"

namespace fernkartei::contacts {
namespace {

using exporting::ContactFolder;
using exporting::ContactItems;
using support::ErrorNumber;
using support::Failure;
using testing::Card;
using testing::ScratchFolder;

std::int32_t FailureNumberOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const Failure& f) {
    return f.number();
  }
  return 0;
}

constexpr auto kPropertyNotSupported = static_cast<std::int32_t>(ErrorNumber::PropertyNotSupported);

class VCardSourceTest : public ::testing::Test {
 protected:
  std::unique_ptr<exporting::ContactNamespace> Namespace(FolderPicker pick = {}) {
    source_ = std::make_unique<VCardSource>(Utf8FromPath(program_.path()), std::move(pick),
                                            [this](const std::string& text) { sunk_.push_back(text); });
    return source_->CreateApplication()->GetNamespace("MAPI");
  }

  // LastNameAndFirstName of every item, in enumeration order.
  static std::vector<std::string> Names(ContactItems& items) {
    std::vector<std::string> names;
    items.Rewind();
    while (auto item = items.Next()) {
      try {
        names.push_back(item->Property("LastNameAndFirstName"));
      } catch (const Failure&) {
        names.push_back("<kein Kontakt>");
      }
    }
    return names;
  }

  ScratchFolder program_;
  std::unique_ptr<VCardSource> source_;
  std::vector<std::string> sunk_;
};

TEST_F(VCardSourceTest, NamespaceIsMapi) {
  VCardSource source("/", {});
  auto app = source.CreateApplication();
  EXPECT_NE(app->GetNamespace("MAPI"), nullptr);
  EXPECT_NE(app->GetNamespace("mapi"), nullptr);
  EXPECT_NE(FailureNumberOf([&] { app->GetNamespace("LDAP"); }), 0);
}

TEST_F(VCardSourceTest, FolderNumberTenIsKontakteBesideTheProgram) {
  auto ns = Namespace();
  // Without the folder there is nothing to open.
  EXPECT_EQ(FailureNumberOf([&] { ns->GetDefaultFolder("10"); }),
            static_cast<int>(ErrorNumber::PathNotFound));

  program_.Write("Kontakte/a.vcf", Card("3.0", "N:Muster;Max\r\n"));
  auto folder = ns->GetDefaultFolder("10");
  EXPECT_EQ(folder->DefaultProperty(), Utf8FromPath(program_.path() / "Kontakte"));
  EXPECT_EQ(folder->DefaultItemType(), exporting::kContactItemType);
  auto items = folder->Items();
  EXPECT_EQ(Names(*items), std::vector<std::string>{"Muster, Max"});
}

TEST_F(VCardSourceTest, DefaultFolderByPath) {
  auto ns = Namespace();
  const auto file = program_.Write("one.vcf", Card("2.1", "N:Eins;E\r\n") + Card("2.1", "N:Zwei;Z\r\n"));
  program_.Write("leer/notiz.txt", "keine Karte");

  struct Case {
    std::string text;
    bool opens;
    int item_type;
  };
  const Case cases[] = {
      {Utf8FromPath(file), true, exporting::kContactItemType},
      {Utf8FromPath(program_.path()), true, exporting::kContactItemType},
      {Utf8FromPath(program_.path() / "leer"), true, 0},
      {Utf8FromPath(program_.path() / "fehlt.vcf"), false, 0},
      {Utf8FromPath(program_.path() / "fehlt"), false, 0},
      {"", false, 0},
      {"6", false, 0},  // another of Outlook's folder numbers is no path here
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    if (!c.opens) {
      EXPECT_EQ(FailureNumberOf([&] { ns->GetDefaultFolder(c.text); }),
                static_cast<int>(ErrorNumber::PathNotFound));
      continue;
    }
    auto folder = ns->GetDefaultFolder(c.text);
    EXPECT_EQ(folder->DefaultProperty(), c.text);
    EXPECT_EQ(folder->DefaultItemType(), c.item_type);
  }
  EXPECT_EQ(Names(*ns->GetDefaultFolder(Utf8FromPath(file))->Items()),
            (std::vector<std::string>{"Eins, E", "Zwei, Z"}));
}

TEST_F(VCardSourceTest, FolderReadsItsOwnFilesInNameOrder) {
  auto ns = Namespace();
  program_.Write("b.vcf", Card("3.0", "N:B1;x\r\n") + Card("3.0", "N:B2;x\r\n"));
  program_.Write("a.VCF", Card("3.0", "N:A;x\r\n"));
  program_.Write("c.vcard", Card("3.0", "N:C;x\r\n"));
  program_.Write("d.txt", Card("3.0", "N:D;x\r\n"));
  program_.Write("unter/e.vcf", Card("3.0", "N:E;x\r\n"));
  std::filesystem::create_directory(program_.path() / "ordner.vcf");
  std::error_code no_links;  // Windows builds cannot make symbolic links
  std::filesystem::create_symlink(program_.path() / "gibt-es-nicht", program_.path() / "bb.vcf", no_links);

  auto items = ns->GetDefaultFolder(Utf8FromPath(program_.path()))->Items();
  EXPECT_EQ(Names(*items), (std::vector<std::string>{"A, x", "B1, x", "B2, x", "C, x"}));
  // The link that leads nowhere is a file that cannot be read: said, and the others still come.
  ASSERT_EQ(sunk_.size(), no_links ? 0u : 1u);
  if (!no_links) {
    EXPECT_NE(sunk_[0].find("bb.vcf"), std::string::npos) << sunk_[0];
  }
  EXPECT_EQ(source_->Diagnostics(), sunk_);
}

TEST_F(VCardSourceTest, PickFolderAsksTheSurroundings) {
  program_.Write("karten/x.vcf", Card("4.0", "N:X;y\r\n"));
  const std::string picked = Utf8FromPath(program_.path() / "karten");
  const std::string empty = Utf8FromPath(program_.path());
  EXPECT_EQ(Namespace()->PickFolder(), nullptr);
  EXPECT_EQ(Namespace([] { return std::nullopt; })->PickFolder(), nullptr);
  EXPECT_EQ(Namespace([] { return std::string(); })->PickFolder(), nullptr);

  auto folder = Namespace([&] { return picked; })->PickFolder();
  ASSERT_NE(folder, nullptr);
  EXPECT_EQ(folder->DefaultProperty(), picked);
  EXPECT_EQ(folder->DefaultItemType(), exporting::kContactItemType);

  auto not_contacts = Namespace([&] { return empty; })->PickFolder();
  ASSERT_NE(not_contacts, nullptr);
  EXPECT_NE(not_contacts->DefaultItemType(), exporting::kContactItemType);
}

TEST_F(VCardSourceTest, PropertiesByOutlookName) {
  const auto file = program_.Write(
      "k.vcf",
      Card("3.0",
           "N:Muster;Max\r\nFN:Max Muster\r\nTEL;TYPE=MAIN:1\r\nTEL;TYPE=WORK:2\r\nTEL;TYPE=WORK:3\r\n"
           "TEL;TYPE=HOME:4\r\nTEL;TYPE=HOME:5\r\nTEL;TYPE=CELL:6\r\nTEL;TYPE=X-EVOLUTION-COMPANY:7\r\n"
           "TEL:8\r\n") +
          Card("4.0", "KIND:group\r\nFN:Verteiler\r\nN:Liste;L\r\nTEL:9\r\n"));
  auto items = Namespace()->GetDefaultFolder(Utf8FromPath(file))->Items();
  auto contact = items->Next();
  const std::pair<const char*, const char*> expected[] = {
      {"LastNameAndFirstName", "Muster, Max"},
      {"FirstName", "Max"},
      {"LastName", "Muster"},
      {"FullName", "Max Muster"},
      {"PrimaryTelephoneNumber", "1"},
      {"BusinessTelephoneNumber", "2"},
      {"Business2TelephoneNumber", "3"},
      {"HomeTelephoneNumber", "4"},
      {"Home2TelephoneNumber", "5"},
      {"MobileTelephoneNumber", "6"},
      {"CompanyMainTelephoneNumber", "7"},
      {"OtherTelephoneNumber", "8"},
      {"lastname", "Muster"},
  };
  for (const auto& [name, value] : expected) EXPECT_EQ(contact->Property(name), value) << name;
  EXPECT_EQ(FailureNumberOf([&] { contact->Property("Email1Address"); }), kPropertyNotSupported);
  EXPECT_EQ(FailureNumberOf([&] { contact->Property(""); }), kPropertyNotSupported);

  // A group is an item but no contact: none of its contact properties can be read.
  auto group = items->Next();
  ASSERT_NE(group, nullptr);
  for (const auto& [name, value] : expected) {
    EXPECT_EQ(FailureNumberOf([&] { group->Property(name); }), kPropertyNotSupported) << name;
  }
  EXPECT_EQ(items->Next(), nullptr);
  EXPECT_EQ(items->Next(), nullptr);
}

TEST_F(VCardSourceTest, SortsByLastNameGermanAndStable) {
  const auto file = program_.Write(
      "s.vcf", Card("3.0", "N:Zorn;1\r\n") + Card("3.0", "N:bauer;2\r\n") + Card("3.0", "N:Ärger;3\r\n") +
                   Card("3.0", "N:Bauer;4\r\n") + Card("3.0", "N:Bauer;5\r\n") +
                   Card("3.0", "FN:Ohne Nachname\r\n") + Card("3.0", "N:Bauer;6\r\n") +
                   Card("4.0", "KIND:group\r\nN:Aaa;G\r\n") + Card("3.0", "N:Özdemir;7\r\n"));
  auto items = Namespace()->GetDefaultFolder(Utf8FromPath(file))->Items();
  items->Sort("[LastName]", false);
  EXPECT_EQ(Names(*items),
            (std::vector<std::string>{"Ohne Nachname", "<kein Kontakt>", "Ärger, 3", "bauer, 2", "Bauer, 4",
                                      "Bauer, 5", "Bauer, 6", "Özdemir, 7", "Zorn, 1"}));
  // Sorting again (the keys are kept) and the other way round keeps equal names in file order.
  items->Sort("[LastName]", true);
  EXPECT_EQ(Names(*items),
            (std::vector<std::string>{"Zorn, 1", "Özdemir, 7", "Bauer, 4", "Bauer, 5", "Bauer, 6", "bauer, 2",
                                      "Ärger, 3", "Ohne Nachname", "<kein Kontakt>"}));
  items->Sort("[FirstName]", false);
  EXPECT_EQ(Names(*items).front(), "Ohne Nachname");
  EXPECT_EQ(FailureNumberOf([&] { items->Sort("[Unbekannt]", false); }), kPropertyNotSupported);
}

TEST_F(VCardSourceTest, ItemsFailWhenTheFolderWentAway) {
  program_.Write("weg/a.vcf", Card("3.0", "N:A;x\r\n"));
  auto folder = Namespace()->GetDefaultFolder(Utf8FromPath(program_.path() / "weg"));
  std::filesystem::remove_all(program_.path() / "weg");
  EXPECT_NE(FailureNumberOf([&] { folder->Items(); }), 0);
}

TEST_F(VCardSourceTest, DroppedNumbersAndDamageReachTheDiagnostics) {
  const auto file = program_.Write(
      "d.vcf", Card("2.1", "N:Voll;V\r\nTEL;HOME:1\r\nTEL;HOME:2\r\nTEL;HOME:3\r\nTEL;HOME:4\r\n") +
                   "BEGIN:VCARD\r\nN:Ohne;Ende\r\n");
  auto items = Namespace()->GetDefaultFolder(Utf8FromPath(file))->Items();
  EXPECT_EQ(Names(*items), (std::vector<std::string>{"Voll, V", "Ohne, Ende"}));
  ASSERT_EQ(sunk_.size(), 2u);
  const std::string all = sunk_[0] + "\n" + sunk_[1];
  EXPECT_NE(all.find("\"4\""), std::string::npos) << all;
  EXPECT_NE(all.find("Voll, V"), std::string::npos) << all;
  EXPECT_NE(all.find("END:VCARD"), std::string::npos) << all;
}

}  // namespace
}  // namespace fernkartei::contacts
