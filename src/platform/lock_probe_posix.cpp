#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/lock_probe.h"

namespace platform {
namespace {

// A record lock (POSIX or open-file-description) of another holder that
// conflicts with `type` over any part of the file. Asked through a new open
// file description, so that this process's own record locks count too.
bool RecordLocked(int fd, short type) {
  struct flock probe {};
  probe.l_type = type;
  probe.l_whence = SEEK_SET;
  probe.l_start = 0;
  probe.l_len = 0;  // the whole file
#ifdef F_OFD_GETLK
  if (::fcntl(fd, F_OFD_GETLK, &probe) == 0) return probe.l_type != F_UNLCK;
  probe.l_type = type;
#endif
  return ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

// A flock of another holder that conflicts with `operation`; the lock taken
// to find out is given back at once.
bool FlockHeld(int fd, int operation) {
  if (::flock(fd, operation | LOCK_NB) == 0) {
    ::flock(fd, LOCK_UN);
    return false;
  }
  return errno == EWOULDBLOCK;
}

}  // namespace

bool HeldByAnotherProgram(const std::string& native_path, PlannedUse use) {
  const int fd = ::open(native_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  const bool replacing = use == PlannedUse::kReplacing;
  const bool held = RecordLocked(fd, replacing ? F_WRLCK : F_RDLCK) ||
                    FlockHeld(fd, replacing ? LOCK_EX : LOCK_SH);
  ::close(fd);
  return held;
}

}  // namespace platform
