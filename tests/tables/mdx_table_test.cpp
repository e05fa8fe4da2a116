// The production index through the table object: created with the table,
// kept right by appends and edits, read at open, checked with index_dump.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "tables/files.h"
#include "tables/table.h"
#include "tables/table_error.h"

namespace tables {
namespace {

using testing_support::TempDir;

// index_dump (Debian's libdbd-xbase-perl) reads the file independently;
// where it is missing (a Windows build) those checks are left out.
bool HaveIndexDump() {
#ifdef _WIN32
  return false;
#else
  return std::filesystem::exists("/usr/bin/index_dump");
#endif
}

std::string IndexDump(const std::string& mdx, const std::string& tag) {
  std::string output;
#ifndef _WIN32
  const std::string command = "/usr/bin/index_dump '" + mdx + "' " + tag;
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return "";
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
    output.append(buffer, n);
  }
  ::pclose(pipe);
#else
  (void)mdx;
  (void)tag;
#endif
  return output;
}

class MdxTableTest : public ::testing::Test {
 protected:
  // ASIGVALT-like: COD and CODVALEN text (width 10, both indexed), HORAS.
  void CreateSubjects(Table& table) {
    table.SetDatabaseName(dir_.path().string());
    table.SetTableName("ASIGVALT.DBF");
    table.AddFieldDef("COD", FieldType::kText, 10);
    table.AddFieldDef("CODVALEN", FieldType::kText, 10);
    table.AddFieldDef("HORAS", FieldType::kInteger);
    table.AddIndexDef("COD", "COD");
    table.AddIndexDef("CODVALEN", "CODVALEN");
    table.CreateTable();
  }

  void Add(Table& table, const std::string& cod, const std::string& codvalen) {
    table.Append();
    table.FieldByName("COD").SetAsString(cod);
    table.FieldByName("CODVALEN").SetAsString(codvalen);
    table.Post();
  }

  // (value of `field`, record number) in the current order.
  std::vector<std::pair<std::string, int64_t>> Walk(Table& table,
                                                    const char* field) {
    std::vector<std::pair<std::string, int64_t>> rows;
    for (table.First(); !table.Eof(); table.Next()) {
      rows.emplace_back(table.FieldByName(field).AsString(), table.RecNo());
    }
    return rows;
  }

  // The index file beside the table, whatever the letter case of its name.
  std::string MdxPath() {
    return platform::NativeFileSystem::Local().NativePath(
        dir_.File("ASIGVALT.MDX"));
  }

  char Byte28() {
    const std::string dbf = dir_.Read("ASIGVALT.DBF");
    return dbf.size() > 28 ? dbf[28] : '?';
  }

