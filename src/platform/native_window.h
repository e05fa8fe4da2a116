#pragma once

// Windows-only calls on native windows, for embedding the transfer window
// in the host window whose handle (an HWND) comes on the command line. They
// live here, outside the Qt code, so that the cross-build compiles them and
// its tests run them under Wine. Not defined on other systems.

#include <cstdint>

namespace platform {

// Whether a window with this handle exists (IsWindow). False for 0.
bool NativeWindowExists(std::uintptr_t handle);

}  // namespace platform
