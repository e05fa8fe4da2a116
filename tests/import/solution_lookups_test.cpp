#include "import/solution_lookups.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/import_fixture.h"
#include "import/text_key_index.h"
#include "support/faulty_file_system.h"

namespace import_testing {
namespace {

using importing::SubjectLookup;
using importing::TeacherLookup;
using importing::TextKeyIndex;

TEST(TextKeyIndexTest, NumbersTextsInOrderOfFirstInsertion) {
  // Texts that differ only in case, blanks, a trailing zero byte or their
  // last byte are different texts.
  const std::vector<std::string> texts = {
      "GLJ", "glj", "GLJ ", " GLJ", "", std::string("GLJ\0", 4), "ABCDEFGH",
      "ABCDEFGHI", "ABCDEFGH\x01",
      // Around the 16 bytes a slot holds itself.
      "0123456789ABCDEF", std::string("0123456789ABCDEF\0", 17),
      "0123456789ABCDEFG", "0123456789ABCDEFH", "0123456789ABCDEFGH"};
  TextKeyIndex index;
  for (uint32_t n = 0; n < texts.size(); ++n) {
    EXPECT_EQ(index.Find(texts[n]), TextKeyIndex::kAbsent) << n;
    EXPECT_EQ(index.Insert(texts[n]), n) << n;
  }
  for (uint32_t n = 0; n < texts.size(); ++n) {
    EXPECT_EQ(index.Insert(texts[n]), n) << "again " << n;
    EXPECT_EQ(index.Find(texts[n]), n) << n;
    EXPECT_EQ(index.Key(n), texts[n]) << n;
  }
  EXPECT_EQ(index.size(), texts.size());
  EXPECT_EQ(index.Find("GL"), TextKeyIndex::kAbsent);
}

TEST(TextKeyIndexTest, TellsApartTextsThatDifferInAnyOneByte) {
  // Every length up to past the 16 bytes a slot holds; each byte changed in
  // turn.
  std::vector<std::string> texts;
  for (size_t length = 0; length <= 20; ++length) {
    texts.push_back(std::string(length, 'a'));
    for (size_t at = 0; at < length; ++at) {
      texts.push_back(std::string(length, 'a'));
      texts.back()[at] = 'b';
    }
  }
  TextKeyIndex index;
  for (uint32_t n = 0; n < texts.size(); ++n) {
    ASSERT_EQ(index.Insert(texts[n]), n) << texts[n];
  }
  for (uint32_t n = 0; n < texts.size(); ++n) {
    EXPECT_EQ(index.Find(texts[n]), n) << texts[n];
  }
}

TEST(TextKeyIndexTest, KeepsEveryTextThroughManyGrowths) {
  TextKeyIndex index;
  EXPECT_EQ(index.Find("T0001"), TextKeyIndex::kAbsent);  // empty index
  for (int n = 0; n < 20000; ++n) {
    ASSERT_EQ(index.Insert("T" + std::to_string(n)), static_cast<uint32_t>(n));
  }
  for (int n = 0; n < 20000; ++n) {
    ASSERT_EQ(index.Find("T" + std::to_string(n)), static_cast<uint32_t>(n));
  }
  EXPECT_EQ(index.Find("T20000"), TextKeyIndex::kAbsent);
}

class SolutionLookupsTest : public ImportFixture {};

TEST_F(SolutionLookupsTest, TeacherLookupAnswersWithTheFirstRowInStoredOrder) {
  std::vector<Row> rows = {
      {"GLJ", "", "", "", "111"}, {" PA", "", "", "", "222"},
      {"GLJ", "", "", "", "333"}, {"", "", "", "", "444"},
      {"NODNI", "", "", "", ""},  {"pa", "", "", "", "555"},
      {"", "", "", "", "666"}};
  // Many more teachers after them, so that the lookup grows several times.
  for (int n = 0; n < 3000; ++n) {
    rows.push_back({"X" + std::to_string(n), "", "", "", std::to_string(n)});
  }
  WriteTable("QTEMP/PROFT.DBF", kProft, rows);
  tables::Table proft(testing_support::DriveC());
  proft.SetTableName("C:\\QTEMP\\PROFT.DBF");
  proft.Open();
  TeacherLookup lookup(proft);
  const struct {
    const char* abrev;
    int64_t dni;
  } cases[] = {{"GLJ", 111}, {" PA", 222},    {"PA", 0},    {"pa", 555},
               {"", 444},    {"NODNI", 0},    {"glj", 0},   {"GLJ  ", 0},
               {"X0", 0},    {"X2999", 2999}, {"X3000", 0}, {"X1500", 1500}};
  for (const auto& tc : cases) {
    EXPECT_EQ(lookup.Dni(tc.abrev), tc.dni) << "'" << tc.abrev << "'";
  }
}

TEST_F(SolutionLookupsTest, SubjectLookupAnswersWithTheFirstRowInIndexOrder) {
  // Stored order differs from CODVALEN order on purpose.
  WriteTable("QTEMP/ASIGVALT.DBF", kAsigvalt,
             {{"MAT", "", "", "C3", "4", "ESO", "1"},
              {"MAT", "", "", "A1", "4", "ESO", "2"},
              {"MAT", "", "", "B2", "4", "ESO", "1"},
              {"mat", "", "", "A0", "4", "ESO", "1"},
              {"FIS", "", "", "D4", "4", "BAT", "1"},
              {"MAT", "", "", "E5", "4", "BAT", "1"},
              {"FIS", "", "", "A9", "4", "BAT", "1"}});
  tables::Table asigvalt(testing_support::DriveC());
  asigvalt.SetTableName("C:\\QTEMP\\ASIGVALT.DBF");
  asigvalt.SetIndexName("CODVALEN");
  asigvalt.Open();
  SubjectLookup lookup(asigvalt);
  const struct {
    const char* nivel;
    const char* curso;
    const char* cod;
    const char* codvalen;
  } cases[] = {{"ESO", "1", "MAT", "B2"}, {"ESO", "2", "MAT", "A1"},
               {"BAT", "1", "MAT", "E5"}, {"ESO", "1", "mat", "A0"},
               {"BAT", "1", "FIS", "A9"}, {"ESO", "1", "FIS", ""},
               {"ESO", "3", "MAT", ""},   {"eso", "1", "MAT", ""},
               {"ESO", "1", "QUI", ""},   {"ESO", "1", "", ""}};
  for (const auto& tc : cases) {
    EXPECT_EQ(lookup.Codvalen(tc.nivel, tc.curso, tc.cod), tc.codvalen)
        << tc.nivel << "/" << tc.curso << "/" << tc.cod;
  }
}

}  // namespace
}  // namespace import_testing
