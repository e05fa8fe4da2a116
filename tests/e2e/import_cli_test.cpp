// transquendra import as the office runs it: options, messages and exit
// status.
#include <gtest/gtest.h>

#include <map>

#include "e2e/import_e2e_support.h"
#include "support/faulty_file_system.h"

namespace import_e2e {
namespace {

// Every row of a table as field texts, read through the engine.
std::vector<std::vector<std::string>> Rows(const fs::path& path) {
  tables::Table table(testing_support::DriveC());
  table.SetTableName(path.string());
  table.Open();
  std::vector<std::vector<std::string>> rows;
  for (table.First(); !table.Eof(); table.Next()) {
    std::vector<std::string> row;
    for (int i = 0; i < table.FieldCount(); ++i) {
      row.push_back(table.FieldAt(i).AsString());
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

class ImportCliTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { school_ = new SampleSchool(); }
  static void TearDownTestSuite() { delete school_; }
  static SampleSchool* school_;
};
SampleSchool* ImportCliTest::school_ = nullptr;

TEST_F(ImportCliTest, StopsWithAStatusAndTheMessage) {
  ASSERT_TRUE(school_->ok());
  const std::string drive = school_->drive().string();
  struct Case {
    const char* name;
    std::vector<std::string> argv;
    int status;
    std::string message;
  };
  std::vector<Case> cases = {
      {"unknown option",
       {Transquendra(), "import", "--drive-c", drive, "--centro", "1"},
       2,
       "opción no válida"},
      {"period out of range",
       {Transquendra(), "import", "--drive-c", drive, "--period", "21=a-b"},
       2,
       "período fuera de 1 a 20"},
      {"teachers without DNI and no --dni",
       {Transquendra(), "import", "--drive-c", drive},
       1,
       "¡Atención! Sigue habiendo algún Profesor sin D.N.I.\n\r"
       "Este proceso se dentendrá"},
  };
  // A centre that is not a code of the centre table, exactly as stored
  // without its trailing blanks, would keep the centre's old rows beside the
  // new ones.
  for (const char* centre :
       {"460123456", "46012345 ", " 46012345", "4601", "99999999", ""}) {
    std::vector<std::string> argv =
        school_->ImportCommand({"--centre", centre});
    cases.push_back({"centre not in the table", argv, 1,
                     std::string("El centro '") + centre +
                         "' no está en la tabla C:\\GC\\centro.dbf.\n"
                         "Indique uno de estos: 46012345, 46099871"});
  }
  std::vector<std::string> dni = school_->DniOptions();
  ASSERT_GE(dni.size(), 2u);
  const std::string abrev = dni[1].substr(0, dni[1].find('='));
  cases.push_back(
      {"a DNI that is no whole number is refused",
       {Transquendra(), "import", "--drive-c", drive, "--dni", abrev + "=12A"},
       1,
       "'12A' no es un valor entero válido para el campo 'DNI'"});
  const std::string horgrup = ReadFile(school_->admin() / "horgrup.dbf");
  const std::string horprof = ReadFile(school_->admin() / "horprof.dbf");
  for (const Case& c : cases) {
    const RunResult result = RunProgram(c.argv);
    EXPECT_EQ(result.status, c.status) << c.name << "\n" << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << c.name << "\n"
                                                             << result.err;
  }
  EXPECT_EQ(ReadFile(school_->admin() / "horgrup.dbf"), horgrup);
  EXPECT_EQ(ReadFile(school_->admin() / "horprof.dbf"), horprof);
}

TEST_F(ImportCliTest, MissingSolutionExitsNonZero) {
  ASSERT_TRUE(school_->ok());
  const fs::path soluc = school_->exchange() / "SOLUC.DBF";
  const fs::path aside = school_->exchange() / "SOLUC.aside";
  fs::rename(soluc, aside);
  const RunResult result = RunProgram(school_->ImportCommand());
  fs::rename(aside, soluc);
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("No se encuentra archivo SOLUC.DBF en C:\\QTEMP"),
            std::string::npos)
      << result.err;
}

TEST_F(ImportCliTest, PeriodsAndCentreReachTheTimetables) {
  ASSERT_TRUE(school_->ok());
  const auto old_horprof = Rows(school_->admin() / "horprof.dbf");
  const RunResult result =
      RunProgram(school_->ImportCommand({"--centre", "46099871", "--period",
                                         "1=07:30-08:25", "--period", "7=x-"}));
  ASSERT_EQ(result.status, 0) << result.err;

  // The other centre's (here: the sample's own) rows stay first, unchanged.
  const auto horprof = Rows(school_->admin() / "horprof.dbf");
  ASSERT_GT(horprof.size(), old_horprof.size());
  for (size_t i = 0; i < old_horprof.size(); ++i) {
    ASSERT_EQ(horprof[i], old_horprof[i]) << "row " << i + 1;
  }
  // New rows carry the chosen centre and the times as given: period 1 from
  // --period, period 2 from lhortipo's six periods of that centre, period 7
  // (beyond them) only what --period set.
  int checked = 0;
  for (size_t i = old_horprof.size(); i < horprof.size(); ++i) {
    const auto& row =
        horprof[i];  // Diasem Numhora Horad Horah Ocupa Codcen dni
    EXPECT_EQ(row[5], "46099871");
    const std::map<std::string, std::string> expected = {
        {"1", "07:30-08:25"}, {"2", "08:55-09:50"}, {"7", "x-"}};
    const auto want = expected.find(row[1]);
    if (want != expected.end()) {
      EXPECT_EQ(row[2] + "-" + row[3], want->second) << "period " << row[1];
    }
    checked += row[1] == "1" || row[1] == "7";
  }
  EXPECT_GT(checked, 0);
}

}  // namespace
}  // namespace import_e2e
