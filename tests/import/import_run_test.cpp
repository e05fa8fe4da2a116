#include "import/import_run.h"

#include <filesystem>

#include "import/import_fixture.h"
#include "import/import_messages.h"
#include "import/period_times.h"
#include "support/faulty_file_system.h"
#include "tables/table_error.h"

namespace import_testing {
namespace {

namespace fs = std::filesystem;
using Call = testing_support::ScriptedUi::Call;

const Row kLesson = {"1", "2", "*12", "GLJ", "ESO", "1", "MAT", "1ESOA", "12"};
const Row kDuty = {"2", "3", "*GUA", "PA", "", "", "", "", ""};

// Sets a field of the rows of a table for which `match` holds, as a person
// typing into a control window would.
void EditRows(const std::string& path, const std::string& key,
              const std::string& key_value, const std::string& field,
              const std::string& value) {
  tables::Table table(testing_support::DriveC());
  table.SetTableName(path);
  table.Open();
  for (table.First(); !table.Eof(); table.Next()) {
    if (table.FieldByName(key).AsString() != key_value) continue;
    table.Edit();
    table.FieldByName(field).SetAsString(value);
    table.Post();
  }
}

class ImportRunTest : public ImportFixture {
 protected:
  std::string AdminBytes(const std::string& name) {
    return drive_.Read("GC/" + name);
  }
  std::vector<fs::path> Backups() {
    std::vector<fs::path> folders;
    const fs::path root = drive_.path() / "QTEMP" / "COPIAS";
    if (!fs::exists(root)) return folders;
    for (const auto& entry : fs::directory_iterator(root)) {
      folders.push_back(entry.path());
    }
    return folders;
  }
};

TEST_F(ImportRunTest, WithoutSolutionNothingChanges) {
  WriteInputs({kLesson});
  fs::remove(Native("QTEMP/SOLUC.DBF"));
  const std::string horgrup = AdminBytes("horgrup.dbf");
  for (const int embedded : {0, 2}) {
    testing_support::ScriptedUi ui;
    shell::TransferContext context(&ui);
    context.embedded_mode = embedded;
    context.transformed = 1;
    importing::ImportTimetables(context);
    EXPECT_EQ(ui.Messages(),
              (std::vector<std::string>{importing::kDurationWarning,
                                        importing::kSolutionMissing}));
    EXPECT_FALSE(ui.busy());
    EXPECT_TRUE(ui.buttons_enabled());
    EXPECT_EQ(ui.closed(), embedded == 2);
    EXPECT_EQ(context.transformed, embedded == 2 ? 0 : 1);
  }
  EXPECT_EQ(AdminBytes("horgrup.dbf"), horgrup);
  EXPECT_FALSE(fs::exists(Native("QTEMP/VALENCIA/horprof.dbf")));
}

TEST_F(ImportRunTest, ACompleteRunReplacesTheAdministrationTimetables) {
  WriteInputs({kLesson, kDuty});
  const std::string old_horgrup = AdminBytes("horgrup.dbf");
  const std::string old_horprof = AdminBytes("horprof.dbf");
  importing::ImportTimetables(context_);

  EXPECT_EQ(ui_.Messages(),
            (std::vector<std::string>{importing::kDurationWarning,
                                      importing::kProcessFinished}));
  EXPECT_EQ(ui_.Count("teachers"), 0);  // every teacher had a DNI
  EXPECT_EQ(ui_.Count("periods"), 1);
  EXPECT_FALSE(ui_.busy());
  EXPECT_FALSE(ui_.buttons_enabled());
  EXPECT_FALSE(ui_.closed());
  EXPECT_EQ(context_.transformed, 1);

  const auto horprof = ReadRows("C:\\GC\\horprof.dbf");
  ASSERT_EQ(horprof.size(), 2u);
  EXPECT_EQ(horprof[0],
            (Values{"1", "2", "09:00", "09:55", "12", kCentre, "11111111"}));
  EXPECT_EQ(horprof[1],
            (Values{"2", "3", "10:00", "10:55", "GUA", kCentre, "22222222"}));
  const auto horgrup = ReadRows("C:\\GC\\horgrup.dbf");
  ASSERT_EQ(horgrup.size(), 1u);
  EXPECT_EQ(horgrup[0], (Values{"1", "2", "09:00", "09:55", kCentre, "11111111",
                                "1ESOA", "1ESO01", "12"}));
  // The working copy holds the same files; the backup holds the old ones.
  EXPECT_EQ(drive_.Read("QTEMP/VALENCIA/horgrup.dbf"),
            AdminBytes("horgrup.dbf"));
  const auto backups = Backups();
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(backups[0].filename().string().size(), 15u);  // AAAAMMDD-HHMMSS
  EXPECT_EQ(drive_.Read("QTEMP/COPIAS/" + backups[0].filename().string() +
                        "/horgrup.dbf"),
            old_horgrup);
  EXPECT_EQ(drive_.Read("QTEMP/COPIAS/" + backups[0].filename().string() +
                        "/horprof.dbf"),
            old_horprof);
  // No temporary file is left beside the administration's files.
  EXPECT_EQ(std::distance(fs::directory_iterator(drive_.path() / "GC"),
                          fs::directory_iterator()),
            2);
}

TEST_F(ImportRunTest, EmbeddedRunClosesTheWindowAfterFinishing) {
  WriteInputs({kLesson});
  context_.embedded_mode = 2;
  importing::ImportTimetables(context_);
  EXPECT_EQ(ui_.log.back(), (Call{"close", ""}));
  EXPECT_EQ(context_.transformed, 1);
}

TEST_F(ImportRunTest, OtherCentresRowsAreKeptAheadOfTheNewOnes) {
  WriteInputs({kLesson});
  // Stored order: other centre, this centre (dropped), other centre.
  WriteTable("GC/horprof.dbf", kHorprof,
             {{"1", "1", "08:00", "08:55", "AA", kOtherCentre, "5"},
              {"1", "1", "08:00", "08:55", "BB", kCentre, "6"},
              {"2", "1", "08:00", "08:55", "CC", kOtherCentre, "7"}});
  std::string horgrup = WriteTable(
      "GC/horgrup.dbf", kHorgrup,
      {{"1", "1", "08:00", "08:55", kOtherCentre, "5", "G1", "A1", "1"},
       {"3", "1", "08:00", "08:55", kOtherCentre, "8", "G3", "A3", "3"}});
  // The second row of horgrup is a deleted record: it goes.
  const size_t header = 32 + 32 * kHorgrup.size() + 1;
  const size_t record = 1 + 1 + 2 + 5 + 5 + 8 + 10 + 10 + 10 + 3;
  horgrup[header + record] = '*';
  drive_.Write("GC/horgrup.dbf", horgrup);

  importing::ImportTimetables(context_);
  ASSERT_EQ(ui_.Messages().back(), importing::kProcessFinished);
  const auto horprof = ReadRows("C:\\GC\\horprof.dbf");
  ASSERT_EQ(horprof.size(), 3u);
  EXPECT_EQ(horprof[0][4], "AA");
  EXPECT_EQ(horprof[1][4], "CC");
  EXPECT_EQ(horprof[2][5], kCentre);
  EXPECT_EQ(horprof[2][4], "12");
  const auto groups = ReadRows("C:\\GC\\horgrup.dbf");
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0][6], "G1");
  EXPECT_EQ(groups[1][6], "1ESOA");
}

