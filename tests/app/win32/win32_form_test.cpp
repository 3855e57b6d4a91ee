// Form1's native window in this process, on a virtual X server under Wine: what the Win32 layer makes of
// the layout, the keyboard, the bar, the cursor and the close button.

#include "app/win32/win32_form.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <thread>

#include "fixtures/program_folder.h"
#include "win32_helpers.h"

namespace fernkartei::app {
namespace {

using testing::ControlOf;
using testing::TextOf;

class Win32FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::WineHasDisplay()) GTEST_SKIP() << "no X server (Xvfb) for Wine's windows";
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

}  // namespace
}  // namespace fernkartei::app
