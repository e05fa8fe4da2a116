#include "import/solution_transfer.h"

#include <optional>

#include "import/import_fixture.h"
#include "support/faulty_file_system.h"
#include "tables/table_error.h"

namespace import_testing {
namespace {

using importing::PeriodTimes;
using importing::SolutionTransfer;

TEST(RoomNumberTest, TakesShortWholeNumbersOnly) {
  const std::vector<std::pair<std::string, std::optional<int64_t>>> cases = {
      {"12", 12},
      {"123", 123},
      {"1234", std::nullopt},
      {"1A", std::nullopt},
      {"", std::nullopt},
      {"  12", 12},
      {"-12", -12},
      {"+7", 7},
      {"-123", std::nullopt},
      {"+", std::nullopt},
      {"1 2", std::nullopt},
      {"GIM", std::nullopt},
  };
  for (const auto& [aula, expected] : cases) {
    EXPECT_EQ(importing::RoomNumber(aula), expected) << "'" << aula << "'";
  }
}

TEST(OccupationOfTest, DropsTheFirstCharacter) {
  EXPECT_EQ(importing::OccupationOf("*GU"), "GU");
  EXPECT_EQ(importing::OccupationOf("*"), "");
  EXPECT_EQ(importing::OccupationOf(""), "");
  EXPECT_EQ(importing::OccupationOf("ÑAB"), "AB");  // a whole character
}

// One solution row and what it must become.
struct TransferCase {
  const char* name;
  Row soluc;  // DIA HORA TAREA PROF NIVEL CURSO ASIG CODGRUPO AULA
  std::optional<Values> horprof;
  std::optional<Values> horgrup;
};

// The five tables of a transfer, open on the fixture's files.
struct TransferTables {
  TransferTables() {
    soluc.SetTableName("C:\\QTEMP\\SOLUC.DBF");
    proft.SetTableName("C:\\QTEMP\\PROFT.DBF");
    asigvalt.SetTableName("C:\\QTEMP\\ASIGVALT.DBF");
    asigvalt.SetIndexName("CODVALEN");
    horprof.SetTableName("C:\\QTEMP\\VALENCIA\\horprof.dbf");
    horgrup.SetTableName("C:\\QTEMP\\VALENCIA\\horgrup.dbf");
    for (tables::Table* t : {&soluc, &proft, &asigvalt, &horprof, &horgrup})
      t->Open();
  }
  SolutionTransfer::Tables Refs() {
    return {soluc, proft, asigvalt, horprof, horgrup};
  }
  tables::Table soluc{testing_support::DriveC()},
      proft{testing_support::DriveC()}, asigvalt{testing_support::DriveC()},
      horprof{testing_support::DriveC()}, horgrup{testing_support::DriveC()};
};

class SolutionTransferTest : public ImportFixture {
 protected:
  void SetUp() override {
    ImportFixture::SetUp();
    for (int p = 1; p <= 20; ++p) {
      times_.Set(p, {"S" + std::to_string(p), "E" + std::to_string(p)});
    }
    // GLJ twice: the first row in stored order gives the number.
    WriteTable("QTEMP/PROFT.DBF", kProft,
               {{"GLJ", "", "", "", "111"},
                {"PA", "", "", "", "222"},
                {"GLJ", "", "", "", "333"}});
    // Two rows match ESO 1 MAT: the first in CODVALEN order is 1ESO01,
    // although it is stored second. ES O1 MAT, first in that order, holds
    // the same letters split otherwise and must match neither.
    WriteTable("QTEMP/ASIGVALT.DBF", kAsigvalt,
               {{"MAT", "", "", "1ESO09", "4", "ESO", "1"},
                {"MAT", "", "", "1ESO01", "4", "ESO", "1"},
                {"VAL", "", "", "2BAT02", "3", "BAT", "2"},
                {"MAT", "", "", "0SPLIT", "4", "ES", "O1"}});
    WriteTable("QTEMP/VALENCIA/horprof.dbf", kHorprof, {});
    WriteTable("QTEMP/VALENCIA/horgrup.dbf", kHorgrup, {});
  }

