#pragma once

// Numbers to and from text without the C library's locale: the decimal
// separator is always passed in, so a program whose LC_NUMERIC changes
// (Qt does that on Linux) still reads "1.5" as one and a half.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tables {

// The shortest decimal text that gives `value` back when rounded to 15
// significant digits ("0,1", "12", "-3,25"); plain notation for ordinary
// magnitudes, "1,5E20" style beyond them. NaN and infinities read as "".
std::string FormatNumber(double value, char separator);

// True when `text` is a whole number exactly as FormatNumber prints it: an
// optional '-', then 1 to 15 digits without leading zeros ("0" alone, never
// "-0").
bool IsShortestWhole(std::string_view text);

// FormatNumber of the value that `stored` spells, made from its digits
// without a round trip through a double, into `out`, which has room for
// kStoredDigitsTextRoom bytes; returns its length. Handles plain stored
// numbers ("  -12.50", "007", ".5") with at most 15 significant digits and
// answers 0 for anything else (blanks inside, exponents, commas, more
// digits), which the caller parses instead.
inline constexpr size_t kStoredDigitsTextRoom = 40;
size_t StoredDigitsToText(std::string_view stored, char separator, char* out);

// A whole number with optional blanks around it and an optional sign.
std::optional<int64_t> ParseInteger(std::string_view text);

// A decimal number with optional blanks around it, an optional sign,
// `separator` between integer and fraction, and an optional exponent.
std::optional<double> ParseFloat(std::string_view text, char separator);

// `value` with exactly `decimals` decimals and '.' as separator, right-
// aligned in `width` characters, as dBase stores N and F columns; nullopt
// when it does not fit.
std::optional<std::string> FormatFixed(double value, int width, int decimals);
// The same into the `width` bytes at `out`; false (and `out` untouched) when
// it does not fit.
bool FormatFixedInto(double value, int width, int decimals, char* out);

}  // namespace tables
