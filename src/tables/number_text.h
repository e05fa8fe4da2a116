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

// A whole number with optional blanks around it and an optional sign.
std::optional<int64_t> ParseInteger(std::string_view text);

// A decimal number with optional blanks around it, an optional sign,
// `separator` between integer and fraction, and an optional exponent.
std::optional<double> ParseFloat(std::string_view text, char separator);

// `value` with exactly `decimals` decimals and '.' as separator, right-
// aligned in the `width` bytes at `out`, as dBase stores N and F columns;
// false (and `out` untouched) when it does not fit.
bool FormatFixedInto(double value, int width, int decimals, char* out);

}  // namespace tables
