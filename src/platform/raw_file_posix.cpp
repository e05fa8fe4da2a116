#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "platform/raw_file.h"

namespace platform {

int WindowsCodeForErrno(int err, const std::string& path) {
  switch (err) {
    case ENOENT: {
      // Windows tells a missing folder (3) from a missing file (2).
      std::error_code ec;
      const auto parent = std::filesystem::path(path).parent_path();
      return parent.empty() || std::filesystem::is_directory(parent, ec) ? 2
                                                                         : 3;
    }
    case ENOTDIR:
    case ENAMETOOLONG:
      return 3;
    case EMFILE:
    case ENFILE:
      return 4;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
      return 5;
    case ETXTBSY:
    case EBUSY:
      return 32;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kDiskFullCode;
    case EIO:
      return 1117;
    default:
      return err;
  }
}
RawFile::~RawFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool RawFile::IsOpen() const { return fd_ >= 0; }

int RawFile::OpenForReading(const std::string& native_path) {
  // Without waiting: opening a FIFO for reading would wait for a writer.
  fd_ = ::open(native_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) return WindowsCodeForErrno(errno, native_path);
  struct stat st;
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    // A folder, as Windows answers for one opened as a file; and a FIFO or
    // a device, which would block or never end.
    ::close(fd_);
    fd_ = -1;
    return 5;
  }
  return 0;
}

int RawFile::Create(const std::string& native_path) {
  fd_ =
      ::open(native_path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd_ < 0 ? WindowsCodeForErrno(errno, native_path) : 0;
}

int RawFile::CreateNew(const std::string& native_path) {
  fd_ =
      ::open(native_path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  return fd_ < 0 ? WindowsCodeForErrno(errno, native_path) : 0;
}

int RawFile::Read(char* buffer, size_t size, size_t* count) {
  *count = 0;
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, size);
    if (n >= 0) {
      *count = static_cast<size_t>(n);
      return 0;
    }
    if (errno != EINTR) return WindowsCodeForErrno(errno, "");
  }
}

int RawFile::Write(const char* data, size_t size, size_t* count) {
  *count = 0;
  for (;;) {
    const ssize_t n = ::write(fd_, data, size);
    if (n >= 0) {
      *count = static_cast<size_t>(n);
      return 0;
    }
    if (errno != EINTR) return WindowsCodeForErrno(errno, "");
  }
}

int RawFile::Size(uint64_t* size) {
  *size = 0;
  struct stat st;
  if (::fstat(fd_, &st) != 0) return WindowsCodeForErrno(errno, "");
  *size = static_cast<uint64_t>(st.st_size);
  return 0;
}

int RawFile::CopyTo(RawFile& to) {
#ifdef __linux__
  // The kernel copies from page cache to page cache (or shares the blocks,
  // on file systems that can). Offsets move as with read and write, so the
  // block copy can take over wherever the kernel gives up.
  constexpr size_t kChunk = size_t{1} << 30;
  for (;;) {
    const ssize_t n =
        ::copy_file_range(fd_, nullptr, to.fd_, nullptr, kChunk, 0);
    if (n > 0) continue;
    if (n == 0)
      break;  // the end, or a file system that copies nothing:
              // the block copy below finds out which
    if (errno == EINTR) continue;
    if (errno == EXDEV || errno == ENOSYS || errno == EINVAL ||
        errno == EOPNOTSUPP || errno == EBADF) {
      break;
    }
    return WindowsCodeForErrno(errno, "");
  }
#endif
  return CopyByBlocks(to);
}

int RawFile::Sync() {
  return ::fsync(fd_) == 0 ? 0 : WindowsCodeForErrno(errno, "");
}

void RawFile::StartWriteBack() noexcept {
#ifdef __linux__
  ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

int RawFile::Close() {
  const int fd = fd_;
  fd_ = -1;
  return ::close(fd) == 0 ? 0 : WindowsCodeForErrno(errno, "");
}

}  // namespace platform
