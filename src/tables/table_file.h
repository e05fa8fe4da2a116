#pragma once

// One file of a table (.dbf, memo), opened through the file system the
// table was given, with failures told in the engine's own words.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace tables {

class TableFile {
 public:
  // Opens `path` (native) through `files`, read-write when possible (see
  // FileSystem::Open). `display` names the file in errors. Fails with
  // TableNotFound when the file is missing, TableLocked when another process
  // holds a conflicting lock, IoFailure otherwise.
  static std::unique_ptr<TableFile> Open(
      platform::FileSystem& files, const std::string& path,
      const std::string& display, bool writable, platform::FileLock lock,
      platform::OpenMode mode = platform::OpenMode::kOpenExisting);

  bool writable() const { return file_->writable(); }
  uint64_t Size();
  // Reads up to `size` bytes at `offset`; returns how many were read.
  size_t ReadAt(uint64_t offset, char* data, size_t size);
  // Writes everything; ReadOnlyTable when the file is not writable.
  void WriteAt(uint64_t offset, const char* data, size_t size);
  void Truncate(uint64_t size);
  // Fails with TableLocked while another process has the file open.
  void LockExclusive();

 private:
  TableFile(std::unique_ptr<platform::OpenFile> file, std::string display)
      : file_(std::move(file)), display_(std::move(display)) {}
  [[noreturn]] void Fail(const platform::FileError& error) const;

  std::unique_ptr<platform::OpenFile> file_;
  std::string display_;
};

// The table's stored header as `file` (of `size` bytes) holds it: its first
// 32 bytes, and the whole header when the length stored there lies beyond
// them and within the file. Parsing judges what came back.
std::string ReadHeaderBytes(TableFile& file, uint64_t size);

// The file beside the table file `path` with `extension` (".mdx", with its
// dot) in place of its own, found without regard to letter case. A file
// that does not exist yet takes the letter case of the table's extension
// ("PROFT.DBF" -> "PROFT.MDX", "proft.dbf" -> "proft.mdx").
std::string SiblingPath(platform::FileSystem& files, const std::string& path,
                        std::string_view extension);

}  // namespace tables