  TempDir dir_{"mdx_table"};
};

TEST_F(MdxTableTest, CreatedTableHasAnEmptyIndexFile) {
  Table table;
  CreateSubjects(table);
  EXPECT_EQ(Byte28(), 1);
  if (HaveIndexDump()) {
    EXPECT_EQ(IndexDump(MdxPath(), "COD"), "");
  }
  table.Open();
  table.SetIndexName("CODVALEN");
  EXPECT_TRUE(table.Eof());
}

TEST_F(MdxTableTest, AppendsAndEditsReachTheFileInByteOrder) {
  Table table;
  CreateSubjects(table);
  table.Open();
  // "ÉS" is 0xC9 0x53 in cp1252 and sorts after every ASCII letter.
  for (const char* cod : {"MAT", "ÉS", "ANG", "MAT", "Zoo", "ANG"}) {
    Add(table, cod, std::string("V") + cod);
  }
  EXPECT_EQ(Byte28(), 0);  // changed and not yet closed: no claim on disk
  table.First();           // record 1 (MAT) becomes "BIO"
  table.Edit();
  table.FieldByName("COD").SetAsString("BIO");
  table.Post();
  table.Close();
  EXPECT_EQ(Byte28(), 1);
  if (HaveIndexDump()) {
    EXPECT_EQ(IndexDump(MdxPath(), "COD"),
              "ANG        3\nANG        6\nBIO        1\nMAT        4\n"
              "Zoo        5\n\xC9S         2\n");
  }

  table.Open();
  table.SetIndexName("COD");
  const std::vector<std::pair<std::string, int64_t>> expected = {
      {"ANG", 3}, {"ANG", 6}, {"BIO", 1}, {"MAT", 4}, {"Zoo", 5}, {"ÉS", 2}};
  EXPECT_EQ(Walk(table, "COD"), expected);
  ASSERT_TRUE(table.FindKey("ANG"));
  EXPECT_EQ(table.RecNo(), 3);
  ASSERT_TRUE(table.FindKey("ÉS"));
  EXPECT_EQ(table.RecNo(), 2);
  EXPECT_FALSE(table.FindKey("MATE"));
  table.SetIndexName("CODVALEN");
  ASSERT_TRUE(table.FindKey("VMAT"));
  EXPECT_EQ(table.RecNo(), 1);  // its CODVALEN was not edited
}

TEST_F(MdxTableTest, ManyRowsMakeADeepTreeThatReadsBack) {
  Table table;
  CreateSubjects(table);
  table.Open();
  for (int r = 1; r <= 3000; ++r) {
    Add(table, "C" + std::to_string(r % 97), std::to_string(r));
  }
  table.Close();
  table.Open();
  table.SetIndexName("COD");
  std::string previous;
  int64_t previous_recno = 0;
  int rows = 0;
  for (table.First(); !table.Eof(); table.Next(), ++rows) {
    const std::string cod = table.FieldByName("COD").AsString();
    ASSERT_TRUE(previous < cod ||
                (previous == cod && previous_recno < table.RecNo()));
    previous = cod;
    previous_recno = table.RecNo();
  }
  EXPECT_EQ(rows, 3000);
  if (HaveIndexDump()) {
    const std::string dump = IndexDump(MdxPath(), "CODVALEN");
    EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), 3000);
  }
}

TEST_F(MdxTableTest, IntegerTagOrdersByValue) {
  Table table;
  table.SetDatabaseName(dir_.path().string());
  table.SetTableName("PLANTILLA");
  table.AddFieldDef("HORA", FieldType::kInteger);
  table.AddFieldDef("INICIO", FieldType::kText, 5);
  table.AddIndexDef("HORA", "HORA");
  table.CreateTable();
  table.Open();
  for (int hora : {10, 2, -1, 20, 2, 0}) {
    table.Append();
    table.FieldByName("HORA").SetAsInteger(hora);
    table.Post();
  }
  table.Close();
  table.Open();
  table.SetIndexName("HORA");
  const std::vector<std::pair<std::string, int64_t>> expected = {
      {"-1", 3}, {"0", 6}, {"2", 2}, {"2", 5}, {"10", 1}, {"20", 4}};
  EXPECT_EQ(Walk(table, "HORA"), expected);
  ASSERT_TRUE(table.FindKey("2"));
  EXPECT_EQ(table.RecNo(), 2);
}

// An index file left from an older state of the table is refused at open,
// with a message naming it, rather than walked in a wrong order.
TEST_F(MdxTableTest, StaleIndexFileIsRefusedAtOpen) {
  Table table;
  CreateSubjects(table);
  table.Open();
  Add(table, "B", "1");
  Add(table, "A", "2");
  table.Close();
  const std::string mdx = MdxPath();
  const std::string name = std::filesystem::path(mdx).filename().string();
  const std::string old_index = dir_.Read(name);
  table.Open();
  Add(table, "C", "3");
  table.Close();
  dir_.Write(name, old_index);
  try {
    table.Open();
    FAIL() << "opened";
  } catch (const TableError& error) {
    EXPECT_EQ(std::string(error.what()),
              "El archivo de índice '" + mdx +
                  "' no corresponde a su tabla (a la etiqueta 'COD' le "
                  "faltan registros)");
  }
}

}  // namespace
}  // namespace tables
