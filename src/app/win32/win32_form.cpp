#include "app/win32/win32_form.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "app/win32/caption_font.h"
#include "app/win32/folder_dialog.h"
#include "support/process_state.h"
#include "support/windows/wide_text.h"
#include "support/windows/windows_failure.h"

namespace fernkartei::app {
namespace {

using support::Utf8FromWide;
using support::WideFromUtf8;

constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;
// Steps of the bar's display; Min, Max and Value themselves stay single-precision numbers.
constexpr int kProgressResolution = 1000;
// The program's icon in its resources.
constexpr WORD kIconResource = 1;

// Functions of newer Windows versions, found at run time so that the program still starts on older ones.
template <typename Function>
Function NewerUserFunction(const char* name) {
  const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), name);
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

// The resolution of the monitor the window is on; before Windows 10, the screen's.
float WindowDpi(HWND window) {
  static const auto get_dpi = NewerUserFunction<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  if (get_dpi != nullptr) {
    if (const UINT dpi = get_dpi(window); dpi != 0) return static_cast<float>(dpi);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return static_cast<float>(dpi);
}

// The window size for a client area, with the frame at the window's own resolution.
SIZE WindowSizeFor(HWND window, int client_width, int client_height) {
  RECT rect{0, 0, client_width, client_height};
  static const auto adjust =
      NewerUserFunction<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  if (adjust != nullptr) {
    adjust(&rect, kWindowStyle, FALSE, 0, static_cast<UINT>(WindowDpi(window)));
  } else {
    AdjustWindowRectEx(&rect, kWindowStyle, FALSE, 0);
  }
  return {rect.right - rect.left, rect.bottom - rect.top};
}

const wchar_t* CursorName(PointerShape shape) {
  switch (shape) {
    case PointerShape::Cross:
      return IDC_CROSS;
    case PointerShape::IBeam:
      return IDC_IBEAM;
    case PointerShape::Hourglass:
      return IDC_WAIT;
    case PointerShape::NoDrop:
      return IDC_NO;
    case PointerShape::ArrowHourglass:
      return IDC_APPSTARTING;
    case PointerShape::SizeAll:
      return IDC_SIZEALL;
    case PointerShape::Hand:
      return IDC_HAND;
    case PointerShape::Default:
    case PointerShape::Arrow:
      break;
  }
  return IDC_ARROW;
}

RECT PixelPlace(const ControlLayout& control, float dpi_x, float dpi_y) {
  const int left = TwipsToPixels(static_cast<float>(control.left), dpi_x);
  const int top = TwipsToPixels(static_cast<float>(control.top), dpi_y);
  return {left, top, left + TwipsToPixels(static_cast<float>(control.width), dpi_x),
          top + TwipsToPixels(static_cast<float>(control.height), dpi_y)};
}

void Place(HWND control, const RECT& place) {
  MoveWindow(control, place.left, place.top, place.right - place.left, place.bottom - place.top, TRUE);
}

void RegisterWindowClass(WNDPROC procedure) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
  window_class.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconResource), IMAGE_ICON,
                                                       GetSystemMetrics(SM_CXSMICON),
                                                       GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kForm1WindowClass;
  RegisterClassExW(&window_class);
}

}  // namespace

Win32Form::Win32Form(FormOptions options) : FormWindow(std::move(options)) {
  static const bool registered = [] {
    const INITCOMMONCONTROLSEX common{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&common);
    RegisterWindowClass(&Win32Form::Procedure);
    return true;
  }();
  (void)registered;
  CreateWindowExW(0, kForm1WindowClass, L"", kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (window_ == nullptr) support::ThrowLastWindowsError();
  const float dpi = WindowDpi(window_);
  UseDotsPerInch(dpi, dpi);
  CreateControls();
  LayOut();
  const SIZE size = WindowSizeFor(window_, TwipsToPixels(kClientWidthTwips, DotsPerInchX()),
                                  TwipsToPixels(kClientHeightTwips, DotsPerInchY()));
  SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Win32Form::~Win32Form() {
  // No message reaches this object once it is going.
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
  if (font_ != nullptr) DeleteObject(font_);
}

void Win32Form::CreateControls() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  // Created in tab order: the keyboard moves through the controls in the order they were made.
  std::vector<std::size_t> order(kForm1Controls.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [](std::size_t a, std::size_t b) {
    return kForm1Controls[a].tab_index < kForm1Controls[b].tab_index;
  });
  for (const std::size_t i : order) {
    const ControlLayout& control = kForm1Controls[i];
    const wchar_t* control_class = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD extended_style = 0;
    switch (control.kind) {
      case ControlKind::Label:
        style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX;
        break;
      case ControlKind::TextBox:
        control_class = L"EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL;
        extended_style = WS_EX_CLIENTEDGE;
        break;
      case ControlKind::PushButton:
        control_class = L"BUTTON";
        style |= WS_TABSTOP | BS_PUSHBUTTON;
        break;
      case ControlKind::ProgressBar:
        control_class = PROGRESS_CLASSW;
        break;
      case ControlKind::OptionButton:
        // Not the automatic kind: the four are one group by index, though other controls stand between
        // them in the tab order.
        control_class = L"BUTTON";
        style |= WS_TABSTOP | BS_RADIOBUTTON;
        break;
    }
    const HWND created = CreateWindowExW(
        extended_style, control_class, WideFromUtf8(control.caption).c_str(), style, 0, 0, 0, 0, window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(control))), instance, nullptr);
    if (created == nullptr) support::ThrowLastWindowsError();
    controls_[i] = created;
    if (control.object_name == "Text1") text1_ = created;
    if (control.object_name == "Text2") text2_ = created;
    if (control.kind == ControlKind::PushButton) command1_ = created;
    if (control.kind == ControlKind::ProgressBar) progress_bar_ = created;
    if (control.kind == ControlKind::OptionButton)
      option1_[static_cast<std::size_t>(control.index)] = created;
  }
  SendMessageW(progress_bar_, PBM_SETRANGE32, 0, kProgressResolution);
  SendMessageW(option1_[0], BM_SETCHECK, BST_CHECKED, 0);
}

