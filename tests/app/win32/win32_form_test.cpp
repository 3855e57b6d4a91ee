// Form1's native window in this process, on a virtual X server under Wine.

#include "app/win32/win32_form.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <numeric>
#include <thread>

#include "app_fixture.h"
#include "display.h"
#include "support/windows/wide_text.h"

namespace fernkartei::app {
namespace {

std::string TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return support::Utf8FromWide(text);
}

RECT PlaceOf(HWND control) {
  RECT place{};
  GetWindowRect(control, &place);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
  return place;
}

HWND ControlNamed(const Win32Form& window, std::string_view name) {
  for (const ControlLayout& control : kForm1Controls) {
    if (control.object_name == name) return GetDlgItem(window.handle(), ControlId(control));
  }
  return nullptr;
}

class Win32FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::WineHasDisplay()) GTEST_SKIP() << "no X server (Xvfb) for Wine's windows";
  }
  FormOptions Options(float dpi = 96) {
    FormOptions options;
    options.auto_confirm = true;
    options.dots_per_inch = dpi;
    options.end_process = [this](int status) { ends.push_back(status); };
    options.program_folder = program.path();
    return options;
  }
  testing::ProgramFolderFixture program;
  std::vector<int> ends;
};

TEST_F(Win32FormTest, EveryControlSitsWhereTheLayoutPutsItAtEachResolution) {
  for (const float dpi : {96.0F, 144.0F}) {
    SCOPED_TRACE(dpi);
    testing::ClearProcessState();
    Win32Form window(Options(dpi));
    ASSERT_TRUE(window.Load());
    window.Show();
    EXPECT_EQ(TextOf(window.handle()), "Fernkartei");
    RECT client{};
    GetClientRect(window.handle(), &client);
    EXPECT_EQ(client.right, TwipsToPixels(kClientWidthTwips, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(kClientHeightTwips, dpi));
    for (const ControlLayout& control : kForm1Controls) {
      SCOPED_TRACE(control.object_name);
      const HWND child = ControlNamed(window, control.object_name);
      ASSERT_NE(child, nullptr);
      const RECT place = PlaceOf(child);
      const auto pixels = [dpi](int twips) { return TwipsToPixels(static_cast<float>(twips), dpi); };
      if (control.kind == ControlKind::ProgressBar) {
        EXPECT_EQ(place.left, 0);
        EXPECT_EQ(place.top, TwipsToPixels(window.Progress(ProgressProperty::Top), dpi));
        EXPECT_EQ(place.right, client.right);
        continue;
      }
      if (control.kind != ControlKind::TextBox) {
        EXPECT_EQ(TextOf(child), control.caption);
        // Whole, inside its control and inside the window at its first size.
        HDC dc = GetDC(child);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
        const std::wstring caption = support::WideFromUtf8(control.caption);
        SIZE text{};
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
    EXPECT_EQ(TextOf(ControlNamed(window, "Text2")), "11,12,15");
  }
}

TEST_F(Win32FormTest, TabFollowsTheTabIndexAndTheOptionsAreOneGroup) {
  Win32Form window(Options());
  ASSERT_TRUE(window.Load());
  window.Show();
  // The keyboard goes through the controls in the order of their windows.
  std::vector<int> order;
  for (HWND child = GetWindow(window.handle(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT))
    order.push_back(GetDlgCtrlID(child) - 1000);
  std::vector<int> tab_indexes(kForm1Controls.size());
  std::iota(tab_indexes.begin(), tab_indexes.end(), 0);
  EXPECT_EQ(order, tab_indexes);

  for (const int index : {2, 3, 0, 1}) {
    SendMessageW(ControlNamed(window, "Option1_" + std::to_string(index)), BM_CLICK, 0, 0);
    for (int other = 0; other < kOptionCount; ++other) EXPECT_EQ(window.OptionValue(other), other == index);
  }
  // The arrow keys go round the four options, past the controls between them.
  for (const auto& [key, selected] : {std::pair{VK_DOWN, 2}, {VK_DOWN, 3}, {VK_RIGHT, 0}, {VK_UP, 3}}) {
    MSG press{GetFocus(), WM_KEYDOWN, static_cast<WPARAM>(key), 0, 0, {}};
    window.Dispatch(press);
    EXPECT_TRUE(window.OptionValue(selected)) << selected;
    EXPECT_EQ(GetFocus(), ControlNamed(window, "Option1_" + std::to_string(selected)));
  }
}

TEST_F(Win32FormTest, WhileAnExportRunsTheBarPaintsTheCursorWaitsAndCloseIsRefused) {
  FormOptions options = Options();
  int runs = 0;
  options.exports[0] = [&](Form1& form, std::string&, std::string&) {
    ++runs;
    auto& window = static_cast<Win32Form&>(form.ui());
    const HWND bar = ControlNamed(window, "ProgressBar1");
    for (const auto& [value, position] : {std::pair{50.5F, 500}, {250.0F, 1000}, {0.0F, 0}}) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      form.SetProgressValue(value);
      EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), position);
      EXPECT_FALSE(GetUpdateRect(bar, nullptr, FALSE)) << "painted at once";
    }
    form.SetMousePointer(11);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    EXPECT_TRUE(SendMessageW(window.handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(bar), HTCLIENT));
    form.SetMousePointer(0);
    SendMessageW(window.handle(), WM_CLOSE, 0, 0);
    SendMessageW(ControlNamed(window, "Command1"), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowVisible(window.handle()));
  };
  Win32Form window(options);
  ASSERT_TRUE(window.Load());
  window.Show();
  SendMessageW(ControlNamed(window, "Command1"), BM_CLICK, 0, 0);
  EXPECT_EQ(runs, 1);
  EXPECT_TRUE(ends.empty());
  SendMessageW(window.handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(ends, std::vector<int>{0});
  EXPECT_FALSE(IsWindowVisible(window.handle()));
}

}  // namespace
}  // namespace fernkartei::app
