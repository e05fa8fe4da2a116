#pragma once

// Little-endian numbers inside dBase bytes (headers, descriptors, memo and
// index blocks): the one reader and writer of the engine.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tables {

// The `size`-byte (1 to 4) unsigned number stored at `at`.
inline uint32_t GetLittle(std::string_view bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// Stores the low `size` bytes of `value` at `out`.
inline void PutLittle(char* out, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out[i] = static_cast<char>(value >> (8 * i));
}

}  // namespace tables
