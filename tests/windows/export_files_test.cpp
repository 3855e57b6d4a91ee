// Where a Windows run writes and what it does with the old phonebook file.

#include <gtest/gtest.h>
#include <windows.h>

#include "export/export_run.h"
#include "fakes/fake_contact_source.h"
#include "fakes/fake_surroundings.h"
#include "fixtures/program_folder.h"
#include "support/windows/wide_text.h"

namespace fernkartei::exporting {
namespace {

constexpr const char* kOldFile = "displayName;destination\r\nAlt, Anton (BT);0711 1\r\n";

class WindowsExport : public ::testing::Test {
 protected:
  void SetUp() override {
    script.default_folders["10"].items = {{{{"LastNameAndFirstName", "Muster, Erika"},
                                            {"LastName", "Muster"},
                                            {"MobileTelephoneNumber", "0151 1"}}}};
    options.contacts_folder = "10";
    options.output_path = folder / "simple.csv";
    folder.Write("simple.csv", kOldFile);
  }
  RunOutcome Run() {
    return RunExport(ExportFormat::Simple, surroundings, fakes::FactoryOf(script), "11,12,15",
                     number_template, options);
  }

  testing::ProgramFolder folder;
  const std::wstring output = support::WideFromUtf8(folder / "simple.csv");
  fakes::FakeScript script;
  fakes::FakeSurroundings surroundings;
  RunOptions options;
  std::string number_template = "I (V) N";
};

TEST_F(WindowsExport, AnOldFileHeldOpenEndsTheRunBeforeTheContactsAreTouched) {
  const HANDLE held =
      CreateFileW(output.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Run(), RunOutcome::Failed);
  CloseHandle(held);
  EXPECT_EQ(surroundings.Texts(), std::vector<std::string>{"Es ist ein Fehler aufgetreten"});
  EXPECT_TRUE(script.log.empty());
  EXPECT_EQ(folder.Read("simple.csv"), kOldFile);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"simple.csv"});
}

TEST_F(WindowsExport, AWriteProtectedOldFileIsReplacedAndLosesItsProtection) {
  ASSERT_TRUE(SetFileAttributesW(output.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(Run(), RunOutcome::Written);
  EXPECT_EQ(folder.Read("simple.csv"), "displayName;destination\r\nMuster, Erika (MT);0151 1\r\n");
  EXPECT_EQ(GetFileAttributesW(output.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"simple.csv"});
}

TEST(WindowsOutputPath, IsTheDocumentsFolderOfTheUserProfile) {
  const wchar_t* saved = _wgetenv(L"USERPROFILE");
  const std::wstring old = saved != nullptr ? saved : L"";
  _wputenv_s(L"USERPROFILE", L"C:\\Users\\J\u00f6rg");
  EXPECT_EQ(DefaultOutputPath(ExportFormat::Nfon), "C:\\Users\\J\xC3\xB6rg\\documents\\nfon.csv");
  _wputenv_s(L"USERPROFILE", L"");  // removes it
  EXPECT_EQ(DefaultOutputPath(ExportFormat::Siemens), "\\documents\\siemens.csv");
  _wputenv_s(L"USERPROFILE", old.c_str());
}

}  // namespace
}  // namespace fernkartei::exporting
