#include "export/export_text.h"

#include <charconv>

#include "tables/number_text.h"
#include "tables/table_error.h"

namespace exporting {
namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Byte offset of the 0-based character `index`, or text.size() past the end.
size_t OffsetOfChar(std::string_view text, int index) {
  size_t offset = 0;
  for (int i = 0; i < index && offset < text.size(); ++i) {
    ++offset;
    while (offset < text.size() &&
           IsContinuation(static_cast<unsigned char>(text[offset]))) {
      ++offset;
    }
  }
  return offset;
}

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

}  // namespace

std::string Chars(std::string_view text, int first, int count) {
  if (first < 1 || count <= 0) return "";
  const size_t begin = OffsetOfChar(text, first - 1);
  const size_t end = begin + OffsetOfChar(text.substr(begin), count);
  return std::string(text.substr(begin, end - begin));
}

int CharCount(std::string_view text) {
  int count = 0;
  for (char c : text) {
    if (!IsContinuation(static_cast<unsigned char>(c))) ++count;
  }
  return count;
}

std::string LastChar(std::string_view text) {
  if (text.empty()) return "";
  size_t begin = text.size() - 1;
  while (begin > 0 && IsContinuation(static_cast<unsigned char>(text[begin]))) {
    --begin;
  }
  return std::string(text.substr(begin));
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
  return text;
}

CodeParts SplitCode(std::string_view code) {
  return CodeParts{Chars(code, 1, 1), Chars(code, 2, 3), LastChar(code)};
}

std::string FollowingChars(std::string_view text, char separator) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != separator || i + 1 >= text.size()) continue;
    // The whole character after the separator, however many bytes it takes.
    size_t end = i + 2;
    while (end < text.size() &&
           IsContinuation(static_cast<unsigned char>(text[end]))) {
      ++end;
    }
    result.append(text.substr(i + 1, end - (i + 1)));
  }
  return result;
}

std::string TeacherAbbreviation(std::string_view name) {
  const std::string joined = Chars(name, 1, 1) + FollowingChars(name, ' ');
  return Chars(joined, 1, 3);
}

double WeeklyHours(std::string_view horsemte, char decimal_separator) {
  std::string text(horsemte);
  if (!Trim(text).empty()) text = Chars(horsemte, 1, 2);
  if (Trim(text).empty()) return 1;
  const std::optional<double> value =
      tables::ParseFloat(text, decimal_separator);
  if (!value) throw tables::TableError::NotAFloat(text);
  return *value > 0 ? *value : 1;
}

std::optional<int64_t> WholeNumber(std::string_view text) {
  text = Trim(text);
  if (text.empty()) return std::nullopt;
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  int64_t value = 0;
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size())
    return std::nullopt;
  return negative ? -value : value;
}

}  // namespace exporting
