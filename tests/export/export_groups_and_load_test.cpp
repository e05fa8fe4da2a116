#include <gtest/gtest.h>

#include "export/export_fixture.h"
#include "export/export_run.h"
#include "tables/table_error.h"

namespace exporting {
namespace {

using export_testing::kAsignat;
using export_testing::kGrupos;
using export_testing::kHorgrup;
using export_testing::kOcupa;
using export_testing::kProfesor;
using export_testing::Row;
using Strings = std::vector<std::string>;

class ExportCourseSubjectHoursTest : public export_testing::ExportFixture {};

TEST_F(ExportCourseSubjectHoursTest, OneRowPerSubjectInCodvalenOrder) {
  WriteSource("asignat", kAsignat,
              {{"2ESO01", "MAT", "", "", "4"},
               {"1BAT01", "MAT", "", "", "3"},
               {"1ESO01", "FQ", "", "", ".5"},
               {"1BAT01", "FIL", "", "", "2"}});
  WriteSource("OCUPA", kOcupa, {});
  ExportSubjects(context_);
  ExportCourseSubjectHours(context_);
  EXPECT_EQ(Layout("ASIGCURT"),
            (Strings{"NIVEL C5", "CURSO C3", "ASIG C10", "HORAS"}));
  EXPECT_EQ(Values("ASIGCURT", "ASIG"), (Strings{"MAT", "FIL", "FQ", "MAT"}));
  EXPECT_EQ(Values("ASIGCURT", "NIVEL"), (Strings{"BAT", "BAT", "ESO", "ESO"}));
  EXPECT_EQ(Values("ASIGCURT", "CURSO"), (Strings{"1", "1", "1", "2"}));
  EXPECT_EQ(Values("ASIGCURT", "HORAS"), (Strings{"3", "2", "0.5", "4"}));
  ExportCourseSubjectHours(context_);
  EXPECT_EQ(ReadTable("ASIGCURT").size(), 4u);
}

class ExportGroupsTest : public export_testing::ExportFixture {
 protected:
  void SetUp() override {
    ExportFixture::SetUp();
    WriteSource("profesor", kProfesor,
                {{"", "GARCIA LOPEZ, JUAN", "101", ""},
                 {"", "GIL LLOPIS, JOAN", "102", ""},
                 {"", "SENSE DNI", "0", ""},
                 {"", "REPETIT", "102", ""}});
    ExportTeachers(context_);
  }
};

TEST_F(ExportGroupsTest, DistinctGroupsAndCoursesFromTheirFirstRow) {
  WriteSource("grupos", kGrupos,
              {{"1ESOA", "M", "1r ESO A", "101"},
               {"1ESOB", "M", "1r ESO B", " 102 "},
               {"1ESOA", "M", "Repetit", "101"},
               {"1ESOA", "T", "Tarda", "abc"},
               {"2BATA", "", "", ""},
               {"1", "M", "Curt", "101"},
               {"", "M", "Buit", "101"},
               {"1CFMA-LLARG", "T", std::string(90, 'n'), "999"}});
  ExportGroupsAndCourses(context_);
  EXPECT_EQ(Layout("GRUPOST"),
            (Strings{"ABREV C10", "TURNO C1", "NIVEL C5", "CURSO C3",
                     "GRUPO C2", "DESCRIP C80", "TUTOR C10"}));
  EXPECT_EQ(Layout("CURSOST"),
            (Strings{"ABREV C3", "TURNO C1", "NIVEL C5", "CURSO C3"}));
  EXPECT_EQ(Values("GRUPOST", "ABREV"),
            (Strings{"1ESOA", "1ESOB", "1ESOA", "2BATA", "1CFMA-LLAR"}));
  EXPECT_EQ(Values("GRUPOST", "TURNO"), (Strings{"M", "M", "T", "", "T"}));
  EXPECT_EQ(Values("GRUPOST", "GRUPO"), (Strings{"A", "B", "A", "A", "G"}));
  EXPECT_EQ(Values("GRUPOST", "NIVEL")[4], "CFM");
  const Strings descriptions = Values("GRUPOST", "DESCRIP");
  EXPECT_EQ(descriptions[0], "M ESO 1 A (1r ESO A)");
  EXPECT_EQ(descriptions[3], " BAT 2 A ()");
  EXPECT_EQ(descriptions[4],
            ("T CFM 1 G (" + std::string(90, 'n')).substr(0, 80));
  // A trimmed whole number finds the first teacher with it; text that is no
  // whole number, or a number no teacher has, finds none.
  EXPECT_EQ(Values("GRUPOST", "TUTOR"), (Strings{"GLJ", "GLJ2", "", "", ""}));

  EXPECT_EQ(Values("CURSOST", "ABREV"), (Strings{"ME1", "TE1", "B2", "TC1"}));
  EXPECT_EQ(Values("CURSOST", "TURNO"), (Strings{"M", "T", "", "T"}));
  EXPECT_EQ(Values("CURSOST", "NIVEL"), (Strings{"ESO", "ESO", "BAT", "CFM"}));
  EXPECT_EQ(Values("CURSOST", "CURSO"), (Strings{"1", "1", "2", "1"}));
}

TEST_F(ExportGroupsTest, TutorWhoseNumberIsZero) {
  WriteSource("grupos", kGrupos,
              {{"1ESOA", "M", "", "0"}, {"1ESOB", "M", "", ""}});
  ExportGroupsAndCourses(context_);
  EXPECT_EQ(Values("GRUPOST", "TUTOR"), (Strings{"SD", ""}));
}

TEST_F(ExportGroupsTest, TurnLongerThanItsFieldIsNotMatchedAgain) {
  // The row holds "M" but the search compares it with "MA": a walk over the
  // rows would not find it either, so each such group adds a row.
  WriteSource("grupos", kGrupos,
              {{"1ESOA", "MA", "", ""}, {"1ESOA", "MA", "", ""}});
  ExportGroupsAndCourses(context_);
  EXPECT_EQ(Values("GRUPOST", "TURNO"), (Strings{"M", "M"}));
  EXPECT_EQ(Values("CURSOST", "ABREV"), (Strings{"MAE", "MAE"}));
}

class ExportTeachingLoadTest : public export_testing::ExportFixture {
 protected:
  void SetUp() override {
    ExportFixture::SetUp();
    // ASIGVALT is read in stored order here, so it can be written directly,
    // with hours that asignat's two characters could not give.
    WriteExchange(
        "ASIGVALT",
        {{"COD", 'C', 10}, {"CODVALEN", 'C', 10}, {"NHORAS", 'N', 6, 2}},
        {{"MAT", "1ESO01", "3.00"},
         {"VAL", "1ESO02", "2.50"},
         {"FQ", "1ESO03", "3.50"},
         {"EF", "1ESO04", "0.40"},
         {"LLARG", "1ESO05", "25.00"},
         {"DUP", "1ESO01", "9.00"}});
    WriteSource("profesor", kProfesor,
                {{"", "GARCIA LOPEZ, JUAN", "101", ""},
                 {"", "PEREZ ANA", "102", ""},
                 {"", "SENSE DNI", "", ""}});
    ExportTeachers(context_);
    WriteSource("grupos", kGrupos,
                {{"1ESOA", "M", "", ""},
                 {"1ESOB", "M", "", ""},
                 {" 1ESOC", "M", "", ""}});
    ExportGroupsAndCourses(context_);
  }
};

TEST_F(ExportTeachingLoadTest, OneRowPerSubjectTeacherAndGroup) {
  WriteSource("horgrup", kHorgrup,
              {{"1ESOA", "1ESO01", "101"},
               {"1ESOA", "1ESO01", "101"},
               {"1ESOA", " 1ESO01 ", "101"},
               {"1ESOA", "1ESO01", "101"},
               {"1ESOA", "1ESO01", "102"},  // the same subject, another teacher
               {"1ESOB", "1ESO01", "101"},  // the same teacher, another group
               {"2BATA", "1ESO01", "101"},  // not in GRUPOST
               {"1ESOA", "1ESO02", "101"},
               {"1ESOA", "1ESO03", "101"},
               {"1ESOA", "1ESO04", "101"},
               {"1ESOA", "1ESO05", "101"},
               {"1ESOA", "9ESO99", "101"},  // not in ASIGVALT
               {"1ESOA", "8ESO88", "101"},  // collapses with the one above
               {"1ESOA", "1ESO02", "555"},  // teacher not in PROFT
               {"1ESOA", "1ESO02", "0"},    // the teacher whose DNI is 0
               {" 1ESOC", "1ESO02", "101"}});
  ExportTeachingLoad(context_);
  EXPECT_EQ(Layout("ASIGT"),
            (Strings{"CASIG C10", "CPROF C10", "CGRUP C10", "CAULA C10",
                     "TURNO C1", "NIVEL C5", "CURSO C3", "GRUPO C2", "HORAS",
                     "SESIONES C20", "NCONEX C4", "CTAREA C10"}));
  EXPECT_EQ(Values("ASIGT", "CASIG"),
            (Strings{"MAT", "MAT", "MAT", "VAL", "FQ", "EF", "LLARG", "", "VAL",
                     "VAL", "VAL"}));
  EXPECT_EQ(Values("ASIGT", "CPROF"),
            (Strings{"GLJ", "PA", "GLJ", "GLJ", "GLJ", "GLJ", "GLJ", "GLJ", "",
                     "SD", "GLJ"}));
  EXPECT_EQ(Values("ASIGT", "CGRUP"),
            (Strings{"1ESOA", "1ESOA", "1ESOB", "1ESOA", "1ESOA", "1ESOA",
                     "1ESOA", "1ESOA", "1ESOA", "1ESOA", "1ESOC"}));
  EXPECT_EQ(Values("ASIGT", "HORAS"),
            (Strings{"3", "3", "3", "2.5", "3.5", "0.4", "25", "1", "2.5",
                     "2.5", "2.5"}));
  EXPECT_EQ(Values("ASIGT", "SESIONES"),
            (Strings{"111", "111", "111", "11", "1111", "",
                     std::string(20, '1'), "1", "11", "11", "11"}));
  // Level, course and letter come from the code as read, not trimmed.
  EXPECT_EQ(Values("ASIGT", "CURSO").back(), "");
  EXPECT_EQ(Values("ASIGT", "NIVEL").back(), "1ES");
  EXPECT_EQ(Values("ASIGT", "GRUPO").back(), "C");
  EXPECT_EQ(Values("ASIGT", "TURNO"), Strings(11, ""));
  EXPECT_EQ(Values("ASIGT", "CAULA"), Strings(11, ""));
  EXPECT_EQ(Values("ASIGT", "NCONEX"), Strings(11, ""));
  EXPECT_EQ(Values("ASIGT", "CTAREA"), Strings(11, "*12"));
}

TEST_F(ExportTeachingLoadTest, BadTeacherNumberEndsTheStep) {
  WriteSource("horgrup", kHorgrup,
              {{"1ESOA", "1ESO01", "101"},
               {"2BATA", "1ESO01", "X"},
               {"1ESOA", "1ESO01", "X"}});
  EXPECT_THROW(ExportTeachingLoad(context_), tables::TableError);
  EXPECT_EQ(Values("ASIGT", "CASIG"), Strings{"MAT"});
  EXPECT_FALSE(context_.wwTableHorGrup.Active());
}

}  // namespace
}  // namespace exporting
