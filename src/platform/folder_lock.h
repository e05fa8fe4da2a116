#pragma once

// One transfer at a time in a folder: an operating-system lock on the
// folder's lock file, taken without waiting. The system releases it when the
// holder closes it or dies, so a lock of a process that was killed never
// blocks the next one. The lock file itself stays; only the lock on it
// counts.
//
// POSIX: an open-file-description lock (F_OFD_SETLK) over the whole file,
// which conflicts with a second description even in the same process, and
// with the record locks that Wine takes for its programs' LockFileEx; flock
// where the system has no such locks. Windows: LockFileEx over the whole
// file.

#include <string>

namespace platform {

// The code for a lock that someone else holds (Windows' lock violation).
inline constexpr int kLockHeldCode = 33;

class FolderLock {
 public:
  static constexpr char kLockFileName[] = "TRANSQUENDRA.LCK";

  FolderLock() = default;
  ~FolderLock();  // releases the lock
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // Takes the lock of the existing folder `native_folder`, creating its lock
  // file when missing. 0 when taken; kLockHeldCode when another holder has
  // it; otherwise the system's code in Windows numbering (3: no such folder,
  // 5: access denied, ...). REQUIRES: not locked.
  int TryLock(const std::string& native_folder);
  // Releases the lock, if held.
  void Unlock() noexcept;
  bool locked() const;

 private:
#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

}  // namespace platform
