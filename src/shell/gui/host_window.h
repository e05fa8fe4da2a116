#pragma once

// Embedding the transfer window in a foreign host window: an X11 window id
// on Linux, an HWND on Windows.

#include <QWidget>
#include <functional>
#include <stdexcept>
#include <string>

namespace shell_gui {

// The native operations, replaceable in tests that run without a display.
struct HostWindowOps {
  // Whether a window with this handle exists.
  std::function<bool(quintptr handle)> exists;
  // Makes `window` a borderless child of the host at left 2, top 2.
  // REQUIRES: exists(handle).
  std::function<void(QWidget* window, quintptr handle)> embed;
  // Calls `gone` once when the host window is destroyed.
  std::function<void(quintptr handle, std::function<void()> gone)> watch;
};

// The real operations of this platform.
HostWindowOps NativeHostWindowOps();

}  // namespace shell_gui

namespace shell_gui {

class HostWindowError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  // "No existe la ventana '$%s'; la utilidad se abre sola": the handle was a
  // hexadecimal number, but no window has it.
  static HostWindowError NotFound(const std::string& hex);
};

}  // namespace shell_gui
