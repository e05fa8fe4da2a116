#include "tables/table_file.h"

#include <utility>

#include "tables/dbf_header.h"
#include "tables/table_error.h"

namespace tables {
namespace {

TableError ErrorFor(const platform::FileError& error,
                    const std::string& display) {
  switch (error.kind()) {
    case platform::FileError::Kind::kNotFound:
      return TableError::TableNotFound(display);
    case platform::FileError::Kind::kLocked:
      return TableError::TableLocked(display);
    case platform::FileError::Kind::kNotAFile:
      return TableError::CorruptTable(display, "no es un archivo normal");
    case platform::FileError::Kind::kFailed:
      break;
  }
  return TableError::IoFailure(display, error.what());
}

}  // namespace

std::unique_ptr<TableFile> TableFile::Open(platform::FileSystem& files,
                                           const std::string& path,
                                           const std::string& display,
                                           bool writable,
                                           platform::FileLock lock,
                                           platform::OpenMode mode) {
  try {
    return std::unique_ptr<TableFile>(
        new TableFile(files.Open(path, writable, lock, mode), display));
  } catch (const platform::FileError& error) {
    throw ErrorFor(error, display);
  }
}

void TableFile::Fail(const platform::FileError& error) const {
  throw ErrorFor(error, display_);
}

uint64_t TableFile::Size() {
  try {
    return file_->Size();
  } catch (const platform::FileError& error) {
    Fail(error);
  }
}

size_t TableFile::ReadAt(uint64_t offset, char* data, size_t size) {
  try {
    return file_->ReadAt(offset, data, size);
  } catch (const platform::FileError& error) {
    Fail(error);
  }
}

void TableFile::WriteAt(uint64_t offset, const char* data, size_t size) {
  if (!file_->writable()) throw TableError::ReadOnlyTable(display_);
  try {
    file_->WriteAt(offset, data, size);
  } catch (const platform::FileError& error) {
    Fail(error);
  }
}

void TableFile::Truncate(uint64_t size) {
  if (!file_->writable()) throw TableError::ReadOnlyTable(display_);
  try {
    file_->Truncate(size);
  } catch (const platform::FileError& error) {
    Fail(error);
  }
}

void TableFile::LockExclusive() {
  try {
    file_->LockExclusive();
  } catch (const platform::FileError& error) {
    Fail(error);
  }
}

std::string SiblingPath(platform::FileSystem& files, const std::string& path,
                        std::string_view extension) {
  std::string base = path;
  std::string own_extension;
  const size_t slash = base.find_last_of("/\\");
  const size_t dot = base.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
    own_extension = base.substr(dot);
    base.resize(dot);
  }
  const bool upper = own_extension.size() > 1 && own_extension[1] >= 'A' &&
                     own_extension[1] <= 'Z';
  std::string wanted(extension);
  for (char& c : wanted) {
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return files.NativePath(base + wanted);
}

std::string ReadHeaderBytes(TableFile& file, uint64_t size) {
  std::string head(32, '\0');
  head.resize(file.ReadAt(0, head.data(), head.size()));
  if (head.size() == 32) {
    const uint16_t length = StoredHeaderLength(head);
    if (length > 32 && length <= size) {
      head.resize(length);
      head.resize(file.ReadAt(0, head.data(), head.size()));
    }
  }
  return head;
}

}  // namespace tables
