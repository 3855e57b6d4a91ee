// fernkartei-export --strict as a timer runs it: anything passed over fails the run and keeps the file.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "support/temp_folder.h"

namespace fernkartei::cli {
namespace {

TEST(StrictExport, FailsOnWhatWasPassedOverAndKeepsTheOldFile) {
  testing::TempFolder folder;
  std::filesystem::create_directory(folder.path() / "karten");
  folder.Write("karten/a.vcf", "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Muster;Erika;;;\r\nTEL;CELL:0151 1\r\n");
  folder.Write("system.ini", "");
  for (const bool strict : {true, false}) {
    folder.Write("simple.csv", "alt\r\n");
    const std::string command = std::string(FERNKARTEI_BIN_DIR) + "/fernkartei-export --settings '" +
                                (folder / "system.ini") + "' --format simple --contacts '" +
                                (folder / "karten") + "' --output '" + (folder / "simple.csv") + "'" +
                                (strict ? " --strict" : "") + " >/dev/null 2>'" + (folder / "stderr") + "'";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), strict ? 1 : 0);
    const std::string said = folder.Read("stderr");
    EXPECT_NE(said.find("a.vcf: Karte ab Zeile 1: END:VCARD fehlt"), std::string::npos) << said;
    EXPECT_EQ(said.find("Abgebrochen: beim Lesen der Kontakte wurde etwas übergangen (0 Dateien, 1 Karte, "
                        "0 Rufnummern). Die Telefonbuch-Datei bleibt, wie sie war.") != std::string::npos,
              strict)
        << said;
    EXPECT_EQ(folder.Read("simple.csv") == "alt\r\n", strict);
  }
}

}  // namespace
}  // namespace fernkartei::cli
