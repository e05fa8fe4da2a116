#pragma once

// Numbers stored as bytes in dBase files (headers, field descriptors, memo
// and index blocks, binary columns): the one reader and writer of the
// engine. The formats store them least significant byte first, apart from
// FoxPro's memo block numbers and the sortable binary columns of dBase 7,
// which are big-endian.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tables {

// The `size`-byte (1 to 8) unsigned number stored at `at`.
inline uint64_t LoadLe(std::string_view bytes, size_t at, size_t size) {
  uint64_t value = 0;
  for (size_t i = size; i-- > 0;)
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}
inline uint64_t LoadBe(std::string_view bytes, size_t at, size_t size) {
  uint64_t value = 0;
  for (size_t i = 0; i < size; ++i)
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// Stores the low `size` bytes (1 to 8) of `value` at `out`.
inline void StoreLe(char* out, uint64_t value, size_t size) {
  for (size_t i = 0; i < size; ++i)
    out[i] = static_cast<char>(value >> (8 * i));
}
inline void StoreBe(char* out, uint64_t value, size_t size) {
  for (size_t i = 0; i < size; ++i)
    out[i] = static_cast<char>(value >> (8 * (size - 1 - i)));
}

// The widths of header and index-block numbers.
inline uint32_t GetU16(std::string_view bytes, size_t at) {
  return static_cast<uint32_t>(LoadLe(bytes, at, 2));
}
inline uint32_t GetU32(std::string_view bytes, size_t at) {
  return static_cast<uint32_t>(LoadLe(bytes, at, 4));
}
inline void PutU16(std::string& bytes, size_t at, uint32_t value) {
  StoreLe(bytes.data() + at, value, 2);
}
inline void PutU32(std::string& bytes, size_t at, uint32_t value) {
  StoreLe(bytes.data() + at, value, 4);
}

}  // namespace tables
