// The window names what the export passed over, in one more message after the final one.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/form1.h"
#include "contacts/contact_sources.h"
#include "fake_user_interface.h"
#include "fixtures/program_folder.h"

namespace fernkartei::app {
namespace {

TEST(PassedOverMessage, FollowsTheFinalMessage) {
  testing::ProgramFolder program;
  testing::MakeAreaCodeDatabase(program, {"30"});
  std::filesystem::create_directories(program.path() / "documents");
  program.Write("a.vcf",
                "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Muster;Erika;;;\r\nTEL;CELL:1\r\nTEL;CELL:2\r\n"
                "TEL;CELL:3\r\nEND:VCARD\r\nEND:VCARD\r\n");
  program.WriteSettings("Typ=3\r\nOutlook-Ordner=" + (program / "a.vcf") + "\r\n");
  const testing::ScopedEnvironment profile("USERPROFILE", program.path().c_str());
  testing::FakeUserInterface ui;
  exporting::PassedOverTally tally;
  Form1 form(ui,
             ExportProceduresOver(
                 contacts::MakeContactSourceFactory(program.path().string(), tally.Counting()), &tally),
             program.path().string());
  form.Form_Load();
  form.Command1_Click();
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text.rfind("Fertig, 1 Adressen", 0), 0u) << ui.messages[0].text;
  EXPECT_EQ(ui.messages[1].text,
            "Beim Lesen der Kontakte übergangen: 0 Dateien, 1 Karte, 1 Rufnummer.\r\n" + (program / "a.vcf") +
                ": Karte ab Zeile 1 (Muster, Erika): Nummer \"3\" (CELL) nicht exportiert: die passenden "
                "Telefonfelder und OtherTelephoneNumber sind schon belegt\r\n" +
                (program / "a.vcf") + ": Zeile 8: END:VCARD ohne BEGIN:VCARD übergangen");
}

}  // namespace
}  // namespace fernkartei::app
