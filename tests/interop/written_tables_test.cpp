// Tables written by our engine, read back by python3-dbfread, python3-dbf
// and GDAL's ogrinfo: each must see the rows and values we wrote, the
// header's record count and date of last update, and text in code page 1252.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <ctime>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "interop/interop_support.h"
#include "support/temp_dir.h"
#include "tables/files.h"
#include "tables/table.h"

namespace {

using interop::Value;

struct Row {
  std::string name;              // NOMBRE, text 30
  std::string code;              // CODIGO, text 5
  std::optional<int64_t> hours;  // HORAS, integer (nullopt: left empty)
  std::optional<double> amount;  // IMPORTE, float
  bool active = false;           // ACTIVO, logical
};

// Cuts UTF-8 text to `width` characters, as the engine stores text of
// code page 1252 (one byte per character), then drops trailing blanks as
// every reader does.
std::string Stored(const std::string& text, int width) {
  size_t end = 0;
  for (int chars = 0; end < text.size() && chars < width; ++chars) {
    ++end;
    while (end < text.size() && (text[end] & 0xC0) == 0x80) ++end;
  }
  std::string cut = text.substr(0, end);
  while (!cut.empty() && cut.back() == ' ') cut.pop_back();
  return cut;
}

std::string Shortest(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

std::vector<Row> Rows() {
  std::vector<Row> rows = {
      {"Àlgebra i Geometria", "MAT1", 4, 1.2345, true},
      {"Educació Física € Ñandú", "EF", 0, -0.0001, false},
      {"  sangría inicial", "LARGO-CODIGO", -7, 98765.4321, true},
      {"", "", std::nullopt, std::nullopt, false},
      {"Texto que no cabe en treinta caracteres de ancho", "X", 123456789, 0.5,
       true},
      {"con 'apóstrofo' y \"comillas\"", "Q'", -98765432, 3, false},
  };
  const char* kSyllables[] = {"ca", "ñe", "lí", "mo", "sú", "ta", "rè", "vo"};
  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  for (int i = 0; i < 300; ++i) {
    Row row;
    for (int s = 0; s < 2 + static_cast<int>(next() % 6); ++s)
      row.name += kSyllables[next() % 8];
    row.code = "C" + std::to_string(i);
    row.hours = static_cast<int64_t>(next() % 2000) - 1000;
    row.amount = (static_cast<int64_t>(next() % 2000000) - 1000000) / 10000.0;
    row.active = next() % 2 == 0;
    rows.push_back(row);
  }
  return rows;
}

// What every reader should report for `row`, field by field.
std::vector<interop::FieldValue> Expected(const Row& row) {
  return {
      {"NOMBRE", Value{'S', Stored(row.name, 30)}},
      {"CODIGO", Value{'S', Stored(row.code, 5)}},
      {"HORAS", row.hours ? Value{'N', Shortest(*row.hours)} : Value{'E', ""}},
      {"IMPORTE",
       row.amount ? Value{'N', Shortest(*row.amount)} : Value{'E', ""}},
      {"ACTIVO", Value{'L', row.active ? "1" : "0"}},
  };
}

std::string WriteTable(const std::string& folder,
                       const std::vector<Row>& rows) {
  tables::Table table("wwEscrita");
  table.SetDatabaseName(folder);
  table.SetTableName("ESCRITAT");
  table.AddFieldDef("Nombre", tables::FieldType::kText, 30);
  table.AddFieldDef("CODIGO", tables::FieldType::kText, 5);
  table.AddFieldDef("Horas", tables::FieldType::kInteger);
  table.AddFieldDef("IMPORTE", tables::FieldType::kFloat);
  table.AddFieldDef("activo", tables::FieldType::kLogical);
  table.AddIndexDef("CODIGO",
                    "CODIGO");  // a production index, as PLANTILLA has
  table.CreateTable();
  table.SetExclusive(true);
  table.Open();
  for (const Row& row : rows) {
    table.Append();
    table.FieldByName("nombre").SetAsString(row.name);
    table.FieldByName("Codigo").SetAsString(row.code);
    if (row.hours)
      table.FieldByName("HORAS").SetAsInteger(*row.hours);
    else
      table.FieldByName("HORAS").SetAsString("");
    if (row.amount) table.FieldByName("Importe").SetAsFloat(*row.amount);
    table.FieldByName("ACTIVO").SetAsBoolean(row.active);
    table.Post();
  }
  std::string path = table.FilePath();
  table.Close();
  return path;
}

bool SameValue(const Value& got, const Value& want) {
  if (got.kind != want.kind) return false;
  if (want.kind == 'N')
    return std::fabs(std::stod(got.text) - std::stod(want.text)) <=
           1e-9 * std::max(1.0, std::fabs(std::stod(want.text)));
  return got.text == want.text;
}

class WrittenTablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tables::SetDecimalSeparator('.');
    path_ = WriteTable(dir_.path().string(), rows_);
  }
  testing_support::TempDir dir_{"tqv-written"};
  std::vector<Row> rows_ = Rows();
  std::string path_;
};

