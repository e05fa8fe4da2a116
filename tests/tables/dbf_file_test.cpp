// Files written byte by byte: what other writers leave behind, and damage.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/table_error_text.h"
#include "support/temp_dir.h"
#include "tables/files.h"
#include "tables/table.h"
#include "tables/table_error.h"

namespace tables {
namespace {

using testing_support::TempDir;

struct Column {
  const char* name;
  char type;
  int length;
  int decimals = 0;
};

// A dBase III table: header, descriptors, records, optional end-of-file.
std::string MakeDbf(const std::vector<Column>& columns,
                    const std::vector<std::string>& records,
                    uint8_t version = 0x03, uint8_t driver = 0x03,
                    int64_t count = -1, bool eof = true) {
  std::string out(32, '\0');
  int record_length = 1;
  for (const Column& c : columns) record_length += c.length;
  const int header_length = 32 + 32 * static_cast<int>(columns.size()) + 1;
  const uint32_t n = static_cast<uint32_t>(
      count < 0 ? static_cast<int64_t>(records.size()) : count);
  out[0] = static_cast<char>(version);
  out[1] = 124, out[2] = 1, out[3] = 1;
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<char>(n >> (8 * i));
  out[8] = static_cast<char>(header_length & 0xFF);
  out[9] = static_cast<char>(header_length >> 8);
  out[10] = static_cast<char>(record_length & 0xFF);
  out[11] = static_cast<char>(record_length >> 8);
  out[29] = static_cast<char>(driver);
  for (const Column& c : columns) {
    std::string d(32, '\0');
    d.replace(0, std::string(c.name).size(), c.name);
    d[11] = c.type;
    d[16] = static_cast<char>(c.length);
    d[17] = static_cast<char>(c.decimals);
    out += d;
  }
  out += '\x0D';
  for (const std::string& r : records) {
    std::string padded = r;
    padded.resize(static_cast<size_t>(record_length), ' ');
    out += padded;
  }
  if (eof) out += '\x1A';
  return out;
}

using testing_support::ErrorOf;

class DbfFileTest : public ::testing::Test {
 protected:
  void SetUp() override { SetDecimalSeparator('.'); }

  std::vector<std::string> ReadAll(const std::string& name,
                                   const char* field = "COD") {
    Table table;
    table.SetTableName(dir_.File(name));
    table.Open();
    std::vector<std::string> values;
    for (table.First(); !table.Eof(); table.Next())
      values.push_back(table.FieldByName(field).AsString());
    return values;
  }

