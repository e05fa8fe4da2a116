// Reads and drives the utility's windows from outside its process, the way
// a user's clicks and keys reach it, for the Windows window test:
//   tqv_window_probe tree TITLE [SECONDS]   client size and child windows
//   tqv_window_probe wait TITLE SECONDS     until a window with TITLE shows
//   tqv_window_probe gone TITLE SECONDS     until no window has TITLE
//   tqv_window_probe click TITLE X Y        left click at client X,Y
//   tqv_window_probe type TITLE TEXT        types TEXT into the focus
//   tqv_window_probe key TITLE NAME         F1, RETURN, TAB, ESCAPE, DOWN...
//   tqv_window_probe rect TITLE             the window's place on the screen
//   tqv_window_probe close TITLE            asks the window to close
//   tqv_window_probe list                   every visible top-level window
// TITLE is any part of the window's title. Exit status 0 when done, 2 when
// the window is not there.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <cwchar>
#include <string>
#include <vector>

#include "window_tree.h"

namespace {

using window_test::Say;

void Send(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Sleep(150);
}

INPUT Key(WORD vk, WORD scan, DWORD flags) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = scan;
  in.ki.dwFlags = flags;
  return in;
}

void Bring(HWND window) {
  SetForegroundWindow(window);
  Sleep(200);
}

void Click(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  Bring(window);
  SetCursorPos(p.x, p.y);
  Sleep(100);
  INPUT down{}, up{};
  down.type = up.type = INPUT_MOUSE;
  down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  Send({down, up});
}

void Type(HWND window, const std::wstring& text) {
  Bring(window);
  for (wchar_t c : text) {
    Send({Key(0, c, KEYEVENTF_UNICODE),
          Key(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP)});
  }
}

WORD VirtualKey(const std::wstring& name) {
  const struct {
    const wchar_t* name;
    WORD vk;
  } kKeys[] = {
      {L"F1", VK_F1},         {L"RETURN", VK_RETURN}, {L"TAB", VK_TAB},
      {L"ESCAPE", VK_ESCAPE}, {L"DOWN", VK_DOWN},     {L"UP", VK_UP},
      {L"LEFT", VK_LEFT},     {L"RIGHT", VK_RIGHT},   {L"HOME", VK_HOME},
      {L"END", VK_END},       {L"DELETE", VK_DELETE}, {L"BACK", VK_BACK},
      {L"F2", VK_F2}};
  for (const auto& k : kKeys) {
    if (name == k.name) return k.vk;
  }
  return 0;
}

BOOL CALLBACK ListWindow(HWND window, LPARAM) {
  if (!IsWindowVisible(window)) return TRUE;
  wchar_t title[512];
  char name[256];
  GetWindowTextW(window, title, 512);
  GetClassNameA(window, name, sizeof name);
  char utf8[1024];
  WideCharToMultiByte(CP_UTF8, 0, title, -1, utf8, sizeof utf8, nullptr,
                      nullptr);
  Say("window %lX %s %s",
      static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)), name,
      utf8);
  return TRUE;
}

int Run(const std::vector<std::wstring>& args) {
  if (args.size() == 1 && args[0] == L"list") {
    EnumWindows(ListWindow, 0);
    return 0;
  }
  if (args.size() < 2) return 1;
  const std::wstring& command = args[0];
  const double seconds =
      args.size() > 2 &&
              (command == L"wait" || command == L"gone" || command == L"tree")
          ? _wtof(args[2].c_str())
          : 10.0;
  if (command == L"gone") {
    for (double waited = 0; waited <= seconds; waited += 0.2) {
      if (window_test::WaitForWindow(args[1], 0) == nullptr) return 0;
      Sleep(200);
    }
    return 2;
  }
  HWND window = window_test::WaitForWindow(args[1], seconds);
  if (window == nullptr) {
    Say("no window has '%ls'", args[1].c_str());
    return 2;
  }
  if (command == L"wait") {
    Say("found %lX",
        static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)));
  } else if (command == L"tree") {
    window_test::PrintTree(window);
  } else if (command == L"rect") {
    RECT r;
    GetWindowRect(window, &r);
    Say("rect %ld %ld %ld %ld", r.left, r.top, r.right - r.left,
        r.bottom - r.top);
  } else if (command == L"close") {
    PostMessageW(window, WM_CLOSE, 0, 0);
  } else if (command == L"click" && args.size() == 4) {
    Click(window, _wtoi(args[2].c_str()), _wtoi(args[3].c_str()));
  } else if (command == L"type" && args.size() == 3) {
    Type(window, args[2]);
  } else if (command == L"key" && args.size() == 3 && VirtualKey(args[2])) {
    Bring(window);
    const WORD vk = VirtualKey(args[2]);
    Send({Key(vk, 0, 0), Key(vk, 0, KEYEVENTF_KEYUP)});
  } else {
    return 1;
  }
  return 0;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> args(argv + 1, argv + count);
  LocalFree(argv);
  const int status = Run(args);
  if (status == 1) Say("usage: see the head of window_probe.cpp");
  return status;
}