TEST_F(WrittenTablesTest, PythonReadersSeeWhatWeWrote) {
  for (const char* reader : {"dbfread", "dbf"}) {
    SCOPED_TRACE(reader);
    interop::CommandResult result = interop::RunTool(reader, path_);
    ASSERT_EQ(result.status, 0) << result.output;
    std::vector<interop::Dump> dumps = interop::ParseDumps(result.output);
    ASSERT_EQ(dumps.size(), 1u);
    ASSERT_EQ(dumps[0].records.size(), rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i) {
      const interop::Record& got = dumps[0].records[i];
      std::vector<interop::FieldValue> want = Expected(rows_[i]);
      ASSERT_EQ(got.size(), want.size()) << "row " << i;
      for (size_t f = 0; f < want.size(); ++f) {
        EXPECT_EQ(got[f].field, want[f].field);
        EXPECT_TRUE(SameValue(got[f].value, want[f].value))
            << "row " << i << " " << want[f].field << ": read "
            << got[f].value.kind << " '" << got[f].value.text << "', wrote "
            << want[f].value.kind << " '" << want[f].value.text << "'";
      }
    }
  }
}

TEST_F(WrittenTablesTest, OurEngineReadsItBack) {
  tables::Table table;
  table.SetTableName(path_);
  table.Open();
  ASSERT_EQ(table.RecordCount(), static_cast<int64_t>(rows_.size()));
  size_t i = 0;
  for (table.First(); !table.Eof(); table.Next(), ++i) {
    ASSERT_LT(i, rows_.size());
    for (const interop::FieldValue& want : Expected(rows_[i]))
      interop::ExpectFieldEquals(table.FieldByName(want.field), want.value,
                                 "row " + std::to_string(i));
  }
  EXPECT_EQ(i, rows_.size());
}

// ogrinfo prints each feature as "  NAME (Type) = value" lines.
std::vector<std::vector<std::pair<std::string, std::string>>> OgrFeatures(
    const std::string& output) {
  std::vector<std::vector<std::pair<std::string, std::string>>> features;
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.rfind("OGRFeature(", 0) == 0) {
      features.emplace_back();
    } else if (!features.empty() && line.rfind("  ", 0) == 0) {
      size_t type = line.find(" (");
      size_t equals = line.find(") = ");
      if (type == std::string::npos || equals == std::string::npos) continue;
      features.back().emplace_back(line.substr(2, type - 2),
                                   line.substr(equals + 4));
    }
  }
  return features;
}

bool OgrMatches(const std::string& got, const Value& want) {
  if (want.kind == 'S') {
    // GDAL drops leading blanks as well as trailing ones.
    size_t start = want.text.find_first_not_of(' ');
    return got ==
           (start == std::string::npos ? "(null)" : want.text.substr(start));
  }
  if (want.kind == 'E' || (want.kind == 'S' && want.text.empty()))
    return got == "(null)" || got.empty();
  if (want.kind == 'N') {
    if (got == "(null)") return false;
    return std::fabs(std::stod(got) - std::stod(want.text)) < 1e-9;
  }
  if (want.kind == 'L')
    return want.text == "1" ? (got == "T" || got == "1")
                            : (got == "F" || got == "0");
  return got == want.text;
}

TEST_F(WrittenTablesTest, OgrinfoSeesWhatWeWrote) {
  interop::CommandResult result = interop::RunCommand(
      "ogrinfo -ro -al -q " + interop::ShellQuote(path_) + " 2>&1");
  ASSERT_EQ(result.status, 0) << result.output;
  EXPECT_EQ(result.output.find("ERROR"), std::string::npos) << result.output;
  EXPECT_EQ(result.output.find("Warning"), std::string::npos) << result.output;

  std::time_t now = std::time(nullptr);
  char today[16];
  std::strftime(today, sizeof today, "%Y-%m-%d", std::localtime(&now));
  EXPECT_NE(result.output.find(std::string("DBF_DATE_LAST_UPDATE=") + today),
            std::string::npos)
      << result.output.substr(0, 300);

  auto features = OgrFeatures(result.output);
  ASSERT_EQ(features.size(), rows_.size());
  for (size_t i = 0; i < rows_.size(); ++i) {
    std::vector<interop::FieldValue> want = Expected(rows_[i]);
    for (const interop::FieldValue& field : want) {
      std::string got = "(missing)";
      for (const auto& [name, text] : features[i])
        if (name == field.field) got = text;
      if (got == "(missing)" &&
          (field.value.kind == 'E' ||
           (field.value.kind == 'S' && field.value.text.empty())))
        continue;  // ogrinfo leaves out unset fields
      EXPECT_TRUE(OgrMatches(got, field.value))
          << "row " << i << " " << field.field << ": ogrinfo read '" << got
          << "', wrote '" << field.value.text << "'";
    }
  }
}

TEST(WrittenEmptyTableTest, EveryReaderSeesNoRows) {
  testing_support::TempDir dir("tqv-written");
  std::string path = WriteTable(dir.path().string(), {});
  for (const char* reader : {"dbfread", "dbf"}) {
    interop::CommandResult result = interop::RunTool(reader, path);
    ASSERT_EQ(result.status, 0) << reader << ": " << result.output;
    EXPECT_EQ(result.output, "") << reader;
  }
  interop::CommandResult ogr = interop::RunCommand(
      "ogrinfo -ro -al -so " + interop::ShellQuote(path) + " 2>&1");
  ASSERT_EQ(ogr.status, 0) << ogr.output;
  EXPECT_NE(ogr.output.find("Feature Count: 0"), std::string::npos)
      << ogr.output;
  EXPECT_EQ(ogr.output.find("ERROR"), std::string::npos) << ogr.output;
}

}  // namespace
