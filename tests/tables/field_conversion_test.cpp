// Reading and writing fields: conversions, widths, separators, messages.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "support/dbf_bytes.h"
#include "support/table_error_text.h"
#include "support/temp_dir.h"
#include "tables/files.h"
#include "tables/table.h"
#include "tables/table_error.h"

namespace tables {
namespace {

using testing_support::TempDir;

using testing_support::ErrorOf;

// A table with one field of each logical type, open with one new record.
class FieldConversionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetDecimalSeparator(',');
    table_.SetDatabaseName(dir_.path().string());
    table_.SetTableName("TIPOS");
    table_.AddFieldDef("TEXTO", FieldType::kText, 5);
    table_.AddFieldDef("ENTERO", FieldType::kInteger);
    table_.AddFieldDef("REAL", FieldType::kFloat);
    table_.AddFieldDef("LOGICO", FieldType::kLogical);
    table_.CreateTable();
    table_.Open();
    table_.Append();
  }
  void TearDown() override { SetDecimalSeparator('.'); }

  Field F(const char* name) { return table_.FieldByName(name); }

  // Posts, closes, reopens: the value comes from the file.
  void Reopen() {
    table_.Post();
    table_.Close();
    table_.Open();
  }

  TempDir dir_;
  Table table_;
};

TEST_F(FieldConversionTest, ColumnTypesOfTheLogicalTypes) {
  const std::tuple<const char*, char, int, int> cases[] = {
      {"TEXTO", 'C', 5, 0},
      {"ENTERO", 'N', 11, 0},
      {"REAL", 'N', 20, 4},
      {"LOGICO", 'L', 1, 0},
  };
  for (auto [name, type, size, decimals] : cases) {
    EXPECT_EQ(F(name).TypeLetter(), type) << name;
    EXPECT_EQ(F(name).Size(), size) << name;
    EXPECT_EQ(F(name).Decimals(), decimals) << name;
  }
}

TEST_F(FieldConversionTest, NumbersReadAsTextInShortestFormWithTheSeparator) {
  const std::pair<double, const char*> cases[] = {
      {2.5, "2,5"},        {0.1234, "0,1234"},
      {-7.0, "-7"},        {1234.5678, "1234,5678"},
      {0.00005, "0,0001"},  // kept to 4 decimals
      {0.0, "0"},
  };
  for (auto [value, text] : cases) {
    F("REAL").SetAsFloat(value);
    EXPECT_EQ(F("REAL").AsString(), text) << value;
  }
  F("REAL").SetAsFloat(1234.5678);
  Reopen();
  EXPECT_EQ(F("REAL").AsFloat(), 1234.5678);  // four decimals exactly
}

TEST_F(FieldConversionTest, IntegersKeepTenDigitsAndSign) {
  for (int64_t value : {int64_t{0}, int64_t{9999999999}, int64_t{-9999999999},
                        int64_t{12345678}}) {
    table_.Edit();
    F("ENTERO").SetAsInteger(value);
    Reopen();
    EXPECT_EQ(F("ENTERO").AsInteger(), value);
    EXPECT_EQ(F("ENTERO").AsString(), std::to_string(value));
    table_.Edit();
  }
  EXPECT_EQ(ErrorOf([&] { F("ENTERO").SetAsInteger(123456789012); }),
            "El valor '123456789012' no cabe en el campo 'ENTERO'");
  EXPECT_EQ(ErrorOf([&] { F("ENTERO").SetAsInteger(INT64_MIN); }),
            "El valor '-9223372036854775808' no cabe en el campo 'ENTERO'");
  EXPECT_EQ(ErrorOf([&] { F("ENTERO").SetAsInteger(INT64_MAX); }),
            "El valor '9223372036854775807' no cabe en el campo 'ENTERO'");
}

TEST_F(FieldConversionTest, TextWrittenToNumbersIsParsedOrRefused) {
  struct Case {
    const char* field;
    const char* text;
    const char* error;  // "" when accepted
    const char* read;
  };
  const Case cases[] = {
      {"ENTERO", "42", "", "42"},
      {"ENTERO", " -42 ", "", "-42"},
      {"ENTERO", "", "", ""},
      {"ENTERO", "4,5",
       "'4,5' no es un valor entero válido para el campo 'ENTERO'", ""},
      {"ENTERO", "abc",
       "'abc' no es un valor entero válido para el campo 'ENTERO'", ""},
      {"REAL", "3,75", "", "3,75"},
      {"REAL", "3.75", "'3.75' no es un valor punto flotante válido", ""},
      {"REAL", "", "", ""},
      {"LOGICO", "T", "", "T"},
      {"LOGICO", "quizá", "'quizá' no es un valor lógico válido", ""},
  };
  for (const Case& c : cases) {
    F(c.field).Clear();
    EXPECT_EQ(ErrorOf([&] { F(c.field).SetAsString(c.text); }), c.error)
        << c.field << " " << c.text;
    if (*c.error == '\0') {
      EXPECT_EQ(F(c.field).AsString(), c.read) << c.text;
    }
  }
}

