#include <windows.h>

#include <string>
#include <utility>

#include "platform/drive_mapping.h"

namespace platform {
namespace {

// The --drive-c folder; empty means the real drive C:.
std::string& Override() {
  static std::string folder;
  return folder;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The override without trailing separators; the paths joined to it bring
// their own.
std::string OverrideRoot() {
  std::string root = Override();
  while (!root.empty() && IsSeparator(root.back())) root.pop_back();
  return root;
}

bool IsDriveC(std::string_view path) {
  return path.size() >= 2 && (path[0] == 'C' || path[0] == 'c') &&
         path[1] == ':';
}

// Letters in lower case and both separators as one, as Windows compares.
char Fold(char c) {
  if (c == '/') return '\\';
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::string_view::size_type i = 0; i < prefix.size(); ++i) {
    if (Fold(text[i]) != Fold(prefix[i])) return false;
  }
  return true;
}

// Whether the path lies in the override's folder ("C:\Temp\x" holds
// "C:\Temp\x\QTEMP" but not "C:\Temp\xy").
bool InOverride(std::string_view path, const std::string& root) {
  return StartsWithIgnoringCase(path, root) &&
         (path.size() == root.size() || IsSeparator(path[root.size()]));
}

}  // namespace

void SetDriveCOverride(std::string folder) { Override() = std::move(folder); }

std::string DriveCFolder() {
  return Override().empty() ? "C:\\" : OverrideRoot() + "\\";
}

// With an override, "C:" is replaced by its folder; Windows itself matches
// names without regard to case, so nothing else changes. A path already in
// the override's folder is left alone, so that mapping twice changes nothing
// even when the folder itself lies on drive C:.
std::string MapFixedPath(std::string_view path) {
  if (Override().empty() || !IsDriveC(path)) return std::string(path);
  if (InOverride(path, OverrideRoot())) return std::string(path);
  std::string_view rest = path.substr(2);
  std::string mapped = OverrideRoot();
  if (rest.empty() || !IsSeparator(rest.front())) mapped += '\\';
  mapped += rest;
  return mapped;
}

std::string ProgramPath(std::string_view native_path) {
  if (Override().empty()) return std::string(native_path);
  const std::string root = OverrideRoot();
  if (!InOverride(native_path, root)) return std::string(native_path);
  std::string_view rest = native_path.substr(root.size());
  return "C:" + (rest.empty() ? std::string("\\") : std::string(rest));
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
