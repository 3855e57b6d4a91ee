// fernkartei-window-probe.exe: for developers and scripts, never shipped. Starts fernkartei.exe as a
// user would and watches it from outside, so that the program itself carries no hook for it.
//
//   fernkartei-window-probe.exe [--runs N] PROGRAM.exe   the time from start to the window's first
//                                                         paint, N times; each run is closed again
//   fernkartei-window-probe.exe --leave-open PROGRAM.exe  one start, then prints where the window is,
//                                                         as WIDTHxHEIGHT+LEFT+TOP, and leaves it open
//   fernkartei-window-probe.exe --close                   closes the window left open

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr const wchar_t* kWindowClass = L"Fernkartei.Form1";
constexpr DWORD kTimeoutMs = 30000;

HWND WindowOf(DWORD process_id) {
  HWND window = nullptr;
  while ((window = FindWindowExW(nullptr, window, kWindowClass, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((process_id == 0 || owner == process_id) && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

// The window shows and paints within one step of start-up; once its thread takes messages again, the
// first paint is done.
HWND WaitUntilPainted(const PROCESS_INFORMATION& started) {
  for (DWORD waited = 0; waited < kTimeoutMs; ++waited) {
    if (const HWND window = WindowOf(started.dwProcessId)) {
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, kTimeoutMs, &ignored);
      return window;
    }
    if (WaitForSingleObject(started.hProcess, 1) == WAIT_OBJECT_0) return nullptr;
  }
  return nullptr;
}

bool Start(const std::wstring& program, PROCESS_INFORMATION& started) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring command = L"\"" + program + L"\"";
  const std::wstring folder = program.substr(0, program.find_last_of(L"\\/") + 1);
  return CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started);
}

void Close(HWND window, HANDLE process) {
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (process != nullptr) WaitForSingleObject(process, kTimeoutMs);
}

int Usage() {
  std::fputs("Aufruf: fernkartei-window-probe [--runs N | --leave-open] PROGRAMM.exe | --close\n", stderr);
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  int runs = 1;
  bool leave_open = false;
  std::wstring program;
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view argument = argv[i];
    if (argument == L"--close") {
      const HWND window = WindowOf(0);
      if (window == nullptr) return 1;
      DWORD process_id = 0;
      GetWindowThreadProcessId(window, &process_id);
      const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, process_id);
      Close(window, process);
      if (process != nullptr) CloseHandle(process);
      return 0;
    }
    if (argument == L"--leave-open") {
      leave_open = true;
    } else if (argument == L"--runs" && i + 1 < argc) {
      runs = _wtoi(argv[++i]);
    } else {
      program = argument;
    }
  }
  if (program.empty() || runs < 1) return Usage();

  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    PROCESS_INFORMATION started{};
    if (!Start(program, started)) return Usage();
    const HWND window = WaitUntilPainted(started);
    const auto painted = std::chrono::steady_clock::now();
    if (window == nullptr) {
      std::fputs("fernkartei-window-probe: kein Fenster erschienen\n", stderr);
      return 1;
    }
    if (leave_open) {
      RECT place{};
      GetWindowRect(window, &place);
      std::printf("%ldx%ld+%ld+%ld\n", place.right - place.left, place.bottom - place.top, place.left,
                  place.top);
    } else {
      std::printf("Fenster nach %lld ms gezeigt\n",
                  static_cast<long long>(
                      std::chrono::duration_cast<std::chrono::milliseconds>(painted - start).count()));
      Close(window, started.hProcess);
    }
    std::fflush(stdout);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
  }
  return 0;
}
