#include <gtest/gtest.h>

#include "export/export_fixture.h"
#include "export/export_run.h"
#include "tables/table_error.h"

namespace exporting {
namespace {

using export_testing::kAlumnos;
using export_testing::kAsigalum;
using export_testing::kGrupos;
using export_testing::Row;
using Strings = std::vector<std::string>;

class ExportStudentsTest : public export_testing::ExportFixture {
 protected:
  void SetUp() override {
    ExportFixture::SetUp();
    // ASIGVALT as the subject step writes it.
    WriteSource("asignat", export_testing::kAsignat,
                {{"1ESO01", "MAT"},
                 {"1ESO02", "VAL"},
                 {"1ESO03", "LONGCODE"},
                 {"1ESO01", "MAT2"},  // a second row with the same key
                 {"1ESO04", "FQ"}});
    WriteSource("OCUPA", export_testing::kOcupa, {});
    ExportSubjects(context_);
    WriteSource("grupos", kGrupos,
                {{"1ESOA", "M"}, {"2BATA", "T"}, {"2BATB", "V"}});
  }
};

TEST_F(ExportStudentsTest, LayoutHas108FieldsInInterleavedPairs) {
  WriteSource("alumnos", kAlumnos, {});
  WriteSource("asigalum", kAsigalum, {});
  ExportStudents(context_);
  const Strings layout = Layout("ALUMNOST");
  ASSERT_EQ(layout.size(), 108u);
  EXPECT_EQ(Strings(layout.begin(), layout.begin() + 11),
            (Strings{"EXPED C20", "NOMBRE C50", "TURNO C1", "NIVEL C5",
                     "CURSO C3", "GRUPO C2", "OPCION C1", "REPITE", "ASIG1 C4",
                     "DIV1 C1", "ASIG2 C4"}));
  EXPECT_EQ(layout[106], "ASIG50 C4");
  EXPECT_EQ(layout[107], "DIV50 C1");
}

TEST_F(ExportStudentsTest, GroupCodeTurnAndRepeater) {
  WriteSource("alumnos", kAlumnos,
              {{"A1", "UN", "1ESOA", "1ESO", "1"},
               {"A2", "SENSE GRUP", "", "", "0"},
               {"A3", "CURT", "1", "1", "0"},
               {"A4", "DOS", "2B", "2B", "2"},
               {"A5", "PER CURS", "2BATC", "2BAT", ""},
               {"A6", "CAP GRUP", "3ESOA", "3ESO", "0"},
               {"A7", "EXACTE", "2BATB", "XXXX", "0"}});
  WriteSource("asigalum", kAsigalum, {});
  ExportStudents(context_);
  EXPECT_EQ(Values("ALUMNOST", "EXPED"),
            (Strings{"A1", "A4", "A5", "A6", "A7"}));
  EXPECT_EQ(Values("ALUMNOST", "NIVEL"),
            (Strings{"ESO", "B", "BAT", "ESO", "BAT"}));
  EXPECT_EQ(Values("ALUMNOST", "CURSO"), (Strings{"1", "2", "2", "3", "2"}));
  EXPECT_EQ(Values("ALUMNOST", "GRUPO"), (Strings{"A", "B", "C", "A", "B"}));
  // 2BATC is found through its course code on the first 2BAT row; 2BATB by
  // its own code; 3ESOA not at all.
  EXPECT_EQ(Values("ALUMNOST", "TURNO"), (Strings{"M", "", "T", "", "V"}));
  EXPECT_EQ(Values("ALUMNOST", "REPITE"), (Strings{"T", "F", "F", "F", "F"}));
  EXPECT_EQ(Values("ALUMNOST", "OPCION"), Strings(5, ""));
}

TEST_F(ExportStudentsTest, EarlierCourseMatchWinsOverLaterExactGroup) {
  WriteSource("grupos", kGrupos, {{"2BATA", "T"}, {"2BATB", "V"}});
  WriteSource("alumnos", kAlumnos, {{"A1", "X", "2BATB", "2BAT", "0"}});
  WriteSource("asigalum", kAsigalum, {});
  ExportStudents(context_);
  EXPECT_EQ(Values("ALUMNOST", "TURNO"), Strings{"T"});
}

TEST_F(ExportStudentsTest, SubjectsInAsigalumOrderWithoutGaps) {
  WriteSource("alumnos", kAlumnos,
              {{"1234", "CODI CURT", "1ESOA", "1ESO", "0"},
               {"123456789012", "CODI LLARG", "1ESOA", "1ESO", "0"},
               {"9", "SENSE ASSIGNATURES", "1ESOA", "1ESO", "0"},
               {"8", "CAP EN ASIGVALT", "1ESOA", "1ESO", "0"}});
  WriteSource("asigalum", kAsigalum,
              {{"1234", "1ESO02"},
               {"1234", "9ESO99"},  // not in ASIGVALT: uses no column
               {"123456789012", "1ESO04"},
               {"1234", "1ESO01"},
               {"1234 ", "1ESO03"},  // trailing blank: the same student
               {" 1234", "1ESO04"},  // leading blank: another student
               {"8", "7ESO77"}});
  ExportStudents(context_);
  const auto rows = ReadTable("ALUMNOST");
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].at("ASIG1"), "VAL");
  EXPECT_EQ(rows[0].at("ASIG2"), "MAT");   // the first row of the key
  EXPECT_EQ(rows[0].at("ASIG3"), "LONG");  // cut to 4 characters
  EXPECT_EQ(rows[0].at("ASIG4"), "");
  EXPECT_EQ(rows[1].at("ASIG1"), "FQ");
  EXPECT_EQ(rows[1].at("ASIG2"), "");
  for (size_t row : {2u, 3u}) {
    for (int n = 1; n <= 50; ++n) {
      EXPECT_EQ(rows[row].at("ASIG" + std::to_string(n)), "");
    }
  }
}

