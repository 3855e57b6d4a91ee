#include "support/replacement_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "fakes/failing_file_system.h"
#include "fixtures/failure_number.h"
#include "fixtures/temp_folder.h"

namespace fernkartei::support {
namespace {

using fakes::FileCall;
using testing::TempFolder;

unsigned ModeOf(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 0777 : 0;
}

TEST(ReplacementFile, TheOldFileStaysUntilCommitThenTheNewOneTakesItsRights) {
  TempFolder folder;
  const std::string target = folder.Write("nfon.csv", "alt\r\n");
  const std::string locked = folder.Write("locked.csv", "alt\r\n");
  ::chmod(target.c_str(), 0640);
  ::chmod(locked.c_str(), 0444);
  for (const std::string& path : {target, locked}) {
    ReplacementFile file(path);
    file.Open().Write("neu\r\n");
    EXPECT_EQ(testing::ReadFile(path), "alt\r\n");
    EXPECT_EQ(folder.Names().size(), 4U);  // both old files, the new one and the lock beside them
    file.Commit();
    EXPECT_EQ(testing::ReadFile(path), "neu\r\n");
  }
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"locked.csv", "nfon.csv"}));
  EXPECT_EQ(ModeOf(target), 0640U);
  EXPECT_EQ(ModeOf(locked), 0644U) << "a write-protected old file is replaced and loses its protection";
}

TEST(ReplacementFile, OpensOnlyWhereAFileCanBeCreated) {
  TempFolder folder;
  const std::string locked = folder.Write("locked.csv", "x");
  ::chmod(locked.c_str(), 0444);
  folder.Write("dir.csv/inhalt", "x");
  fakes::FailingFileSystem refused(FileCall::Open, ErrorNumber::PermissionDenied);
  const std::tuple<std::string, FileSystem&, bool> cases[] = {
      {folder.Write("plain.csv", "x"), PlatformFileSystem(), true},
      {folder / "new.csv", PlatformFileSystem(), true},
      {locked, PlatformFileSystem(), true},
      {folder / "dir.csv", PlatformFileSystem(), false},
      {folder / "fehlt/new.csv", PlatformFileSystem(), false},
      {folder / "plain.csv", refused, false},
  };
  for (const auto& [target, files, opens] : cases)
    EXPECT_EQ(testing::FailureNumberOf([&] { ReplacementFile(target, files).Open(); }) == 0, opens) << target;
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"dir.csv", "locked.csv", "plain.csv"}))
      << "probing leaves nothing behind";
}

// Whatever fails from the first byte to the new file taking its place: the old file stays byte for byte,
// the failure reaches the caller, and no temporary file is left.
TEST(ReplacementFile, AFailureBeforeTheReplaceKeepsTheOldFile) {
  const std::pair<FileCall, ErrorNumber> cases[] = {{FileCall::Write, ErrorNumber::DiskFull},
                                                    {FileCall::Flush, ErrorNumber::DiskFull},
                                                    {FileCall::Sync, ErrorNumber::DeviceIoError},
                                                    {FileCall::Close, ErrorNumber::DiskFull},
                                                    {FileCall::Replace, ErrorNumber::PermissionDenied}};
  for (const auto& [call, number] : cases) {
    SCOPED_TRACE(static_cast<int>(call));
    TempFolder folder;
    const std::string target = folder.Write("nfon.csv", "alt\r\n");
    fakes::FailingFileSystem files(call, number);
    const std::int32_t failed = testing::FailureNumberOf([&] {
      ReplacementFile file(target, files);
      file.Open().Write("neu\r\n");
      file.Commit();
    });
    EXPECT_EQ(failed, testing::Number(number));
    EXPECT_EQ(folder.Read("nfon.csv"), "alt\r\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"nfon.csv"});
  }
}

TEST(ReplacementFile, AFolderInTheTargetsPlaceStaysAndTheNewFileGoes) {
  TempFolder folder;
  folder.Write("nfon.csv/inhalt", "x");
  EXPECT_NE(testing::FailureNumberOf([&] {
              ReplacementFile file(folder / "nfon.csv");
              file.Open().Write("neu\r\n");
              file.Commit();
            }),
            0);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"nfon.csv"});
  EXPECT_EQ(folder.Read("nfon.csv/inhalt"), "x");
}

}  // namespace
}  // namespace fernkartei::support
