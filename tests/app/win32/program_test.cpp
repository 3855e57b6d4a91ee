// fernkartei.exe as a user starts it, under Wine on a virtual X server, driven from outside the way a
// user would: a click on "Start", the message boxes read and confirmed, the window closed. Outlook is
// the registered double, holding the folders of tests/windows/outlook/folders.txt.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <thread>

#include "app/form1_layout.h"
#include "app/win32/win32_form.h"
#include "app_fixture.h"
#include "display.h"
#include "support/windows/wide_text.h"

namespace fernkartei::app {
namespace {

using ::testing::StartsWith;

constexpr DWORD kTimeoutMs = 30000;

struct Started {
  PROCESS_INFORMATION process{};
  ~Started() {
    if (process.hProcess == nullptr) return;
    TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  DWORD ExitCode() const {
    DWORD code = 99;
    if (WaitForSingleObject(process.hProcess, kTimeoutMs) == WAIT_OBJECT_0)
      GetExitCodeProcess(process.hProcess, &code);
    return code;
  }
};

// The first top-level window of the process with this class and title, once it shows.
HWND WaitForWindow(const Started& program, const wchar_t* window_class) {
  for (DWORD waited = 0; waited < kTimeoutMs; waited += 50) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, window_class, L"Fernkartei")) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner == program.process.dwProcessId && IsWindowVisible(window)) return window;
    }
    Sleep(50);
  }
  return nullptr;
}

// The text of the message box the program shows, which is then confirmed.
std::string ConfirmMessage(const Started& program) {
  const HWND box = WaitForWindow(program, L"#32770");
  if (box == nullptr) return "(keine Meldung)";
  wchar_t text[1024] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  return support::Utf8FromWide(text);
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::WineHasDisplay()) GTEST_SKIP() << "no X server (Xvfb) for Wine's windows";
    std::filesystem::copy_file(std::filesystem::path(FERNKARTEI_BIN_DIR) / "fernkartei.exe",
                               program_.folder().path() / "fernkartei.exe");
    std::filesystem::create_directories(profile_.path() / "documents");
    std::filesystem::copy_file(
        std::filesystem::path(FERNKARTEI_SOURCE_DIR) / "tests/windows/outlook/folders.txt",
        profile_.path() / "folders.txt");
    SetEnvironmentVariableW(L"USERPROFILE", profile_.path().wstring().c_str());
    SetEnvironmentVariableW(L"FERNKARTEI_OUTLOOK_DOUBLE",
                            (profile_.path() / "folders.txt").wstring().c_str());
  }

  void Start(Started& started) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring command = L"\"" + (program_.folder().path() / "fernkartei.exe").wstring() + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               program_.folder().path().wstring().c_str(), &startup, &started.process));
  }

  testing::ProgramFolderFixture program_;
  testing::TempFolder profile_;
};

TEST_F(ProgramTest, StartExportsWhileASecondStartAndACloseAreRefused) {
  program_.WriteSettings("Typ=2\r\nOutlook-Ordner=10\r\n");
  const std::string settings = program_.Settings();
  Started first;
  Start(first);
  const HWND window = WaitForWindow(first, kForm1WindowClass);
  ASSERT_NE(window, nullptr);

  Started second;
  Start(second);
  EXPECT_EQ(ConfirmMessage(second),
            "Achtung!\r\nEs läuft bereits eine Instanz dieser Anwendung.\r\n\r\n"
            "Ein mehrfaches gleichzeitiges Ausführen ist nicht möglich!");
  EXPECT_EQ(second.ExitCode(), 0U);
  EXPECT_EQ(program_.Settings(), settings);

  const ControlLayout& start = kForm1Controls[9];
  ASSERT_EQ(start.object_name, "Command1");
  SendNotifyMessageW(GetDlgItem(window, ControlId(start)), BM_CLICK, 0, 0);
  // The final message shows while the export still runs: a close request now is refused.
  const HWND box = WaitForWindow(first, L"#32770");
  PostMessageW(window, WM_CLOSE, 0, 0);
  const std::filesystem::path written = profile_.path() / "documents" / "outlook.csv";
  EXPECT_EQ(ConfirmMessage(first), "Fertig, 1 Adressen exportiert in \r\n" + written.string());
  EXPECT_NE(box, nullptr);
  EXPECT_THAT(profile_.Read("documents/outlook.csv"),
              StartsWith("displayName;destination\r\nMuster, Erika (BT);+49 (30) 1234567\r\n"));
  EXPECT_TRUE(IsWindowVisible(window));

  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.ExitCode(), 0U);
}

TEST_F(ProgramTest, AnAreaCodeFileThatCannotBeOpenedEndsWithTheReportAndStatusOne) {
  program_.WriteSettings("DatabaseName=" + (program_.folder() / "fehlt.mdb") + "\r\n");
  Started program;
  Start(program);
  EXPECT_THAT(ConfirmMessage(program), StartsWith("Laufzeitfehler '"));
  EXPECT_EQ(program.ExitCode(), 1U);
}

}  // namespace
}  // namespace fernkartei::app