TEST_F(FieldConversionTest, TextReadAsNumbers) {
  const std::pair<const char*, const char*> integer_errors[] = {
      {"12a", "'12a' no es un valor entero válido"},
      {"1,5", "'1,5' no es un valor entero válido"},
  };
  for (auto [text, error] : integer_errors) {
    F("TEXTO").SetAsString(text);
    EXPECT_EQ(ErrorOf([&] { (void)F("TEXTO").AsInteger(); }), error);
  }
  F("TEXTO").SetAsString(" 17");
  EXPECT_EQ(F("TEXTO").AsInteger(), 17);
  F("TEXTO").SetAsString(" 1,5 ");
  EXPECT_EQ(F("TEXTO").AsFloat(), 1.5);
  F("TEXTO").SetAsString("1.5");
  EXPECT_EQ(ErrorOf([&] { (void)F("TEXTO").AsFloat(); }),
            "'1.5' no es un valor punto flotante válido");
  F("TEXTO").SetAsString("");
  EXPECT_EQ(F("TEXTO").AsInteger(), 0);
  EXPECT_EQ(F("TEXTO").AsFloat(), 0.0);
  EXPECT_EQ(F("TEXTO").AsDateTime(), 0.0);
}

TEST_F(FieldConversionTest, EmptyValuesReadAsEmpty) {
  Reopen();
  for (const char* name : {"TEXTO", "ENTERO", "REAL", "LOGICO"}) {
    EXPECT_EQ(F(name).AsString(), "") << name;
    EXPECT_TRUE(F(name).IsNull()) << name;
    EXPECT_EQ(F(name).AsInteger(), 0) << name;
  }
  EXPECT_FALSE(F("LOGICO").AsBoolean());
}

TEST_F(FieldConversionTest, IntegersWrittenToTextAreCutLikeText) {
  const std::pair<int64_t, const char*> cases[] = {
      {123, "123"}, {-1234567, "-1234"}, {0, "0"}, {99999, "99999"}};
  for (auto [written, read] : cases) {
    table_.Edit();
    F("TEXTO").SetAsInteger(written);
    Reopen();
    EXPECT_EQ(F("TEXTO").AsString(), read) << written;
  }
}

TEST_F(FieldConversionTest, TextIsCutToTheWidthWithoutFillBlanksOnRead) {
  const std::pair<const char*, const char*> cases[] = {
      {"abcdefgh", "abcde"},
      {"ab   ", "ab"},
      {"  ab", "  ab"},
      {"ñandúes", "ñandú"},  // one byte per character in code page 1252
      {"€€€€€€", "€€€€€"},
      {"x", "x"},  // a shorter text leaves nothing of
                   // the longer one
      {"", ""},
      {"abcde", "abcde"},
  };
  for (auto [written, read] : cases) {
    table_.Edit();
    F("ENTERO").SetAsInteger(-1234567890);  // the next field, kept intact
    F("TEXTO").SetAsString(written);
    Reopen();
    EXPECT_EQ(F("TEXTO").AsString(), read) << written;
    EXPECT_EQ(F("ENTERO").AsInteger(), -1234567890) << written;
    EXPECT_EQ(dir_.Read("TIPOS.dbf")[0], '\x03');
  }
}

// Whole numbers as other programs store them: blanks before, blanks or NULs
// after, leading zeros, a sign; decimals and exponents read by their value
// and rounded; anything else fails with the stored text.
TEST(FieldIntegerTest, StoredNumbersReadAsTheirRoundedValue) {
  using Read = std::variant<int64_t, std::string>;  // a value or an error
  const std::pair<std::string, Read> cases[] = {
      {"", int64_t{0}},
      {std::string(16, '\0'), int64_t{0}},
      {std::string("   \0\0", 5), int64_t{0}},
      {"7", int64_t{7}},
      {"-12", int64_t{-12}},
      {"0000000000000007", int64_t{7}},
      {std::string("12\0 ", 4), int64_t{12}},
      {"-0", int64_t{0}},
      {"123456789012345", int64_t{123456789012345}},
      {"-123456789012345", int64_t{-123456789012345}},
      {"1234567890123456", int64_t{1234567890123456}},
      {"+5", int64_t{5}},
      {"1.0", int64_t{1}},
      {"-7.6", int64_t{-8}},
      {"1e3", int64_t{1000}},
      {"\t12", int64_t{12}},
      {"1 2", std::string("'1 2' no es un valor punto flotante válido")},
      {" - 1", std::string("'- 1' no es un valor punto flotante válido")},
      {"-", std::string("'-' no es un valor punto flotante válido")},
  };
  TempDir dir;
  std::vector<testing_support::Row> rows;
  for (const auto& [stored, read] : cases) {
    ASSERT_LE(stored.size(), 16u);
    rows.push_back({std::string(16 - stored.size(), ' ') + stored});
  }
  dir.Write("NUMEROS.DBF",
            testing_support::DbfBytes({{"NUMERO", 'N', 16, 0}}, rows));
  Table table;
  table.SetDatabaseName(dir.path().string());
  table.SetTableName("NUMEROS");
  table.Open();
  table.First();
  for (const auto& [stored, read] : cases) {
    ASSERT_FALSE(table.Eof());
    Read got;
    try {
      got = table.FieldByName("NUMERO").AsInteger();
    } catch (const TableError& error) {
      got = std::string(error.what());
    }
    EXPECT_EQ(got, read) << "stored '" << stored << "'";
    table.Next();
  }
}

}  // namespace
}  // namespace tables
