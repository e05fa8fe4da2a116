#pragma once

// Keys as the production index file stores them.
//
// A character key is the field's bytes in the table's code page, padded with
// blanks to the key length. A numeric key is dBase's 12-byte decimal form:
//
//   byte 0      0x34 + the position of the decimal point: the value is
//               0.d1d2...d20 * 10^(byte0 - 0x34)
//   byte 1      0x29 for a value other than zero (0x80 added when it is
//               negative); 0x01 for zero
//   bytes 2-11  twenty decimal digits d1..d20, two to a byte, the first
//               digit in the high half of byte 2; d1 is not zero
//
// so 1000 is 38 29 10 00 .., 350 is 37 29 35 .., -200 is 37 A9 20 .. and
// zero is 34 01 followed by ten zero bytes.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tables {

inline constexpr int kNumericKeyLength = 12;
using NumericKeyBytes = std::array<uint8_t, kNumericKeyLength>;

// The 12 key bytes of a number. The shortest decimal text that reads back
// as `value` is stored, so 0.1 is stored as the digit 1, not as the binary
// fraction's long expansion. NaN, and numbers too small for the format, are
// stored as zero; numbers too large for it take the largest exponent.
NumericKeyBytes EncodeNumericKey(double value);

// The number of 12 key bytes; nullopt when a digit is not 0-9 or the length
// is wrong.
std::optional<double> DecodeNumericKey(std::string_view bytes);

// `text` padded with blanks, or cut, to `width` bytes.
std::string PadCharacterKey(std::string_view text, int width);

}  // namespace tables
