#pragma once

// One open operating-system file, locked against other processes for as
// long as it is open. One implementation per operating system:
// native_file_posix.cpp and native_file_windows.cpp.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "tables/file_view.h"

namespace tables {

// UTF-8 text to a file-system path and back, on every platform.
std::filesystem::path ToFsPath(std::string_view utf8);
std::string FromFsPath(const std::filesystem::path& path);

// The file beside the table file `path` with `extension` (".mdx", with its
// dot) in place of its own, found without regard to letter case. A file
// that does not exist yet takes the letter case of the table's extension
// ("PROFT.DBF" -> "PROFT.MDX", "proft.dbf" -> "proft.mdx").
std::string SiblingPath(const std::string& path, std::string_view extension);

class NativeFile {
 public:
  enum class Lock { kNone, kShared, kExclusive };
  enum class Mode { kOpenExisting, kCreateOrOpen };

  // Opens `path`, read-write when possible (read-only when `writable` is
  // false or the file refuses writing), and takes `lock` without waiting.
  // `display` names the file in errors. Fails with TableNotFound when the
  // file is missing (kOpenExisting), TableLocked when another process holds
  // a conflicting lock, IoFailure otherwise. The lock is taken so that the
  // same process closing another descriptor of the file does not drop it,
  // and it is checked to guard the file the path names now (not one that
  // a rename replaced meanwhile).
  static std::unique_ptr<NativeFile> Open(const std::string& path,
                                          const std::string& display,
                                          bool writable, Lock lock,
                                          Mode mode = Mode::kOpenExisting);
  virtual ~NativeFile() = default;

  virtual bool writable() const = 0;
  virtual uint64_t Size() = 0;
  // Reads up to `size` bytes at `offset`; returns how many were read.
  virtual size_t ReadAt(uint64_t offset, char* data, size_t size) = 0;
  // Writes everything or throws IoFailure.
  virtual void WriteAt(uint64_t offset, const char* data, size_t size) = 0;
  virtual void Truncate(uint64_t size) = 0;
  // Turns a shared lock into an exclusive one without waiting; fails with
  // TableLocked while another process has the file open. (On Windows the
  // share mode chosen at open decides, and this does nothing.)
  virtual void LockExclusive() = 0;
  // `size` bytes from `offset` mapped read-only, or nullptr where files are
  // not mapped (Windows) or the mapping fails; callers then use ReadAt.
  virtual std::unique_ptr<FileView> MapForReading(uint64_t offset,
                                                  size_t size) {
    (void)offset;
    (void)size;
    return nullptr;
  }
};

}  // namespace tables
