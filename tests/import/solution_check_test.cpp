// A damaged solution stops the import before anything is emptied, and an
// intact one without lessons still empties the centre's timetables.
#include "import/solution_check.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <functional>

#include "import/import_fixture.h"
#include "import/import_messages.h"
#include "import/import_run.h"

namespace import_testing {
namespace {

namespace fs = std::filesystem;

const Row kLesson = {"1", "2", "*12", "GLJ", "ESO", "1", "MAT", "1ESOA", "12"};
const Row kOldRow = {"1", "1", "08:00", "08:55", "AA", kCentre, "5"};

void PutLittle(std::string& bytes, size_t at, uint32_t value, int width) {
  for (int i = 0; i < width; ++i)
    bytes[at + i] = static_cast<char>(value >> 8 * i);
}

class SolutionCheckTest : public ImportFixture {
 protected:
  // The inputs with an old lesson of the centre in GC's horprof, so that a
  // run that empties it shows.
  void WriteInputsWithOldTimetable(const std::vector<Row>& soluc) {
    WriteInputs(soluc);
    WriteTable("GC/horprof.dbf", kHorprof, {kOldRow});
    horprof_ = drive_.Read("GC/horprof.dbf");
    horgrup_ = drive_.Read("GC/horgrup.dbf");
  }
  // Runs the import and expects it to stop with `text`, GC unchanged and the
  // working copy's timetables not emptied.
  void ExpectRefused(const std::string& text) {
    try {
      importing::ImportTimetables(context_);
      ADD_FAILURE() << "the import ran";
    } catch (const importing::SolutionError& error) {
      EXPECT_EQ(std::string(error.what()), text);
    }
    EXPECT_EQ(drive_.Read("GC/horprof.dbf"), horprof_);
    EXPECT_EQ(drive_.Read("GC/horgrup.dbf"), horgrup_);
    EXPECT_EQ(drive_.Read("QTEMP/VALENCIA/horprof.dbf"), horprof_);
    EXPECT_FALSE(fs::exists(drive_.path() / "QTEMP" / "COPIAS"));
  }

