#pragma once
// The Windows implementation of the user-interface layer: Form1 as a native window of the system's
// controls (common controls 6, per-monitor resolution), MessageBoxW, the program-wide cursor, and the
// folder dialog for a vCard folder.

#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "app/form1_layout.h"
#include "app/form_window.h"

namespace fernkartei::app {

inline constexpr const wchar_t* kForm1WindowClass = L"Fernkartei.Form1";

// The child-window id of a control: 1000 plus its tab index, so that helpers and tests find it.
constexpr int ControlId(const ControlLayout& control) {
  return 1000 + control.tab_index;
}

class Win32Form : public FormWindow {
 public:
  explicit Win32Form(FormOptions options = {});
  ~Win32Form() override;

  HWND handle() const { return window_; }
  // Runs the first Form_Resize, then shows the window and paints it before returning.
  void Show(int how = SW_SHOWNORMAL);
  // Passes messages, with the keyboard's dialog navigation, until the program ends; returns its status.
  int RunMessageLoop();
  // One message as the loop passes it.
  void Dispatch(MSG& message);

  void SetCaption(const std::string& caption) override;
  std::string Text(TextBox box) const override;
  void SetText(TextBox box, const std::string& text) override;
  bool OptionValue(int index) const override;
  void SelectOption(int index) override;

 protected:
  void ShowMessageBox(const std::string& text, exporting::MessageIcon icon) override;
  void HideWindow() override;
  void LeaveEventLoop(int exit_status) override;
  int ClientPixelWidth() const override;
  int ClientPixelHeight() const override;
  void PlaceProgressBar() override;
  void ShowProgressShare(float share, bool paint_now) override;
  void ShowPointer(PointerShape shape) override;
  std::optional<std::string> ShowFolderDialog() override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void Clicked(HWND control);
  bool MovedBetweenOptions(const MSG& message);
  void CreateControls();
  // Places every control and sizes the font for the window's resolution.
  void LayOut();
  // Input the user gave while an export held the window was meant for the window as it was then.
  void DiscardQueuedInput() const;

  HWND window_ = nullptr;
  std::array<HWND, kForm1Controls.size()> controls_{};
  HWND text1_ = nullptr;
  HWND text2_ = nullptr;
  HWND command1_ = nullptr;
  HWND progress_bar_ = nullptr;
  std::array<HWND, kOptionCount> option1_{};
  HWND last_focus_ = nullptr;
  HFONT font_ = nullptr;
  // The program-wide cursor; none while each control shows its own.
  HCURSOR pointer_ = nullptr;
  bool shown_ = false;
};

}  // namespace fernkartei::app
