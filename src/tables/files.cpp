#include "tables/files.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <utility>
#include <vector>

#include "tables/native_file.h"
#include "tables/table_error.h"

namespace tables {
namespace {

std::mutex& MapperMutex() {
  static std::mutex mutex;
  return mutex;
}

PathMapper& Mapper() {
  static PathMapper mapper;
  return mapper;
}

std::atomic<char> decimal_separator{'.'};

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

#ifndef _WIN32
bool SameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The entry of `folder` whose name equals `name` without regard to case,
// preferring the exact spelling; empty when there is none.
std::string FindEntry(const std::string& folder, const std::string& name) {
  std::error_code error;
  if (std::filesystem::exists(ToFsPath(folder + "/" + name), error))
    return name;
  std::filesystem::directory_iterator it(
      ToFsPath(folder.empty() ? "/" : folder), error);
  if (error) return "";
  for (const auto& entry : it) {
    std::string candidate = FromFsPath(entry.path().filename());
    if (SameIgnoringCase(candidate, name)) return candidate;
  }
  return "";
}
#endif

}  // namespace

void SetPathMapper(PathMapper mapper) {
  std::lock_guard<std::mutex> lock(MapperMutex());
  Mapper() = std::move(mapper);
}

std::string MapPath(std::string_view path) {
  PathMapper mapper;
  {
    std::lock_guard<std::mutex> lock(MapperMutex());
    mapper = Mapper();
  }
  return mapper ? mapper(path) : std::string(path);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string joined(folder);
  if (!IsSeparator(joined.back())) joined += '\\';
  joined += name;
  return joined;
}

std::string ResolvePath(std::string_view path) {
  std::string mapped = MapPath(path);
#ifdef _WIN32
  return mapped;  // the file system ignores letter case already
#else
  std::replace(mapped.begin(), mapped.end(), '\\', '/');
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= mapped.size()) {
    size_t end = mapped.find('/', start);
    if (end == std::string::npos) end = mapped.size();
    std::string part = mapped.substr(start, end - start);
    if (!part.empty()) parts.push_back(part);
    start = end + 1;
  }
  const bool absolute = !mapped.empty() && mapped.front() == '/';
  std::string resolved = absolute ? "" : ".";
  std::string out = absolute ? "" : std::string();
  bool searching = true;
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& part = parts[i];
    std::string found;
    if (searching && part != "." && part != "..") {
      found = FindEntry(resolved, part);
      if (found.empty()) searching = false;
    }
    const std::string& chosen = found.empty() ? part : found;
    resolved += "/" + chosen;
    if (!out.empty() || absolute) out += "/";
    out += chosen;
  }
  if (parts.empty()) return mapped;
  if (!mapped.empty() && mapped.back() == '/' && out.back() != '/') out += '/';
  return out;
#endif
}

bool FileExists(std::string_view path) {
  std::error_code error;
  return std::filesystem::exists(ToFsPath(ResolvePath(path)), error);
}

bool IsFile(std::string_view path) {
  std::error_code error;
  return std::filesystem::is_regular_file(ToFsPath(ResolvePath(path)), error);
}

void DeleteFile(std::string_view path) noexcept {
  try {
    std::error_code error;
    std::filesystem::remove(ToFsPath(ResolvePath(path)), error);
  } catch (...) {
    // A failure is not reported.
  }
}

void ForceDirectories(std::string_view path) {
  std::error_code error;
  std::filesystem::path native = ToFsPath(ResolvePath(path));
  std::filesystem::create_directories(native, error);
  if (!std::filesystem::is_directory(native))
    throw TableError::CannotCreateFolder(path);
}

std::string SiblingPath(const std::string& path, std::string_view extension) {
  std::string base = path;
  std::string own_extension;
  const size_t slash = base.find_last_of("/\\");
  const size_t dot = base.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
    own_extension = base.substr(dot);
    base.resize(dot);
  }
  const bool upper = own_extension.size() > 1 && own_extension[1] >= 'A' &&
                     own_extension[1] <= 'Z';
  std::string wanted(extension);
  for (char& c : wanted) {
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return ResolvePath(base + wanted);
}

void SetDecimalSeparator(char separator) { decimal_separator = separator; }

char DecimalSeparator() { return decimal_separator; }

}  // namespace tables
