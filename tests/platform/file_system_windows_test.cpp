// On Windows a device or a folder in place of a table is refused at once,
// as anything but a regular file is elsewhere.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/file_system.h"
#include "support/temp_dir.h"

namespace platform {
namespace {

TEST(FileSystemWindowsTest, DevicesAndFoldersAreNotFiles) {
  testing_support::TempDir dir("tqv-special");
  std::filesystem::create_directory(dir.path() / "PROFT.DBF");
  const std::string paths[] = {"NUL", "\\\\.\\NUL",
                               (dir.path() / "PROFT.DBF").string()};
  for (const std::string& path : paths) {
    for (const bool writable : {true, false}) {
      try {
        NativeFileSystem::Local().Open(path, writable, FileLock::kShared,
                                       OpenMode::kOpenExisting);
        ADD_FAILURE() << path << " opened";
      } catch (const FileError& error) {
        EXPECT_EQ(error.kind(), FileError::Kind::kNotAFile) << path;
      }
    }
  }
}

}  // namespace
}  // namespace platform
