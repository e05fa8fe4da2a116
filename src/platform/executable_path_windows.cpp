#include <windows.h>

#include "platform/executable_path.h"

namespace platform {

std::string ExecutableFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return ".";
  std::string path(buffer, n);
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace platform
