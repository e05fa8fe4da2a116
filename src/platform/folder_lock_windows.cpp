#include <windows.h>

#include "platform/folder_lock.h"

namespace platform {
namespace {

std::wstring Wide(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring wide(n > 0 ? n : 1, L'\0');
  if (n > 0) {
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), n);
  }
  wide.resize(wide.size() - 1);
  return wide;
}

}  // namespace

FolderLock::~FolderLock() { Unlock(); }

bool FolderLock::locked() const { return handle_ != nullptr; }

int FolderLock::TryLock(const std::string& native_folder) {
  std::string path = native_folder;
  if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
  path += kLockFileName;
  // Shared opens, so that the lock below, not the open, tells who holds it:
  // a share mode would refuse the open of a mere reader as well.
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  OVERLAPPED at{};
  if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                  MAXDWORD, MAXDWORD, &at)) {
    const DWORD err = GetLastError();
    CloseHandle(h);
    return err == ERROR_LOCK_VIOLATION || err == ERROR_SHARING_VIOLATION ||
                   err == ERROR_IO_PENDING
               ? kLockHeldCode
               : static_cast<int>(err);
  }
  handle_ = h;
  return 0;
}

void FolderLock::Unlock() noexcept {
  if (handle_ == nullptr) return;
  CloseHandle(handle_);  // the system releases the handle's locks
  handle_ = nullptr;
}

}  // namespace platform
