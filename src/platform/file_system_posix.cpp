#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_system.h"
#include "platform/raw_file.h"

namespace platform {
namespace {

[[noreturn]] void Fail(int error) {
  throw FileError(error == ENOENT || error == ENOTDIR
                      ? FileError::Kind::kNotFound
                  : error == EWOULDBLOCK ? FileError::Kind::kLocked
                                         : FileError::Kind::kFailed,
                  ErrorText(WindowsCodeForErrno(error)));
}

[[noreturn]] void FailNotAFile() {
  throw FileError(FileError::Kind::kNotAFile, "no es un archivo normal");
}

// Closes `fd` and fails unless it is a regular file; then makes it blocking
// again.
void RequireRegularFile(int fd) {
  struct stat info;
  if (::fstat(fd, &info) != 0) {
    const int error = errno;
    ::close(fd);
    Fail(error);
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    FailNotAFile();
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    const int error = errno;
    ::close(fd);
    Fail(error);
  }
}

// flock locks belong to the open file description, so closing another
// descriptor of the same file in this process leaves them in place (fcntl
// record locks would vanish).
int Flock(int fd, int operation) {
  int result;
  do {
    result = ::flock(fd, operation | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  return result;
}

class PosixFile : public OpenFile {
 public:
  PosixFile(int fd, bool writable) : fd_(fd), writable_(writable) {}
  ~PosixFile() override { ::close(fd_); }  // also releases the flock

  bool writable() const override { return writable_; }

  uint64_t Size() override {
    struct stat info;
    if (::fstat(fd_, &info) != 0) Fail(errno);
    return static_cast<uint64_t>(info.st_size);
  }

  size_t ReadAt(uint64_t offset, char* data, size_t size) override {
    size_t done = 0;
    while (done < size) {
      ssize_t n = ::pread(fd_, data + done, size - done,
                          static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) Fail(errno);
      if (n == 0) break;
      done += static_cast<size_t>(n);
    }
    return done;
  }

  void WriteAt(uint64_t offset, const char* data, size_t size) override {
    size_t done = 0;
    while (done < size) {
      ssize_t n = ::pwrite(fd_, data + done, size - done,
                           static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) Fail(errno);
      if (n == 0)
        Fail(ENOSPC);  // a write that stores nothing: the disk is full
      done += static_cast<size_t>(n);
    }
  }

  void Truncate(uint64_t size) override {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) Fail(errno);
  }

  void LockExclusive() override {
    if (Flock(fd_, LOCK_EX) != 0) Fail(errno);
  }

 private:
  int fd_;
  bool writable_;
};

}  // namespace

std::unique_ptr<OpenFile> NativeFileSystem::Open(const std::string& path,
                                                 bool writable, FileLock lock,
                                                 OpenMode mode) {
  // A rename may replace the file between open() and flock(); the lock
  // would then guard the old file. Retry until the locked descriptor is the
  // file the path names.
  for (int attempt = 0; attempt < 10; ++attempt) {
    // Non-blocking, so that a FIFO does not wait here for a writer; the
    // flag goes once the file is known to be a regular one.
    int flags =
        O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (writable ? O_RDWR : O_RDONLY);
    if (mode == OpenMode::kCreateOrOpen) flags |= O_CREAT;
    int fd = ::open(path.c_str(), flags, 0666);
    bool is_writable = writable;
    if (fd < 0 && writable && (errno == EACCES || errno == EROFS) &&
        mode == OpenMode::kOpenExisting) {
      fd = ::open(path.c_str(), O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_RDONLY);
      is_writable = false;
    }
    // A folder opened for writing answers EISDIR, a socket ENXIO.
    if (fd < 0 && (errno == EISDIR || errno == ENXIO)) FailNotAFile();
    if (fd < 0) Fail(errno);
    RequireRegularFile(fd);
    if (lock != FileLock::kNone &&
        Flock(fd, lock == FileLock::kExclusive ? LOCK_EX : LOCK_SH) != 0) {
      const int error = errno;
      ::close(fd);
      Fail(error);
    }
    struct stat opened, named;
    if (::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
        opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
      return std::make_unique<PosixFile>(fd, is_writable);
    }
    ::close(fd);
  }
  throw FileError(FileError::Kind::kFailed,
                  "el archivo cambia mientras se abre");
}

}  // namespace platform