void Win32Form::LayOut() {
  const float dpi_x = DotsPerInchX();
  const float dpi_y = DotsPerInchY();
  std::vector<PlacedCaption> captions;
  std::vector<HWND> captioned;
  for (std::size_t i = 0; i < kForm1Controls.size(); ++i) {
    const ControlLayout& control = kForm1Controls[i];
    const RECT place = PixelPlace(control, dpi_x, dpi_y);
    switch (control.kind) {
      case ControlKind::Label:
      case ControlKind::PushButton:
      case ControlKind::OptionButton:
        captions.push_back({control.kind, WideFromUtf8(control.caption), place});
        captioned.push_back(controls_[i]);
        break;
      case ControlKind::TextBox:
        Place(controls_[i], place);
        break;
      case ControlKind::ProgressBar:
        break;
    }
  }
  const HFONT font = FitCaptionFont(dpi_y, TwipsToPixels(kClientWidthTwips, dpi_x), captions);
  for (const HWND control : controls_)
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  for (std::size_t i = 0; i < captioned.size(); ++i) Place(captioned[i], captions[i].place);
  if (font_ != nullptr) DeleteObject(font_);
  font_ = font;
  PlaceProgressBar();
}

void Win32Form::Show(int how) {
  shown_ = true;
  Resized();
  if (Ended()) return;
  ShowWindow(window_, how);
  UpdateWindow(window_);
}

int Win32Form::RunMessageLoop() {
  MSG message;
  while (!Ended() && GetMessageW(&message, nullptr, 0, 0) > 0) Dispatch(message);
  return ExitStatus();
}

