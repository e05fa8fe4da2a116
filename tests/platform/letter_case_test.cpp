#include "platform/letter_case.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

// Only ASCII letters fold: accented letters in any code page, digits and
// marks compare as the bytes they are.
TEST(LetterCaseTest, EqualIgnoringCase) {
  const struct {
    std::string_view a, b;
    bool equal;
  } cases[] = {
      {"CODCEN", "codcen", true},
      {"Horgrup.DBF", "HORGRUP.dbf", true},
      {"", "", true},
      {"AB", "ABC", false},
      {"A_1", "a_1", true},
      {"@", "`", false},  // 0x40 and 0x60 differ by the case bit only
      {"[", "{", false},
      {"\xC9", "\xE9", false},  // É and é in code page 1252 stay apart
      {"\xC3\x89", "\xC3\xA9", false},  // and in UTF-8
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::EqualIgnoringCase(c.a, c.b), c.equal)
        << c.a << " / " << c.b;
  }
}

}  // namespace
