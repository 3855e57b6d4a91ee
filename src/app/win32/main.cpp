// fernkartei.exe, the desktop program on Windows. Form1 is the start object: start-up runs while the
// window is hidden, and the window shows only when start-up completed.
//
//   fernkartei.exe [--auto-confirm]
//
// --auto-confirm confirms every message at once and writes its text to standard error, for scripts.

#include <ole2.h>
#include <shellapi.h>
#include <windows.h>

#include <string_view>

#include "app/win32/win32_form.h"
#include "contacts/contact_sources.h"
#include "export/source_notes.h"
#include "support/failure.h"
#include "support/program_folder.h"
#include "support/windows/wide_text.h"

namespace {

bool AutoConfirmRequested() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  bool requested = false;
  for (int i = 1; arguments != nullptr && i < count; ++i) {
    if (std::wstring_view(arguments[i]) == L"--auto-confirm") requested = true;
  }
  LocalFree(arguments);
  return requested;
}

int RunProgram(int show) {
  using namespace fernkartei;
  // The parts of the program: the native window, and the contact sources of this platform, whose notes on
  // what they passed over are counted for the message after each export.
  app::FormOptions options;
  options.auto_confirm = AutoConfirmRequested();
  options.program_folder = support::ProgramFolder();
  exporting::PassedOverTally passed_over;
  options.exports = app::ExportProceduresOver(
      contacts::MakeContactSourceFactory(options.program_folder, passed_over.Counting()), &passed_over);
  try {
    app::Win32Form window(options);
    if (!window.Load()) return window.ExitStatus();
    window.Show(show);
    // The first Form_Resize runs while showing; a failure there has already ended the program.
    if (window.Ended()) return window.ExitStatus();
    return window.RunMessageLoop();
  } catch (const support::Failure& failure) {
    // The window itself could not be made: reported as any failure no handler settled.
    MessageBoxW(
        nullptr,
        support::WideFromUtf8(app::UnhandledFailureText(failure.number(), failure.description())).c_str(),
        L"Fernkartei", MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
    return 1;
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  // The folder dialog and Outlook's automation objects want this thread in a single-threaded apartment.
  const HRESULT ole = OleInitialize(nullptr);
  // An export holds the window for its whole run and keeps its bar painting. The system's stand-in for a
  // window that seems hung would let the user close it meanwhile.
  DisableProcessWindowsGhosting();
  const int status = RunProgram(show);
  if (SUCCEEDED(ole)) OleUninitialize();
  return status;
}
