#pragma once

// Scanning the bytes of stored fields eight at a time. Fields end in fill
// blanks (or NULs) of varying count, and numbers stand right-aligned behind
// blanks: looking at eight bytes together keeps these walks free of a
// branch per byte, which the varying lengths would mispredict.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
// width alone, never on the bytes, and the answers are made with bit
// operations on masks of one bit per byte: fields of many blanks or of
// varying lengths otherwise cost a mispredicted branch or two per read.

// Bits first..last-1 set. REQUIRES: first <= last < 64.
inline uint64_t BitRange(size_t first, size_t last) {
  return ((uint64_t{1} << last) - 1) & ~((uint64_t{1} << first) - 1);
}

// The index after the highest set bit, 0 for none, without a branch.
// REQUIRES: bit 63 clear.
inline size_t EndOfBits(uint64_t bits) {
  return static_cast<size_t>(std::bit_width((bits << 1) | 1)) - 1;
}

// What a field under 64 bytes holds, one bit per byte (bit i for byte i).
struct FieldBytes {
  uint64_t kept = 0;       // neither blank nor NUL
  uint64_t non_blank = 0;  // not a blank
  uint64_t digits = 0;     // '0' to '9'
  uint64_t zeros = 0;      // '0'
  uint64_t high = 0;       // nonzero when a byte is not ASCII
};

#if defined(__SSE2__)
// Adds the bits of the sixteen bytes in `v`, which stand at `at`; only the
// lanes in `valid` count.
[[gnu::always_inline]] inline void AddLanes(FieldBytes& bytes, __m128i v,
                                            size_t at, uint32_t valid) {
  auto mask = [](__m128i lanes) {
    return static_cast<uint32_t>(_mm_movemask_epi8(lanes));
  };
  const uint32_t blank = mask(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')));
  const uint32_t nul = mask(_mm_cmpeq_epi8(v, _mm_setzero_si128()));
  // A digit is a byte that, less '0', is at most 9 (unsigned).
  const __m128i less_zero = _mm_sub_epi8(v, _mm_set1_epi8('0'));
  const uint32_t digit = mask(
      _mm_cmpeq_epi8(_mm_min_epu8(less_zero, _mm_set1_epi8(9)), less_zero));
  const uint32_t zero = mask(_mm_cmpeq_epi8(v, _mm_set1_epi8('0')));
  bytes.high |= mask(v) & valid;
  bytes.kept |= uint64_t{~(blank | nul) & valid} << at;
  bytes.non_blank |= uint64_t{~blank & valid} << at;
  bytes.digits |= uint64_t{digit & valid} << at;
  bytes.zeros |= uint64_t{zero & valid} << at;
}
#endif

// REQUIRES: field.size() < 64, and the bytes up to `readable_end` (the end
// of the record) may be read. Inline, so that a caller pays only for the
// masks it uses. SSE2 lanes where the processor has them (every x86-64
// does); elsewhere the byte loop, which text_scan_test.cpp holds them to.
[[gnu::always_inline]] inline FieldBytes ScanField(std::string_view field,
                                                   const char* readable_end) {
  const size_t n = field.size();
  const char* p = field.data();
  FieldBytes bytes;
#if defined(__SSE2__)
  const auto room = static_cast<size_t>(readable_end - p);
  // Sixteen bytes at a time; a field of up to sixteen with that much of the
  // record from its start in one load, the lanes beyond it not counted.
  if (n <= 16 && room >= 16) {
    AddLanes(bytes, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), 0,
             (uint32_t{1} << n) - 1);
    return bytes;
  }
  if (n >= 16) {
    for (size_t at = 0;; at += 16) {
      if (at + 16 > n) at = n - 16;
      AddLanes(bytes, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at)),
               at, 0xFFFF);
      if (at + 16 >= n) break;
    }
    return bytes;
  }
  if (n >= 8) {
    AddLanes(bytes, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), 0,
             0xFF);
    AddLanes(bytes,
             _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + n - 8)),
             n - 8, 0xFF);
    return bytes;
  }
  if (room >= 8) {
    AddLanes(bytes, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), 0,
             (uint32_t{1} << n) - 1);
    return bytes;
  }
#else
  (void)readable_end;  // the byte loop reads the field alone
#endif
  for (size_t i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(p[i]);
    bytes.high |= c & 0x80u;
    bytes.kept |= uint64_t{c != ' ' && c != 0} << i;
    bytes.non_blank |= uint64_t{c != ' '} << i;
    bytes.digits |= uint64_t{static_cast<unsigned char>(c - '0') < 10} << i;
    bytes.zeros |= uint64_t{c == '0'} << i;
  }
  return bytes;
}

// Where a whole number stands in a field ScanField has read: `first` is
// its first byte (after leading blanks), `start` its first digit (after an
// optional '-'), `last` the end of its digits. Only blanks come before it,
// only blanks and NULs after it.
struct WholeSpan {
  size_t first;
  size_t start;
  size_t last;
  bool negative() const { return start != first; }
  size_t digits() const { return last - start; }
};

