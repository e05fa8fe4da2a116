#include "window_tree.h"

#include <cstdarg>
#include <cstdio>

namespace window_test {
namespace {

struct Search {
  std::wstring text;
  HWND found = nullptr;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  if (!IsWindowVisible(window)) return TRUE;
  wchar_t title[512];
  GetWindowTextW(window, title, 512);
  if (std::wstring(title).find(search->text) == std::wstring::npos) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

struct Tree {
  HWND top;
};

BOOL CALLBACK PrintChild(HWND window, LPARAM param) {
  const auto* tree = reinterpret_cast<Tree*>(param);
  const RECT r = RectIn(tree->top, window);
  char name[256];
  GetClassNameA(window, name, sizeof name);
  Say("child %ld %ld %ld %ld %s %s", r.left, r.top, r.right - r.left,
      r.bottom - r.top, IsWindowVisible(window) ? "visible" : "hidden", name);
  return TRUE;
}

}  // namespace

void Say(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stdout, format, args);
  va_end(args);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

RECT RectIn(HWND top, HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void PrintTree(HWND top) {
  RECT client;
  GetClientRect(top, &client);
  Say("client %ld %ld", client.right, client.bottom);
  Tree tree{top};
  EnumChildWindows(top, PrintChild, reinterpret_cast<LPARAM>(&tree));
}

HWND WaitForWindow(const std::wstring& text, double seconds) {
  Search search{text};
  for (double waited = 0; waited <= seconds; waited += 0.1) {
    EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    Sleep(100);
  }
  return nullptr;
}

}  // namespace window_test
