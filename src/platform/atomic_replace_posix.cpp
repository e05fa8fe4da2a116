#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>
#include <thread>

#include "platform/atomic_replace.h"
#include "platform/raw_file.h"

namespace platform {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

int SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return WindowsCodeForErrno(errno);
  const int code = ::fsync(fd) == 0 ? 0 : WindowsCodeForErrno(errno);
  ::close(fd);
  return code;
}

// Closes `fd` on a thread of its own. Closing the last handle of a file
// that a rename has replaced frees its blocks, which takes milliseconds on
// file systems that discard freed blocks at once; nobody needs to wait for
// that.
void CloseInBackground(int fd) {
  try {
    std::thread([fd] { ::close(fd); }).detach();
  } catch (const std::system_error&) {
    ::close(fd);
  }
}

}  // namespace

int FlushFileData(const std::string& path) {
  // fsync flushes the file's data through any descriptor of it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return WindowsCodeForErrno(errno, path);
  const int code = ::fsync(fd) == 0 ? 0 : WindowsCodeForErrno(errno);
  ::close(fd);
  return code;
}

void StartWriteBack(const std::string& path) noexcept {
#ifdef __linux__
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return;
  ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
  ::close(fd);
#else
  (void)path;
#endif
}

int RenameOverDurably(const std::string& from, const std::string& to) {
  // The file being replaced is held open across the rename, so that its
  // blocks are freed when it is closed afterwards, not inside the rename.
  const int replaced = ::open(to.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (::rename(from.c_str(), to.c_str()) != 0) {
    const int code = WindowsCodeForErrno(errno);
    if (replaced >= 0) ::close(replaced);
    return code;
  }
  // The rename itself is atomic; syncing the folder makes it survive a
  // power cut as well.
  const int code = SyncFolder(FolderOf(to));
  if (replaced >= 0) CloseInBackground(replaced);
  return code;
}

int KeepFileAttributes(const std::string& existing, const std::string& staged) {
  struct stat old {};
  if (::stat(existing.c_str(), &old) != 0) {
    return errno == ENOENT ? 0 : WindowsCodeForErrno(errno, existing);
  }
  // Owner and group where allowed: only root gives a file away, and a user
  // gives it only a group of their own. Failing that the file stays ours.
  if (::chown(staged.c_str(), old.st_uid, old.st_gid) != 0 &&
      ::chown(staged.c_str(), static_cast<uid_t>(-1), old.st_gid) != 0) {
    errno = 0;
  }
  // After chown, which may clear the set-id bits.
  if (::chmod(staged.c_str(), old.st_mode & 07777) != 0) {
    return WindowsCodeForErrno(errno, staged);
  }
  return 0;
}

void RemoveFileQuietly(const std::string& path) noexcept {
  ::unlink(path.c_str());
}

void RemoveFileSoon(const std::string& path) noexcept {
  const int fd =
      ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  struct stat status {};
  if (fd >= 0 && ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
      ::unlink(path.c_str()) == 0) {
    CloseInBackground(fd);
    return;
  }
  if (fd >= 0) ::close(fd);
  RemoveFileQuietly(path);
}

long CurrentProcessId() { return static_cast<long>(::getpid()); }

}  // namespace platform
