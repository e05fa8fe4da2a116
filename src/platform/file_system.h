#pragma once

// Every operating-system call of the table engine goes through one
// FileSystem, handed to each table before it is opened or created: opening
// and locking files, reading and writing them at an offset, replacing a whole
// file through a flushed temporary and a rename, and turning the paths the
// program writes ("C:\QTEMP\ASIGVALT.DBF") into native ones without regard to
// letter case. Nothing here is global: a test passes its own (see
// tests/support/faulty_file_system.h) to make any call fail.
//
// Paths given to the file operations are native paths, as NativePath makes
// them. Failures are thrown as FileError; the engine turns them into its own
// messages.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/lock_probe.h"

namespace platform {

class FileError : public std::runtime_error {
 public:
  enum class Kind {
    kNotFound,  // no such file, or a folder on the way is missing
    kLocked,    // another process holds a conflicting lock
    kNotAFile,  // a folder, a FIFO, a device: nothing a table can live in
    kFailed,    // anything else; what() is the system's own text
  };
  FileError(Kind kind, const std::string& reason)
      : std::runtime_error(reason), kind_(kind) {}
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

// One open file, locked against other processes for as long as it is open.
class OpenFile {
 public:
  virtual ~OpenFile() = default;

  // False when the file was opened for reading only.
  virtual bool writable() const = 0;
  virtual uint64_t Size() = 0;
  // Reads up to `size` bytes at `offset`; returns how many were read (fewer
  // only at the end of the file).
  virtual size_t ReadAt(uint64_t offset, char* data, size_t size) = 0;
  // Writes every byte or throws. REQUIRES: writable().
  virtual void WriteAt(uint64_t offset, const char* data, size_t size) = 0;
  // REQUIRES: writable().
  virtual void Truncate(uint64_t size) = 0;
  // Turns a shared lock into an exclusive one without waiting; kLocked while
  // another process has the file open. (On Windows the share mode chosen at
  // open decides, and this does nothing.)
  virtual void LockExclusive() = 0;
};

enum class FileLock { kNone, kShared, kExclusive };
enum class OpenMode { kOpenExisting, kCreateOrOpen };

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // A path as the program writes it to a native path, every component that
  // exists under another letter case taking the existing spelling.
  virtual std::string NativePath(std::string_view path) = 0;
  // A name for `path` that is the same for every spelling of the same file
  // (letter case on Windows, "..", links): files opened twice are found so.
  virtual std::string Identity(const std::string& path) = 0;

  // Opens `path`, read-write when possible (read-only when `writable` is
  // false, or the file refuses writing and `mode` is kOpenExisting), and
  // takes `lock` without waiting. Anything but a regular file fails at once
  // with kNotAFile, without waiting for a writer of a FIFO or reading a
  // device. The lock is taken so that the same
  // process closing another handle of the file does not drop it, and it
  // guards the file the path names now (not one a rename replaced
  // meanwhile).
  virtual std::unique_ptr<OpenFile> Open(const std::string& path, bool writable,
                                         FileLock lock, OpenMode mode) = 0;
  // The whole content of `path`; false when it cannot be read.
  virtual bool ReadWhole(const std::string& path, std::string* bytes) = 0;
  // Replaces `path` with `bytes` through a temporary file in the same folder
  // that is flushed to disk and then renamed over it, so that a reader, or
  // a run that dies halfway, sees the old file or the new one, never a mix.
  // False on any failure; the old file is then untouched and no temporary
  // is left.
  virtual bool ReplaceWhole(const std::string& path,
                            std::string_view bytes) = 0;

  virtual bool Exists(const std::string& path) = 0;  // a file or a folder
  virtual bool IsFile(const std::string& path) = 0;  // a file, not a folder
  // Removes a file; a failure is not reported.
  virtual void Remove(const std::string& path) noexcept = 0;
  // Creates the folder with every missing parent; true when it exists then.
  virtual bool CreateFolders(const std::string& path) = 0;

  // ---- Whole files, for the transfer's copies and replacements. Each
  // answers 0 or the system's error code in Windows numbering (raw_file.h:
  // 2 missing, 5 refused, 32 held, 101 disk full). Paths are native. ----
  // Copies the regular file `from` into `to`, created or emptied first.
  virtual int CopyWhole(const std::string& from, const std::string& to) = 0;
  // Writes `bytes` as the whole of `path`, created or emptied first. Not
  // flushed to disk.
  virtual int WriteWhole(const std::string& path, std::string_view bytes) = 0;
  // Waits until what was written to `path` is on the disk.
  virtual int Flush(const std::string& path) = 0;
  // Renames `from` over `to` in one step and makes the rename durable.
  virtual int RenameOver(const std::string& from, const std::string& to) = 0;
  // True when another program holds `path` with a lock that conflicts with
  // `use` (lock_probe.h).
  virtual bool HeldByAnotherProgram(const std::string& path,
                                    PlannedUse use) = 0;
};

// The operating system's file system.
class NativeFileSystem : public FileSystem {
 public:
  enum class Paths {
    kNative,  // paths are native already; only letter case is resolved
    kDriveC,  // "C:\..." goes to the mapped drive C (see drive_mapping.h)
  };
  explicit NativeFileSystem(Paths paths) : paths_(paths) {}

  std::string NativePath(std::string_view path) override;
  std::string Identity(const std::string& path) override;
  std::unique_ptr<OpenFile> Open(const std::string& path, bool writable,
                                 FileLock lock, OpenMode mode) override;
  bool ReadWhole(const std::string& path, std::string* bytes) override;
  bool ReplaceWhole(const std::string& path, std::string_view bytes) override;
  bool Exists(const std::string& path) override;
  bool IsFile(const std::string& path) override;
  void Remove(const std::string& path) noexcept override;
  bool CreateFolders(const std::string& path) override;
  int CopyWhole(const std::string& from, const std::string& to) override;
  int WriteWhole(const std::string& path, std::string_view bytes) override;
  int Flush(const std::string& path) override;
  int RenameOver(const std::string& from, const std::string& to) override;
  bool HeldByAnotherProgram(const std::string& path, PlannedUse use) override;

  // One for native paths, for callers that are handed none (tools, tests).
  static NativeFileSystem& Local();

 private:
  Paths paths_;
};

}  // namespace platform
