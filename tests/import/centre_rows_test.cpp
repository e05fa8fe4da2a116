#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "import/import_fixture.h"
#include "import/timetable_files.h"
#include "support/faulty_file_system.h"
#include "support/table_error_text.h"
#include "tables/kept_rows.h"

namespace import_testing {
namespace {

constexpr char kPath[] = "C:\\QTEMP\\VALENCIA\\horprof.dbf";
constexpr char kRelative[] = "QTEMP/VALENCIA/horprof.dbf";

// Only the columns that matter here: Codcen between two others.
const std::vector<Column> kColumns = {
    {"Diasem", 'N', 1}, {"Codcen", 'C', 8}, {"dni", 'N', 10}};

class CentreRowsTest : public ImportFixture {
 protected:
  // The file that walking the table through the engine keeps: the old
  // header with the new count, the records whose Codcen (read as text)
  // differs from `centre`, in stored order, and the end byte.
  std::string EngineKeeps(const std::string& centre) {
    const std::string old_bytes = drive_.Read(kRelative);
    const size_t header = static_cast<unsigned char>(old_bytes[8]) |
                          static_cast<unsigned char>(old_bytes[9]) << 8;
    const size_t record = static_cast<unsigned char>(old_bytes[10]) |
                          static_cast<unsigned char>(old_bytes[11]) << 8;
    std::string bytes = old_bytes.substr(0, header);
    tables::Table table(testing_support::DriveC());
    table.SetTableName(kPath);
    table.Open();
    uint32_t count = 0;
    for (table.First(); !table.Eof(); table.Next()) {
      if (table.FieldByName("Codcen").AsString() == centre) continue;
      bytes.append(old_bytes, header + (table.RecNo() - 1) * record, record);
      ++count;
    }
    for (int i = 0; i < 4; ++i)
      bytes[4 + i] = static_cast<char>(count >> 8 * i);
    return bytes + '\x1a';
  }
};

// Sets the byte at `at` of the `record`-th record (from 0) of kColumns.
std::function<void(std::string&)> SetByte(size_t record, size_t at, char c) {
  return [=](std::string& bytes) {
    bytes[32 + 32 * kColumns.size() + 1 + record * 20 + at] = c;
  };
}

TEST_F(CentreRowsTest, KeepsWhatTheEngineKeepsOrLeavesItToTheEngine) {
  const std::string c = kCentre;
  const std::vector<Row> mixed = {
      {"1", c, "1"},           {"2", kOtherCentre, "2"},
      {"3", "", "3"},          {"4", c.substr(0, 7), "4"},
      {"5", "4601234X", "5"},  {"6", c, "6"},
      {"7", kOtherCentre, "7"}};
  const auto none = [](std::string&) {};
  const struct {
    const char* name;
    std::vector<Column> columns;
    std::vector<Row> rows;
    std::function<void(std::string&)> change;
    std::string centre;
    bool scanned;  // false: left to the engine's walk
  } cases[] = {
      {"mixed rows", kColumns, mixed, none, c, true},
      {"no rows", kColumns, {}, none, c, true},
      {"every row this centre's",
       kColumns,
       {{"1", c, "1"}, {"2", c, "2"}},
       none,
       c,
       true},
      {"a deleted row of another centre", kColumns, mixed, SetByte(1, 0, '*'),
       c, true},
      {"a deleted row of this centre", kColumns, mixed, SetByte(0, 0, '*'), c,
       true},
      {"NULs after the code",
       kColumns,
       {{"1", "4601234", "1"}},
       SetByte(0, 9, '\0'),
       "4601234",
       true},
      {"a NUL inside the code",
       kColumns,
       {{"1", "46012345", "1"}},
       SetByte(0, 3, '\0'),
       c,
       true},
      {"a lower-case field name",
       {{"codcen", 'C', 8}, {"dni", 'N', 10}},
       {{c, "1"}, {kOtherCentre, "2"}},
       none,
       c,
       true},
      {"a lower-case centre",
       kColumns,
       {{"1", "abc", "1"}, {"2", "ABC", "2"}},
       none,
       "abc",
       true},
      {"a centre with a trailing blank", kColumns, mixed, none, c + " ", true},
      {"a wide code column (width's high byte in the decimals byte)",
       {{"Codcen", 'C', 300, 1}},
       {{c}, {"x"}},
       none,
       c,
       true},
      {"a header count too high", kColumns, mixed,
       [](std::string& b) { b[4] = 9; }, c, false},
      {"a header count too low", kColumns, mixed,
       [](std::string& b) { b[4] = 2; }, c, false},
      {"a memo table version", kColumns, mixed,
       [](std::string& b) { b[0] = '\x83'; }, c, false},
      {"an accented code kept",
       kColumns,
       {{"1", "4601234É", "1"}},
       none,
       c,
       false},
      {"an empty centre", kColumns, mixed, none, "", false},
      {"no code column", {{"Diasem", 'N', 1}}, {}, none, c, false},
      {"a numeric code column",
       {{"Codcen", 'N', 8}},
       {{"46012345"}},
       none,
       "46012345",
       false},
  };
  for (const auto& tc : cases) {
    std::string bytes = DbfBytes(tc.columns, tc.rows);
    tc.change(bytes);
    drive_.Write(kRelative, bytes);
    const std::string expected = EngineKeeps(tc.centre);
    const auto scanned = tables::ScanKeepingRowsExcept(
        testing_support::DriveC(), Native(kRelative), "Codcen", tc.centre);
    ASSERT_EQ(scanned.has_value(), tc.scanned) << tc.name;
    if (scanned) {
      EXPECT_EQ(*scanned, expected) << tc.name;
    }
    // Either way the component's file ends up as the engine would keep it.
    context_.wwTableHorProf.Close();
    importing::KeepOtherCentreRows(context_.wwTableHorProf, tc.centre);
    EXPECT_EQ(drive_.Read(kRelative), expected) << tc.name;
  }
}

TEST_F(CentreRowsTest, ScansTablesLargerThanOneBlock) {
  std::vector<Row> rows;
  for (int i = 0; i < 30000; ++i) {
    rows.push_back({std::to_string(i % 10),
                    i % 7 == 0 ? std::string(kCentre) : "C" + std::to_string(i),
                    std::to_string(i)});
  }
  drive_.Write(kRelative, DbfBytes(kColumns, rows));
  const std::string expected = EngineKeeps(kCentre);
  const auto scanned = tables::ScanKeepingRowsExcept(
      testing_support::DriveC(), Native(kRelative), "Codcen", kCentre);
  ASSERT_TRUE(scanned.has_value());
  EXPECT_EQ(*scanned, expected);
}

// A read that fails while the rows are scanned leaves them to the walk,
// which keeps the same rows; one that fails for the walk too is reported
// with the system's reason, and the table's file is left as it was.
TEST_F(CentreRowsTest, AFailingReadFallsBackToTheWalkOrIsReported) {
  using Fs = testing_support::FaultyFileSystem;
  const std::vector<Row> rows = {
      {"1", kCentre, "1"}, {"2", kOtherCentre, "2"}, {"3", "X", "3"}};
  const std::string bytes = DbfBytes(kColumns, rows);
  drive_.Write(kRelative, bytes);
  const std::string expected = EngineKeeps(kCentre);

  Fs files(testing_support::DriveC());
  tables::Table table(files);
  table.SetTableName(kPath);
  files.FailAt(Fs::Call::kReadAt, Fs::Fault::kAccessDenied, 6);
  EXPECT_EQ(table.ContentKeepingRowsExcept("Codcen", kCentre), expected);

  files.Heal();
  files.FailAlways(Fs::Call::kReadAt, Fs::Fault::kAccessDenied);
  EXPECT_EQ(testing_support::ErrorOf(
                [&] { table.ContentKeepingRowsExcept("Codcen", kCentre); }),
            "Error de entrada/salida en '" + std::string(kPath) +
                "': Acceso al archivo denegado");
  EXPECT_EQ(drive_.Read(kRelative), bytes);
  EXPECT_FALSE(table.Active());
}

// In a filtered or indexed component the walk keeps the rows in the
// component's order, and only those the filter shows.
TEST_F(CentreRowsTest, AFilteredComponentKeepsWhatItShows) {
  const std::vector<Row> rows = {
      {"2", "B", "1"}, {"1", kCentre, "2"}, {"1", "A", "3"}, {"2", "C", "4"}};
  drive_.Write(kRelative, DbfBytes(kColumns, rows));
  tables::Table table(testing_support::DriveC());
  table.SetTableName(kPath);
  table.SetFilter("Diasem= '1'");
  table.SetFiltered(true);
  const std::string kept = table.ContentKeepingRowsExcept("Codcen", kCentre);
  const std::string all = DbfBytes(kColumns, rows);
  const size_t header = all.size() - 1 - 4 * 20;
  EXPECT_EQ(kept, all.substr(0, 4) + std::string("\x01\0\0\0", 4) +
                      all.substr(8, header - 8) + all.substr(header + 40, 20) +
                      "\x1a");
}

}  // namespace
}  // namespace import_testing