  // Transfers `rows` and returns the rows of horprof and horgrup.
  std::pair<std::vector<Values>, std::vector<Values>> Transfer(
      const std::vector<Row>& rows) {
    WriteTable("QTEMP/SOLUC.DBF", kSoluc, rows);
    TransferTables t;
    SolutionTransfer(t.Refs(), times_, kCentre).Run();
    t.horprof.Close();
    t.horgrup.Close();
    auto result = std::make_pair(ReadRows("C:\\QTEMP\\VALENCIA\\horprof.dbf"),
                                 ReadRows("C:\\QTEMP\\VALENCIA\\horgrup.dbf"));
    // Empty them again for the next case.
    WriteTable("QTEMP/VALENCIA/horprof.dbf", kHorprof, {});
    WriteTable("QTEMP/VALENCIA/horgrup.dbf", kHorgrup, {});
    return result;
  }

  PeriodTimes times_;
};

TEST_F(SolutionTransferTest, TurnsEachRowIntoTimetableRows) {
  const std::string c = kCentre;
  const std::vector<TransferCase> cases = {
      {"a group lesson",
       {"1", "2", "*12", "GLJ", "ESO", "1", "MAT", "1ESOA", "12"},
       Values{"1", "2", "S2", "E2", "12", c, "111"},
       Values{"1", "2", "S2", "E2", c, "111", "1ESOA", "1ESO01", "12"}},
      {"period 0 has no times",
       {"3", "0", "*12", "PA", "BAT", "2", "VAL", "2BATA", "123"},
       Values{"3", "0", "", "", "12", c, "222"},
       Values{"3", "0", "", "", c, "222", "2BATA", "2BAT02", "123"}},
      {"period 21 has no times",
       {"3", "21", "*12", "PA", "BAT", "2", "VAL", "2BATA", ""},
       Values{"3", "21", "", "", "12", c, "222"},
       Values{"3", "21", "", "", c, "222", "2BATA", "2BAT02", ""}},
      {"period 20 has times",
       {"5", "20", "", "PA", "", "", "", "", ""},
       Values{"5", "20", "S20", "E20", "", c, "222"},
       std::nullopt},
      {"unknown teacher gives DNI 0 in both rows",
       {"2", "1", "*12", "XX", "ESO", "1", "MAT", "1ESOA", "GIM"},
       Values{"2", "1", "S1", "E1", "12", c, "0"},
       Values{"2", "1", "S1", "E1", c, "0", "1ESOA", "1ESO01", ""}},
      {"abbreviations are compared exactly",
       {"2", "1", "*12", "glj", "", "", "", "", ""},
       Values{"2", "1", "S1", "E1", "12", c, "0"},
       std::nullopt},
      {"blank course: duty row only",
       {"4", "3", "*GUA", "GLJ", "ESO", "   ", "MAT", "1ESOA", "12"},
       Values{"4", "3", "S3", "E3", "GUA", c, "111"},
       std::nullopt},
      {"blank level: duty row only",
       {"4", "3", "*", "GLJ", "", "1", "MAT", "1ESOA", "12"},
       Values{"4", "3", "S3", "E3", "", c, "111"},
       std::nullopt},
      {"level and course are matched apart",
       {"1", "4", "*12", "GLJ", "ES", "O1", "MAT", "1ESOA", ""},
       Values{"1", "4", "S4", "E4", "12", c, "111"},
       Values{"1", "4", "S4", "E4", c, "111", "1ESOA", "0SPLIT", ""}},
      {"unknown subject gives an empty code",
       {"1", "4", "*12", "GLJ", "ESO", "1", "mat", "1ESOA", "1234"},
       Values{"1", "4", "S4", "E4", "12", c, "111"},
       Values{"1", "4", "S4", "E4", c, "111", "1ESOA", "", ""}},
      {"DIA 0 is passed over",
       {"0", "4", "*12", "GLJ", "ESO", "1", "MAT", "1ESOA", "12"},
       std::nullopt,
       std::nullopt},
  };
  for (const TransferCase& tc : cases) {
    const auto [horprof, horgrup] = Transfer({tc.soluc});
    ASSERT_EQ(horprof.size(), tc.horprof ? 1u : 0u) << tc.name;
    ASSERT_EQ(horgrup.size(), tc.horgrup ? 1u : 0u) << tc.name;
    if (tc.horprof) {
      EXPECT_EQ(horprof[0], *tc.horprof) << tc.name;
    }
    if (tc.horgrup) {
      EXPECT_EQ(horgrup[0], *tc.horgrup) << tc.name;
    }
  }
}

TEST_F(SolutionTransferTest, KeepsTheSolutionsOrder) {
  const auto [horprof, horgrup] =
      Transfer({{"2", "1", "*12", "PA", "BAT", "2", "VAL", "2BATA", ""},
                {"1", "1", "*GUA", "GLJ", "", "", "", "", ""},
                {"0", "1", "*12", "GLJ", "ESO", "1", "MAT", "1ESOA", ""},
                {"1", "2", "*12", "GLJ", "ESO", "1", "MAT", "1ESOA", ""}});
  ASSERT_EQ(horprof.size(), 3u);
  EXPECT_EQ(horprof[0][6], "222");
  EXPECT_EQ(horprof[1][4], "GUA");
  EXPECT_EQ(horprof[2][1], "2");
  ASSERT_EQ(horgrup.size(), 2u);
  EXPECT_EQ(horgrup[0][6], "2BATA");
  EXPECT_EQ(horgrup[1][6], "1ESOA");
}

TEST_F(SolutionTransferTest, AFieldMissingFromTheSolutionStopsAtItsFirstUse) {
  // Without AULA, duty rows transfer; the first group lesson fails.
  std::vector<Column> without_aula(kSoluc.begin(), kSoluc.end() - 1);
  WriteTable("QTEMP/SOLUC.DBF", without_aula,
             {{"1", "1", "*GUA", "GLJ", "", "", "", ""},
              {"1", "2", "*12", "GLJ", "ESO", "1", "MAT", "1ESOA"}});
  TransferTables t;
  SolutionTransfer transfer(t.Refs(), times_, kCentre);
  try {
    transfer.Run();
    FAIL() << "no error";
  } catch (const tables::TableError& error) {
    EXPECT_STREQ(error.what(), "No se encuentra el campo 'AULA'");
  }
  EXPECT_EQ(transfer.horprof_rows(), 2);
  EXPECT_EQ(transfer.horgrup_rows(), 0);
}

// The solution is read a batch ahead of the writing; wherever a
// read, a search or a write fails, the transfer must stop where a walk that
// reads and writes row by row stops: with that failure's error (the first
// in the walk's order when several would fail), and with the rows before it
// stored. A long solution makes the failures fall deep into the reading.
TEST_F(SolutionTransferTest, StopsWhereARowByRowWalkStops) {
  constexpr int kRows = 3000;
  constexpr int kBad = 2500;  // the row that holds a bad value
  const Row lesson = {"1", "2", "*12", "GLJ", "ESO", "1", "MAT", "1ESOA", "12"};
  auto without = [](const std::vector<Column>& columns, const char* name) {
    std::vector<Column> kept;
    for (const Column& column : columns) {
      if (column.name != name) kept.push_back(column);
    }
    return kept;
  };
  auto drop = [](Row row, const std::vector<Column>& columns,
                 const char* name) {
    for (size_t i = 0; i < columns.size(); ++i) {
      if (columns[i].name == name) row.erase(row.begin() + i);
    }
    return row;
  };
  struct Case {
    const char* name;
    std::vector<Column> soluc = kSoluc;
    const char* soluc_missing = nullptr;  // a SOLUC column left out
    int bad_field = -1;                   // SOLUC column with "x" at kBad
    const char* proft_missing = nullptr;
    const char* asigvalt_missing = nullptr;
    const char* horprof_missing = nullptr;
    const char* horgrup_missing = nullptr;
    std::string error;
    int horprof_rows;
    int horgrup_rows;
  };
  const std::vector<Case> cases = {
      {.name = "DIA no number",
       .bad_field = 0,
       .error = "'x' no es un valor punto flotante válido",
       .horprof_rows = kBad - 1,
       .horgrup_rows = kBad - 1},
      {.name = "HORA no number",
       .bad_field = 1,
       .error = "'x' no es un valor punto flotante válido",
       .horprof_rows = kBad - 1,
       .horgrup_rows = kBad - 1},
      {.name = "no DIA",
       .soluc_missing = "DIA",
       .error = "No se encuentra el campo 'DIA'",
       .horprof_rows = 0,
       .horgrup_rows = 0},
      {.name = "no TAREA",
       .soluc_missing = "TAREA",
       .error = "No se encuentra el campo 'TAREA'",
       .horprof_rows = 0,
       .horgrup_rows = 0},
      {.name = "no PROF",
       .soluc_missing = "PROF",
       .error = "No se encuentra el campo 'PROF'",
       .horprof_rows = 0,
       .horgrup_rows = 0},
      {.name = "no NIVEL",
       .soluc_missing = "NIVEL",
       .error = "No se encuentra el campo 'NIVEL'",
       .horprof_rows = 1,
       .horgrup_rows = 0},
      {.name = "no CURSO",
       .soluc_missing = "CURSO",
       .error = "No se encuentra el campo 'CURSO'",
       .horprof_rows = 1,
       .horgrup_rows = 0},
      {.name = "no ASIG",
       .soluc_missing = "ASIG",
       .error = "No se encuentra el campo 'ASIG'",
       .horprof_rows = 1,
       .horgrup_rows = 0},
      {.name = "no CODGRUPO",
       .soluc_missing = "CODGRUPO",
       .error = "No se encuentra el campo 'CODGRUPO'",
       .horprof_rows = 1,
       .horgrup_rows = 0},
      {.name = "the teachers without DNI",
       .proft_missing = "DNI",
       .error = "No se encuentra el campo 'DNI'",
       .horprof_rows = 0,
       .horgrup_rows = 0},
      {.name = "the subjects without CURSO",
       .asigvalt_missing = "CURSO",
       .error = "No se encuentra el campo 'CURSO'",
       .horprof_rows = 1,
       .horgrup_rows = 0},
      // A write that fails comes before every read after it.
      {.name = "horprof without Ocupa, SOLUC without PROF",
       .soluc_missing = "PROF",
       .horprof_missing = "Ocupa",
       .error = "No se encuentra el campo 'Ocupa'",
       .horprof_rows = 0,
       .horgrup_rows = 0},
      {.name = "horgrup without codasig, DIA no number later",
       .bad_field = 0,
       .horgrup_missing = "codasig",
       .error = "No se encuentra el campo 'codasig'",
       .horprof_rows = 1,
       .horgrup_rows = 0},
      // A read that fails comes before the writes after it.
      {.name = "SOLUC without AULA, horgrup without CODAULA",
       .soluc_missing = "AULA",
       .horgrup_missing = "CODAULA",
       .error = "No se encuentra el campo 'AULA'",
       .horprof_rows = 1,
       .horgrup_rows = 0},
  };
  for (const Case& tc : cases) {
    const std::vector<Column> soluc_columns =
        tc.soluc_missing ? without(kSoluc, tc.soluc_missing) : kSoluc;
    std::vector<Row> rows(kRows, tc.soluc_missing
                                     ? drop(lesson, kSoluc, tc.soluc_missing)
                                     : lesson);
    if (tc.bad_field >= 0) rows[kBad - 1][tc.bad_field] = "x";
    WriteTable("QTEMP/SOLUC.DBF", soluc_columns, rows);
    if (tc.proft_missing) {
      WriteTable("QTEMP/PROFT.DBF", without(kProft, tc.proft_missing),
                 {{"GLJ", "", "", ""}});
    }
    if (tc.asigvalt_missing) {
      WriteTable("QTEMP/ASIGVALT.DBF", without(kAsigvalt, tc.asigvalt_missing),
                 {{"MAT", "", "", "1ESO01", "4", "ESO"}});
    }
    WriteTable(
        "QTEMP/VALENCIA/horprof.dbf",
        tc.horprof_missing ? without(kHorprof, tc.horprof_missing) : kHorprof,
        {});
    WriteTable(
        "QTEMP/VALENCIA/horgrup.dbf",
        tc.horgrup_missing ? without(kHorgrup, tc.horgrup_missing) : kHorgrup,
        {});
    std::string error = "no error";
    int64_t horprof_rows = -1, horgrup_rows = -1;
    {
      TransferTables t;
      SolutionTransfer transfer(t.Refs(), times_, kCentre);
      try {
        transfer.Run();
      } catch (const tables::TableError& e) {
        error = e.what();
      }
      horprof_rows = transfer.horprof_rows();
      horgrup_rows = transfer.horgrup_rows();
    }
    EXPECT_EQ(error, tc.error) << tc.name;
    EXPECT_EQ(horprof_rows, tc.horprof_rows) << tc.name;
    EXPECT_EQ(horgrup_rows, tc.horgrup_rows) << tc.name;
    // What was stored is what was counted.
    EXPECT_EQ(ReadRows("C:\\QTEMP\\VALENCIA\\horprof.dbf").size(),
              static_cast<size_t>(tc.horprof_rows))
        << tc.name;
    EXPECT_EQ(ReadRows("C:\\QTEMP\\VALENCIA\\horgrup.dbf").size(),
              static_cast<size_t>(tc.horgrup_rows))
        << tc.name;
    SetUp();  // the lookup tables as they were
  }
}

}  // namespace
}  // namespace import_testing