TEST_F(ImportRunTest, ALargeTimetableTravelsWholeThroughEveryCopy) {
  // Other centres' rows filling several copy blocks and read buffers, and a
  // record of this centre between them.
  WriteInputs({kLesson});
  std::vector<Row> rows;
  for (int i = 0; i < 15000; ++i) {
    rows.push_back({"1", "1", "08:00", "08:55", "AA", kOtherCentre,
                    std::to_string(1000000 + i)});
  }
  rows[7000][5] = kCentre;
  const std::string old_horprof = WriteTable("GC/horprof.dbf", kHorprof, rows);

  importing::ImportTimetables(context_);
  ASSERT_EQ(ui_.Messages().back(), importing::kProcessFinished);
  const std::string new_horprof = AdminBytes("horprof.dbf");
  EXPECT_EQ(drive_.Read("QTEMP/VALENCIA/horprof.dbf"), new_horprof);
  const auto backups = Backups();
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(drive_.Read("QTEMP/COPIAS/" + backups[0].filename().string() +
                        "/horprof.dbf"),
            old_horprof);
  // The kept records are the old bytes, less the one of this centre.
  const size_t header = 32 + 32 * kHorprof.size() + 1;
  const size_t record = 1 + 1 + 2 + 5 + 5 + 3 + 8 + 10;
  const std::string kept =
      old_horprof.substr(header, 7000 * record) +
      old_horprof.substr(header + 7001 * record, 7999 * record);
  EXPECT_TRUE(new_horprof.compare(header, kept.size(), kept) == 0);
  const auto horprof = ReadRows("C:\\GC\\horprof.dbf");
  ASSERT_EQ(horprof.size(), 15000u);
  EXPECT_EQ(horprof[14998][6], "1014999");
  EXPECT_EQ(horprof[14999][5], kCentre);
}

