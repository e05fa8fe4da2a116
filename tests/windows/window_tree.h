#pragma once

// What the Windows window test reads of a window from outside its process:
// the client area and every descendant window, in the top window's client
// coordinates. One line each, for the test script to match:
//   client W H
//   child X Y W H visible|hidden CLASS
#include <windows.h>

#include <string>

namespace window_test {

// Prints the client size of `top` and each of its descendants.
void PrintTree(HWND top);

// The first visible top-level window whose title contains `text`,
// waiting up to `seconds`; nullptr if none came.
HWND WaitForWindow(const std::wstring& text, double seconds);

// The window's rectangle in the client coordinates of `top`.
RECT RectIn(HWND top, HWND window);

// Prints one line and flushes it, so that a test reading the output while
// the program runs sees it at once.
void Say(const char* format, ...);

}  // namespace window_test