  TempDir dir_;
};

using Values = std::vector<std::string>;

TEST_F(DbfFileTest, DeletedRecordsAreHiddenAndOddFlagsAreNot) {
  dir_.Write("t.dbf", MakeDbf({{"COD", 'C', 3}},
                              {" AAA", "*BBB", std::string("\0CCC", 4), "XDDD",
                               " EEE"}));
  EXPECT_EQ(ReadAll("t.dbf"), (Values{"AAA", "CCC", "DDD", "EEE"}));
}

TEST_F(DbfFileTest, RecordCountFollowsTheDataThatIsThere) {
  const std::vector<std::string> rows = {" AAA", " BBB", " CCC"};
  struct Case {
    const char* what;
    int64_t header_count;
    bool eof;
    size_t cut;  // bytes removed from the end
    Values read;
  };
  const Case cases[] = {
      {"exact", 3, true, 0, {"AAA", "BBB", "CCC"}},
      {"no end-of-file byte", 3, false, 0, {"AAA", "BBB", "CCC"}},
      {"count too large", 9, true, 0, {"AAA", "BBB", "CCC"}},
      {"count too small, no marker", 1, false, 0, {"AAA", "BBB", "CCC"}},
      {"count too small, marker after it", 1, true, 0, {"AAA"}},
      {"last record cut", 3, false, 2, {"AAA", "BBB"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> records = rows;
    std::string bytes =
        MakeDbf({{"COD", 'C', 3}}, records, 0x03, 0x03, c.header_count, c.eof);
    if (c.header_count == 1 && c.eof) {
      // The marker right after the counted record, the rest after it.
      bytes = MakeDbf({{"COD", 'C', 3}}, {" AAA"}, 0x03, 0x03, 1, true) +
              " BBB CCC";
    }
    bytes.resize(bytes.size() - c.cut);
    dir_.Write("t.dbf", bytes);
    EXPECT_EQ(ReadAll("t.dbf"), c.read) << c.what;
    EXPECT_EQ(dir_.Read("t.dbf"), bytes) << c.what << ": reading wrote";
  }
}

TEST_F(DbfFileTest, LanguageDriverChoosesHowTextReads) {
  const std::pair<uint8_t, const char*> cases[] = {
      {0x03, "Mat\xC3\xA8ria"},  // 1252: è
      {0x00, "Mat\xC3\xA8ria"},  // none: 1252
      {0x02, "Mat\xC3\x9Eria"},  // 850: 0xE8 is Þ
      {0xC9, "Mat\xD0\xB8ria"},  // 1251: и
  };
  for (auto [driver, text] : cases) {
    dir_.Write("t.dbf",
               MakeDbf({{"COD", 'C', 7}}, {" Mat\xE8ria"}, 0x03, driver));
    EXPECT_EQ(ReadAll("t.dbf"), Values{text}) << static_cast<int>(driver);
  }
}

TEST_F(DbfFileTest, Utf8TablesCutWritesBetweenCharacters) {
  dir_.Write("u.dbf", MakeDbf({{"COD", 'C', 5}}, {}, 0x03, 0xF0));
  Table table;
  table.SetTableName(dir_.File("u.dbf"));
  table.Open();
  table.Append();
  table.FieldByName("COD").SetAsString("ñandú");  // 7 bytes in UTF-8
  table.Post();
  EXPECT_EQ(table.FieldByName("COD").AsString(), "ñand");
  table.Close();
  EXPECT_EQ(ReadAll("u.dbf"), Values{"ñand"});
}

TEST_F(DbfFileTest, NumbersDatesAndLogicalsAsStored) {
  SetDecimalSeparator(',');
  dir_.Write("t.dbf",
             MakeDbf({{"COD", 'N', 8, 2}, {"FECHA", 'D', 8}, {"SI", 'L', 1}},
                     {"    12.5020240229T", "   -0.125        ?",
                      "  1,200.020241399Y"}));
  EXPECT_EQ(ReadAll("t.dbf"), (Values{"12,5", "-0,125", "1,200.0"}));
  EXPECT_EQ(ReadAll("t.dbf", "FECHA"), (Values{"29/02/2024", "", "20241399"}));
  EXPECT_EQ(ReadAll("t.dbf", "SI"), (Values{"T", "", "T"}));
  Table table;
  table.SetTableName(dir_.File("t.dbf"));
  table.Open();
  EXPECT_EQ(table.FieldByName("FECHA").AsDateTime(), 45351.0);  // 2024-02-29
  table.Next();
  table.Next();
  EXPECT_EQ(ErrorOf([&] { (void)table.FieldByName("FECHA").AsDateTime(); }),
            "'20241399' no es una fecha válida");
  EXPECT_EQ(ErrorOf([&] { (void)table.FieldByName("COD").AsFloat(); }),
            "'1,200.0' no es un valor punto flotante válido");
  SetDecimalSeparator('.');
}

TEST_F(DbfFileTest, HeaderDamageFailsWithTheFileNamed) {
  const std::string good =
      MakeDbf({{"COD", 'C', 3}, {"N", 'N', 4}}, {" AAA   1", " BBB   2"});
  const std::string path = dir_.File("danada.dbf");
  const std::string prefix = "La tabla '" + path + "' está dañada: ";
  struct Case {
    const char* what;
    size_t at;
    char value;
    std::string error;
  };
  const Case cases[] = {
      {"unknown version", 0, '\x05', prefix + "versión de dBase no admitida"},
      {"header length past the end", 9, '\x7F',
       prefix + "la longitud de la cabecera no es válida"},
      {"record length zero", 10, '\0', prefix + "la longitud de registro es 0"},
      {"field longer than the record", 48, '\x40',
       prefix + "los campos no caben en la longitud de registro"},
      {"unknown field type", 43, 'Z', prefix + "tipo de campo desconocido"},
      {"zero-width field", 48, '\0', prefix + "campo de longitud 0"},
  };
  for (const Case& c : cases) {
    std::string bytes = good;
    bytes[c.at] = c.value;
    dir_.Write("danada.dbf", bytes);
    Table table;
    table.SetTableName(path);
    EXPECT_EQ(ErrorOf([&] { table.Open(); }), c.error) << c.what;
  }
  dir_.Write("danada.dbf", good.substr(0, 20));
  Table table;
  table.SetTableName(path);
  EXPECT_EQ(ErrorOf([&] { table.Open(); }),
            prefix + "la cabecera está incompleta");
}

// Every prefix and every single-byte change of a small table either reads
// or fails with a TableError: never a crash, a hang or another exception.
TEST_F(DbfFileTest, EveryCutAndEveryByteChangeIsHandled) {
  const std::string good =
      MakeDbf({{"COD", 'C', 3}, {"N", 'N', 4, 1}, {"D", 'D', 8}},
              {" AAA 1.520240101", "*BBB  2 20231231", " CCC-9.9        "});
  const std::string path = dir_.File("t.dbf");
  auto read_all = [&] {
    Table table;
    table.SetTableName(path);
    table.Open();
    for (table.First(); !table.Eof(); table.Next()) {
      for (int i = 0; i < table.FieldCount(); ++i) {
        try {
          (void)table.FieldAt(i).AsString();
          (void)table.FieldAt(i).AsFloat();
        } catch (const TableError&) {
        }
      }
    }
  };
  for (size_t size = 0; size <= good.size(); ++size) {
    dir_.Write("t.dbf", good.substr(0, size));
    try {
      read_all();
    } catch (const TableError&) {
    }
  }
  for (size_t at = 0; at < good.size(); ++at) {
    for (int value : {0x00, 0x0D, 0x1A, 0x2A, 0x7F, 0xFF}) {
      std::string bytes = good;
      bytes[at] = static_cast<char>(value);
      dir_.Write("t.dbf", bytes);
      try {
        read_all();
      } catch (const TableError&) {
      }
    }
  }
}

TEST_F(DbfFileTest, MemoFilesMissingOrShortAreReportedByName) {
  // dBase III with memo: one memo in block 1 of a 512-byte block file.
  std::string dbt(512, '\0');
  dbt[0] = 2;
  dbt += "Primera nota\x1A\x1A";
  dbt.resize(1024, '\0');
  const std::string dbf = MakeDbf({{"COD", 'C', 3}, {"NOTA", 'M', 10}},
                                  {" AAA         1", " BBB          "}, 0x83);
  dir_.Write("memo.dbf", dbf);
  dir_.Write("MEMO.DBT", dbt);
  EXPECT_EQ(ReadAll("memo.dbf", "NOTA"), (Values{"Primera nota", ""}));

  std::string far = dbf;
  far.replace(far.find("         1"), 10, "        99");
  dir_.Write("memo.dbf", far);
  const std::string memo = dir_.File("memo.dbt");
  EXPECT_EQ(ErrorOf([&] { ReadAll("memo.dbf", "NOTA"); }),
            "El archivo memo '" + memo +
                "' está dañado: referencia fuera del archivo");

  dir_.Write("memo.dbf", dbf);
  std::filesystem::remove(dir_.path() / "MEMO.DBT");
  EXPECT_EQ(ReadAll("memo.dbf"), (Values{"AAA", "BBB"}));  // opens
  EXPECT_EQ(ErrorOf([&] { ReadAll("memo.dbf", "NOTA"); }),
            "No se encuentra el archivo memo '" + memo + "'");
}

TEST_F(DbfFileTest, VisualFoxProAutoincrementNumbersNewRecords) {
  std::string bytes =
      MakeDbf({{"ID", 'I', 4}, {"COD", 'C', 3}}, {}, 0x30, 0x03);
  bytes[32 + 18] = 0x0C;  // autoincrement, next 5, step 2
  bytes[32 + 19] = 5;
  bytes[32 + 23] = 2;
  dir_.Write("auto.dbf", bytes);
  Table table;
  table.SetTableName(dir_.File("auto.dbf"));
  table.Open();
  for (const char* cod : {"AAA", "BBB"}) {
    table.Append();
    table.FieldByName("COD").SetAsString(cod);
    table.Post();
  }
  EXPECT_EQ(
      ErrorOf([&] { table.Edit(), table.FieldByName("ID").SetAsInteger(1); }),
      "El campo 'ID' no se puede modificar");
  table.Close();
  EXPECT_EQ(ReadAll("auto.dbf", "ID"), (Values{"5", "7"}));
  EXPECT_EQ(dir_.Read("auto.dbf")[32 + 19], 9);
}

// An index file we do not keep up to date must not be trusted after a
// change: the flag that announces it goes down before the data changes.
TEST_F(DbfFileTest, IndexFlagsWeCannotHonourGoDownOnTheFirstChange) {
  const std::tuple<uint8_t, uint8_t, uint8_t> cases[] = {
      {0x03, 0x01, 0x00},  // dBase, .MDX announced but missing
      {0x30, 0x03, 0x02},  // Visual FoxPro: .CDX bit cleared, memo bit kept
      {0xF5, 0x01, 0x00},  // FoxPro 2 with a .CDX
  };
  for (auto [version, before, after] : cases) {
    std::string bytes = MakeDbf({{"COD", 'C', 3}}, {" AAA"}, version, 0x03);
    bytes[28] = static_cast<char>(before);
    dir_.Write("i.dbf", bytes);
    EXPECT_EQ(ReadAll("i.dbf"), Values{"AAA"});
    EXPECT_EQ(dir_.Read("i.dbf")[28], static_cast<char>(before));  // read only
    Table table;
    table.SetTableName(dir_.File("i.dbf"));
    table.Open();
    table.Edit();
    table.FieldByName("COD").SetAsString("BBB");
    table.Post();
    table.Close();
    EXPECT_EQ(dir_.Read("i.dbf")[28], static_cast<char>(after))
        << static_cast<int>(version);
  }
}

// dBase 7 binary numbers: big-endian, sign bit flipped (I), sortable
// doubles (O); all zero bytes are empty.
TEST_F(DbfFileTest, DbaseSevenNumbersReadAsTheirValues) {
  std::string header(68, '\0');
  header[0] = 0x04;
  header[8] = static_cast<char>(68 + 2 * 48 + 1);
  header[10] = 1 + 4 + 8;
  header[4] = 3;
  header.replace(32, 8, "DBWINUS0");
  std::string i_field(48, '\0'), o_field(48, '\0');
  i_field.replace(0, 1, "I");
  i_field[32] = 'I', i_field[33] = 4;
  o_field.replace(0, 1, "O");
  o_field[32] = 'O', o_field[33] = 8;
  const std::string records =
      std::string(" \x80\x00\x00\x05", 5) +                  // 5
      std::string("\xC0\x45\xD3\x33\x33\x33\x33\x33", 8) +   // 43.65
      std::string(" \x7F\xFF\xFF\xFE", 5) +                  // -2
      std::string("\x3F\x97\x00\x51\xEB\x85\x1E\xB7", 8) +   // -199.99..
      std::string(" ", 1) + std::string(12, '\0') + "\x1A";  // empty
  dir_.Write("d7.dbf", header + i_field + o_field + "\x0D" + records);
  EXPECT_EQ(ReadAll("d7.dbf", "I"), (Values{"5", "-2", ""}));
  EXPECT_EQ(ReadAll("d7.dbf", "O"), (Values{"43.65", "-199.99", ""}));
  Table table;
  table.SetTableName(dir_.File("d7.dbf"));
  table.Open();
  EXPECT_FALSE(table.FieldByName("I").IsNull());
  table.Next();
  table.Next();
  EXPECT_TRUE(table.FieldByName("I").IsNull());
  EXPECT_TRUE(table.FieldByName("O").IsNull());
}

}  // namespace
}  // namespace tables
