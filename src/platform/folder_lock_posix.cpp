#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/folder_lock.h"
#include "platform/raw_file.h"

namespace platform {
namespace {

// True when the lock is taken; false with errno set otherwise.
bool LockWholeFile(int fd) {
#ifdef F_OFD_SETLK
  struct flock whole {};
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  whole.l_start = 0;
  whole.l_len = 0;  // to the end, however long the file grows
  if (::fcntl(fd, F_OFD_SETLK, &whole) == 0) return true;
  if (errno != EINVAL) return false;
#endif
  // A system without open-file-description locks.
  return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

}  // namespace

FolderLock::~FolderLock() { Unlock(); }

bool FolderLock::locked() const { return fd_ >= 0; }

int FolderLock::TryLock(const std::string& native_folder) {
  const std::string path = native_folder + "/" + kLockFileName;
  // Everyone's transfers share the lock, whoever made its file first.
  const int fd =
      ::open(path.c_str(),
             O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
  if (fd < 0) return WindowsCodeForErrno(errno, path);
  struct stat status {};
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return 5;
  }
  if (!LockWholeFile(fd)) {
    const int err = errno;
    ::close(fd);
    return err == EAGAIN || err == EACCES || err == EWOULDBLOCK
               ? kLockHeldCode
               : WindowsCodeForErrno(err, path);
  }
  fd_ = fd;
  return 0;
}

void FolderLock::Unlock() noexcept {
  if (fd_ < 0) return;
  ::close(fd_);  // closing the description releases its lock
  fd_ = -1;
}

}  // namespace platform
