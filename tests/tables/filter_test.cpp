// The one accepted filter form, parsed strictly.
#include "tables/filter.h"

#include <gtest/gtest.h>

namespace tables {
namespace {

TEST(FilterTest, AcceptsTheEqualityFormWithDoubledApostrophes) {
  const std::pair<const char*, FilterExpression> cases[] = {
      {"Codigo= '12345     '", {"Codigo", "12345     "}},
      {"Codigo='A'", {"Codigo", "A"}},
      {"  CODIGO  =  'A'  ", {"CODIGO", "A"}},
      {"Codigo= ''", {"Codigo", ""}},
      {"Codigo= 'O''Brien'", {"Codigo", "O'Brien"}},
      {"Codigo= ''''", {"Codigo", "'"}},
      {"Cod_2= 'a=b'' or ''1''=''1'", {"Cod_2", "a=b' or '1'='1"}},
  };
  for (const auto& [text, expected] : cases) {
    auto parsed = ParseFilter(text);
    ASSERT_TRUE(parsed.has_value()) << text;
    EXPECT_EQ(parsed->field, expected.field) << text;
    EXPECT_EQ(parsed->value, expected.value) << text;
  }
}

TEST(FilterTest, RefusesEverythingElse) {
  const char* cases[] = {
      "",
      "Codigo",
      "Codigo=",
      "Codigo= 'abc",            // unclosed
      "Codigo= 'a' or 'b'='b'",  // injection after the text
      "Codigo= 'a''",            // doubled apostrophe then end
      "Codigo== 'a'",
      "Codigo <> 'a'",
      "Codigo= \"a\"",
      "Codigo= a",
      "1Codigo= 'a'",
      "Co digo= 'a'",
      "= 'a'",
      "Codigo= 'a' AND Otro= 'b'",
  };
  for (const char* text : cases) {
    EXPECT_FALSE(ParseFilter(text).has_value()) << text;
  }
}

TEST(FilterTest, MatchesBothSidesPaddedToTheFieldWidth) {
  EXPECT_TRUE(FilterMatches("123       ", "123"));
  EXPECT_TRUE(FilterMatches("123       ", "123       "));
  EXPECT_TRUE(FilterMatches("          ", ""));
  EXPECT_FALSE(FilterMatches("123       ", " 123"));
  EXPECT_FALSE(FilterMatches("1234      ", "123"));
  // A text longer than the field stays as it is and never matches.
  EXPECT_FALSE(FilterMatches("1234567890", "1234567890 "));
  EXPECT_FALSE(FilterMatches("abc       ", "ABC"));
}

}  // namespace
}  // namespace tables
