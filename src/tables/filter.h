#pragma once

// The one filter form tables accept:  Campo= 'texto'  (blanks allowed around
// '=', apostrophes inside the quotes doubled). Parsed strictly; anything
// else is refused, so a filter can never smuggle in other logic.

#include <optional>
#include <string>
#include <string_view>

namespace tables {

struct FilterExpression {
  std::string field;  // as written
  std::string value;  // UTF-8, apostrophes undoubled
};

// nullopt when `expression` is not exactly of the accepted form.
std::optional<FilterExpression> ParseFilter(std::string_view expression);

// True when `stored` (the field's raw bytes) equals `value` (already in the
// table's code page) with both padded with blanks to the field width; a
// value longer than the field never matches.
bool FilterMatches(std::string_view stored, std::string_view value);

}  // namespace tables
