#include <windows.h>

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

int LastCode() {
  const DWORD err = GetLastError();
  if (err == ERROR_DISK_FULL || err == ERROR_HANDLE_DISK_FULL) {
    return kDiskFullCode;
  }
  return static_cast<int>(err);
}

// A file opened for reading and writing into `handle`; `disposition` says
// whether it is made anew (CREATE_ALWAYS) or must not exist yet
// (CREATE_NEW).
int OpenForWriting(const std::string& native_path, DWORD disposition,
                   void** handle) {
  HANDLE h =
      CreateFileW(Wide(native_path).c_str(), GENERIC_READ | GENERIC_WRITE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LastCode();
  *handle = h;
  return 0;
}

}  // namespace

RawFile::~RawFile() {
  if (handle_ != nullptr) CloseHandle(handle_);
}

bool RawFile::IsOpen() const { return handle_ != nullptr; }

int RawFile::OpenForReading(const std::string& native_path) {
  HANDLE h = CreateFileW(Wide(native_path).c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LastCode();
  handle_ = h;
  return 0;
}

int RawFile::Create(const std::string& native_path) {
  return OpenForWriting(native_path, CREATE_ALWAYS, &handle_);
}

int RawFile::CreateNew(const std::string& native_path) {
  return OpenForWriting(native_path, CREATE_NEW, &handle_);
}

int RawFile::Read(char* buffer, size_t size, size_t* count) {
  DWORD n = 0;
  *count = 0;
  if (!ReadFile(handle_, buffer, static_cast<DWORD>(size), &n, nullptr)) {
    return LastCode();
  }
  *count = n;
  return 0;
}

int RawFile::Write(const char* data, size_t size, size_t* count) {
  DWORD n = 0;
  *count = 0;
  if (!WriteFile(handle_, data, static_cast<DWORD>(size), &n, nullptr)) {
    return LastCode();
  }
  *count = n;
  return 0;
}

int RawFile::Size(uint64_t* size) {
  LARGE_INTEGER n;
  *size = 0;
  if (!GetFileSizeEx(handle_, &n)) return LastCode();
  *size = static_cast<uint64_t>(n.QuadPart);
  return 0;
}

int RawFile::CopyTo(RawFile& to) { return CopyByBlocks(to); }

int RawFile::Sync() { return FlushFileBuffers(handle_) ? 0 : LastCode(); }

void RawFile::StartWriteBack() noexcept {}

int RawFile::Close() {
  HANDLE h = handle_;
  handle_ = nullptr;
  return CloseHandle(h) ? 0 : LastCode();
}

}  // namespace platform
