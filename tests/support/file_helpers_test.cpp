#include "support/file_helpers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "fixtures/temp_folder.h"

namespace fernkartei::support {
namespace {

TEST(AddBackslash, AppendsExactlyOneSeparator) {
  const std::string sep(1, kPathSeparator);
  EXPECT_EQ(Add_Backslash("/opt/fernkartei"), "/opt/fernkartei" + sep);
  EXPECT_EQ(Add_Backslash("/opt/fernkartei" + sep), "/opt/fernkartei" + sep);
  EXPECT_EQ(Add_Backslash(""), sep);
}

class FileHelpers : public ::testing::Test {
 protected:
  testing::TempFolder folder;
};

TEST_F(FileHelpers, ExistFindsOrdinaryAndReadOnlyFilesOnly) {
  folder.Write("plain.csv", "x");
  const auto read_only = folder.Write("locked.csv", "x");
  ::chmod(read_only.c_str(), 0444);
  folder.Write(".hidden.csv", "x");
  std::filesystem::create_directory(folder.path() / "sub.csv");

  struct Case {
    std::string name;
    bool exists;
  };
  const Case cases[] = {
      {"plain.csv", true},    {"locked.csv", true}, {".hidden.csv", false}, {"sub.csv", false},
      {"missing.csv", false}, {"*.csv", true},      {"p?ain.csv", true},    {"*.txt", false},
      {".h*", false},         {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(File_Exist(folder / c.name), c.exists) << c.name;
  EXPECT_FALSE(File_Exist(folder / "no-such-folder/plain.csv"));
}

TEST_F(FileHelpers, PatternMatchesOnlyFolders) {
  std::filesystem::create_directory(folder.path() / "dir.csv");
  EXPECT_FALSE(File_Exist(folder / "*.csv"));
}

TEST_F(FileHelpers, BracketsInANameAreNotPatterns) {
  folder.Write("a[1].csv", "x");
  EXPECT_TRUE(File_Exist(folder / "a[1].csv"));
  EXPECT_TRUE(File_Exist(folder / "a[1]*"));
}

TEST_F(FileHelpers, DeleteRemovesWriteProtectedAndHiddenFiles) {
  const auto locked = folder.Write("locked.csv", "x");
  ::chmod(locked.c_str(), 0444);
  const auto hidden = folder.Write(".hidden", "x");
  EXPECT_TRUE(File_Delete(locked));
  EXPECT_TRUE(File_Delete(hidden));
  EXPECT_FALSE(std::filesystem::exists(locked));
  EXPECT_FALSE(std::filesystem::exists(hidden));
}

TEST_F(FileHelpers, DeleteFailsForMissingFilesAndFolders) {
  std::filesystem::create_directory(folder.path() / "sub");
  EXPECT_FALSE(File_Delete(folder / "missing"));
  EXPECT_FALSE(File_Delete(folder / "sub"));
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "sub"));
}

}  // namespace
}  // namespace fernkartei::support
