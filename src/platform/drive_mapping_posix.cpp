#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/drive_mapping.h"
#include "platform/path_case.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

std::string& Override() {
  static std::string folder;
  return folder;
}

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::string(value) : fallback;
}

std::string ChooseDriveC() {
  if (!Override().empty()) return Override();
  const char* env = std::getenv("TQV_DRIVE_C");
  if (env != nullptr && *env != '\0') return env;
  const std::string home = EnvOr("HOME", "/tmp");
  const std::string prefix = EnvOr("WINEPREFIX", home + "/.wine");
  std::error_code ec;
  if (fs::is_directory(prefix + "/drive_c", ec)) return prefix + "/drive_c";
  return EnvOr("XDG_DATA_HOME", home + "/.local/share") +
         "/TransQuendraValencia/drive_c";
}

bool HasDriveC(std::string_view path) {
  return path.size() >= 2 && path[1] == ':' &&
         (path[0] == 'c' || path[0] == 'C');
}

}  // namespace

void SetDriveCOverride(std::string folder) { Override() = std::move(folder); }

std::string DriveCFolder() {
  std::string folder = ChooseDriveC();
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  std::error_code ec;
  fs::create_directories(folder, ec);  // reported later, when it is used
  return folder;
}

std::string MapFixedPath(std::string_view path) {
  std::string native;
  if (HasDriveC(path)) {
    native = DriveCFolder() + "/" + std::string(path.substr(2));
  } else {
    native = std::string(path);
  }
  return ResolveCase(NormalizeSeparators(native));
}

namespace {

// `path` as "C:\..." when it lies inside `drive`; "" otherwise.
std::string InsideDrive(const std::string& path, const std::string& drive) {
  if (path == drive) return "C:\\";
  if (path.size() > drive.size() && path.compare(0, drive.size(), drive) == 0 &&
      path[drive.size()] == '/') {
    std::string rest = path.substr(drive.size() + 1);
    for (char& c : rest) {
      if (c == '/') c = '\\';
    }
    return "C:\\" + rest;
  }
  return "";
}

}  // namespace

std::string ProgramPath(std::string_view native_path) {
  const std::string path(native_path);
  const std::string drive = DriveCFolder();
  std::string shown = InsideDrive(path, drive);
  if (shown.empty()) {
    // The drive's folder may be reached through a symbolic link.
    std::error_code ec;
    const std::string real = fs::weakly_canonical(drive, ec).string();
    if (!ec && real != drive) shown = InsideDrive(path, real);
  }
  return shown.empty() ? path : shown;
}

std::vector<std::string> DriveRoots() { return {"C:\\", "/"}; }

}  // namespace platform
