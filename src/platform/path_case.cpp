#include "platform/path_case.h"

#include <filesystem>
#include <system_error>

#include "platform/letter_case.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

// The existing spelling of `name` inside `folder`, or "" when none.
std::string FindEntry(const std::string& folder, const std::string& name) {
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? "." : folder, ec);
  if (ec) return "";
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return "";
    std::string entry = it->path().filename().string();
    if (EqualIgnoringCase(entry, name)) return entry;
  }
  return "";
}

}  // namespace

std::string NormalizeSeparators(std::string_view path) {
  std::string out;
  out.reserve(path.size());
  for (char c : path) {
    if (c == '\\') c = '/';
    if (c == '/' && !out.empty() && out.back() == '/') continue;
    out.push_back(c);
  }
  return out;
}

std::string ResolveCase(const std::string& path) {
  std::error_code ec;
  if (path.empty() || fs::exists(path, ec)) return path;
  std::string done = path[0] == '/' ? "/" : "";
  size_t pos = done.size();
  bool resolving = true;
  while (pos < path.size()) {
    size_t end = path.find('/', pos);
    if (end == std::string::npos) end = path.size();
    std::string name = path.substr(pos, end - pos);
    if (resolving && name != "." && name != "..") {
      const std::string here = done.empty() ? "." : done;
      if (!fs::exists(fs::path(here) / name, ec)) {
        std::string found = FindEntry(here, name);
        if (found.empty()) {
          resolving = false;
        } else {
          name = found;
        }
      }
    }
    done += name;
    if (end < path.size()) done += '/';
    pos = end + 1;
  }
  return done;
}

}  // namespace platform
