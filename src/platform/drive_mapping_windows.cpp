#include <windows.h>

#include "platform/drive_mapping.h"

namespace platform {

void SetDriveCOverride(std::string) {}

std::string DriveCFolder() { return "C:\\"; }

std::string MapFixedPath(std::string_view path) { return std::string(path); }

std::string ProgramPath(std::string_view native_path) {
  return std::string(native_path);
}

std::vector<std::string> DriveRoots() {
  std::vector<std::string> roots;
  const DWORD drives = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (drives & (DWORD{1} << i)) {
      roots.push_back(std::string(1, static_cast<char>('A' + i)) + ":\\");
    }
  }
  return roots;
}

}  // namespace platform
