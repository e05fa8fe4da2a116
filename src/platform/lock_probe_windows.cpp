#include <windows.h>

#include <string>

#include "platform/lock_probe.h"

namespace platform {

bool HeldByAnotherProgram(const std::string& native_path, PlannedUse use) {
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, native_path.c_str(), -1, nullptr, 0);
  std::wstring wide(n > 0 ? n : 1, L'\0');
  if (n > 0) {
    MultiByteToWideChar(CP_UTF8, 0, native_path.c_str(), -1, wide.data(), n);
  }
  // Replacing: an open sharing nothing fails while anyone has the file
  // open. Reading: one that lets others read and write fails only when a
  // holder keeps others out.
  const DWORD share =
      use == PlannedUse::kReplacing ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ, share, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    return err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION;
  }
  CloseHandle(h);
  return false;
}

}  // namespace platform
