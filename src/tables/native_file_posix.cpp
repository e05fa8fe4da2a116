#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "tables/native_file.h"
#include "tables/table_error.h"

namespace tables {

std::filesystem::path ToFsPath(std::string_view utf8) {
  return std::filesystem::path(std::string(utf8));
}

std::string FromFsPath(const std::filesystem::path& path) {
  return path.string();
}

namespace {

class PosixFile : public NativeFile {
 public:
  PosixFile(int fd, bool writable, std::string display)
      : fd_(fd), writable_(writable), display_(std::move(display)) {}
  ~PosixFile() override { ::close(fd_); }  // also releases the flock

  bool writable() const override { return writable_; }

  uint64_t Size() override {
    struct stat info;
    if (::fstat(fd_, &info) != 0) Fail();
    return static_cast<uint64_t>(info.st_size);
  }

  size_t ReadAt(uint64_t offset, char* data, size_t size) override {
    size_t done = 0;
    while (done < size) {
      ssize_t n = ::pread(fd_, data + done, size - done,
                          static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) Fail();
      if (n == 0) break;
      done += static_cast<size_t>(n);
    }
    return done;
  }

  void WriteAt(uint64_t offset, const char* data, size_t size) override {
    if (!writable_) throw TableError::ReadOnlyTable(display_);
    size_t done = 0;
    while (done < size) {
      ssize_t n = ::pwrite(fd_, data + done, size - done,
                           static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) Fail();
      done += static_cast<size_t>(n);
    }
  }

  void Truncate(uint64_t size) override {
    if (!writable_) throw TableError::ReadOnlyTable(display_);
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) Fail();
  }

  void LockExclusive() override {
    int result;
    do {
      result = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0 && errno == EWOULDBLOCK)
      throw TableError::TableLocked(display_);
    if (result != 0) Fail();
  }

  std::unique_ptr<FileView> MapForReading(uint64_t offset,
                                          size_t size) override {
    return MapFileView(fd_, offset, size);
  }

 private:
  [[noreturn]] void Fail() {
    throw TableError::IoFailure(display_, std::strerror(errno));
  }

  int fd_;
  bool writable_;
  std::string display_;
};

}  // namespace

std::unique_ptr<NativeFile> NativeFile::Open(const std::string& path,
                                             const std::string& display,
                                             bool writable, Lock lock,
                                             Mode mode) {
  // A rename may replace the file between open() and flock(); the lock
  // would then guard the old file. Retry until the locked descriptor is the
  // file the path names.
  for (int attempt = 0; attempt < 10; ++attempt) {
    int flags = O_CLOEXEC | (writable ? O_RDWR : O_RDONLY);
    if (mode == Mode::kCreateOrOpen) flags |= O_CREAT;
    int fd = ::open(path.c_str(), flags, 0666);
    bool is_writable = writable;
    if (fd < 0 && writable && (errno == EACCES || errno == EROFS) &&
        mode == Mode::kOpenExisting) {
      fd = ::open(path.c_str(), O_CLOEXEC | O_RDONLY);
      is_writable = false;
    }
    if (fd < 0) {
      if (errno == ENOENT || errno == ENOTDIR)
        throw TableError::TableNotFound(display);
      throw TableError::IoFailure(display, std::strerror(errno));
    }
    // flock locks belong to the open file description, so closing another
    // descriptor of the same file in this process leaves them in place
    // (fcntl record locks would vanish).
    if (lock != Lock::kNone) {
      int operation = (lock == Lock::kExclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
      int result;
      do {
        result = ::flock(fd, operation);
      } while (result != 0 && errno == EINTR);
      if (result != 0) {
        int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) throw TableError::TableLocked(display);
        throw TableError::IoFailure(display, std::strerror(error));
      }
    }
    struct stat opened, named;
    if (::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
        opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
      return std::make_unique<PosixFile>(fd, is_writable, display);
    }
    ::close(fd);
  }
  throw TableError::IoFailure(display, "el archivo cambia mientras se abre");
}

}  // namespace tables