TEST_F(ExportStudentsTest, MoreThanFiftySubjectsFailOnTheMissingField) {
  WriteSource("alumnos", kAlumnos,
              {{"A0", "PRIMER", "1ESOA", "1ESO", "0"},
               {"A1", "MASSA", "1ESOA", "1ESO", "0"}});
  std::vector<Row> subjects = {{"A0", "1ESO01"}};
  for (int i = 0; i < 51; ++i) subjects.push_back({"A1", "1ESO02"});
  WriteSource("asigalum", kAsigalum, subjects);
  try {
    ExportStudents(context_);
    FAIL() << "no error";
  } catch (const tables::TableError& error) {
    EXPECT_STREQ(error.what(), "No se encuentra el campo 'ASIG51'");
  }
  EXPECT_EQ(Values("ALUMNOST", "EXPED"), Strings{"A0"});
  for (tables::Table* component :
       {&context_.wwTableAlumnos, &context_.wwTableAsigAlum,
        &context_.wwTableGrupos}) {
    EXPECT_FALSE(component->Active()) << component->Name();
  }
}

TEST_F(ExportStudentsTest, ExactlyFiftySubjectsFit) {
  WriteSource("alumnos", kAlumnos, {{"A1", "PLE", "1ESOA", "1ESO", "0"}});
  WriteSource("asigalum", kAsigalum, std::vector<Row>(50, {"A1", "1ESO04"}));
  ExportStudents(context_);
  EXPECT_EQ(Values("ALUMNOST", "ASIG50"), Strings{"FQ"});
}

TEST_F(ExportStudentsTest, MissingAsigvaltEndsTheStep) {
  std::filesystem::remove(drive_.path() / "QTEMP" / "ASIGVALT.DBF");
  WriteSource("alumnos", kAlumnos, {});
  WriteSource("asigalum", kAsigalum, {});
  EXPECT_THROW(ExportStudents(context_), tables::TableError);
  EXPECT_TRUE(ReadTable("ALUMNOST").empty());
}

}  // namespace
}  // namespace exporting
