#pragma once

// The records of a table held in memory, grown with realloc. A string or a
// vector grows by allocating anew and copying, which for a table written
// from scratch touches every page twice over; realloc lets the C library
// move large blocks by remapping them, without a copy.

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>

#include "platform/large_pages.h"

namespace tables {

class RecordBuffer {
 public:
  RecordBuffer() = default;
  RecordBuffer(const RecordBuffer&) = delete;
  RecordBuffer& operator=(const RecordBuffer&) = delete;
  ~RecordBuffer() { std::free(data_); }

  char* data() { return data_; }
  const char* data() const { return data_; }
  size_t size() const { return size_; }

  // Makes the buffer `size` bytes long; bytes beyond the old size are
  // undefined until written.
  void Resize(size_t size) {
    Reserve(size);
    size_ = size;
  }
  // Resize for a buffer about to be filled at once, such as a table read
  // whole: a large new block is asked for large pages first. (A table that
  // grows row by row is left on ordinary pages: there the hint costs more
  // than it saves.)
  void ResizeToFill(size_t size) {
    const bool fresh = capacity_ == 0;
    Resize(size);
    if (fresh && data_ != nullptr) platform::AdviseLargePages(data_, capacity_);
  }
  void Assign(const char* bytes, size_t size) {
    Resize(size);
    if (size > 0) std::memcpy(data_, bytes, size);
  }
  void Append(std::string_view bytes) {
    const size_t at = size_;
    Resize(size_ + bytes.size());
    if (!bytes.empty()) std::memcpy(data_ + at, bytes.data(), bytes.size());
  }

 private:
  void Reserve(size_t size) {
    if (size <= capacity_) return;
    size_t capacity = capacity_ < 4096 ? 4096 : capacity_;
    while (capacity < size) capacity += capacity / 2;
    void* grown = std::realloc(data_, capacity);
    if (grown == nullptr) throw std::bad_alloc();
    data_ = static_cast<char*>(grown);
    capacity_ = capacity;
  }

  char* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

}  // namespace tables
