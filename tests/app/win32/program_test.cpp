// fernkartei.exe as a user starts it, under Wine on a virtual X server, driven from outside the way a
// user would: a click on "Start", the message boxes read and confirmed, the window closed. (A second
// start is refused by the instance lock and Form_Load, each tested on its own.) Outlook is
// the registered double, holding the folders of tests/windows/outlook/folders.txt.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/program_folder.h"
#include "win32_helpers.h"

namespace fernkartei::app {
namespace {

using ::testing::StartsWith;

constexpr DWORD kTimeoutMs = 30000;

// One start of the program, ended with the test at the latest.
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
  // The first visible top-level window of the process with this class and the program's title.
  HWND WaitForWindow(const wchar_t* window_class) const {
    for (DWORD waited = 0; waited < kTimeoutMs; waited += 50, Sleep(50)) {
      for (HWND window = nullptr;
           (window = FindWindowExW(nullptr, window, window_class, L"Fernkartei")) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process.dwProcessId && IsWindowVisible(window)) return window;
      }
    }
    return nullptr;
  }
  // The text of the message box the program shows, which is then confirmed.
  std::string ConfirmMessage() const {
    const HWND box = WaitForWindow(L"#32770");
    if (box == nullptr) return "(keine Meldung)";
    const std::string text = testing::TextOf(GetDlgItem(box, 0xFFFF));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return text;
  }
};

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::WineHasDisplay()) GTEST_SKIP() << "no X server (Xvfb) for Wine's windows";
    std::filesystem::copy_file(std::filesystem::path(FERNKARTEI_BIN_DIR) / "fernkartei.exe",
                               program.path() / "fernkartei.exe");
    testing::MakeAreaCodeDatabase(program, {"30"});
    profile.Write("folders.txt", testing::ReadFile(std::string(FERNKARTEI_SOURCE_DIR) +
                                                   "/tests/windows/outlook/folders.txt"));
    std::filesystem::create_directories(profile.path() / "documents");
    SetEnvironmentVariableW(L"USERPROFILE", profile.path().wstring().c_str());
    SetEnvironmentVariableW(L"FERNKARTEI_OUTLOOK_DOUBLE", (profile.path() / "folders.txt").wstring().c_str());
  }

  void Start(Started& started) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring command = L"\"" + (program.path() / "fernkartei.exe").wstring() + L"\"";
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               program.path().wstring().c_str(), &startup, &started.process));
  }

  testing::ProgramFolder program;
  testing::TempFolder profile;
};

TEST_F(ProgramTest, StartExportsWhileACloseIsRefusedAndABrokenStartUpEndsWithStatusOne) {
  program.WriteSettings("Typ=2\r\nOutlook-Ordner=10\r\n");
  Started first;
  Start(first);
  const HWND window = first.WaitForWindow(kForm1WindowClass);
  ASSERT_NE(window, nullptr);

  SendNotifyMessageW(testing::ControlOf(window, "Command1"), BM_CLICK, 0, 0);
  // The final message shows while the export still runs: a close request now is refused.
  ASSERT_NE(first.WaitForWindow(L"#32770"), nullptr);
  PostMessageW(window, WM_CLOSE, 0, 0);
  const std::filesystem::path written = profile.path() / "documents" / "outlook.csv";
  EXPECT_EQ(first.ConfirmMessage(), "Fertig, 1 Adressen exportiert in \r\n" + written.string());
  EXPECT_THAT(profile.Read("documents/outlook.csv"),
              StartsWith("displayName;destination\r\nMuster, Erika (BT);+49 (30) 1234567\r\n"));
  EXPECT_TRUE(IsWindowVisible(window));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.ExitCode(), 0U);

  // An area-code file that cannot be opened ends start-up with the report and status 1.
  program.WriteSettings("DatabaseName=" + (program / "fehlt.mdb") + "\r\n");
  Started broken;
  Start(broken);
  EXPECT_THAT(broken.ConfirmMessage(), StartsWith("Laufzeitfehler '"));
  EXPECT_EQ(broken.ExitCode(), 1U);
}

}  // namespace
}  // namespace fernkartei::app
