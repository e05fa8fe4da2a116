#include <windows.h>

#include <string>

#include "tables/native_file.h"
#include "tables/table_error.h"

namespace tables {

std::filesystem::path ToFsPath(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string FromFsPath(const std::filesystem::path& path) {
  std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

namespace {

std::string ErrorText(DWORD code) {
  return "código de error " + std::to_string(code);
}

class WindowsFile : public NativeFile {
 public:
  WindowsFile(HANDLE handle, bool writable, std::string display)
      : handle_(handle), writable_(writable), display_(std::move(display)) {}
  ~WindowsFile() override { CloseHandle(handle_); }

  bool writable() const override { return writable_; }

  uint64_t Size() override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_, &size)) Fail();
    return static_cast<uint64_t>(size.QuadPart);
  }

  size_t ReadAt(uint64_t offset, char* data, size_t size) override {
    size_t done = 0;
    while (done < size) {
      OVERLAPPED at = {};
      uint64_t position = offset + done;
      at.Offset = static_cast<DWORD>(position);
      at.OffsetHigh = static_cast<DWORD>(position >> 32);
      DWORD chunk = static_cast<DWORD>(
          (size - done) > 0x10000000 ? 0x10000000 : (size - done));
      DWORD read = 0;
      if (!ReadFile(handle_, data + done, chunk, &read, &at)) {
        if (GetLastError() == ERROR_HANDLE_EOF) break;
        Fail();
      }
      if (read == 0) break;
      done += read;
    }
    return done;
  }

  void WriteAt(uint64_t offset, const char* data, size_t size) override {
    if (!writable_) throw TableError::ReadOnlyTable(display_);
    size_t done = 0;
    while (done < size) {
      OVERLAPPED at = {};
      uint64_t position = offset + done;
      at.Offset = static_cast<DWORD>(position);
      at.OffsetHigh = static_cast<DWORD>(position >> 32);
      DWORD chunk = static_cast<DWORD>(
          (size - done) > 0x10000000 ? 0x10000000 : (size - done));
      DWORD written = 0;
      if (!WriteFile(handle_, data + done, chunk, &written, &at) ||
          written == 0) {
        Fail();
      }
      done += written;
    }
  }

  void Truncate(uint64_t size) override {
    if (!writable_) throw TableError::ReadOnlyTable(display_);
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(size);
    if (!SetFilePointerEx(handle_, position, nullptr, FILE_BEGIN) ||
        !SetEndOfFile(handle_)) {
      Fail();
    }
  }

  void LockExclusive() override {}

 private:
  [[noreturn]] void Fail() {
    throw TableError::IoFailure(display_, ErrorText(GetLastError()));
  }

  HANDLE handle_;
  bool writable_;
  std::string display_;
};

}  // namespace

std::unique_ptr<NativeFile> NativeFile::Open(const std::string& path,
                                             const std::string& display,
                                             bool writable, Lock lock,
                                             Mode mode) {
  std::wstring wide = ToFsPath(path).wstring();
  // The share mode is the lock: 0 keeps every other opener out; a shared
  // open lets others read and write but not take the file exclusively.
  DWORD share = lock == Lock::kExclusive
                    ? 0
                    : (FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  DWORD disposition = mode == Mode::kCreateOrOpen ? OPEN_ALWAYS : OPEN_EXISTING;
  bool is_writable = writable;
  HANDLE handle = CreateFileW(
      wide.c_str(), writable ? (GENERIC_READ | GENERIC_WRITE) : GENERIC_READ,
      share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE && writable &&
      GetLastError() == ERROR_ACCESS_DENIED && mode == Mode::kOpenExisting) {
    handle = CreateFileW(wide.c_str(), GENERIC_READ, share, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    is_writable = false;
  }
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
      throw TableError::TableNotFound(display);
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
      throw TableError::TableLocked(display);
    throw TableError::IoFailure(display, ErrorText(error));
  }
  return std::make_unique<WindowsFile>(handle, is_writable, display);
}

}  // namespace tables
