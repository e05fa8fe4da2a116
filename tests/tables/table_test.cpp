// The table object: create, open, walk, states, messages.
#include "tables/table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/table_error_text.h"
#include "support/temp_dir.h"
#include "tables/files.h"
#include "tables/table_error.h"

namespace tables {
namespace {

using testing_support::TempDir;

using testing_support::ErrorOf;

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

TEST_F(TableTest, StatesAndTheirMessages) {
  Table table("wwTableProft");
  CreateTeachers(table);
  table.Open();
  EXPECT_EQ(ErrorOf([&] { table.Post(); }),
            "wwTableProft: La fuente de datos no está en modo de edición o "
            "inserción");
  EXPECT_EQ(ErrorOf([&] { table.FieldByName("ABREV").SetAsString("X"); }),
            "wwTableProft: La fuente de datos no está en modo de edición o "
            "inserción");
  EXPECT_EQ(ErrorOf([&] { table.FieldByName("Nombre"); }),
            "wwTableProft: No se encuentra el campo 'Nombre'");
  table.Append();
  EXPECT_EQ(table.State(), TableState::kInsert);
  EXPECT_EQ(table.RecNo(), 0);
  table.FieldByName("ABREV").SetAsString("ANA");
  table.Post();
  EXPECT_EQ(table.State(), TableState::kBrowse);
  EXPECT_EQ(table.RecNo(), 1);
  table.Edit();
  EXPECT_EQ(table.State(), TableState::kEdit);
  table.FieldByName("ABREV").SetAsString("EVA");
  table.Cancel();
  EXPECT_EQ(table.FieldByName("ABREV").AsString(), "ANA");

  Table unnamed;
  unnamed.SetTableName(table.FilePath());
  unnamed.Open();
  EXPECT_EQ(ErrorOf([&] { unnamed.FieldByName("x"); }),
            "No se encuentra el campo 'x'");
}

TEST_F(TableTest, ImplicitPostsStoreChangesAndDropUntouchedNewRecords) {
  Table table;
  CreateTeachers(table);
  table.Open();
  table.Append();
  table.Append();  // the first, untouched, is dropped
  table.FieldByName("ABREV").SetAsString("ANA");
  table.Next();  // posts ANA
  table.Append();
  table.First();  // untouched: dropped
  EXPECT_EQ(Walk(table), (std::vector<std::string>{"ANA"}));
  table.Edit();
  table.FieldByName("ABREV").SetAsString("EVA");
  EXPECT_TRUE(table.Locate("ABREV", "EVA"));  // posts the edit first
  EXPECT_EQ(table.State(), TableState::kBrowse);
  EXPECT_EQ(Walk(table), (std::vector<std::string>{"EVA"}));
  // An explicit Post stores even an untouched new record.
  table.Append();
  table.Post();
  EXPECT_EQ(table.RecordCount(), 2);
  // Closing drops a pending change.
  table.Append();
  table.FieldByName("ABREV").SetAsString("LOST");
  table.Close();
  table.Open();
  EXPECT_EQ(Walk(table), (std::vector<std::string>{"EVA", ""}));
}

TEST_F(TableTest, EditOnAnEmptyTableAppends) {
  Table table;
  CreateTeachers(table);
  table.Open();
  table.Edit();
  EXPECT_EQ(table.State(), TableState::kInsert);
  table.FieldByName("ABREV").SetAsString("ANA");
  table.Post();
  EXPECT_EQ(table.RecordCount(), 1);
}

TEST_F(TableTest, EndFlagComesAfterTheLastRecordWhichStaysCurrent) {
  Table table;
  CreateTeachers(table);
  table.Open();
  AddTeacher(table, "ANA", 1, 0);
  AddTeacher(table, "LUIS", 2, 0);
  table.First();
  EXPECT_FALSE(table.Eof());
  table.Next();
  EXPECT_FALSE(table.Eof());
  table.Next();
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.RecNo(), 2);
  EXPECT_EQ(table.FieldByName("ABREV").AsString(), "LUIS");
}

TEST_F(TableTest, MissingTableAndClosedTableErrorsNameTheFile) {
  Table table;
  table.SetDatabaseName(dir_.path().string());
  table.SetTableName("centro");
  const std::string path = dir_.path().string() + "\\centro.dbf";
  EXPECT_EQ(ErrorOf([&] { table.Open(); }),
            "No se encuentra la tabla '" + path + "'");
  EXPECT_EQ(ErrorOf([&] { table.First(); }),
            "La tabla '" + path + "' no está abierta");
}

TEST_F(TableTest, NamesAreFoundWithoutRegardToLetterCase) {
  Table table;
  CreateTeachers(table);  // PROFT.dbf
  Table other;
  other.SetDatabaseName(dir_.path().string());
  other.SetTableName("proft");
#ifndef _WIN32
  EXPECT_EQ(other.FilePath(), dir_.File("PROFT.dbf"));
#else
  // Windows finds the file whatever the case; the path keeps the case asked.
  EXPECT_EQ(other.FilePath(), dir_.File("proft.dbf"));
#endif
  other.Open();
  EXPECT_EQ(other.FieldCount(), 4);
}

TEST_F(TableTest, ReadOnlyTablesRefuseChanges) {
  Table table;
  CreateTeachers(table);
  table.SetReadOnly(true);
  table.Open();
  const std::string path = dir_.path().string() + "\\PROFT.dbf";
  EXPECT_EQ(ErrorOf([&] { table.Append(); }),
            "La tabla '" + path + "' está abierta solo para lectura");
}

TEST_F(TableTest, TwoObjectsOnOneFileSeeEachOthersPostedRows) {
  Table writer;
  CreateTeachers(writer);
  writer.Open();
  AddTeacher(writer, "ANA", 1, 0);
  Table reader;
  reader.SetTableName(writer.FilePath());
  reader.Open();
  AddTeacher(writer, "LUIS", 2, 0);
  EXPECT_EQ(Walk(reader), (std::vector<std::string>{"ANA", "LUIS"}));
  reader.First();
  reader.Edit();
  reader.FieldByName("ABREV").SetAsString("EVA");
  reader.Post();
  reader.Close();
  EXPECT_EQ(Walk(writer), (std::vector<std::string>{"EVA", "LUIS"}));
}

// Field handles read the current record without asking the table again, so
// every way the record can move under them must be followed: another
// object's first change (records copied out of the file's mapping), its
// appends (the records grow and move in memory), and this object's own
// edit, cancel and insert.
TEST_F(TableTest, FieldHandlesFollowTheRecordWhereverItMoves) {
  {
    Table table;
    CreateTeachers(table);
    table.Open();
    AddTeacher(table, "ANA", 1, 0);
    AddTeacher(table, "LUIS", 2, 0);
    table.Close();
  }
  Table reader;
  reader.SetTableName((dir_.path() / "PROFT.DBF").string());
  reader.Open();
  Field abrev = reader.FieldByName("ABREV");
  std::string buffer;
  reader.First();
  reader.Next();
  ASSERT_EQ(abrev.AsStringView(buffer), "LUIS");

  Table writer;
  writer.SetTableName(reader.FilePath());
  writer.Open();
  for (int i = 0; i < 20000; ++i)
    AddTeacher(writer, "T" + std::to_string(i), i, 0);
  EXPECT_EQ(abrev.AsStringView(buffer), "LUIS");
  writer.First();
  writer.Next();
  writer.Edit();
  writer.FieldByName("ABREV").SetAsString("LUISA");
  writer.Post();
  EXPECT_EQ(abrev.AsStringView(buffer), "LUISA");

  reader.Edit();
  abrev.SetAsString("PEPE");
  EXPECT_EQ(abrev.AsStringView(buffer), "PEPE");
  reader.Cancel();
  EXPECT_EQ(abrev.AsStringView(buffer), "LUISA");
  reader.Append();
  EXPECT_EQ(abrev.AsStringView(buffer), "");
  abrev.SetAsString("NUEVO");
  reader.Post();
  EXPECT_EQ(abrev.AsStringView(buffer), "NUEVO");
  reader.First();
  EXPECT_EQ(abrev.AsStringView(buffer), "ANA");
  writer.Close();
  reader.Close();
}

// A table copied without its index file (as the working copy is) keeps the
// index flag of its header; once its rows change, that flag must go, or the
// old index file beside the original would be taken as valid for new rows.
TEST_F(TableTest, IndexFlagWithoutItsIndexIsDroppedWhenRowsChange) {
  struct Case {
    const char* name;
    uint8_t version;
    uint8_t flag_before;
    uint8_t flag_after;
    bool empty;  // EmptyTable, else append one row
  };
  const Case cases[] = {
      {"dBase, emptied", 0x03, 0x01, 0x00, true},
      {"dBase, appended", 0x03, 0x01, 0x00, false},
      {"FoxPro, emptied: memo bit stays", 0x30, 0x03, 0x02, true},
      {"FoxPro, appended: memo bit stays", 0x30, 0x03, 0x02, false},
  };
  for (const Case& c : cases) {
    Table table;
    CreateTeachers(table);
    table.Open();
    AddTeacher(table, "ANA", 1, 0);
    table.Close();
    std::string bytes = dir_.Read("PROFT.dbf");
    bytes[0] = static_cast<char>(c.version);
    bytes[28] = static_cast<char>(c.flag_before);
    if (c.version == 0x30) {
      // Visual FoxPro headers carry a 263-byte backlink after the fields.
      const uint16_t length =
          static_cast<uint8_t>(bytes[8]) | static_cast<uint8_t>(bytes[9]) << 8;
      bytes.insert(length, std::string(263, '\0'));
      bytes[8] = static_cast<char>((length + 263) & 0xFF);
      bytes[9] = static_cast<char>((length + 263) >> 8);
    }
    dir_.Write("PROFT.dbf", bytes);
    if (c.empty) {
      table.EmptyTable();
    } else {
      table.Open();
      AddTeacher(table, "LUIS", 2, 0);
      table.Close();
    }
    EXPECT_EQ(static_cast<uint8_t>(dir_.Read("PROFT.dbf")[28]), c.flag_after)
        << c.name;
  }
}

TEST_F(TableTest, EmptyTableKeepsDefinitionsAndCreateReplaces) {
  Table table;
  CreateTeachers(table);
  table.Open();
  AddTeacher(table, "ANA", 1, 0);
  EXPECT_EQ(ErrorOf([&] { table.EmptyTable(); }),
            "La tabla '" + dir_.path().string() + "\\PROFT.dbf' está abierta");
  table.Close();
  table.EmptyTable();
  table.Open();
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.FieldCount(), 4);
  AddTeacher(table, "LUIS", 1, 0);
  table.Close();
  table.ClearFieldDefs();
  table.AddFieldDef("COD", FieldType::kText, 5);
  table.CreateTable();
  table.Open();
  EXPECT_EQ(table.FieldCount(), 1);
  EXPECT_TRUE(table.Eof());
}

