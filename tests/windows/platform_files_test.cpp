// The Windows side of the file helpers: the file system's own attributes, names outside the ANSI code
// page, and Windows error codes as the program's numbered failures.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "fixtures/temp_folder.h"
#include "support/atomic_replace.h"
#include "support/file_helpers.h"
#include "support/windows/wide_text.h"
#include "support/windows/windows_failure.h"

namespace fernkartei::support {
namespace {

TEST(WindowsFiles, ExistAndDeleteFollowTheAttributes) {
  testing::TempFolder folder;
  const std::tuple<const char*, DWORD, bool> cases[] = {
      // name, attributes, found
      {"normal.csv", FILE_ATTRIBUTE_NORMAL, true},
      {"read-only.csv", FILE_ATTRIBUTE_READONLY, true},
      {"hidden.csv", FILE_ATTRIBUTE_HIDDEN, false},
      {"system.csv", FILE_ATTRIBUTE_SYSTEM, false},
  };
  for (const auto& [name, attributes, exists] : cases) {
    const std::string path = folder.Write(name, "x");
    ASSERT_TRUE(SetFileAttributesW(WideFromUtf8(path).c_str(), attributes)) << name;
    EXPECT_EQ(File_Exist(path), exists) << name;
    EXPECT_TRUE(File_Delete(path)) << name;
    EXPECT_FALSE(std::filesystem::exists(folder.path() / name)) << name;
  }
  EXPECT_FALSE(File_Delete(folder / "missing.csv"));
}

TEST(WindowsFiles, NamesOutsideTheAnsiCodePageArriveWhole) {
  testing::TempFolder folder;
  // The name as the system sees it, built from UTF-16 directly and not from our conversion.
  const std::wstring wide =
      folder.path().wstring() + L"\\J\u00f6rg \u0141\u00f3d\u017a\\J\u00fcrgen \u20ac.csv";
  ASSERT_TRUE(CreateDirectoryW(wide.substr(0, wide.rfind(L'\\')).c_str(), nullptr));
  const std::string base = folder.path().string() + "\\J\xC3\xB6rg \xC5\x81\xC3\xB3\x64\xC5\xBA\\";
  const std::string file = base + "J\xC3\xBCrgen \xE2\x82\xAC.csv";
  EXPECT_FALSE(File_Exist(file));
  ASSERT_EQ(ReplaceFileContents(file, "neu\r\n"), ReplaceResult::Replaced);
  EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(File_Exist(base + "J*.csv"));
  EXPECT_TRUE(File_Delete(file));
  EXPECT_EQ(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);
  // Characters beyond UTF-16's first plane, and what cannot be converted replaced, not dropped.
  EXPECT_EQ(WideFromUtf8("\xF0\x9F\x98\x80 \xFF"), L"\U0001F600 \uFFFD");
  EXPECT_EQ(Utf8FromWide(std::wstring(L"\U0001F600 ") + wchar_t(0xD800)), "\xF0\x9F\x98\x80 \xEF\xBF\xBD");
}

TEST(WindowsFiles, ErrorCodesBecomeTheProgramsNumberedFailures) {
  const std::pair<DWORD, ErrorNumber> cases[] = {
      {ERROR_FILE_NOT_FOUND, ErrorNumber::PathNotFound},
      {ERROR_PATH_NOT_FOUND, ErrorNumber::PathNotFound},
      {ERROR_ACCESS_DENIED, ErrorNumber::PermissionDenied},
      {ERROR_SHARING_VIOLATION, ErrorNumber::PermissionDenied},
      {ERROR_DISK_FULL, ErrorNumber::DiskFull},
      {ERROR_INVALID_NAME, ErrorNumber::BadFileNameOrNumber},
  };
  for (const auto& [code, number] : cases) {
    const Failure failure = FailureFromWindowsError(code);
    EXPECT_EQ(failure.number(), static_cast<int>(number)) << code;
    EXPECT_EQ(failure.description(), DescriptionOf(number)) << code;
  }
}

}  // namespace
}  // namespace fernkartei::support