  std::string horprof_, horgrup_;
};

TEST_F(SolutionCheckTest, ADamagedFileChangesNothing) {
  const std::string damaged = "El archivo SOLUC.DBF de C:\\QTEMP está dañado: ";
  const std::string advice =
      ".\nVuelva a guardar la solución en Quendrix y repita la importación";
  const size_t header = 32 + 32 * kSoluc.size() + 1;                 // 321
  const size_t record = 1 + 2 + 2 + 10 + 10 + 5 + 3 + 10 + 10 + 10;  // 63
  struct Case {
    const char* name;
    std::function<void(std::string&)> damage;
    std::string detail;
  };
  const Case cases[] = {
      {"cut to half its rows",
       [&](std::string& b) { b.resize(header + 2 * record); },
       "su cabecera dice 4 filas y el archivo contiene 2"},
      {"a row more than the header says",
       [&](std::string& b) { PutLittle(b, 4, 3, 4); },
       "su cabecera dice 3 filas y el archivo contiene 4"},
      {"header length 65535", [](std::string& b) { PutLittle(b, 8, 65535, 2); },
       "su cabecera dice ocupar 65535 bytes y el archivo tiene " +
           std::to_string(header + 4 * record + 1)},
      {"header length 0", [](std::string& b) { PutLittle(b, 8, 0, 2); },
       "su cabecera dice ocupar 0 bytes y el archivo tiene " +
           std::to_string(header + 4 * record + 1)},
      {"record length 0", [](std::string& b) { PutLittle(b, 10, 0, 2); },
       "su cabecera da filas de 0 bytes"},
      {"shorter than a header", [](std::string& b) { b.resize(20); },
       "tiene 20 bytes, menos que una cabecera"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteInputsWithOldTimetable({kLesson, kLesson, kLesson, kLesson});
    std::string bytes = drive_.Read("QTEMP/SOLUC.DBF");
    c.damage(bytes);
    drive_.Write("QTEMP/SOLUC.DBF", bytes);
    ExpectRefused(damaged + c.detail + advice);
  }
}

#ifndef _WIN32
TEST_F(SolutionCheckTest, AFifoFailsAtOnce) {
  ::alarm(20);  // a hang fails the test instead of stopping the suite
  WriteInputsWithOldTimetable({kLesson});
  fs::remove(Native("QTEMP/SOLUC.DBF"));
  ASSERT_EQ(::mkfifo(Native("QTEMP/SOLUC.DBF").c_str(), 0644), 0);
  ExpectRefused(
      "El archivo SOLUC.DBF de C:\\QTEMP está dañado: no es un archivo "
      "normal.\nVuelva a guardar la solución en Quendrix y repita la "
      "importación");
  ::alarm(0);
}
#endif

TEST_F(SolutionCheckTest, ARowTheTransferCannotReadNamesItsFieldAndRow) {
  struct Case {
    std::vector<Row> rows;
    std::vector<Column> columns;
    std::string text;
  };
  std::vector<Column> without_aula(kSoluc.begin(), kSoluc.end() - 1);
  const Row duty = {"2", "3", "*GUA", "PA", "", "", "", ""};
  const Case cases[] = {
      {{kLesson, {"x1", "2", "*12", "GLJ", "ESO", "1", "MAT", "1ESOA", "12"}},
       kSoluc,
       "'x1' no es un valor punto flotante válido\nC:\\QTEMP\\SOLUC.DBF, fila "
       "2, "
       "campo DIA"},
      {{kLesson,
        kLesson,
        {"1", "2b", "*12", "GLJ", "ESO", "1", "MAT", "A", ""}},
       kSoluc,
       "'2b' no es un valor punto flotante válido\nC:\\QTEMP\\SOLUC.DBF, fila "
       "3, "
       "campo HORA"},
      // The engine reads a number column as a number first, hence its text.
      // A duty needs no room; the first group lesson does.
      {{duty, {"1", "2", "*12", "GLJ", "ESO", "1", "MAT", "1ESOA"}},
       without_aula,
       "wwTableSoluc: No se encuentra el campo 'AULA'\nC:\\QTEMP\\SOLUC.DBF, "
       "fila 2, campo AULA"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    WriteInputsWithOldTimetable({});
    WriteTable("QTEMP/SOLUC.DBF", c.columns, c.rows);
    ExpectRefused(c.text);
  }
}

TEST_F(SolutionCheckTest, RowsTheTransferPassesOverAreNotRead) {
  // DIA 0: nothing else of the row is read, so its HORA may be anything.
  WriteInputs({{"0", "zz", "", "", "", "", "", "", ""}, kLesson});
  const importing::ImportResult result = importing::ImportTimetables(context_);
  EXPECT_EQ(result.lessons, 1);
  EXPECT_EQ(result.group_rows, 1);
  EXPECT_EQ(ui_.Messages().back(), importing::kProcessFinished);
}

TEST_F(SolutionCheckTest, AnIntactSolutionWithoutLessonsEmptiesTheCentre) {
  for (const std::vector<Row>& soluc :
       {std::vector<Row>{},
        std::vector<Row>{{"0", "1", "", "", "", "", "", "", ""}}}) {
    WriteInputsWithOldTimetable(soluc);
    testing_support::ScriptedUi ui;
    shell::TransferContext context(&ui);
    context.centre_code = kCentre;
    const importing::ImportResult result = importing::ImportTimetables(context);
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.lessons, 0);
    EXPECT_EQ(ui.Messages().back(),
              std::string("Proceso finalizado\nNo se ha importado ninguna "
                          "clase: SOLUC.DBF no tiene ninguna, y los horarios "
                          "han quedado sin clases de este centro."));
    EXPECT_TRUE(ReadRows("C:\\GC\\horprof.dbf").empty());
    fs::remove_all(drive_.path() / "QTEMP" / "COPIAS");
  }
}

}  // namespace
}  // namespace import_testing
