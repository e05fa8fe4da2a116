#include "export/export_report.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "export/export_fixture.h"
#include "export/export_gaps.h"
#include "export/export_run.h"
#include "shell/report_page.h"
#include "tables/table_error.h"

namespace exporting {
namespace {

using export_testing::kAlumnos;
using export_testing::kAsigalum;
using export_testing::kAsignat;
using export_testing::kAulas;
using export_testing::kGrupos;
using export_testing::kHorgrup;
using export_testing::kOcupa;
using export_testing::kProfesor;

class ExportReportTest : public export_testing::ExportFixture {
 protected:
  // A school with one case of every kind the report knows.
  void WriteSchoolWithGaps() {
    WriteSource("asignat", kAsignat,
                {{"1ESO01", "MAT", "Matemàtiques", "Matemáticas", "4"},
                 {"1ESO02", "MAT", "Mates de reforç", "Refuerzo", ""},
                 {"2BAT09", "LITERATURAS", "Literatura", "Literatura", "123"},
                 {"2BAT10", "HIS", "Història", "Historia", "30"}});
    WriteSource("OCUPA", kOcupa, {{"GUA", "Guàrdia", "Guardia"}});
    WriteSource("profesor", kProfesor,
                {{"20240101", "BAJA PEPE", "555", "MAT"},
                 {"", "GIL ANA", "101", "MAT"},
                 {"", "GIL ANTONIO", "0", "MAT"}});
    WriteSource("aulas", kAulas, {{"101", "Aula 101"}, {"LAB", "Laboratori"}});
    WriteSource("grupos", kGrupos,
                {{"1ESOA", "M", "1r A", "101"},
                 {"1ESOA", "M", "1r A repetit", "101"},
                 {"X", "M", "curt", ""},
                 {"2BATB", "M", "2n B", "999"}});
    WriteSource("alumnos", kAlumnos,
                {{"1", "ROIG PAU", "1ESOA", "1ESO", "0"},
                 {"2", "SENSE GRUP", "A", "", ""},
                 {"3", "ALTRE LLOC", "3ESOZ", "3ESO", "0"}});
    WriteSource("asigalum", kAsigalum,
                {{"1", "1ESO01"}, {"1", "9ZZZ99"}, {"1", "2BAT09"}});
    WriteSource("horgrup", kHorgrup,
                {{"1ESOA", "1ESO01", "101"},
                 {"9XXXA", "1ESO01", "101"},
                 {"1ESOA", "NOPE", "101"},
                 {"1ESOA", "1ESO01", "777"},
                 {"2BATB", "2BAT10", "101"}});
  }

  std::string Page() {
    std::ifstream file(drive_.path() / "QTEMP" / "INFORME_EXPORTACION.html");
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }

  std::string TableBytes(const std::string& name) {
    std::ifstream file(drive_.path() / "QTEMP" / name, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
  }
};

// Every gap of the school is noted under its kind, by name, with what the
// run did, and the page shows it.
TEST_F(ExportReportTest, ListsEachGapByName) {
  WriteSchoolWithGaps();
  ExportSchoolData(context_);
  const struct {
    Gap kind;
    std::string who;
    std::string what;
  } kExpected[] = {
      {kHoursGuessed, "1ESO02", "sin horas semanales: NHORAS 1"},
      {kHoursGuessed, "2BAT09", "«123», solo se leen sus dos primeros"},
      {kSubjectSharesCode, "1ESO02 Mates de reforç", "COD «MAT»"},
      {kTextCut, "2BAT09", "ASIGVALT.COD cortado a 10 caracteres"},
      {kTeacherLeft, "BAJA PEPE (D.N.I. 555)", "no exportado"},
      {kTeacherWithoutDni, "GIL ANTONIO (D.N.I. 0)", "DNI 0"},
      {kTeacherRenumbered, "GIL ANTONIO", "«GA» pasa a «GA2»"},
      {kRoomNotReturned, "LAB Laboratori", "no llevará esta aula"},
      {kStudentWithoutGroup, "2 SENSE GRUP", "grupo «A»: no exportado"},
      {kStudentWithoutTurn, "3 ALTRE LLOC", "TURNO vacío"},
      {kStudentSubjectMissing, "1", "asignatura «9ZZZ99» omitida"},
      {kSubjectCodeCut, "LITERATURA", "ASIGn lleva «LITE»"},
      {kGroupTooShort, "X (curt)", "no exportado"},
      {kGroupRepeated, "1ESOA (1r A repetit)", "igual a un grupo anterior"},
      {kGroupWithoutTutor, "2BATB (2n B)", "D.N.I. «999» no es de ningún"},
      {kLessonGroupUnknown, "9XXXA", "no exportada"},
      {kLessonSubjectUnknown, "asignatura «NOPE»", "CASIG vacío"},
      {kLessonTeacherUnknown, "D.N.I. 777", "CPROF vacío"},
      {kSessionsGuessed, "CASIG «HIS», CPROF «GA», CGRUP «2BATB»",
       "SESIONES cortado a 20"},
  };
  const std::vector<shell::RunCase>& cases = context_.report.cases();
  const std::string page = Page();
  for (const auto& expected : kExpected) {
    bool found = false;
    for (const shell::RunCase& one : cases) {
      found |= one.kind == expected.kind && one.who == expected.who &&
               one.what.find(expected.what) != std::string::npos;
    }
    EXPECT_TRUE(found) << expected.who << " / " << expected.what;
    EXPECT_NE(page.find(shell::HtmlEscape(expected.who)), std::string::npos)
        << expected.who;
  }
  EXPECT_EQ(page.find("INCOMPLETO"), std::string::npos);
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.find("src="), std::string::npos);
  // The rows written, as the tables hold them.
  EXPECT_EQ(context_.report.table_rows[2],
            (std::pair<std::string, int64_t>{"PROFT", 2}));
  EXPECT_EQ(context_.report.table_rows[4],
            (std::pair<std::string, int64_t>{"ALUMNOST", 2}));
}

TEST_F(ExportReportTest, CleanSchoolSaysNoCasesOncePerSection) {
  WriteSource("asignat", kAsignat, {{"1ESO01", "MAT", "Mat", "Mat", "4"}});
  WriteSource("OCUPA", kOcupa, {});
  WriteSource("profesor", kProfesor, {{"", "GIL ANA", "101", "MAT"}});
  WriteSource("aulas", kAulas, {{"101", "Aula"}});
  WriteSource("grupos", kGrupos, {{"1ESOA", "M", "1r A", "101"}});
  WriteSource("alumnos", kAlumnos, {{"1", "ROIG PAU", "1ESOA", "1ESO", "0"}});
  WriteSource("asigalum", kAsigalum, {{"1", "1ESO01"}});
  WriteSource("horgrup", kHorgrup, {{"1ESOA", "1ESO01", "101"}});
  ExportSchoolData(context_);
  EXPECT_TRUE(context_.report.cases().empty());
  const std::string page = Page();
  size_t sections = 0;
  for (size_t at = 0; (at = page.find("Ningún caso.", at)) != std::string::npos;
       ++at) {
    ++sections;
  }
  EXPECT_EQ(sections, 18u);
}

// A run that fails leaves the report of what it did, marked incomplete; the
// tables of the steps that never began are not counted.
TEST_F(ExportReportTest, FailedRunLeavesAnIncompleteReport) {
  WriteSchoolWithGaps();
  std::filesystem::remove(drive_.path() / "QTEMP" / "VALENCIA" / "alumnos.dbf");
  EXPECT_THROW(ExportSchoolData(context_), tables::TableError);
  const std::string page = Page();
  EXPECT_NE(page.find("INCOMPLETO"), std::string::npos);
  EXPECT_NE(page.find("BAJA PEPE"), std::string::npos);  // step 2 noted it
  const auto& rows = context_.report.table_rows;
  ASSERT_EQ(rows.size(), 9u);
  EXPECT_EQ(rows[3], (std::pair<std::string, int64_t>{"AULAT", 2}));
  EXPECT_EQ(rows[4].second, 0);  // ALUMNOST created, no row stored
  EXPECT_EQ(rows[5], (std::pair<std::string, int64_t>{"ASIGCURT", -1}));
  EXPECT_EQ(rows[8], (std::pair<std::string, int64_t>{"ASIGT", -1}));
}

// Gathering the cases changes no byte of the intermediate tables.
TEST_F(ExportReportTest, TablesAreTheSameWithAndWithoutTheReport) {
  WriteSchoolWithGaps();
  const char* kFiles[] = {"ASIGVALT.DBF", "ASIGVALT.MDX", "ASIGNOMT.DBF",
                          "PROFT.DBF",    "AULAT.DBF",    "ALUMNOST.DBF",
                          "ASIGCURT.DBF", "GRUPOST.DBF",  "CURSOST.DBF",
                          "ASIGT.DBF"};
  std::vector<std::string> with;
  ExportSchoolData(context_);
  for (const char* file : kFiles) with.push_back(TableBytes(file));
  testing_support::ScriptedUi ui;
  shell::TransferContext bare(&ui);
  bare.report.SetGathering(false);
  std::filesystem::remove(drive_.path() / "QTEMP" / "INFORME_EXPORTACION.html");
  ExportSchoolData(bare);
  for (size_t i = 0; i < std::size(kFiles); ++i)
    EXPECT_EQ(TableBytes(kFiles[i]), with[i]) << kFiles[i];
  EXPECT_FALSE(std::filesystem::exists(drive_.path() / "QTEMP" /
                                       "INFORME_EXPORTACION.html"));
}

}  // namespace
}  // namespace exporting
