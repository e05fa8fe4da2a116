// Native window checks on Windows, with a message-only window (no display is
// needed, so they run under Wine on a build machine).
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/native_window.h"

namespace platform {
namespace {

TEST(NativeWindow, ExistsUntilDestroyed) {
  HWND window = CreateWindowExW(0, L"STATIC", L"host", 0, 0, 0, 10, 10,
                                HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  const auto handle = reinterpret_cast<std::uintptr_t>(window);
  EXPECT_TRUE(NativeWindowExists(handle));
  DestroyWindow(window);
  EXPECT_FALSE(NativeWindowExists(handle));
  EXPECT_FALSE(NativeWindowExists(0));
}

}  // namespace
}  // namespace platform