TEST_F(TableTest, BadDefinitionsAreRefused) {
  const std::pair<FieldDef, const char*> cases[] = {
      {{"NOMBRELARGO", FieldType::kText, 5},
       "Definición de campo no válida: nombre de campo 'NOMBRELARGO'"},
      {{"A B", FieldType::kText, 5},
       "Definición de campo no válida: nombre de campo 'A B'"},
      {{"COD", FieldType::kText, 0},
       "Definición de campo no válida: ancho del campo 'COD'"},
      {{"COD", FieldType::kText, 255},
       "Definición de campo no válida: ancho del campo 'COD'"},
  };
  for (const auto& [def, message] : cases) {
    Table table;
    table.SetDatabaseName(dir_.path().string());
    table.SetTableName("MALA");
    table.AddFieldDef(def.name, def.type, def.size);
    EXPECT_EQ(ErrorOf([&] { table.CreateTable(); }), message);
  }
}

TEST_F(TableTest, FilterShowsOnlyMatchingRows) {
  Table table;
  table.SetDatabaseName(dir_.path().string());
  table.SetTableName("asigalum");
  table.AddFieldDef("CODIGO", FieldType::kText, 10);
  table.AddFieldDef("CODASIG", FieldType::kText, 6);
  table.CreateTable();
  table.Open();
  for (auto [codigo, asig] : {std::pair{"101", "MAT"}, std::pair{"102", "FIS"},
                              std::pair{"101", "LEN"}, std::pair{"O'N", "HIS"},
                              std::pair{"1010", "QUI"}}) {
    table.Append();
    table.FieldByName("CODIGO").SetAsString(codigo);
    table.FieldByName("CODASIG").SetAsString(asig);
    table.Post();
  }
  table.Close();
  table.SetFilter("Codigo= '101       '");
  table.SetFiltered(true);
  table.Open();
  EXPECT_EQ(Walk(table, "CODASIG"), (std::vector<std::string>{"MAT", "LEN"}));
  EXPECT_EQ(table.RecordCount(), 2);
  table.Close();
  table.SetFilter("Codigo= 'O''N'");
  table.Open();
  EXPECT_EQ(Walk(table, "CODASIG"), (std::vector<std::string>{"HIS"}));
  table.Close();
  table.SetFilter("Codigo= '101' or 1=1");
  EXPECT_EQ(ErrorOf([&] { table.Open(); }),
            "Filtro no válido: Codigo= '101' or 1=1");
  EXPECT_FALSE(table.Active());
  table.SetFilter("Nada= '101'");
  EXPECT_EQ(ErrorOf([&] { table.Open(); }), "No se encuentra el campo 'Nada'");
  table.SetFiltered(false);
  table.Open();
  EXPECT_EQ(table.RecordCount(), 5);
}

