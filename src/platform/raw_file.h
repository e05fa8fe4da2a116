#pragma once

// Byte-level file input and output with the operating system's error codes,
// in Windows numbering on every platform (POSIX errno values are mapped:
// ENOENT 2 or 3, EMFILE 4, EACCES 5, ETXTBSY 32, ENOSPC 101, ...). Every
// operation returns 0 or that code; the caller decides what an error means.

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

inline constexpr int kDiskFullCode = 101;

// The runtime's Spanish text for an error code in Windows numbering: 2 "No
// se encuentra el archivo", 3 "Nombre de archivo inválido", 4 "Demasiados
// archivos abiertos", 5 "Acceso al archivo denegado", 100 "Se intenta leer
// después del fin del archivo", 101 "Disco lleno", 106 "Valor numérico de
// entrada inválido", any other "Error de E/S %d".
std::string ErrorText(int code);

#ifndef _WIN32
// The Windows code of the failure that POSIX reports as `err`. `path` lets
// ENOENT tell a missing folder (3) from a missing file (2).
int WindowsCodeForErrno(int err, const std::string& path = "");
#endif

class RawFile {
 public:
  RawFile() = default;
  ~RawFile();  // closes the file if open, ignoring errors
  RawFile(const RawFile&) = delete;
  RawFile& operator=(const RawFile&) = delete;

  // Opens an existing file for reading only, letting others read and write.
  // Anything but a regular file (a folder, a FIFO, a device) answers 5 at
  // once.
  int OpenForReading(const std::string& native_path);
  // Creates the file (replacing one of that name) for reading and writing,
  // letting others read and write.
  int Create(const std::string& native_path);
  // Creates the file for reading and writing, failing when a file of that
  // name exists (POSIX: a missing folder answers 3, as on Windows).
  int CreateNew(const std::string& native_path);
  // Reads up to `size` bytes; `*count` is 0 at the end of the file.
  int Read(char* buffer, size_t size, size_t* count);
  // Writes once; `*count` may come back smaller than `size` (a short write).
  int Write(const char* data, size_t size, size_t* count);
  // REQUIRES: open. The file's present size in bytes.
  int Size(uint64_t* size);
  // REQUIRES: open. Reads from the present position to the end of the file,
  // but no more than `limit` bytes, into `bytes` (replacing its content).
  // The size only sizes the buffer: a file that grows or shrinks meanwhile
  // reads as far as it goes.
  int ReadAll(std::string* bytes, size_t limit = std::string::npos);
  // REQUIRES: both open. Copies this file from its present position to its
  // end into `to` at that file's position. Where the system copies between
  // files itself (Linux copy_file_range), the bytes never pass through this
  // process; otherwise, or where it refuses (another file system, no
  // support), they go in blocks of 256 KiB. A write that stores nothing
  // answers kDiskFullCode rather than leaving a short copy.
  int CopyTo(RawFile& to);
  // REQUIRES: open. Flushes the file's data to the disk.
  int Sync();
  // REQUIRES: open. Asks the system to start writing the file's data to
  // disk now, without waiting (Linux sync_file_range; elsewhere nothing).
  // Only a hint: a failure shows in Sync.
  void StartWriteBack() noexcept;
  // REQUIRES: open. Afterwards the object is closed whatever the result.
  int Close();
  bool IsOpen() const;

 private:
  // CopyTo through a buffer of this process.
  int CopyByBlocks(RawFile& to);

#ifdef _WIN32
  void* handle_ = nullptr;
#else
  int fd_ = -1;
#endif
};

}  // namespace platform
