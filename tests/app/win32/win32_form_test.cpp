// Form1's native window on a virtual X server under Wine: in this process, what the Win32 layer makes of
// the layout at two resolutions, the keyboard, the bar, the cursor and the close button; then fernkartei.exe
// as a user starts it, driven from outside the way a user would: a click on "Start", the message boxes read
// and confirmed, the window closed. Outlook is the registered double, holding the folders of
// tests/windows/outlook/folders.txt. (A second start is refused by the instance lock and Form_Load, each
// tested on its own.)

#include "app/win32/win32_form.h"

#include <commctrl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string_view>
#include <thread>

#include "fixtures/program_folder.h"
#include "support/windows/wide_text.h"

namespace fernkartei::app {
namespace {

// Wine makes windows only on an X server: without one the window tests skip themselves.
bool WineHasDisplay() {
  return GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) > 0;
}

HWND ControlOf(HWND window, std::string_view name) {
  for (const ControlLayout& control : kForm1Controls)
    if (control.object_name == name) return GetDlgItem(window, ControlId(control));
  return nullptr;
}

std::string TextOf(HWND window) {
  wchar_t text[1024] = {};
  GetWindowTextW(window, text, 1024);
  return support::Utf8FromWide(text);
}

// At either resolution every control is where its twips say, with its caption.
TEST(Win32FormTest, EveryControlSitsWhereTheLayoutPutsItWithItsCaption) {
  if (!WineHasDisplay()) GTEST_SKIP() << "no X server (Xvfb) for Wine's windows";
  testing::ProgramFolder program;
  testing::MakeAreaCodeDatabase(program, {"30"});
  for (const float dpi : {96.0F, 144.0F}) {
    FormOptions options;
    options.dots_per_inch = dpi;
    options.program_folder = program.path().string();
    Win32Form window(options);
    ASSERT_TRUE(window.Load());
    for (const ControlLayout& control : kForm1Controls) {
      const HWND child = ControlOf(window.handle(), control.object_name);
      RECT place{};
      GetWindowRect(child, &place);
      MapWindowPoints(nullptr, window.handle(), reinterpret_cast<POINT*>(&place), 2);
      if (control.kind == ControlKind::ProgressBar) continue;
      if (control.kind != ControlKind::TextBox) {
        EXPECT_EQ(TextOf(child), control.caption);
      }
      EXPECT_EQ(place.left, TwipsToPixels(control.left, dpi)) << control.object_name << " " << dpi;
      // Option buttons may grow, centred, up to the distance between two of them.
      EXPECT_LE(place.top, TwipsToPixels(control.top, dpi)) << control.object_name << " " << dpi;
      EXPECT_GE(place.bottom - place.top, TwipsToPixels(control.height, dpi)) << control.object_name;
    }
  }
}

// The keyboard, then an export that holds the thread: the bar paints at once, the cursor waits, and a
// close request is refused until it has ended.
TEST(Win32FormTest, TheKeyboardGoesRoundAndAnExportRunsWithTheBarPaintedAndCloseRefused) {
  if (!WineHasDisplay()) GTEST_SKIP() << "no X server (Xvfb) for Wine's windows";
  testing::ProgramFolder program;
  testing::MakeAreaCodeDatabase(program, {"30"});
  std::vector<int> ends;
  FormOptions options;
  options.auto_confirm = true;
  options.dots_per_inch = 96;
  options.end_process = [&](int status) { ends.push_back(status); };
  options.program_folder = program.path().string();
  int runs = 0;
  options.exports[0] = [&](Form1& form, std::string&, std::string&) {
    ++runs;
    const HWND window = static_cast<Win32Form&>(form.ui()).handle();
    const HWND bar = ControlOf(window, "ProgressBar1");
    for (const auto& [value, position] : {std::pair{50.5F, 500}, {0.0F, 0}}) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      form.SetProgressValue(value);
      EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), position);
      EXPECT_FALSE(GetUpdateRect(bar, nullptr, FALSE)) << "painted at once";
    }
    form.SetMousePointer(11);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    EXPECT_TRUE(SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(bar), HTCLIENT));
    form.SetMousePointer(0);
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindowVisible(window));
  };
  Win32Form window(options);
  ASSERT_TRUE(window.Load());
  window.Show();
  EXPECT_EQ(TextOf(window.handle()), "Fernkartei");
  RECT client{};
  GetClientRect(window.handle(), &client);
  EXPECT_EQ(client.right, TwipsToPixels(kClientWidthTwips, 96));
  EXPECT_EQ(client.bottom, TwipsToPixels(kClientHeightTwips, 96));
  // Tab goes through the controls in the order of their windows.
  int tab_index = 0;
  for (HWND child = GetWindow(window.handle(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT))
    EXPECT_EQ(GetDlgCtrlID(child), 1000 + tab_index++);
  EXPECT_EQ(tab_index, static_cast<int>(kForm1Controls.size()));
  // The arrow keys go round the four options, past the controls between them; a click selects one alone.
  SendMessageW(ControlOf(window.handle(), "Option1_1"), BM_CLICK, 0, 0);
  for (const auto& [key, selected] : {std::pair{VK_DOWN, 2}, {VK_DOWN, 3}, {VK_RIGHT, 0}, {VK_UP, 3}}) {
    MSG press{GetFocus(), WM_KEYDOWN, static_cast<WPARAM>(key), 0, 0, {}};
    window.Dispatch(press);
    EXPECT_TRUE(window.OptionValue(selected)) << selected;
    EXPECT_EQ(GetFocus(), ControlOf(window.handle(), "Option1_" + std::to_string(selected)));
  }
  SendMessageW(ControlOf(window.handle(), "Option1_0"), BM_CLICK, 0, 0);
  for (int other = 0; other < kOptionCount; ++other) EXPECT_EQ(window.OptionValue(other), other == 0);
  window.SetText(TextBox::Text1, "I V N\r\nTyp=3");
  EXPECT_EQ(window.Text(TextBox::Text1), "I V N");

  SendMessageW(ControlOf(window.handle(), "Command1"), BM_CLICK, 0, 0);
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(ends.empty());
  SendMessageW(window.handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(ends, std::vector<int>{0});
  EXPECT_FALSE(IsWindowVisible(window.handle()));
}

using ::testing::StartsWith;

constexpr DWORD kTimeoutMs = 30000;

// One start of the program from its folder, ended with the test at the latest.
struct Started {
  explicit Started(const std::filesystem::path& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring command = L"\"" + (folder / "fernkartei.exe").wstring() + L"\"";
    EXPECT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.wstring().c_str(), &startup, &process));
  }
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
    const std::string text = TextOf(GetDlgItem(box, 0xFFFF));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return text;
  }

  PROCESS_INFORMATION process{};
};

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!WineHasDisplay()) GTEST_SKIP() << "no X server (Xvfb) for Wine's windows";
    std::filesystem::copy_file(std::filesystem::path(FERNKARTEI_BIN_DIR) / "fernkartei.exe",
                               program.path() / "fernkartei.exe");
    testing::MakeAreaCodeDatabase(program, {"30"});
    profile.Write("folders.txt", testing::ReadFile(std::string(FERNKARTEI_SOURCE_DIR) +
                                                   "/tests/windows/outlook/folders.txt"));
    std::filesystem::create_directories(profile.path() / "documents");
    SetEnvironmentVariableW(L"USERPROFILE", profile.path().wstring().c_str());
    SetEnvironmentVariableW(L"FERNKARTEI_OUTLOOK_DOUBLE", (profile.path() / "folders.txt").wstring().c_str());
  }

  testing::ProgramFolder program;
  testing::TempFolder profile;
};

TEST_F(ProgramTest, StartExportsWhileACloseIsRefusedAndABrokenStartUpEndsWithStatusOne) {
  program.WriteSettings("Typ=2\r\nOutlook-Ordner=10\r\n");
  Started first(program.path());
  const HWND window = first.WaitForWindow(kForm1WindowClass);
  ASSERT_NE(window, nullptr);

  SendNotifyMessageW(ControlOf(window, "Command1"), BM_CLICK, 0, 0);
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
  Started broken(program.path());
  EXPECT_THAT(broken.ConfirmMessage(), StartsWith("Laufzeitfehler '"));
  EXPECT_EQ(broken.ExitCode(), 1U);
}

}  // namespace
}  // namespace fernkartei::app
