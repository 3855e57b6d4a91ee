// A user's Access file on Windows, read through ADO: here against the registered ADODB double, which
// records the connection string it is given.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/temp_folder.h"
#include "phone/access_area_codes.h"
#include "phone/area_code_database.h"
#include "support/failure.h"

namespace fernkartei::phone {
namespace {

// What comes before the table is passed over by the double; the program sees an Access file.
const std::string kJetSignature("\x00\x01\x00\x00Standard Jet DB\x00\n", 21);

TEST(AdoAreaCodes, AnswersLikeTheQueriesOfTheOldProgram) {
  const struct {
    const char* name;
    const char* tables;
    const char* provider;  // the one that opened the file
  } cases[] = {
      {"vorwahlen.mdb", "table sVorwahlen Ortsnetzkennzahl\n30\n301\n7071\n89\n212\n2129\n", "Jet.OLEDB.4.0"},
      {"Vorwahlen Ä.accdb", "table sVorwahlen Ortsnetzkennzahl\n30\n89\n", "ACE.OLEDB.12.0"},
  };
  for (const auto& c : cases) {
    testing::TempFolder folder;
    const std::string path = folder.Write(c.name, kJetSignature + c.tables);
    auto database = OpenAreaCodeDatabase(Jet4(path));
    EXPECT_TRUE(ExistTabel(database.get(), "sVorwahlen")) << c.name;
    EXPECT_FALSE(ExistTabel(database.get(), "sOrtsnetze")) << c.name;
    for (const char* key : {"301234567", "71234", "2128", "3", "0301", "", "+4930", "99"})
      EXPECT_EQ(database->LongestCodePrefix(key), FindAreaCodeByQueries(*database, key))
          << c.name << " " << key;

    std::string connection = Jet4(path);
    connection.replace(connection.find("Jet.OLEDB.4.0"), 13, c.provider);
    // Jet first, as every Windows has it; ACE only for what Jet cannot open.
    EXPECT_EQ(folder.Read(std::string(c.name) + ".log"), "Connection.Open(" + connection + ")\n");
  }
  // A file neither provider opens is an open failure.
  const testing::TempFolder folder;
  try {
    OpenAccessAreaCodes(folder / "fehlt.mdb", {});
    ADD_FAILURE() << "opened a missing file";
  } catch (const support::Failure& failure) {
    EXPECT_NE(failure.description().find("fehlt.mdb kann nicht geöffnet werden"), std::string::npos);
  }
}

}  // namespace
}  // namespace fernkartei::phone