TEST_F(ImportRunTest, ATeacherWithoutDniIsCompletedInTheWindow) {
  WriteInputs({kLesson});
  EditRows("C:\\QTEMP\\PROFT.DBF", "ABREV", "GLJ", "DNI", "");
  ui_.teacher_window_script.push_back([] {
    EditRows("C:\\QTEMP\\PROFT.DBF", "ABREV", "GLJ", "DNI", "33333333");
  });
  importing::ImportTimetables(context_);
  EXPECT_EQ(ui_.Count("teachers"), 1);
  EXPECT_EQ(ui_.Messages().back(), importing::kProcessFinished);
  EXPECT_EQ(ReadRows("C:\\GC\\horprof.dbf")[0][6], "33333333");
  // After the window the busy cursor comes back for the rest of the run.
  const auto teachers =
      std::find(ui_.log.begin(), ui_.log.end(), Call{"teachers", ""});
  ASSERT_NE(teachers, ui_.log.end());
  EXPECT_EQ(*(teachers + 1), (Call{"busy", "1"}));
}

TEST_F(ImportRunTest, ATeacherStillWithoutDniStopsTheRun) {
  WriteInputs({kLesson});
  EditRows("C:\\QTEMP\\PROFT.DBF", "ABREV", "PA", "DNI", "0");
  const std::string horgrup = AdminBytes("horgrup.dbf");
  const std::string horprof = AdminBytes("horprof.dbf");
  context_.transformed = 0;
  importing::ImportTimetables(context_);  // the window is closed untouched

  EXPECT_EQ(ui_.Messages().back(),
            "¡Atención! Sigue habiendo algún Profesor sin D.N.I.\n\r"
            "Este proceso se dentendrá y deberá volver a ejecutar\n\r"
            "la Importación, para poder corregir la incidencia");
  EXPECT_EQ(ui_.Count("teachers"), 1);
  EXPECT_EQ(ui_.Count("periods"), 0);
  EXPECT_TRUE(ui_.closed());
  EXPECT_FALSE(ui_.busy());
  EXPECT_EQ(ui_.Count("busy"), 3);  // on, on again after the window, off
  EXPECT_EQ(context_.transformed, 0);
  EXPECT_EQ(AdminBytes("horgrup.dbf"), horgrup);
  EXPECT_EQ(AdminBytes("horprof.dbf"), horprof);
  EXPECT_TRUE(Backups().empty());
}

TEST_F(ImportRunTest, TimesChangedInThePeriodWindowReachEveryLesson) {
  WriteInputs({kLesson, {"4", "2", "*12", "PA", "", "", "", "", ""}});
  ui_.period_window_script.push_back([] {
    EditRows(importing::kPlantillaPath, "HORA", "2", "HORAINI", "09:05");
  });
  importing::ImportTimetables(context_);
  for (const Values& row : ReadRows("C:\\GC\\horprof.dbf")) {
    EXPECT_EQ(row[2], "09:05");
  }
  EXPECT_EQ(ReadRows("C:\\GC\\horgrup.dbf")[0][2], "09:05");
}

TEST_F(ImportRunTest, AnEmptySolutionEmptiesTheCentresTimetables) {
  WriteInputs({{"0", "1", "*12", "GLJ", "ESO", "1", "MAT", "1ESOA", "12"}});
  WriteTable("GC/horprof.dbf", kHorprof,
             {{"1", "1", "08:00", "08:55", "BB", kCentre, "6"}});
  importing::ImportTimetables(context_);
  EXPECT_EQ(ui_.Messages().back(), std::string(importing::kProcessFinished) +
                                       "\n" + importing::kNoLessonsImported);
  EXPECT_TRUE(ReadRows("C:\\GC\\horprof.dbf").empty());
  EXPECT_TRUE(ReadRows("C:\\GC\\horgrup.dbf").empty());
}

