// What the reader passes over is counted whatever the source; --strict turns any of it, or a folder
// without one contact, into a failed run that keeps the old file, and contacts that cannot be read at all
// fail every run.

#include <gtest/gtest.h>

#include <filesystem>

#include "contacts/contact_sources.h"
#include "export/export_run.h"
#include "fakes/fake_surroundings.h"
#include "fixtures/card.h"
#include "fixtures/program_folder.h"

namespace fernkartei::exporting {
namespace {

namespace fs = std::filesystem;

TEST(PassedOver, IsCountedAndFailsAStrictRunKeepingTheOldFile) {
  const std::string erika = testing::Card("3.0", "N:Muster;Erika;;;\r\nTEL;TYPE=CELL:0151 1\r\n");
  const std::string kept = " Die Telefonbuch-Datei bleibt, wie sie war.";
  const struct {
    std::vector<std::pair<std::string, std::string>> files;  // an empty text makes a link to nowhere
    std::string counts;
    std::string message;  // of a failed run, "@" for the folder; empty: a strict run writes the file too
    bool fails_always;
  } cases[] = {
      {{{"a.vcf", erika}}, "0 Dateien, 0 Karten, 0 Rufnummern", "", false},
      {{},
       "0 Dateien, 0 Karten, 0 Rufnummern",
       "Abgebrochen: der Kontakte-Ordner enthält keinen einzigen Kontakt." + kept,
       false},
      {{{"a.vcf", erika + "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ohne;Ende\r\n"},
        {"b.vcf", testing::Card("3.0", "N:Viele;Handys\r\nTEL;CELL:1\r\nTEL;CELL:2\r\nTEL;CELL:3\r\n")},
        {"c.vcf", ""}},
       "1 Datei, 1 Karte, 1 Rufnummer",
       "Abgebrochen: beim Lesen der Kontakte wurde etwas übergangen (1 Datei, 1 Karte, 1 Rufnummer)." + kept,
       false},
      {{{"gruppe.vcf", testing::Card("3.0", "FN:Team\r\nKIND:group\r\n")}},
       "0 Dateien, 0 Karten, 0 Rufnummern",
       "Abgebrochen: der Kontakte-Ordner enthält keinen einzigen Kontakt." + kept,
       false},
      {{{"a.vcf", ""}},
       "1 Datei, 0 Karten, 0 Rufnummern",
       "Die Kontakte-Datei @/a.vcf kann nicht gelesen werden (No such file or directory).",
       true},
  };
  for (const auto& c : cases) {
    for (const bool strict : {false, true}) {
      SCOPED_TRACE(c.counts + (strict ? ", strict" : ""));
      testing::ProgramFolder folder;
      const std::string cards = folder / "karten";
      fs::create_directory(cards);
      for (const auto& [name, text] : c.files) {
        if (text.empty()) fs::create_symlink(folder / "fehlt", cards + "/" + name);
        if (!text.empty()) folder.Write("karten/" + name, text);
      }
      folder.Write("simple.csv", "alt\r\n");
      PassedOverTally tally;
      const RunOptions options{.output_path = folder / "simple.csv",
                               .contacts_folder = cards,
                               .passed_over = &tally,
                               .strict = strict};
      fakes::FakeSurroundings surroundings;
      std::string number_template;
      const auto outcome =
          RunExport(ExportFormat::Simple, surroundings,
                    contacts::MakeContactSourceFactory("", tally.Counting()), "", number_template, options);
      EXPECT_EQ(tally.Counts(), c.counts);
      const bool fails = c.fails_always || (strict && !c.message.empty());
      EXPECT_EQ(outcome, fails ? RunOutcome::Failed : RunOutcome::Written);
      EXPECT_EQ(folder.Read("simple.csv") == "alt\r\n", fails);
      std::string message = c.message;
      if (const auto at = message.find('@'); at != std::string::npos) message.replace(at, 1, cards);
      EXPECT_EQ(surroundings.Texts().front() == message, fails) << surroundings.Texts().front();
    }
  }
}

TEST(PassedOver, TheSummaryGivesTheCountsAndTheFirstReasons) {
  PassedOverTally tally;
  for (int i = 0; i < 7; ++i) tally.Add({"b.vcf: Nummer " + std::to_string(i), PassedOver::Number});
  tally.Add(SourceNote("nur ein Hinweis"));
  EXPECT_EQ(tally.Summary(),
            "Beim Lesen der Kontakte übergangen: 0 Dateien, 0 Karten, 7 Rufnummern.\r\nb.vcf: Nummer 0\r\n"
            "b.vcf: Nummer 1\r\nb.vcf: Nummer 2\r\nb.vcf: Nummer 3\r\nb.vcf: Nummer 4\r\n… und 2 weitere");
}

}  // namespace
}  // namespace fernkartei::exporting
