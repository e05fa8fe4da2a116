#include <windows.h>

#include <string>

#include "platform/file_system.h"
#include "platform/raw_file.h"

namespace platform {
namespace {

std::wstring Wide(const std::string& text) {
  const int n = ::MultiByteToWideChar(
      CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                        wide.data(), n);
  return wide;
}

[[noreturn]] void Fail(DWORD error) {
  FileError::Kind kind = FileError::Kind::kFailed;
  if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
    kind = FileError::Kind::kNotFound;
  if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
    kind = FileError::Kind::kLocked;
  throw FileError(kind, ErrorText(error == ERROR_DISK_FULL ||
                                          error == ERROR_HANDLE_DISK_FULL
                                      ? kDiskFullCode
                                      : static_cast<int>(error)));
}

OVERLAPPED At(uint64_t position) {
  OVERLAPPED at = {};
  at.Offset = static_cast<DWORD>(position);
  at.OffsetHigh = static_cast<DWORD>(position >> 32);
  return at;
}

DWORD Chunk(size_t left) {
  return static_cast<DWORD>(left > 0x10000000 ? 0x10000000 : left);
}

class WindowsFile : public OpenFile {
 public:
  WindowsFile(HANDLE handle, bool writable)
      : handle_(handle), writable_(writable) {}
  ~WindowsFile() override { CloseHandle(handle_); }

  bool writable() const override { return writable_; }

  uint64_t Size() override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_, &size)) Fail(GetLastError());
    return static_cast<uint64_t>(size.QuadPart);
  }

  size_t ReadAt(uint64_t offset, char* data, size_t size) override {
    size_t done = 0;
    while (done < size) {
      OVERLAPPED at = At(offset + done);
      DWORD read = 0;
      if (!ReadFile(handle_, data + done, Chunk(size - done), &read, &at)) {
        if (GetLastError() == ERROR_HANDLE_EOF) break;
        Fail(GetLastError());
      }
      if (read == 0) break;
      done += read;
    }
    return done;
  }

  void WriteAt(uint64_t offset, const char* data, size_t size) override {
    size_t done = 0;
    while (done < size) {
      OVERLAPPED at = At(offset + done);
      DWORD written = 0;
      if (!WriteFile(handle_, data + done, Chunk(size - done), &written, &at)) {
        Fail(GetLastError());
      }
      if (written == 0) Fail(ERROR_DISK_FULL);
      done += written;
    }
  }

  void Truncate(uint64_t size) override {
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(handle_, position, nullptr, FILE_BEGIN) ||
        !SetEndOfFile(handle_)) {
      Fail(GetLastError());
    }
  }

  void LockExclusive() override {}

 private:
  HANDLE handle_;
  bool writable_;
};

}  // namespace

std::unique_ptr<OpenFile> NativeFileSystem::Open(const std::string& path,
                                                 bool writable, FileLock lock,
                                                 OpenMode mode) {
  const std::wstring wide = Wide(path);
  // The share mode is the lock: 0 keeps every other opener out; a shared
  // open lets others read and write but not take the file exclusively.
  const DWORD share =
      lock == FileLock::kExclusive
          ? 0
          : (FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  const DWORD disposition =
      mode == OpenMode::kCreateOrOpen ? OPEN_ALWAYS : OPEN_EXISTING;
  bool is_writable = writable;
  HANDLE handle = CreateFileW(
      wide.c_str(), writable ? (GENERIC_READ | GENERIC_WRITE) : GENERIC_READ,
      share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE && writable &&
      GetLastError() == ERROR_ACCESS_DENIED &&
      mode == OpenMode::kOpenExisting) {
    handle = CreateFileW(wide.c_str(), GENERIC_READ, share, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    is_writable = false;
  }
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      throw FileError(FileError::Kind::kNotAFile, "no es un archivo normal");
    }
    Fail(error);
  }
  // A device ("NUL", "CON", a pipe) is nothing a table can live in; reading
  // it could wait forever.
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    throw FileError(FileError::Kind::kNotAFile, "no es un archivo normal");
  }
  return std::make_unique<WindowsFile>(handle, is_writable);
}

}  // namespace platform