void Win32Form::Dispatch(MSG& message) {
  // Tab, Space and the arrow keys move and press as in every dialog of the system.
  if (MovedBetweenOptions(message) || IsDialogMessageW(window_, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

// The arrow keys move to the next option of the four and select it, as in every group of options, though
// other controls stand between them in the tab order. Tab stops at the selected one only.
bool Win32Form::MovedBetweenOptions(const MSG& message) {
  if (message.message != WM_KEYDOWN) return false;
  int step = 0;
  if (message.wParam == VK_UP || message.wParam == VK_LEFT) step = kOptionCount - 1;
  if (message.wParam == VK_DOWN || message.wParam == VK_RIGHT) step = 1;
  const auto focused = std::find(option1_.begin(), option1_.end(), message.hwnd);
  if (step == 0 || focused == option1_.end()) return false;
  const int index = static_cast<int>((focused - option1_.begin() + step) % kOptionCount);
  SetFocus(option1_[static_cast<std::size_t>(index)]);
  SelectOption(index);
  return true;
}

LRESULT CALLBACK Win32Form::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<Win32Form*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    form->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<Win32Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (form == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  // Nothing may be thrown through the system's frames: a failure ends the program with its report.
  LRESULT result = 0;
  RunEventHandler(*form, [&] { result = form->Handle(message, wparam, lparam); });
  return result;
}

LRESULT Win32Form::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) Clicked(reinterpret_cast<HWND>(lparam));
      return 0;
    case WM_SIZE:
      if (shown_) Resized();
      return 0;
    case WM_CLOSE:
      // Refused while an export runs; otherwise Form_Unload has ended the program.
      CloseRequested();
      return 0;
    case WM_SETCURSOR:
      if (pointer_ != nullptr) {
        SetCursor(pointer_);
        return TRUE;
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) last_focus_ = GetFocus();
      break;
    case WM_SETFOCUS:
      SetFocus(last_focus_ != nullptr && IsChild(window_, last_focus_) ? last_focus_ : text1_);
      return 0;
    case WM_DPICHANGED: {
      const float dpi = HIWORD(wparam);
      UseDotsPerInch(dpi, dpi);
      LayOut();
      const auto* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

void Win32Form::Clicked(HWND control) {
  if (control == command1_) {
    StartClicked();
    DiscardQueuedInput();
    return;
  }
  for (std::size_t index = 0; index < option1_.size(); ++index) {
    if (control == option1_[index]) SelectOption(static_cast<int>(index));
  }
}

void Win32Form::DiscardQueuedInput() const {
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }
  while (PeekMessageW(&message, nullptr, WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK, PM_REMOVE)) {
  }
}

void Win32Form::SetCaption(const std::string& caption) {
  SetWindowTextW(window_, WideFromUtf8(caption).c_str());
}

std::string Win32Form::Text(TextBox box) const {
  const HWND edit = box == TextBox::Text1 ? text1_ : text2_;
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  return Utf8FromWide(text);
}

void Win32Form::SetText(TextBox box, const std::string& text) {
  // A single-line box keeps a pasted text's first line itself; text set here ends there too.
  const std::string first_line = text.substr(0, text.find_first_of("\r\n"));
  SetWindowTextW(box == TextBox::Text1 ? text1_ : text2_, WideFromUtf8(first_line).c_str());
}

bool Win32Form::OptionValue(int index) const {
  if (index < 0 || index >= kOptionCount) return false;
  return SendMessageW(option1_[static_cast<std::size_t>(index)], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Form::SelectOption(int index) {
  if (index < 0 || index >= kOptionCount) return;
  for (int other = 0; other < kOptionCount; ++other) {
    SendMessageW(option1_[static_cast<std::size_t>(other)], BM_SETCHECK,
                 other == index ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void Win32Form::ShowMessageBox(const std::string& text, exporting::MessageIcon icon) {
  if (form().Export_Busy != kFalse) DiscardQueuedInput();
  const HWND owner = IsWindowVisible(window_) ? window_ : nullptr;
  UINT type = MB_OK;
  if (icon == exporting::MessageIcon::Stop) type |= MB_ICONSTOP;
  // Before the window shows, the box is the program's only window and belongs in front.
  if (owner == nullptr) type |= MB_SETFOREGROUND;
  MessageBoxW(owner, WideFromUtf8(text).c_str(), WideFromUtf8(support::App_Title).c_str(), type);
}

void Win32Form::HideWindow() {
  ShowWindow(window_, SW_HIDE);
}

void Win32Form::LeaveEventLoop(int exit_status) {
  PostQuitMessage(exit_status);
}

int Win32Form::ClientPixelWidth() const {
  RECT client{};
  GetClientRect(window_, &client);
  return client.right;
}

int Win32Form::ClientPixelHeight() const {
  RECT client{};
  GetClientRect(window_, &client);
  return client.bottom;
}

void Win32Form::PlaceProgressBar() {
  if (progress_bar_ == nullptr) return;
  const ProgressBarProperties& bar = progress_bar();
  MoveWindow(progress_bar_, TwipsToPixels(bar.Get(ProgressProperty::Left), DotsPerInchX()),
             TwipsToPixels(bar.Get(ProgressProperty::Top), DotsPerInchY()),
             std::max(0, TwipsToPixels(bar.Get(ProgressProperty::Width), DotsPerInchX())),
             std::max(0, TwipsToPixels(bar.Get(ProgressProperty::Height), DotsPerInchY())), TRUE);
}

void Win32Form::ShowProgressShare(float share, bool paint_now) {
  const int position = static_cast<int>(std::lround(share * kProgressResolution));
  // A themed bar glides towards a higher position over the next frames, which a run holding the thread
  // never gives it; a lower one it shows at once. So it is taken one step past and back.
  if (position < kProgressResolution) SendMessageW(progress_bar_, PBM_SETPOS, position + 1, 0);
  SendMessageW(progress_bar_, PBM_SETPOS, position, 0);
  // An export runs on this thread without passing messages: the bar paints itself now, and input waits.
  if (paint_now && IsWindowVisible(progress_bar_)) UpdateWindow(progress_bar_);
}

void Win32Form::ShowPointer(PointerShape shape) {
  pointer_ = shape == PointerShape::Default ? nullptr : LoadCursorW(nullptr, CursorName(shape));
  // At once: a run holding the thread passes no message that would ask for the cursor.
  SetCursor(pointer_ != nullptr ? pointer_ : LoadCursorW(nullptr, IDC_ARROW));
}

std::optional<std::string> Win32Form::ShowFolderDialog() {
  return ChooseContactsFolder(IsWindowVisible(window_) ? window_ : nullptr);
}

}  // namespace fernkartei::app
