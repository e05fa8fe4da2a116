#pragma once

// Replacing a file so that no failure, not even the process being killed,
// can leave it missing or short: the new content is written beside the old
// file under a temporary name and flushed to disk, then renamed over it.
// Each operation returns 0 or the operating system's error code in Windows
// numbering (5 access denied, 32 sharing violation, 101 disk full, ...), as
// RawFile does; the caller decides what an error means.

#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/raw_file.h"

namespace platform {

class StagedFile {
 public:
  // `destination` is the native path of the file to replace (it need not
  // exist yet). The writes, flushes and renames go through `files`, which
  // must outlive this.
  explicit StagedFile(std::string destination,
                      FileSystem& files = NativeFileSystem::Local());
  ~StagedFile();  // removes the temporary file unless committed
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  // Writes `bytes` to a new temporary file in the destination's folder and
  // flushes it to disk, with the destination's attributes
  // (KeepFileAttributes). On failure nothing is left behind.
  int Stage(std::string_view bytes);
  // Stages a copy of the file `source` (native path), copied by the file
  // system's CopyWhole, flushed to disk like Stage: StartCopyOf, then
  // FinishStaging.
  int StageCopyOf(const std::string& source);
  // The first half of StageCopyOf: copies `source` to a new temporary file
  // and has the system start writing it to disk without waiting for it, so
  // that the copies of several files reach the disk side by side. Not yet
  // staged. On failure nothing is left behind.
  int StartCopyOf(const std::string& source);
  // REQUIRES: StartCopyOf succeeded. The second half: waits until the copy
  // is on disk and closes it; then it is staged. On failure the temporary
  // file is removed.
  int FinishStaging();
  // REQUIRES: staged. Renames the temporary file over the destination in one
  // step and flushes the folder entry (POSIX: rename, then fsync of the
  // folder; Windows: MoveFileExW with MOVEFILE_REPLACE_EXISTING and
  // MOVEFILE_WRITE_THROUGH, retried for a short while when another program,
  // such as a virus scanner, holds the destination).
  int Commit();

  // Forgets the staged file without removing it, for a journal that names it
  // (pair_replacement.h): the next start renames it into place.
  void KeepForRecovery() { staged_ = false; }

  const std::string& destination() const { return destination_; }
  const std::string& temp_path() const { return temp_path_; }
  bool staged() const { return staged_; }

 private:
  // Removes an earlier stage of this object, finished or not.
  void Discard();
  // Flushes the temporary file, then gives it the destination's attributes.
  int FlushThenKeepAttributes();

  FileSystem& files_;
  std::string destination_;
  std::string temp_path_;
  bool staged_ = false;
  bool started_ = false;  // written, not yet flushed
};

// The file that replacing `path` must write: `path` itself, or, for a
// symbolic link, the file it finally points to, so that the link stays a
// link and its target gets the new content.
std::string ReplacementTarget(const std::string& path);

// Removes the temporary files that staging `destination` left behind in
// processes that were killed before they committed.
void RemoveStaleStagedFiles(const std::string& destination);

// Stages a copy of `source` and commits it over `destination`.
int AtomicReplaceFile(const std::string& source, const std::string& destination,
                      FileSystem& files = NativeFileSystem::Local());

// ---- Per operating system (atomic_replace_posix/_windows.cpp). ----

// Waits until the data written to `path` is on the disk.
int FlushFileData(const std::string& path);
// Renames `from` over `to` atomically and makes the rename durable.
int RenameOverDurably(const std::string& from, const std::string& to);
// Gives the new file `staged` what the file `existing` was, so that the
// programs and people who used it keep their access: POSIX owner, group
// and permission bits (the owner, or the group, only where the system lets
// this process give them); Windows the read-only, hidden, system, archive
// and not-indexed attributes. Nothing when `existing` is missing.
int KeepFileAttributes(const std::string& existing, const std::string& staged);
// Asks the system to start writing `path`'s data to disk now, without
// waiting (Linux sync_file_range; elsewhere nothing). Only a hint.
void StartWriteBack(const std::string& path) noexcept;
// Removes a file; failures are ignored.
void RemoveFileQuietly(const std::string& path) noexcept;
// The same for a file that may be large: its name goes at once, and on
// POSIX systems its blocks are freed when a thread of its own closes the
// last handle, since freeing them takes milliseconds on file systems that
// discard freed blocks at once.
void RemoveFileSoon(const std::string& path) noexcept;
// A number that differs between processes running at the same time.
long CurrentProcessId();

}  // namespace platform
