#include <windows.h>

#include "platform/native_window.h"

namespace platform {

bool NativeWindowExists(std::uintptr_t handle) {
  return handle != 0 && IsWindow(reinterpret_cast<HWND>(handle)) != FALSE;
}

}  // namespace platform
