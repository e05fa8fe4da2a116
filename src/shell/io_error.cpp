#include "shell/io_error.h"

#include "platform/raw_file.h"

namespace shell {

std::string IoError::TextFor(int code) { return platform::ErrorText(code); }

IoError IoError::FromCode(int code) { return IoError(code, TextFor(code)); }

IoError IoError::ForFile(int code, const std::string& what) {
  return IoError(code, TextFor(code) + "\n" + what);
}

IoError IoError::DiskFull() { return FromCode(platform::kDiskFullCode); }

}  // namespace shell
