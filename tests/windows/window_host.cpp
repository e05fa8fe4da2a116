// A host window of our own, standing in for the timetabling program: it
// starts the utility inside itself with "<panel> <its handle in hex>" and
// reports, from its side, what became of the utility's window:
//   tqv_window_host UTILITY PANEL destroy   then destroys itself
//   tqv_window_host UTILITY PANEL wait S    then waits S seconds for the
//                                           utility to end by itself
// Output lines (see window_tree.h for "client" and "child"):
//   host HEX
//   embedded HEX parent ok|HEX style child|popup at X Y size W H
//   ready
//   utility ended CODE | utility still running
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "window_tree.h"

namespace {

using window_test::Say;

struct Found {
  DWORD process;
  HWND window = nullptr;
};

// The utility's window that is a direct child of the host: the search walks
// every descendant, and while the utility is still building its window, one
// of its inner controls may be the first of its windows to show.
struct Search {
  Found* found;
  HWND host;
};

BOOL CALLBACK MatchProcess(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  Found* found = search->found;
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != found->process || !IsWindowVisible(window) ||
      GetAncestor(window, GA_PARENT) != search->host) {
    return TRUE;
  }
  found->window = window;
  return FALSE;
}

// Runs the host's messages for `ms` milliseconds, or until `process` ends.
bool PumpUntilEnded(HANDLE process, DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    if (MsgWaitForMultipleObjects(1, &process, FALSE, 50, QS_ALLINPUT) ==
        WAIT_OBJECT_0) {
      return true;
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return false;
}

HWND WaitForEmbedded(HWND host, HANDLE process, DWORD process_id) {
  Found found{process_id};
  for (int i = 0; i < 300 && found.window == nullptr; ++i) {
    if (PumpUntilEnded(process, 100)) return nullptr;
    Search search{&found, host};
    EnumChildWindows(host, MatchProcess, reinterpret_cast<LPARAM>(&search));
  }
  return found.window;
}

void ReportEmbedded(HWND host, HWND child) {
  HWND parent = GetAncestor(child, GA_PARENT);
  const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
  const RECT r = window_test::RectIn(host, child);
  char parent_text[32] = "ok";
  if (parent != host) {
    std::snprintf(
        parent_text, sizeof parent_text, "%lX",
        static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parent)));
  }
  Say("embedded %lX parent %s style %s at %ld %ld size %ld %ld",
      static_cast<unsigned long>(reinterpret_cast<uintptr_t>(child)),
      parent_text, (style & WS_CHILD) ? "child" : "popup", r.left, r.top,
      r.right - r.left, r.bottom - r.top);
  window_test::PrintTree(child);
}

HWND MakeHost() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"TqvTestHost";
  RegisterClassW(&wc);
  HWND host =
      CreateWindowExW(0, wc.lpszClassName, L"Anfitrión de prueba",
                      WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20, 20, 640, 320,
                      nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(host, SW_SHOW);
  UpdateWindow(host);
  return host;
}

int Run(const std::wstring& utility, const std::wstring& panel,
        const std::wstring& then, DWORD wait_ms) {
  HWND host = MakeHost();
  Say("host %lX",
      static_cast<unsigned long>(reinterpret_cast<uintptr_t>(host)));
  wchar_t line[1024];
  std::swprintf(line, 1024, L"\"%ls\" %ls %lX", utility.c_str(), panel.c_str(),
                static_cast<unsigned long>(reinterpret_cast<uintptr_t>(host)));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &pi)) {
    Say("cannot start the utility (%lu)", GetLastError());
    return 1;
  }
  HWND child = WaitForEmbedded(host, pi.hProcess, pi.dwProcessId);
  if (child == nullptr) {
    Say("no embedded window");
  } else {
    PumpUntilEnded(pi.hProcess, 1500);  // let it finish its layout
    ReportEmbedded(host, child);
  }
  Say("ready");
  if (then == L"destroy") {
    PumpUntilEnded(pi.hProcess, 1000);
    DestroyWindow(host);
    Say("host destroyed");
  }
  const bool ended = PumpUntilEnded(pi.hProcess, wait_ms);
  if (ended) {
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    Say("utility ended %lu", code);
  } else {
    Say("utility still running");
    TerminateProcess(pi.hProcess, 9);
  }
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  if (then != L"destroy") DestroyWindow(host);
  return ended ? 0 : 3;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (count < 4) {
    Say("usage: tqv_window_host UTILITY PANEL destroy|wait [SECONDS]");
    return 1;
  }
  const DWORD wait_ms =
      count > 4 ? static_cast<DWORD>(_wtof(argv[4]) * 1000) : 15000;
  const int status = Run(argv[1], argv[2], argv[3], wait_ms);
  LocalFree(argv);
  return status;
}
