#include "export/export_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tables/table_error.h"

namespace exporting {
namespace {

TEST(FollowingCharsTest, CharactersAfterEachSeparator) {
  const struct {
    std::string text;
    std::string expected;
  } kCases[] = {
      {"", ""},
      {"SENSE", ""},
      {"GARCIA LOPEZ, JUAN", "LJ"},
      {"FINAL ", ""},      // a separator at the very end adds nothing
      {"ANA  GIL", " G"},  // a separator followed by a separator adds it
      {" ANA", "A"},
      {"A \xC3\x80NGEL \xC3\x9A", "\xC3\x80\xC3\x9A"},  // whole characters
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(FollowingChars(c.text, ' '), c.expected) << c.text;
  }
  EXPECT_EQ(FollowingChars("A-B-C", '-'), "BC");
}

TEST(TeacherAbbreviationTest, FirstLetterAndLettersAfterBlanksCutToThree) {
  const struct {
    std::string name;
    std::string expected;
  } kCases[] = {
      {"GARCIA LOPEZ, JUAN", "GLJ"},
      {"PEREZ ANA", "PA"},
      {"PEREZ", "P"},
      {"", ""},
      {"ANA  GIL", "A G"},
      {" ANA GIL", " AG"},
      {"A B C D E", "ABC"},
      {"\xC3\x80NGELA \xC3\x9A\xC3\x91"
       "EZ",
       "\xC3\x80\xC3\x9A"},  // ÀNGELA ÚÑEZ
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(TeacherAbbreviation(c.name), c.expected) << c.name;
  }
}

TEST(SplitCodeTest, CourseLevelAndLetterByPosition) {
  const struct {
    std::string code, course, level, letter;
  } kCases[] = {
      {"1ESOA", "1", "ESO", "A"},
      {"1ESO01", "1", "ESO", "1"},
      {"2B", "2", "B", "B"},
      {"1", "1", "", "1"},
      {"", "", "", ""},
      {"2BATB", "2", "BAT", "B"},
      {"1\xC3\x80\xC3\x89O\xC3\x9A", "1", "\xC3\x80\xC3\x89O", "\xC3\x9A"},
  };
  for (const auto& c : kCases) {
    const CodeParts parts = SplitCode(c.code);
    EXPECT_EQ(parts.course, c.course) << c.code;
    EXPECT_EQ(parts.level, c.level) << c.code;
    EXPECT_EQ(parts.letter, c.letter) << c.code;
  }
}

TEST(WeeklyHoursTest, FirstTwoCharactersOrOne) {
  const struct {
    std::string horsemte;
    char separator;
    double expected;
  } kCases[] = {
      {"3", '.', 3},   {"12", '.', 12}, {"123", '.', 12}, {" 3", '.', 3},
      {"  3", '.', 1}, {"", '.', 1},    {"   ", '.', 1},  {"0", '.', 1},
      {"-2", '.', 1},  {"2,5", ',', 2}, {"2.5", '.', 2},  {".5", '.', 0.5},
      {"+4", '.', 4},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(WeeklyHours(c.horsemte, c.separator), c.expected)
        << "'" << c.horsemte << "'";
  }
}

TEST(WeeklyHoursTest, TextThatIsNoNumberFailsWithTheConvertedText) {
  const struct {
    std::string horsemte;
    char separator;
    std::string message;
  } kCases[] = {
      {"AB", '.', "'AB' no es un valor punto flotante válido"},
      {"3.", ',', "'3.' no es un valor punto flotante válido"},
      {"4h", '.', "'4h' no es un valor punto flotante válido"},
  };
  for (const auto& c : kCases) {
    try {
      WeeklyHours(c.horsemte, c.separator);
      ADD_FAILURE() << "no error for " << c.horsemte;
    } catch (const tables::TableError& error) {
      EXPECT_STREQ(error.what(), c.message.c_str());
    }
  }
}

TEST(WholeNumberTest, TrimmedDigitsWithOptionalSign) {
  EXPECT_EQ(WholeNumber(" 20000001 "), 20000001);
  EXPECT_EQ(WholeNumber("-7"), -7);
  EXPECT_EQ(WholeNumber("0"), 0);
  for (const char* text : {"", "   ", "12A", "1.5", "-", "1 2"}) {
    EXPECT_FALSE(WholeNumber(text).has_value()) << text;
  }
}

// The pass as a walk over every pair, kept here as the reference the fast
// pass must agree with.
std::vector<std::string> WalkEveryPair(std::vector<std::string> abbrevs) {
  for (size_t p = 0; p < abbrevs.size(); ++p) {
    int counter = 2;
    for (size_t q = 0; q < abbrevs.size(); ++q) {
      if (q == p || abbrevs[q] != abbrevs[p]) continue;
      abbrevs[q] = (abbrevs[q] + std::to_string(counter++)).substr(0, 10);
    }
  }
  return abbrevs;
}

TEST(UniqueAbbreviationsTest, NumbersFollowingRowsInStoredOrder) {
  using V = std::vector<std::string>;
  const struct {
    V before, after;
  } kCases[] = {
      {{"GLJ", "GLJ", "GLJ", "GLA"}, {"GLJ", "GLJ2", "GLJ3", "GLA"}},
      {{"", ""}, {"", "2"}},
      {{"X", "X2", "X"}, {"X", "X2", "X22"}},
      {{"ABCDEFGHIJ", "ABCDEFGHIJ"}, {"ABCDEFGHIJ", "ABCDEFGHIJ"}},
      {{"ABCDEFGHI", "ABCDEFGHI", "ABCDEFGHI"},
       {"ABCDEFGHI", "ABCDEFGHI2", "ABCDEFGHI3"}},
      {{}, {}},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(UniqueAbbreviations(c.before), c.after);
    EXPECT_EQ(WalkEveryPair(c.before), c.after);
  }
}

TEST(UniqueAbbreviationsTest, AgreesWithTheWalkOnRandomTables) {
  std::mt19937 random(7);
  const std::vector<std::string> pool = {"A", "A2", "A22",       "B",
                                         "",  "2",  "ABCDEFGHI", "ABCDEFGHIJ"};
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> abbrevs(random() % 12);
    for (auto& a : abbrevs) a = pool[random() % pool.size()];
    ASSERT_EQ(UniqueAbbreviations(abbrevs), WalkEveryPair(abbrevs))
        << "round " << round;
  }
}

}  // namespace
}  // namespace exporting
