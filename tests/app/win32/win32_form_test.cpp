// Form1's native window on a virtual X server under Wine: in this process, what the Win32 layer makes of
// the layout, the keyboard, the bar, the cursor and the close button; then fernkartei.exe as a user
// starts it, driven from outside the way a user would: a click on "Start", the message boxes read and
// confirmed, the window closed. Outlook is the registered double, holding the folders of
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

class Win32FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!WineHasDisplay()) GTEST_SKIP() << "no X server (Xvfb) for Wine's windows";
    testing::MakeAreaCodeDatabase(program, {"30"});
  }
  FormOptions Options(float dpi = 96) {
    FormOptions options;
    options.auto_confirm = true;
    options.dots_per_inch = dpi;
    options.end_process = [this](int status) { ends.push_back(status); };
    options.program_folder = program.path().string();
    return options;
  }

  testing::ProgramFolder program;
  std::vector<int> ends;
};

TEST_F(Win32FormTest, EveryControlSitsWhereTheLayoutPutsItWithItsCaptionWhole) {
  for (const float dpi : {96.0F, 144.0F}) {
    SCOPED_TRACE(dpi);
    Win32Form window(Options(dpi));
    ASSERT_TRUE(window.Load());
    window.Show();
    EXPECT_EQ(TextOf(window.handle()), "Fernkartei");
    RECT client{};
    GetClientRect(window.handle(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(kClientWidthTwips, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(kClientHeightTwips, dpi));
    const auto pixels = [dpi](float twips) { return TwipsToPixels(twips, dpi); };
    for (const ControlLayout& control : kForm1Controls) {
      SCOPED_TRACE(control.object_name);
      const HWND child = ControlOf(window.handle(), control.object_name);
      RECT place{};
      GetWindowRect(child, &place);
      MapWindowPoints(nullptr, window.handle(), reinterpret_cast<POINT*>(&place), 2);
      if (control.kind == ControlKind::ProgressBar) {
        EXPECT_EQ(place.top, pixels(window.Progress(ProgressProperty::Top)));
        EXPECT_EQ(place.right - place.left, client.right);
        continue;
      }
      if (control.kind != ControlKind::TextBox) {
        EXPECT_EQ(TextOf(child), control.caption);
        // Whole, inside its control and inside the window at its first size.
        const std::wstring caption = support::WideFromUtf8(control.caption);
        SIZE text{};
        HDC dc = GetDC(child);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
        GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &text);
        ReleaseDC(child, dc);
        EXPECT_LE(text.cx, std::min(place.right, client.right) - place.left);
      }
      EXPECT_EQ(place.left, pixels(control.left));
      EXPECT_GE(place.right - place.left, pixels(control.width));
      // Option buttons may grow, centred, to the distance between two of them.
      const int grown =
          control.kind == ControlKind::OptionButton ? pixels(kOptionPitchTwips - control.height) : 0;
      EXPECT_LE(place.top, pixels(control.top));
      EXPECT_GE(place.top, pixels(control.top) - grown);
      EXPECT_GE(place.bottom - place.top, pixels(control.height));
    }
  }
}

TEST_F(Win32FormTest, TabFollowsTheTabIndexTheArrowsGoRoundTheOptionsAndTextKeepsOneLine) {
  Win32Form window(Options());
  ASSERT_TRUE(window.Load());
  window.Show();
  // The keyboard goes through the controls in the order of their windows.
  int tab_index = 0;
  for (HWND child = GetWindow(window.handle(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT))
    EXPECT_EQ(GetDlgCtrlID(child), 1000 + tab_index++);
  EXPECT_EQ(tab_index, static_cast<int>(kForm1Controls.size()));

  for (const int index : {2, 0, 1}) {
    SendMessageW(ControlOf(window.handle(), "Option1_" + std::to_string(index)), BM_CLICK, 0, 0);
    for (int other = 0; other < kOptionCount; ++other) EXPECT_EQ(window.OptionValue(other), other == index);
  }
  // The arrow keys go round the four options, past the controls between them.
  for (const auto& [key, selected] : {std::pair{VK_DOWN, 2}, {VK_DOWN, 3}, {VK_RIGHT, 0}, {VK_UP, 3}}) {
    MSG press{GetFocus(), WM_KEYDOWN, static_cast<WPARAM>(key), 0, 0, {}};
    window.Dispatch(press);
    EXPECT_TRUE(window.OptionValue(selected)) << selected;
    EXPECT_EQ(GetFocus(), ControlOf(window.handle(), "Option1_" + std::to_string(selected)));
  }
  window.SetText(TextBox::Text1, "I V N\r\nTyp=3");
  EXPECT_EQ(window.Text(TextBox::Text1), "I V N");
}

TEST_F(Win32FormTest, WhileAnExportRunsTheBarPaintsTheCursorWaitsAndCloseIsRefused) {
  FormOptions options = Options();
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
  SendMessageW(ControlOf(window.handle(), "Command1"), BM_CLICK, 0, 0);
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(ends.empty());
  SendMessageW(window.handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(ends, std::vector<int>{0});
  EXPECT_FALSE(IsWindowVisible(window.handle()));
}

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
    const std::string text = TextOf(GetDlgItem(box, 0xFFFF));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return text;
  }
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
  Started broken;
  Start(broken);
  EXPECT_THAT(broken.ConfirmMessage(), StartsWith("Laufzeitfehler '"));
  EXPECT_EQ(broken.ExitCode(), 1U);
}

}  // namespace
}  // namespace fernkartei::app
