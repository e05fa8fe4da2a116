#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/ini_file.h"

namespace platform {
namespace {

bool ReadWhole(const std::string& path, std::string* text) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return !ec;  // created when missing
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  *text = buffer.str();
  return !in.bad();
}

bool WriteAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

void WriteProfileString(const std::string& path, std::string_view section,
                        std::string_view key, std::string_view value) {
  std::string text;
  if (!ReadWhole(path, &text)) throw IniError::UnableToWrite(path);
  const std::string updated = SetIniValue(text, section, key, value);
  // A temporary file beside the target and a rename: a crash leaves either
  // the old file or the new one, never half of one.
  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) throw IniError::UnableToWrite(path);
  const bool ok = WriteAll(fd, updated) && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !ok || ::chmod(temp.c_str(), 0644) != 0 ||
      ::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    throw IniError::UnableToWrite(path);
  }
}

}  // namespace platform
