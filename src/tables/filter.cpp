#include "tables/filter.h"

namespace tables {
namespace {

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= '0' && c <= '9') || c == '_';
}

void SkipBlanks(std::string_view text, size_t* at) {
  while (*at < text.size() && text[*at] == ' ') ++*at;
}

}  // namespace

std::optional<FilterExpression> ParseFilter(std::string_view expression) {
  FilterExpression result;
  size_t at = 0;
  SkipBlanks(expression, &at);
  const size_t name_start = at;
  while (at < expression.size() && IsNameChar(expression[at])) ++at;
  if (at == name_start) return std::nullopt;
  const char first = expression[name_start];
  if (first >= '0' && first <= '9') return std::nullopt;
  result.field = std::string(expression.substr(name_start, at - name_start));
  SkipBlanks(expression, &at);
  if (at >= expression.size() || expression[at] != '=') return std::nullopt;
  ++at;
  SkipBlanks(expression, &at);
  if (at >= expression.size() || expression[at] != '\'') return std::nullopt;
  ++at;
  bool closed = false;
  while (at < expression.size()) {
    const char c = expression[at++];
    if (c != '\'') {
      result.value += c;
      continue;
    }
    if (at < expression.size() && expression[at] == '\'') {
      result.value += '\'';
      ++at;
      continue;
    }
    closed = true;
    break;
  }
  if (!closed) return std::nullopt;
  SkipBlanks(expression, &at);
  if (at != expression.size()) return std::nullopt;
  return result;
}

bool FilterMatches(std::string_view stored, std::string_view value) {
  if (value.size() > stored.size()) return false;
  if (stored.substr(0, value.size()) != value) return false;
  for (size_t i = value.size(); i < stored.size(); ++i) {
    if (stored[i] != ' ') return false;
  }
  return true;
}

}  // namespace tables
