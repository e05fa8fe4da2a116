#include "import/week_page.h"

#include <gtest/gtest.h>

#include "import/import_fixture.h"
#include "import/import_run.h"

namespace import_testing {
namespace {

class WeekPageTest : public ImportFixture {};

// Each thing the import finds in the solution is listed with its row of
// SOLUC, and the weeks show every group and teacher.
TEST_F(WeekPageTest, ListsWhatTheSolutionHeldAndTheWeeks) {
  WriteInputs({
      {"1", "2", "*12", "GLJ", "ESO", "1", "MAT", "1ESOA", "12"},
      {"0", "1", "*12", "GLJ", "ESO", "1", "MAT", "1ESOA", "12"},
      {"2", "1", "*12", "XYZ", "ESO", "1", "MAT", "1ESOA", "12"},
      {"3", "1", "*12", "PA", "ESO", "1", "FIS", "1ESOA", "12"},
      {"6", "1", "*12", "PA", "ESO", "1", "VAL", "1ESOA", "12"},
      {"4", "21", "*12", "PA", "ESO", "1", "VAL", "1ESOA", "12"},
      {"5", "1", "*12", "PA", "ESO", "1", "VAL", "1ESOA", "LAB"},
      {"5", "8", "*12", "PA", "ESO", "1", "VAL", "1ESOA", "1234"},
      {"2", "3", "*GUA", "PA", "", "", "", "", ""},
  });
  importing::ImportTimetables(context_);
  const struct {
    importing::ImportCase kind;
    int64_t row;
    std::string who;
  } kExpected[] = {
      {importing::kDayZero, 2, "Fila 2"},
      {importing::kTeacherNotInProft, 3, "Profesor «XYZ»"},
      {importing::kSubjectNotInAsigvalt, 4, "Asignatura «FIS» de 1 ESO"},
      {importing::kDayOutsideWeek, 5, "DIA 6"},
      {importing::kPeriodOutside, 6, "HORA 21"},
      {importing::kRoomUnusable, 7, "Aula «LAB»"},
      {importing::kRoomUnusable, 8, "Aula «1234»"},
      {importing::kPeriodWithoutTimes, 8, "Hora 8"},
  };
  const auto& cases = context_.report.cases();
  EXPECT_EQ(cases.size(), std::size(kExpected));
  for (const auto& expected : kExpected) {
    bool found = false;
    for (const shell::RunCase& one : cases)
      found |= one.kind == expected.kind && one.row == expected.row &&
               one.who == expected.who;
    EXPECT_TRUE(found) << expected.who;
  }
  const std::string page = drive_.Read("QTEMP/HORARIOS.html");
  for (const char* text :
       {"Grupo 1ESOA", "Profesor GLJ — GARCIA LOPEZ, JUAN",
        "Profesor XYZ (no está en PROFT)", "Profesor PA — PEREZ ANA",
        "<b>GUA</b>", "<b>MAT</b> <span>GLJ · 12</span>", "09:00", "Aula «LAB»",
        "horprof 8, horgrup 7"}) {
    EXPECT_NE(page.find(text), std::string::npos) << text;
  }
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(context_.report.table_rows,
            (std::vector<std::pair<std::string, int64_t>>{{"horprof", 8},
                                                          {"horgrup", 7}}));
}

// The groups' headings carry their descriptions from the last export's
// GRUPOST, read on the run's drive C like every other table.
TEST_F(WeekPageTest, GroupHeadingsCarryTheExportedDescriptions) {
  WriteInputs({{"1", "2", "*12", "GLJ", "ESO", "1", "MAT", "1ESOA", "12"}});
  WriteTable("QTEMP/GRUPOST.DBF", {{"ABREV", 'C', 10}, {"DESCRIP", 'C', 60}},
             {{"1ESOA", "1r ESO A"}});
  importing::ImportTimetables(context_);
  const std::string page = drive_.Read("QTEMP/HORARIOS.html");
  EXPECT_NE(page.find("Grupo 1ESOA — 1r ESO A"), std::string::npos);
}

// Off, the run gathers nothing and leaves no page; the timetables are the
// same bytes either way.
TEST_F(WeekPageTest, TimetablesAreTheSameWithoutThePage) {
  const std::vector<Row> soluc = {
      {"1", "2", "*12", "GLJ", "ESO", "1", "MAT", "1ESOA", "12"},
      {"2", "3", "*GUA", "PA", "", "", "", "", ""}};
  WriteInputs(soluc);
  importing::ImportTimetables(context_);
  const std::string horgrup = drive_.Read("GC/horgrup.dbf");
  const std::string horprof = drive_.Read("GC/horprof.dbf");
  std::filesystem::remove(Native("QTEMP/HORARIOS.html"));
  WriteInputs(soluc);
  testing_support::ScriptedUi ui;
  shell::TransferContext bare(&ui);
  bare.centre_code = kCentre;
  bare.report.SetGathering(false);
  importing::ImportTimetables(bare);
  EXPECT_EQ(drive_.Read("GC/horgrup.dbf"), horgrup);
  EXPECT_EQ(drive_.Read("GC/horprof.dbf"), horprof);
  EXPECT_FALSE(std::filesystem::exists(Native("QTEMP/HORARIOS.html")));
}

}  // namespace
}  // namespace import_testing
