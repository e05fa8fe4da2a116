#pragma once

// A read-only view of part of a file, mapped into memory rather than read:
// tables that are only read are walked straight from the system's file
// cache, without a copy of every record.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace tables {

class FileView {
 public:
  FileView(const FileView&) = delete;
  FileView& operator=(const FileView&) = delete;
  virtual ~FileView() = default;

  const char* data() const { return data_; }
  size_t size() const { return size_; }
  // True once another program cut the file short under the view. The bytes
  // that vanished read as zeros from then on, so whatever was read since
  // the last check must not be trusted.
  // Inline: checked on every move of a cursor.
  bool damaged() const {
    return damaged_ != nullptr && damaged_->load(std::memory_order_acquire);
  }

 protected:
  // `damaged` is the flag that the system's signal handler raises; it
  // outlives the view.
  FileView(const char* data, size_t size, const std::atomic<bool>* damaged)
      : data_(data), size_(size), damaged_(damaged) {}

 private:
  const char* data_;
  size_t size_;
  const std::atomic<bool>* damaged_;
};

#ifndef _WIN32
// Maps `size` bytes of the open file `fd` from `offset` on. nullptr when the
// file cannot be mapped (the caller reads it instead). REQUIRES: size > 0.
std::unique_ptr<FileView> MapFileView(int fd, uint64_t offset, size_t size);
#endif

}  // namespace tables
