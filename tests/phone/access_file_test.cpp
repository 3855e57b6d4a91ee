#include "phone/posix/access_file.h"

#include <gtest/gtest.h>

#include <random>

#include "fixtures/failure_number.h"
#include "fixtures/temp_folder.h"
#include "phone/area_code_database.h"

namespace fernkartei::phone {
namespace {

using testing::ReadFile;
using testing::TempFolder;

const std::string kAccessFolder = std::string(FERNKARTEI_TEST_DATA) + "/access/";

// Jet 3, Jet 4 and ACE files written by Access itself: their tables and text columns are read, and as
// none holds sVorwahlen, an area-code lookup finds nothing.
TEST(AccessFile, ReadsTablesAndTextColumnsOfRealFilesButNoAreaCodes) {
  const struct {
    const char* file;
    const char* table;
    const char* column;
    std::vector<std::string> first_values;
  } cases[] = {
      {"testV1997.mdb", "Table1", "A", {"a", "abcdefg"}},
      {"testV2000.mdb", "Table1", "B", {"hijklmnop", "b"}},
      {"testV2007.accdb", "table1", "a", {"a", "abcdefg"}},
      {"testUnicodeCompV2003.mdb",
       "Table",
       "Unicode",
       {"only ascii chars", "\xC3\xA4\xC3\xA4kk\xC3\xB6si\xC3\xA4", "\xD0\x9C\xD0\xB8\xD1\x80"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = kAccessFolder + c.file;
    const auto column = ReadAccessFile(path, c.table, c.column).column;
    ASSERT_TRUE(column && column->size() >= c.first_values.size());
    EXPECT_EQ(std::vector(column->begin(), column->begin() + c.first_values.size()), c.first_values);
    EXPECT_FALSE(ReadAccessFile(path, c.table, "NoSuchColumn").column);
    EXPECT_FALSE(ReadAccessFile(path, "NoSuchTable", c.column).column);
    const auto db = OpenAreaCodeDatabase(Jet4(path));
    EXPECT_TRUE(ExistTabel(db.get(), c.table));
    EXPECT_FALSE(ExistTabel(db.get(), "sVorwahlen"));
    EXPECT_FALSE(ExistTabel(db.get(), "MSysObjects"));  // system tables are not the user's to query
    EXPECT_EQ(db->LongestCodePrefix("301") + FindAreaCodeByQueries(*db, "301"), "");
  }
  EXPECT_FALSE(ExistTabel(OpenAreaCodeDatabase(Jet4(kAccessFolder + "empty.mdb")).get(), "sVorwahlen"));
  EXPECT_TRUE(ReadAccessFile(kAccessFolder + "empty.mdb", "sVorwahlen", "Ortsnetzkennzahl").tables.empty());
  EXPECT_FALSE(HasAccessSignature(std::string("\0\1\0\0Standard Jet DB", 19)));
  EXPECT_TRUE(HasAccessSignature(std::string("\0\1\0\0Standard ACE DB\0", 20)));
}

// Every damaged copy must either open or fail with the program's failure; the test process must never
// crash or hang, whatever libmdb does with the bytes.
void ExpectOpensOrFails(const std::string& path, const std::string& what, bool must_fail) {
  try {
    // Some damaged files keep libmdb busy until the limit ends it; keep the wait short here.
    const auto db = OpenAreaCodeDatabase(Jet4(path), {.seconds = 1, .extra_memory = 256ull << 20});
    EXPECT_FALSE(must_fail) << what << " opened";
    ExistTabel(db.get(), "Table1");
    db->LongestCodePrefix("301");
  } catch (const support::Failure& failure) {
    EXPECT_EQ(failure.number(), testing::Number(support::ErrorNumber::UnrecognizedDatabaseFormat)) << what;
    EXPECT_NE(failure.description().find("beschädigt"), std::string::npos) << failure.description();
  }
}

TEST(AccessFile, TruncatedOrScrambledCopiesOfRealFilesFailCleanly) {
  TempFolder folder;
  for (const char* file :
       {"testV1997.mdb", "testV2000.mdb", "testV2007.accdb", "testUnicodeCompV2003.mdb", "empty.mdb"}) {
    SCOPED_TRACE(file);
    const auto good = ReadFile(kAccessFolder + file);
    const std::size_t page = good[0x14] == 0 ? 2048 : 4096;
    for (std::size_t size : {std::size_t{20}, std::size_t{21}, page - 1, page, 2 * page, 3 * page - 1,
                             3 * page, 4 * page, good.size() / 2, good.size() - page, good.size() - 1}) {
      if (size >= good.size()) continue;
      // Only whole pages can pass the layout check; whether libmdb then copes is up to the file.
      ExpectOpensOrFails(folder.Write("cut.mdb", good.substr(0, size)), std::to_string(size) + " bytes",
                         size % page != 0 || size < 3 * page);
    }
    std::mt19937 random(11);
    for (int round = 0; round < 6; ++round) {
      std::string bytes = good;
      if (round < 2) {
        // All noise after the signature and version.
        for (std::size_t i = 0x15; i < bytes.size(); ++i) bytes[i] = static_cast<char>(random());
      } else {
        // A few hundred flipped bytes over the whole file, the catalog page included.
        for (int i = 0; i < 300; ++i)
          bytes[0x15 + random() % (bytes.size() - 0x15)] ^= static_cast<char>(1 + random() % 255);
      }
      ExpectOpensOrFails(folder.Write("noise.mdb", bytes), "round " + std::to_string(round), false);
    }
  }
}

}  // namespace
}  // namespace fernkartei::phone
