#pragma once

// Text rules shared by the export steps. Texts are UTF-8 as the engine hands
// them out; "characters" are code points, so an accented letter counts as
// one character, as it does in the tables' code page.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace exporting {

// Up to `count` characters of `text` from the 1-based character `first`; a
// range that runs past the end yields only the characters present.
std::string Chars(std::string_view text, int first, int count);
// The number of characters of `text`.
int CharCount(std::string_view text);
// The last character of `text`; empty for an empty text.
std::string LastChar(std::string_view text);

// `text` without leading and trailing blanks and control characters (every
// byte up to and including the blank).
std::string_view Trim(std::string_view text);

// A group or subject code split by position: character 1 is the course,
// characters 2 to 4 the level and the last character the group letter.
struct CodeParts {
  std::string course;
  std::string level;
  std::string letter;
};
CodeParts SplitCode(std::string_view code);

// The characters that immediately follow each occurrence of `separator` in
// `text`, joined in order. An occurrence at the very end contributes
// nothing; one followed by another separator contributes that separator.
std::string FollowingChars(std::string_view text, char separator);

// A teacher's abbreviation: the first character of the name followed by the
// character after each blank, cut to 3 characters ("GARCIA LOPEZ, JUAN"
// gives "GLJ"; an empty name gives "").
std::string TeacherAbbreviation(std::string_view name);

// Makes teacher abbreviations unique, as a pass over the rows in stored
// order would: for each row P, every other row whose abbreviation equals P's
// (as it stands when P is reached) gets 2, 3, ... appended in stored order,
// the result cut to the field's 10 characters. `abbrevs` are the values as
// the table gives them back; the result is the final value of each row.
std::vector<std::string> UniqueAbbreviations(std::vector<std::string> abbrevs);

// A subject's weekly hours from its Horsemte text (as read): its first two
// characters when it holds anything but blanks; 1 when that is blank, zero or
// negative; otherwise the number, read with `decimal_separator`.
// Throws tables::TableError "'%s' no es un valor punto flotante válido" when
// those characters are not a number.
double WeeklyHours(std::string_view horsemte, char decimal_separator);

// The whole number written in `text` after trimming (an optional sign and
// decimal digits, nothing else); nullopt otherwise.
std::optional<int64_t> WholeNumber(std::string_view text);

}  // namespace exporting
