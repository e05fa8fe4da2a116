#include <filesystem>
#include <system_error>

#include "platform/executable_path.h"

namespace platform {

std::string ExecutableFolder() {
  std::error_code ec;
  const std::filesystem::path exe =
      std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || !exe.has_parent_path()) return ".";
  return exe.parent_path().string();
}

}  // namespace platform
