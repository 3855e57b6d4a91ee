// The window names what the export passed over, in one more message after the final one.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/form1.h"
#include "app_fixture.h"
#include "contacts/contact_sources.h"
#include "fake_user_interface.h"

namespace fernkartei::app {
namespace {

TEST(PassedOverMessage, FollowsTheFinalMessage) {
  testing::ProgramFolderFixture program;
  std::filesystem::create_directories(program.folder().path() / "documents");
  program.folder().Write("a.vcf",
                         "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Muster;Erika;;;\r\nTEL;CELL:1\r\nTEL;CELL:2\r\n"
                         "TEL;CELL:3\r\nEND:VCARD\r\nEND:VCARD\r\n");
  program.WriteSettings("Typ=3\r\nOutlook-Ordner=" + (program.folder() / "a.vcf") + "\r\n");
  const char* profile = std::getenv("USERPROFILE");
  const std::string saved_profile = profile != nullptr ? profile : "";
  setenv("USERPROFILE", program.path().c_str(), 1);
  testing::FakeUserInterface ui;
  exporting::PassedOverTally tally;
  Form1 form(
      ui, ExportProceduresOver(contacts::MakeContactSourceFactory(program.path(), tally.Counting()), &tally),
      program.path());
  form.Form_Load();
  form.Command1_Click();
  if (profile != nullptr) setenv("USERPROFILE", saved_profile.c_str(), 1);
  if (profile == nullptr) unsetenv("USERPROFILE");
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text.rfind("Fertig, 1 Adressen", 0), 0u) << ui.messages[0].text;
  EXPECT_EQ(ui.messages[1].text,
            "Beim Lesen der Kontakte übergangen: 0 Dateien, 1 Karte, 1 Rufnummer.\r\n" +
                (program.folder() / "a.vcf") +
                ": Karte ab Zeile 1 (Muster, Erika): Nummer \"3\" (CELL) nicht exportiert: die passenden "
                "Telefonfelder und OtherTelephoneNumber sind schon belegt\r\n" +
                (program.folder() / "a.vcf") + ": Zeile 8: END:VCARD ohne BEGIN:VCARD übergangen");
}

}  // namespace
}  // namespace fernkartei::app
