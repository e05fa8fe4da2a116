#include <windows.h>

#include <string>

#include "platform/atomic_replace.h"
#include "platform/raw_file.h"

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

int CodeFor(DWORD err) {
  if (err == ERROR_DISK_FULL || err == ERROR_HANDLE_DISK_FULL) {
    return kDiskFullCode;
  }
  return static_cast<int>(err);
}

// A virus scanner or an indexer opens new files for a moment; a replace
// that meets one is tried again for about two seconds.
constexpr int kRenameAttempts = 20;
constexpr DWORD kRenameRetryMs = 100;

}  // namespace

int FlushFileData(const std::string& path) {
  HANDLE h =
      CreateFileW(Wide(path).c_str(), GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return CodeFor(GetLastError());
  const int code = FlushFileBuffers(h) ? 0 : CodeFor(GetLastError());
  CloseHandle(h);
  return code;
}

void StartWriteBack(const std::string&) noexcept {}

int RenameOverDurably(const std::string& from, const std::string& to) {
  const std::wstring wide_from = Wide(from);
  const std::wstring wide_to = Wide(to);
  DWORD err = 0;
  for (int attempt = 0; attempt < kRenameAttempts; ++attempt) {
    if (MoveFileExW(wide_from.c_str(), wide_to.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return 0;
    }
    err = GetLastError();
    if (err != ERROR_SHARING_VIOLATION && err != ERROR_ACCESS_DENIED &&
        err != ERROR_LOCK_VIOLATION) {
      break;
    }
    Sleep(kRenameRetryMs);
  }
  return CodeFor(err);
}

int KeepFileAttributes(const std::string& existing, const std::string& staged) {
  const DWORD old = GetFileAttributesW(Wide(existing).c_str());
  if (old == INVALID_FILE_ATTRIBUTES) {
    const DWORD err = GetLastError();
    return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND
               ? 0
               : CodeFor(err);
  }
  // A read-only destination refuses the replace itself, as it should; the
  // attributes below are the ones a replace would otherwise drop.
  const DWORD kept =
      old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
             FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
  if (!SetFileAttributesW(Wide(staged).c_str(),
                          kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL)) {
    return CodeFor(GetLastError());
  }
  return 0;
}

void RemoveFileQuietly(const std::string& path) noexcept {
  DeleteFileW(Wide(path).c_str());
}

void RemoveFileSoon(const std::string& path) noexcept {
  RemoveFileQuietly(path);
}

long CurrentProcessId() { return static_cast<long>(GetCurrentProcessId()); }

}  // namespace platform