TEST_F(ImportRunTest, AnErrorEndsTheRunWithTheDefaultCursor) {
  WriteInputs({kDuty, {"x", "1", "*12", "GLJ", "", "", "", "", ""}});
  std::vector<Column> soluc = kSoluc;
  soluc[0] = {"DIA", 'C', 2};  // so that a text can stand in it
  WriteTable("QTEMP/SOLUC.DBF", soluc,
             {kDuty, {"x", "1", "*12", "GLJ", "", "", "", "", ""}});
  const std::string horprof = AdminBytes("horprof.dbf");
  try {
    importing::ImportTimetables(context_);
    FAIL() << "no error";
  } catch (const std::exception& error) {
    // The engine's text, then where the solution holds the value.
    EXPECT_STREQ(error.what(),
                 "'x' no es un valor entero válido\n"
                 "C:\\QTEMP\\SOLUC.DBF, fila 2, campo DIA");
  }
  EXPECT_FALSE(ui_.busy());
  EXPECT_TRUE(ui_.buttons_enabled());
  EXPECT_EQ(context_.transformed, 0);
  EXPECT_EQ(AdminBytes("horprof.dbf"), horprof);
  EXPECT_TRUE(Backups().empty());
}

TEST_F(ImportRunTest, AMissingAdministrationTimetableFailsBeforeAnyChange) {
  WriteInputs({kLesson});
  fs::remove(Native("GC/horprof.dbf"));
  const std::string horgrup = AdminBytes("horgrup.dbf");
  EXPECT_THROW(importing::ImportTimetables(context_), std::exception);
  EXPECT_FALSE(ui_.busy());
  EXPECT_EQ(AdminBytes("horgrup.dbf"), horgrup);
  EXPECT_FALSE(fs::exists(Native("GC/horprof.dbf")));
}

// The solution is checked before other centres' rows are kept, so a damaged
// one is reported first, before anything is emptied.
TEST_F(ImportRunTest, ADamagedSolutionFailsBeforeTheTimetables) {
  for (const bool timetable_missing : {false, true}) {
    WriteInputs({kLesson});
    drive_.Write("QTEMP/SOLUC.DBF", "no es una tabla");
    if (timetable_missing) fs::remove(Native("GC/horprof.dbf"));
    std::string error;
    try {
      importing::ImportTimetables(context_);
    } catch (const std::exception& e) {
      error = e.what();
    }
    const std::string failing = "SOLUC";
    EXPECT_NE(error.find(failing), std::string::npos)
        << "error '" << error << "', expected one about " << failing;
    EXPECT_FALSE(ui_.busy());
    EXPECT_TRUE(Backups().empty());
  }
}

}  // namespace
}  // namespace import_testing

namespace import_testing {
namespace {

// The administration's index beside horgrup no longer matches once its rows
// change, so the production-index flag (byte 28) goes; it stays while every
// row stays in its place.
TEST_F(ImportRunTest, TheIndexFlagGoesWhenTheRowsChange) {
  const Row old_here = {"1", "1", "", "", kCentre, "6", "G1", "A1", "1"};
  const Row old_other = {"1", "1", "", "", kOtherCentre, "5", "G1", "A1", "1"};
  const struct {
    const char* name;
    Row old_row;
    Row lesson;
    char flag;
  } cases[] = {
      {"a row dropped, none appended", old_here, kDuty, '\0'},
      {"no row dropped, one appended", old_other, kLesson, '\0'},
      {"every row kept, none appended", old_other, kDuty, '\x01'},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteInputs({c.lesson});
    std::string horgrup = WriteTable("GC/horgrup.dbf", kHorgrup, {c.old_row});
    horgrup[28] = '\x01';
    drive_.Write("GC/horgrup.dbf", horgrup);
    testing_support::ScriptedUi ui;
    shell::TransferContext context(&ui);
    context.centre_code = kCentre;
    ASSERT_TRUE(importing::ImportTimetables(context).completed);
    EXPECT_EQ(AdminBytes("horgrup.dbf")[28], c.flag);
  }
}

}  // namespace
}  // namespace import_testing
