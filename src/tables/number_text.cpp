#include "tables/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace tables {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits alone (with an optional '-'), at most 15 of them: every such value
// is exact in a double, so no general parse is needed.
std::optional<double> ParseShortWhole(std::string_view text) {
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  if (text.empty() || text.size() > 15) return std::nullopt;
  int64_t value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  const auto result = static_cast<double>(value);
  return negative ? -result : result;
}

}  // namespace

std::string FormatNumber(double value, char separator) {
  if (!std::isfinite(value)) return "";
  if (value == 0) return "0";
  // 15 significant digits, d.dddddddddddddde+XX, correctly rounded.
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                              std::chars_format::scientific, 14);
  std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
  size_t e = text.find('e');
  bool negative = text.front() == '-';
  std::string digits;
  for (char c : text.substr(0, e)) {
    if (IsDigit(c)) digits += c;
  }
  int exponent = 0;
  std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1),
                  text.data() + text.size(), exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string out = negative ? "-" : "";
  const int count = static_cast<int>(digits.size());
  if (exponent >= 15 || exponent < -9) {
    out += digits[0];
    if (count > 1) {
      out += separator;
      out += digits.substr(1);
    }
    out += 'E';
    out += std::to_string(exponent);
  } else if (exponent < 0) {
    out += '0';
    out += separator;
    out.append(static_cast<size_t>(-exponent - 1), '0');
    out += digits;
  } else if (exponent + 1 >= count) {
    out += digits;
    out.append(static_cast<size_t>(exponent + 1 - count), '0');
  } else {
    out += digits.substr(0, static_cast<size_t>(exponent + 1));
    out += separator;
    out += digits.substr(static_cast<size_t>(exponent + 1));
  }
  return out;
}

std::optional<int64_t> ParseInteger(std::string_view text) {
  text = TrimBlanks(text);
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  if (text.empty() || text.front() == '+') return std::nullopt;
  int64_t value = 0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size())
    return std::nullopt;
  return value;
}

std::optional<double> ParseFloat(std::string_view text, char separator) {
  text = TrimBlanks(text);
  if (auto whole = ParseShortWhole(text)) return whole;
  std::string normal;
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') normal += '-';
    ++i;
  }
  bool any_digit = false;
  while (i < text.size() && IsDigit(text[i])) {
    normal += text[i++];
    any_digit = true;
  }
  if (i < text.size() && text[i] == separator) {
    normal += '.';
    ++i;
    while (i < text.size() && IsDigit(text[i])) {
      normal += text[i++];
      any_digit = true;
    }
  }
  if (!any_digit) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    normal += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
      normal += text[i++];
    bool exponent_digit = false;
    while (i < text.size() && IsDigit(text[i])) {
      normal += text[i++];
      exponent_digit = true;
    }
    if (!exponent_digit) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  double value = 0;
  auto result =
      std::from_chars(normal.data(), normal.data() + normal.size(), value);
  if (result.ec != std::errc() || result.ptr != normal.data() + normal.size())
    return std::nullopt;
  return value;
}

namespace {

// FormatFixedInto's text of `value` for the common case, from the value
// scaled to a whole number of its last decimal: false when that could round
// differently from the exact decimal expansion, which the general
// formatting then handles.
bool ScaledFixedText(double value, int decimals, char* buffer, size_t* length) {
  static constexpr double kScale[] = {1e0, 1e1, 1e2, 1e3, 1e4,
                                      1e5, 1e6, 1e7, 1e8, 1e9};
  if (decimals < 0 || decimals > 9) return false;
  const double scaled = value * kScale[decimals];
  // Below 1e12 the product is off the exact one by less than 1.2e-4, so
  // away from a tie (.5) it rounds to the same whole number; near a tie the
  // exact expansion decides.
  if (!(std::fabs(scaled) < 1e12)) return false;
  const double rounded = std::nearbyint(scaled);
  if (std::fabs(std::fabs(scaled - rounded) - 0.5) < 1e-3) return false;
  const auto whole_units = static_cast<int64_t>(rounded);
  // A value that rounds to zero is written without its sign.
  const bool negative = whole_units < 0;
  uint64_t units = negative ? 0 - static_cast<uint64_t>(whole_units)
                            : static_cast<uint64_t>(whole_units);
  static constexpr uint64_t kPowers[] = {
      1,      10,      100,      1000,      10000,
      100000, 1000000, 10000000, 100000000, 1000000000};
  const uint64_t power = kPowers[decimals];
  char* at = buffer;
  if (negative) *at++ = '-';
  at = std::to_chars(at, buffer + 24, units / power).ptr;
  if (decimals > 0) {
    *at++ = '.';
    units %= power;
    for (int i = decimals - 1; i >= 0; --i) {
      at[i] = static_cast<char>('0' + units % 10);
      units /= 10;
    }
    at += decimals;
  }
  *length = static_cast<size_t>(at - buffer);
  return true;
}

}  // namespace

bool FormatFixedInto(double value, int width, int decimals, char* out) {
  if (!std::isfinite(value) || width <= 0) return false;
  char scaled[40];
  size_t scaled_length = 0;
  if (ScaledFixedText(value, decimals, scaled, &scaled_length)) {
    if (scaled_length > static_cast<size_t>(width)) return false;
    const size_t blanks = static_cast<size_t>(width) - scaled_length;
    std::memset(out, ' ', blanks);
    std::memcpy(out + blanks, scaled, scaled_length);
    return true;
  }
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                              std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return false;
  std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
  // No "-0.00": a value that rounds to zero is written without its sign.
  if (text.front() == '-' &&
      text.find_first_not_of("-0.") == std::string_view::npos)
    text.remove_prefix(1);
  if (text.size() > static_cast<size_t>(width)) return false;
  const size_t blanks = static_cast<size_t>(width) - text.size();
  std::memset(out, ' ', blanks);
  std::memcpy(out + blanks, text.data(), text.size());
  return true;
}

}  // namespace tables
