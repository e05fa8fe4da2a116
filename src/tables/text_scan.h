#pragma once

// Scanning the bytes of stored fields eight at a time. Fields end in fill
// blanks (or NULs) of varying count, and numbers stand right-aligned behind
// blanks: looking at eight bytes together keeps these walks free of a
// branch per byte, which the varying lengths would mispredict.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tables {

// Bit 7 of each byte of the result is set where the byte of `word` is not
// zero (exactly: no false positives from carries).
inline uint64_t NonZeroBytes(uint64_t word) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  return (((word & kLow7) + kLow7) | word) & ~kLow7;
}

inline uint64_t LoadWord(const char* at) {
  uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// `text` without its trailing blanks and NULs.
inline std::string_view TrimTrailing(std::string_view text) {
  size_t n = text.size();
  while (std::endian::native == std::endian::little && n >= 8) {
    // A byte is fill when OR-ing 0x20 into it gives 0x20 (' ' or NUL).
    constexpr uint64_t kBlanks = 0x2020202020202020ull;
    const uint64_t kept =
        NonZeroBytes((LoadWord(text.data() + n - 8) | kBlanks) ^ kBlanks);
    if (kept != 0) {
      // The highest kept byte is the last one in memory.
      return text.substr(0,
                         n - 8 + static_cast<size_t>(std::bit_width(kept)) / 8);
    }
    n -= 8;
  }
  while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\0')) --n;
  return text.substr(0, n);
}

// `text` without trailing blanks and NULs, and without leading blanks.
inline std::string_view Trim(std::string_view text) {
  text = TrimTrailing(text);
  size_t n = 0;
  while (std::endian::native == std::endian::little && n + 8 <= text.size()) {
    const uint64_t kept =
        NonZeroBytes(LoadWord(text.data() + n) ^ 0x2020202020202020ull);
    if (kept != 0) return text.substr(n + std::countr_zero(kept) / 8);
    n += 8;
  }
  while (n < text.size() && text[n] == ' ') ++n;
  return text.substr(n);
}

// True when all eight bytes of `word` are blanks or NULs.
inline bool IsFill(uint64_t word) {
  constexpr uint64_t kBlanks = 0x2020202020202020ull;
  return (word | kBlanks) == kBlanks;
}

// True when all eight bytes of `word` are the digits '0' to '9'.
inline bool AllDigits(uint64_t word) {
  constexpr uint64_t kHigh = 0xF0F0F0F0F0F0F0F0ull;
  constexpr uint64_t kZeros = 0x3030303030303030ull;
  // The high nibble must be 3, and adding 6 must not carry out of the low
  // nibble (which it does from ':' = 0x3A upward).
  return (word & kHigh) == kZeros &&
         ((word + 0x0606060606060606ull) & kHigh) == kZeros;
}

// Fixed-width fields are walked with a count of steps that depends on the
// width alone, never on the bytes, so that the loop's branch is the same on
// every row and only conditional moves depend on the data. Fields of many
// blanks or of varying lengths otherwise cost a mispredicted branch or two
// per read.

// The length of `field` without its trailing blanks and NULs, and in
// `high` the OR of all its bytes (bit 7 set when any is not ASCII).
// REQUIRES: the field is at most 64 bytes wide.
inline size_t FillTrimmedLength(std::string_view field, uint64_t* high) {
  const size_t n = field.size();
  const char* p = field.data();
  size_t length = 0;
  uint64_t seen = 0;
  if (n >= 8) {
    constexpr uint64_t kBlanks = 0x2020202020202020ull;
    // Words from left to right, the last one overlapping its neighbour: the
    // last word with a kept byte sets the length.
    for (size_t at = 0;; at += 8) {
      if (at + 8 > n) at = n - 8;
      const uint64_t word = LoadWord(p + at);
      seen |= word;
      const uint64_t kept = NonZeroBytes((word | kBlanks) ^ kBlanks);
      const size_t end = at + static_cast<size_t>(std::bit_width(kept)) / 8;
      length = kept != 0 ? end : length;
      if (at + 8 >= n) break;
    }
  } else {
    for (size_t i = 0; i < n; ++i) {
      const unsigned char c = static_cast<unsigned char>(p[i]);
      seen |= c;
      length = (c != ' ' && c != 0) ? i + 1 : length;
    }
  }
  *high = seen & 0x8080808080808080ull;
  return length;
}

// At least `size` bytes of room in `buffer`, whose size only grows, so that
// a loop reading many values into one buffer writes without reallocating or
// filling. Texts made there are handed out as views of their own length.
inline char* RoomIn(std::string& buffer, size_t size) {
  if (buffer.size() < size) buffer.resize(size < 64 ? 64 : size);
  return buffer.data();
}

}  // namespace tables