// The span of 1 to 15 digits, with an optional '-' before them, that the
// field holds; nullopt for anything else, blank fields included.
// REQUIRES: bytes.kept != 0.
inline std::optional<WholeSpan> FindWholeNumber(std::string_view field,
                                                const FieldBytes& bytes) {
  const auto first = static_cast<size_t>(std::countr_zero(bytes.non_blank));
  const size_t last = EndOfBits(bytes.kept);
  const size_t start = first + (field[first] == '-' ? 1 : 0);
  if (start == last || last - start > 15 ||
      bytes.digits != BitRange(start, last))
    return std::nullopt;
  return WholeSpan{first, start, last};
}

inline void StoreWord(char* at, uint64_t word) {
  std::memcpy(at, &word, sizeof word);
}

// Fills `width` bytes at `out` with blanks: whole words, the last one
// overlapping its neighbour, so the count of steps depends on the width
// alone.
inline void FillBlanks(char* out, size_t width) {
  constexpr uint64_t kBlanks = 0x2020202020202020ull;
  if (width >= 8) {
    for (size_t at = 0;; at += 8) {
      if (at + 8 > width) at = width - 8;
      StoreWord(out + at, kBlanks);
      if (at + 8 >= width) break;
    }
  } else {
    for (size_t i = 0; i < width; ++i) out[i] = ' ';
  }
}

// Copies `text` to `out` a word at a time (the last word overlapping its
// neighbour), bytes only for texts under eight bytes: small copies without
// a call to the C library.
inline void CopySmall(char* out, std::string_view text) {
  const size_t n = text.size();
  const char* p = text.data();
  if (n >= 8) {
    for (size_t at = 0;; at += 8) {
      if (at + 8 > n) at = n - 8;
      StoreWord(out + at, LoadWord(p + at));
      if (at + 8 >= n) break;
    }
  } else {
    for (size_t i = 0; i < n; ++i) out[i] = p[i];
  }
}

// The bytes of a text under eight bytes as one word, first byte lowest and
// zeros above: two overlapping four-byte loads (from four bytes on) or a
// two-byte and a one-byte load, all within the text.
// REQUIRES: text.size() < 8, little-endian.
inline uint64_t LoadShort(std::string_view text) {
  const size_t n = text.size();
  const char* p = text.data();
  if (n >= 4) {
    uint32_t low, high;
    std::memcpy(&low, p, sizeof low);
    std::memcpy(&high, p + n - 4, sizeof high);
    return uint64_t{low} | uint64_t{high} << (8 * (n - 4));
  }
  if (n >= 2) {
    uint16_t low;
    std::memcpy(&low, p, sizeof low);
    return uint64_t{low} | uint64_t{static_cast<unsigned char>(p[n - 1])}
                               << (8 * (n - 1));
  }
  return n == 1 ? static_cast<unsigned char>(p[0]) : 0;
}

// Stores the low `width` bytes of `word` (first byte lowest) at `out` in two
// overlapping four-byte stores, bytes below four.
// REQUIRES: width < 8.
inline void StoreShortWord(char* out, size_t width, uint64_t word) {
  if (width >= 4) {
    const auto low = static_cast<uint32_t>(word);
    const auto high = static_cast<uint32_t>(word >> (8 * (width - 4)));
    std::memcpy(out, &low, sizeof low);
    std::memcpy(out + width - 4, &high, sizeof high);
  } else if (width >= 2) {
    const auto low = static_cast<uint16_t>(word);
    std::memcpy(out, &low, sizeof low);
    out[width - 1] = static_cast<char>(word >> (8 * (width - 1)));
  } else if (width == 1) {
    out[0] = static_cast<char>(word);
  }
}

// Stores ASCII `text` blank-padded into the `width` bytes at `out`, for
// fields under eight bytes: the text is gathered into one word as it is
// checked, and the field written in two overlapping four-byte stores (bytes
// below four). Nothing around the field is read, so these stores never wait
// for earlier ones to the neighbouring fields. False, with nothing written,
// when the text is not ASCII.
// REQUIRES: text.size() <= width < 8.
inline bool StoreShortAscii(char* out, size_t width, std::string_view text) {
  const uint64_t word = LoadShort(text);
  if ((word & 0x8080808080808080ull) != 0) return false;
  const uint64_t used = (uint64_t{1} << (8 * text.size())) - 1;
  StoreShortWord(out, width, word | (0x2020202020202020ull & ~used));
  return true;
}

// At least `size` bytes of room in `buffer`, whose size only grows, so that
// a loop reading many values into one buffer writes without reallocating or
// filling. Texts made there are handed out as views of their own length.
[[gnu::noinline]] inline void GrowRoom(std::string& buffer, size_t size) {
  buffer.resize(size < 64 ? 64 : size);
}
inline char* RoomIn(std::string& buffer, size_t size) {
  // The growth is apart: it happens once per buffer, and inline it would
  // cost every reader a stack frame.
  if (buffer.size() < size) GrowRoom(buffer, size);
  return buffer.data();
}

}  // namespace tables
