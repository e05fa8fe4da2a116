#include <windows.h>

#include <string>

#include "tables/mdx_error.h"
#include "tables/mdx_file.h"

namespace tables {
namespace {

// Paths cross the engine as UTF-8.
std::wstring Wide(const std::string& text) {
  const int n = ::MultiByteToWideChar(
      CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                        wide.data(), n);
  return wide;
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool Close() {
    const BOOL ok = ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ok != 0;
  }

 private:
  HANDLE handle_;
};

}  // namespace

std::string ReadMdxFile(const std::string& path) {
  Handle file(::CreateFileW(Wide(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) throw MdxReadFailed(path);
  std::string bytes;
  char buffer[1 << 16];
  for (;;) {
    DWORD n = 0;
    if (!::ReadFile(file.get(), buffer, sizeof(buffer), &n, nullptr)) {
      throw MdxReadFailed(path);
    }
    if (n == 0) break;
    bytes.append(buffer, n);
  }
  return bytes;
}

void ReplaceMdxFile(const std::string& path, std::string_view bytes) {
  const std::wstring target = Wide(path);
  const std::wstring temporary = target + L".tmp";
  bool ok = false;
  {
    Handle file(::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) throw MdxWriteFailed(path);
    ok = true;
    while (ok && !bytes.empty()) {
      DWORD n = 0;
      const DWORD chunk = static_cast<DWORD>(
          bytes.size() < (1u << 30) ? bytes.size() : (1u << 30));
      ok = ::WriteFile(file.get(), bytes.data(), chunk, &n, nullptr) && n > 0;
      bytes.remove_prefix(n);
    }
    ok = ok && ::FlushFileBuffers(file.get());
    ok = file.Close() && ok;
  }
  ok = ok && ::MoveFileExW(temporary.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) {
    ::DeleteFileW(temporary.c_str());
    throw MdxWriteFailed(path);
  }
}

}  // namespace tables
