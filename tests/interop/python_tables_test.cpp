// Tables written by python3-dbf (dBase III with a .DBT memo, FoxPro with an
// .FPT memo, Visual FoxPro with null flags) read back field for field with
// our engine.

#include <gtest/gtest.h>

#include <string>

#include "interop/interop_support.h"
#include "support/temp_dir.h"
#include "tables/files.h"
#include "tables/table.h"
#include "tables/table_error.h"

namespace {

using interop::Dump;
using interop::ParseDumps;
using interop::RunTool;

TEST(PythonTablesTest, ReadFieldForField) {
  tables::SetDecimalSeparator('.');
  testing_support::TempDir dir("tqv-pydbf");
  interop::CommandResult made = RunTool("make", dir.path().string());
  ASSERT_EQ(made.status, 0) << made.output;
  std::vector<Dump> dumps = ParseDumps(made.output);
  ASSERT_EQ(dumps.size(), 3u) << made.output;

  for (const Dump& dump : dumps) {
    SCOPED_TRACE(dump.table);
    tables::Table table;
    table.SetTableName(dump.table);
    table.SetReadOnly(true);
    table.Open();
    EXPECT_EQ(table.RecordCount(), static_cast<int64_t>(dump.records.size()));
    size_t row = 0;
    for (table.First(); !table.Eof(); table.Next(), ++row) {
      ASSERT_LT(row, dump.records.size());
      EXPECT_EQ(table.RecNo(), static_cast<int64_t>(row + 1));
      for (const interop::FieldValue& expected : dump.records[row]) {
        interop::ExpectFieldEquals(table.FieldByName(expected.field),
                                   expected.value,
                                   "row " + std::to_string(row));
      }
    }
    EXPECT_EQ(row, dump.records.size());
    table.Close();
  }
}

// The same tables, walked after their memo file has gone: the open or the
// first memo read fails with a Spanish error naming the memo file, and
// nothing else goes wrong.
TEST(PythonTablesTest, MissingMemoFileIsNamed) {
  testing_support::TempDir dir("tqv-pydbf");
  interop::CommandResult made = RunTool("make", dir.path().string());
  ASSERT_EQ(made.status, 0) << made.output;
  const char* kMemos[][2] = {{"d3memo.dbf", "d3memo.dbt"},
                             {"fpmemo.dbf", "fpmemo.fpt"},
                             {"vfpnull.dbf", "vfpnull.fpt"}};
  for (const auto& [dbf, memo] : kMemos) {
    SCOPED_TRACE(dbf);
    std::filesystem::remove(dir.path() / memo);
    tables::Table table;
    table.SetTableName(dir.File(dbf));
    try {
      table.Open();
      for (table.First(); !table.Eof(); table.Next()) {
        for (int i = 0; i < table.FieldCount(); ++i)
          (void)table.FieldAt(i).AsString();
      }
      ADD_FAILURE() << "the missing memo file went unnoticed";
    } catch (const tables::TableError& error) {
      EXPECT_NE(std::string(error.what()).find(memo), std::string::npos)
          << error.what();
    }
  }
}

}  // namespace
