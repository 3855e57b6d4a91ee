#include "support/file_helpers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "fixtures/temp_folder.h"

namespace fernkartei::support {
namespace {

TEST(FileHelpers, AddBackslashAppendsExactlyOneSeparator) {
  const std::string sep(1, kPathSeparator);
  EXPECT_EQ(Add_Backslash("/opt/fernkartei"), "/opt/fernkartei" + sep);
  EXPECT_EQ(Add_Backslash("/opt/fernkartei" + sep), "/opt/fernkartei" + sep);
  EXPECT_EQ(Add_Backslash(""), sep);
}

// Only ordinary files count, found by name or by "*" and "?" (brackets are plain characters); a name
// starting with "." counts as hidden. Delete removes them whatever their attributes.
TEST(FileHelpers, ExistFindsOrdinaryFilesAndDeleteRemovesThem) {
  testing::TempFolder folder;
  ::chmod(folder.Write("locked.csv", "x").c_str(), 0444);
  folder.Write("plain.csv", "x");
  folder.Write(".hidden.csv", "x");
  folder.Write("a[1].csv", "x");
  folder.Write("sub.csv/inhalt", "x");
  const std::pair<std::string, bool> cases[] = {
      {"plain.csv", true}, {"locked.csv", true},   {".hidden.csv", false},
      {"sub.csv", false},  {"missing.csv", false}, {"p?ain.*", true},
      {".h*", false},      {"a[1]*", true},        {"", false},
  };
  for (const auto& [name, exists] : cases) EXPECT_EQ(File_Exist(folder / name), exists) << name;
  for (const char* name : {"locked.csv", ".hidden.csv", "plain.csv", "a[1].csv"})
    EXPECT_TRUE(File_Delete(folder / name));
  EXPECT_FALSE(File_Exist(folder / "*.csv")) << "a folder matches no pattern";
  EXPECT_FALSE(File_Delete(folder / "missing"));
  EXPECT_FALSE(File_Delete(folder / "sub.csv"));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"sub.csv"});
}

}  // namespace
}  // namespace fernkartei::support