TEST_F(TableTest, LocateFindsTheFirstExactMatchOrChangesNothing) {
  Table table;
  CreateTeachers(table);
  table.Open();
  AddTeacher(table, "ANA", 10, 1.5);
  AddTeacher(table, "ana", 20, 2.5);
  AddTeacher(table, "ANA", 30, 3.5);
  table.First();
  EXPECT_TRUE(table.Locate("ABREV", "ana"));
  EXPECT_EQ(table.RecNo(), 2);
  EXPECT_FALSE(table.Locate("ABREV", "AN"));
  EXPECT_EQ(table.RecNo(), 2);
  EXPECT_TRUE(table.Locate("dni", "30"));
  EXPECT_EQ(table.RecNo(), 3);
  EXPECT_TRUE(table.Locate("HORAS", "1.5"));
  EXPECT_EQ(table.RecNo(), 1);
  EXPECT_FALSE(table.Locate("DNI", "x"));
  EXPECT_EQ(ErrorOf([&] { table.Locate("NADA", "1"); }),
            "No se encuentra el campo 'NADA'");
}

TEST_F(TableTest, IndexOrderWalksByKeyWithTiesInStoredOrder) {
  Table table;
  CreateTeachers(table);
  table.Open();
  AddTeacher(table, "LUIS", 3, 0);
  AddTeacher(table, "ANA", 1, 0);
  AddTeacher(table, "PEPE", 2, 0);
  AddTeacher(table, "ANA", 4, 0);
  table.SetIndexName("ABREV");  // no index file: built from the field
  EXPECT_EQ(Walk(table, "DNI"), (std::vector<std::string>{"1", "4", "3", "2"}));
  AddTeacher(table, "BEA", 5, 0);
  EXPECT_EQ(Walk(table, "ABREV"),
            (std::vector<std::string>{"ANA", "ANA", "BEA", "LUIS", "PEPE"}));
  EXPECT_TRUE(table.FindKey("LUIS"));
  EXPECT_EQ(table.FieldByName("DNI").AsInteger(), 3);
  EXPECT_TRUE(table.FindKey("ANA"));
  EXPECT_EQ(table.RecNo(), 2);
  EXPECT_FALSE(table.FindKey("AN"));
  EXPECT_FALSE(table.FindKey("LUISLUISLUIS"));  // longer than the field
  EXPECT_EQ(table.RecNo(), 2);
  table.SetIndexName("DNI");
  EXPECT_TRUE(table.FindKey("4"));
  EXPECT_EQ(table.FieldByName("ABREV").AsString(), "ANA");
  EXPECT_EQ(ErrorOf([&] { table.SetIndexName("NADA"); }),
            "No se encuentra el índice 'NADA' de la tabla '" +
                dir_.path().string() + "\\PROFT.dbf'");
  table.SetIndexName("");
  EXPECT_EQ(ErrorOf([&] { table.FindKey("ANA"); }),
            "La tabla '" + dir_.path().string() +
                "\\PROFT.dbf' no tiene ningún índice seleccionado");
}

TEST_F(TableTest, IndexedTableKeepsItsOrderAcrossCloseAndOpen) {
  Table table;
  CreateTeachers(table, /*indexed=*/true);
  table.Open();
  AddTeacher(table, "LUIS", 3, 0);
  AddTeacher(table, "ANA", 1, 0);
  table.Close();
  EXPECT_EQ(static_cast<unsigned char>(dir_.Read("PROFT.dbf")[28]), 1);
  table.SetIndexName("ABREV");
  table.Open();
  EXPECT_EQ(Walk(table), (std::vector<std::string>{"ANA", "LUIS"}));
}

}  // namespace
}  // namespace tables
