// The table object: create, open, walk, states, messages.
#include "tables/table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "tables/files.h"
#include "tables/table_error.h"

namespace tables {
namespace {

using testing_support::TempDir;

// Runs `action` and returns the TableError text it throws ("" if none).
template <typename Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const TableError& error) {
    return error.what();
  }
  return "";
}

class TableTest : public ::testing::Test {
 protected:
  void SetUp() override { SetDecimalSeparator('.'); }
  void TearDown() override { SetDecimalSeparator('.'); }

  // PROFT-like table: ABREV C(10), DNI N(11,0), HORAS N(20,4), ACTIVO L.
  void CreateTeachers(Table& table, bool indexed = false) {
    table.SetDatabaseName(dir_.path().string());
    table.SetTableName("PROFT");
    table.AddFieldDef("ABREV", FieldType::kText, 10);
    table.AddFieldDef("DNI", FieldType::kInteger);
    table.AddFieldDef("HORAS", FieldType::kFloat);
    table.AddFieldDef("ACTIVO", FieldType::kLogical);
    if (indexed) table.AddIndexDef("ABREV", "ABREV");
    table.CreateTable();
  }

  void AddTeacher(Table& table, const std::string& abrev, int64_t dni,
                  double hours) {
    table.Append();
    table.FieldByName("abrev").SetAsString(abrev);
    table.FieldByName("Dni").SetAsInteger(dni);
    table.FieldByName("HORAS").SetAsFloat(hours);
    table.FieldByName("ACTIVO").SetAsBoolean(true);
    table.Post();
  }

  std::vector<std::string> Walk(Table& table, const char* field = "ABREV") {
    std::vector<std::string> values;
    for (table.First(); !table.Eof(); table.Next())
      values.push_back(table.FieldByName(field).AsString());
    return values;
  }

  TempDir dir_;
};

TEST_F(TableTest, CreatedTableIsEmptyAndClosed) {
  Table table;
  CreateTeachers(table);
  EXPECT_FALSE(table.Active());
  EXPECT_EQ(table.State(), TableState::kInactive);
  table.Open();
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.RecNo(), 0);
  EXPECT_EQ(table.RecordCount(), 0);
  EXPECT_EQ(table.FieldCount(), 4);
  EXPECT_EQ(table.State(), TableState::kBrowse);
}

TEST_F(TableTest, AppendedRowsReadBackAfterReopen) {
  Table table;
  CreateTeachers(table);
  table.Open();
  AddTeacher(table, "ANA", 12345678, 2.5);
  AddTeacher(table, "LUIS", 0, 0.1234);
  table.Close();
  table.Open();
  ASSERT_FALSE(table.Eof());
  EXPECT_EQ(table.RecNo(), 1);
  EXPECT_EQ(table.FieldByName("ABREV").AsString(), "ANA");
  EXPECT_EQ(table.FieldByName("DNI").AsInteger(), 12345678);
  EXPECT_EQ(table.FieldByName("HORAS").AsString(), "2.5");
  EXPECT_TRUE(table.FieldByName("ACTIVO").AsBoolean());
  table.Next();
  EXPECT_EQ(table.FieldByName("HORAS").AsFloat(), 0.1234);
  table.Next();
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.RecordCount(), 2);
}

}  // namespace
}  // namespace tables
