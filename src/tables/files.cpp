#include "tables/files.h"

#include <atomic>

#include "tables/table_error.h"

namespace tables {
namespace {

std::atomic<char> decimal_separator{'.'};

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::string JoinPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string joined(folder);
  if (!IsSeparator(joined.back())) joined += '\\';
  joined += name;
  return joined;
}

void ForceDirectories(platform::FileSystem& files, std::string_view path) {
  if (!files.CreateFolders(files.NativePath(path)))
    throw TableError::CannotCreateFolder(path);
}

void SetDecimalSeparator(char separator) { decimal_separator = separator; }

char DecimalSeparator() { return decimal_separator; }

}  // namespace tables
