// Real dBase files written by other programs (tests/data/dbf-corpus, each
// folder with its source's licence) read with our engine: what each folder's
// MANIFEST.txt and the *_summary.txt / *.yml files say about them, every
// value as dbfread reads it, and the odd cases (missing memo, short or damaged
// files, NUL deletion flags, Cyrillic and UTF-8 text) each with the behaviour
// we chose.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "interop/interop_support.h"
#include "support/temp_dir.h"
#include "tables/files.h"
#include "tables/table.h"
#include "tables/table_error.h"

namespace {

namespace fs = std::filesystem;

// The corpus travels with the sources, so a missing folder is a broken
// checkout and fails the tests rather than skipping them.
std::optional<fs::path> CorpusDir() {
  const fs::path corpus =
      fs::path(TQV_SOURCE_DIR) / "tests" / "data" / "dbf-corpus";
  if (fs::exists(corpus / "infused-dbf" / "MANIFEST.txt")) return corpus;
  return std::nullopt;
}

#define REQUIRE_CORPUS(dir)                  \
  std::optional<fs::path> dir = CorpusDir(); \
  ASSERT_TRUE(dir) << "no corpus in tests/data/dbf-corpus"

// One table line of a MANIFEST.txt.
struct Entry {
  std::string file;  // relative to the corpus folder
  int version = 0;
  int64_t header_records = 0;
  int64_t fitting_records = 0;
  int64_t deleted = 0;
  std::string types;  // column letters present
  int64_t Visible() const {
    return std::min(header_records, fitting_records) - deleted;
  }
};

std::vector<Entry> ReadManifests(const fs::path& corpus) {
  static const std::regex kLine(
      R"(^(\S+)\s+ver=0x([0-9a-f]{2}) recs=(\d+) \(fits (\d+)\).* )"
      R"(deleted=(\d+) oddflags=\[[^\]]*\] types=(\S*))");
  std::vector<Entry> entries;
  for (const char* folder :
       {"infused-dbf", "luads-php-xbase", "olemb-dbfread"}) {
    std::ifstream manifest(corpus / folder / "MANIFEST.txt");
    std::string line;
    std::smatch m;
    while (std::getline(manifest, line)) {
      if (!std::regex_search(line, m, kLine)) continue;
      entries.push_back(Entry{std::string(folder) + "/" + m[1].str(),
                              std::stoi(m[2].str(), nullptr, 16),
                              std::stoll(m[3].str()), std::stoll(m[4].str()),
                              std::stoll(m[5].str()), m[6].str()});
    }
  }
  return entries;
}

// Tables whose memo file is not in the corpus.
const std::set<std::string> kMissingMemo = {
    "infused-dbf/dbase_83_missing_memo.dbf",
    "infused-dbf/dbase_8b_incorrect_record_count.dbf",
    "infused-dbf/dbase_8c.dbf",
    "luads-php-xbase/foxpro/1.dbf",
    "olemb-dbfread/no_memofile.dbf",
};

// dBase II keeps another header layout; we read no dBase II tables and say
// so, naming the file.
constexpr char kDbase2[] = "dbase_02.dbf";

bool IsTable(const Entry& entry) {
  // The .DBC database container is a table too, but no program opens it
  // as one of its tables.
  return fs::path(entry.file).extension() == ".dbf";
}

bool IsDbase7(int version) { return version == 0x04 || version == 0x8C; }

std::string Stem(const std::string& file) {
  return fs::path(file).stem().string();
}

// Opens `path` and reads every field of every record as text. Returns the
// number of records walked.
int64_t WalkAll(tables::Table& table, const std::string& path) {
  table.SetTableName(path);
  table.SetReadOnly(true);
  table.Open();
  int64_t walked = 0;
  int64_t last = 0;
  for (table.First(); !table.Eof(); table.Next()) {
    ++walked;
    EXPECT_GT(table.RecNo(), last) << "records walked out of order";
    last = table.RecNo();
    for (int i = 0; i < table.FieldCount(); ++i)
      (void)table.FieldAt(i).AsString();
  }
  return walked;
}

// Expects a TableError whose text names the file `stem`.
void ExpectErrorNaming(const std::string& path, const std::string& stem) {
  tables::Table table;
  try {
    WalkAll(table, path);
    ADD_FAILURE() << path << " was read without an error";
  } catch (const tables::TableError& error) {
    EXPECT_NE(std::string(error.what()).find(stem), std::string::npos)
        << "error does not name the file: " << error.what();
  }
}

TEST(CorpusTest, EveryTableOfTheManifestsWalks) {
  REQUIRE_CORPUS(corpus);
  std::vector<Entry> entries = ReadManifests(*corpus);
  ASSERT_GT(entries.size(), 30u);
  for (const Entry& entry : entries) {
    if (!IsTable(entry) || kMissingMemo.count(entry.file)) continue;
    SCOPED_TRACE(entry.file);
    tables::Table table;
    try {
      EXPECT_EQ(WalkAll(table, (*corpus / entry.file).string()),
                entry.Visible());
      EXPECT_EQ(table.RecordCount(), entry.Visible());
      std::set<char> types;
      for (int i = 0; i < table.FieldCount(); ++i)
        if (table.FieldAt(i).TypeLetter() != '0')
          types.insert(table.FieldAt(i).TypeLetter());
      std::set<char> expected(entry.types.begin(), entry.types.end());
      expected.erase('0');
      EXPECT_EQ(std::string(types.begin(), types.end()),
                std::string(expected.begin(), expected.end()));
    } catch (const tables::TableError& error) {
      ADD_FAILURE() << "TableError: " << error.what();
    }
  }
}

TEST(CorpusTest, MissingMemoFileIsNamed) {
  REQUIRE_CORPUS(corpus);
  for (const std::string& file : kMissingMemo) {
    SCOPED_TRACE(file);
    ExpectErrorNaming((*corpus / file).string(), Stem(file));
  }
}

// "Name  Type  Length  Decimal" rows and "Records: n" of a summary file.
struct Summary {
  std::string table;
  int64_t records = -1;
  std::vector<std::tuple<std::string, char, int, int>> fields;
};

Summary ReadSummary(const fs::path& path) {
  static const std::regex kField(R"(^(\S+)\s+(\S)\s+(\d+)\s+(\d+)\s*$)");
  Summary summary;
  std::ifstream in(path);
  std::string line;
  std::smatch m;
  bool in_fields = false;
  while (std::getline(in, line)) {
    if (line.rfind("Database: ", 0) == 0) summary.table = line.substr(10);
    if (line.rfind("Records: ", 0) == 0)
      summary.records = std::stoll(line.substr(9));
    if (line.rfind("-----", 0) == 0)
      in_fields = true;
    else if (in_fields && std::regex_match(line, m, kField))
      summary.fields.emplace_back(m[1].str(), m[2].str()[0],
                                  std::stoi(m[3].str()), std::stoi(m[4].str()));
  }
  return summary;
}

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

TEST(CorpusTest, FieldsAndCountsMatchTheSummaries) {
  REQUIRE_CORPUS(corpus);
  int checked = 0;
  for (const auto& item : fs::directory_iterator(*corpus / "infused-dbf")) {
    std::string name = item.path().filename().string();
    if (name.size() < 12 || name.substr(name.size() - 12) != "_summary.txt")
      continue;
    Summary summary = ReadSummary(item.path());
    SCOPED_TRACE(summary.table);
    ASSERT_FALSE(summary.fields.empty());
    if (summary.table == kDbase2) {
      ExpectErrorNaming((*corpus / "infused-dbf" / kDbase2).string(),
                        "dbase_02");
      continue;
    }
    tables::Table table;
    table.SetTableName((*corpus / "infused-dbf" / summary.table).string());
    table.SetReadOnly(true);
    try {
      table.Open();
    } catch (const tables::TableError& error) {
      ADD_FAILURE() << "TableError: " << error.what();
      continue;
    }
    EXPECT_EQ(table.RecordCount(), summary.records);
    std::vector<std::tuple<std::string, char, int, int>> ours;
    for (int i = 0; i < table.FieldCount(); ++i) {
      tables::Field field = table.FieldAt(i);
      if (field.TypeLetter() != '0')
        ours.emplace_back(field.Name(), field.TypeLetter(), field.Size(),
                          field.Decimals());
    }
    std::vector<std::tuple<std::string, char, int, int>> theirs;
    for (auto [field, type, size, decimals] : summary.fields)
      if (type != '0') theirs.emplace_back(Upper(field), type, size, decimals);
    EXPECT_EQ(ours, theirs);
    ++checked;
  }
  EXPECT_GE(checked, 9);
}

// Compares our reading of `path` with the dbf_tool.py dump `dump`.
void ExpectSameRecords(const std::string& path, const interop::Dump& dump) {
  tables::Table table;
  table.SetTableName(path);
  table.SetReadOnly(true);
  table.Open();
  // The dump's fields come in table order, without _NullFlags; names may
  // repeat, so fields are matched by position.
  std::vector<int> fields;
  for (int i = 0; i < table.FieldCount(); ++i)
    if (table.FieldAt(i).TypeLetter() != '0') fields.push_back(i);
  size_t row = 0;
  for (table.First(); !table.Eof() && row < dump.records.size();
       table.Next(), ++row) {
    const interop::Record& record = dump.records[row];
    ASSERT_EQ(record.size(), fields.size());
    for (size_t i = 0; i < record.size(); ++i) {
      tables::Field field = table.FieldAt(fields[i]);
      if (record[i].value.kind == 'X') continue;
      interop::ExpectFieldEquals(field, record[i].value,
                                 "record " + std::to_string(row));
    }
  }
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(row, dump.records.size());
}

TEST(CorpusTest, ValuesMatchDbfread) {
  REQUIRE_CORPUS(corpus);
  tables::SetDecimalSeparator('.');
  int compared = 0;
  for (const Entry& entry : ReadManifests(*corpus)) {
    // dbfread reads neither dBase 7 headers nor Mazovia text.
    if (!IsTable(entry) || kMissingMemo.count(entry.file) ||
        IsDbase7(entry.version) || Stem(entry.file) == "mazovia")
      continue;
    SCOPED_TRACE(entry.file);
    std::string path = (*corpus / entry.file).string();
    interop::CommandResult dumped = interop::RunTool("raw", path);
    ASSERT_EQ(dumped.status, 0) << dumped.output;
    std::vector<interop::Dump> dumps = interop::ParseDumps(dumped.output);
    if (dumps.empty()) dumps.emplace_back();
    try {
      ExpectSameRecords(path, dumps[0]);
    } catch (const tables::TableError& error) {
      ADD_FAILURE() << "TableError: " << error.what();
    }
    ++compared;
  }
  EXPECT_GE(compared, 25);
}

TEST(CorpusTest, RecordsKeptAsYaml) {
  REQUIRE_CORPUS(corpus);
  tables::SetDecimalSeparator('.');
  const fs::path folder = *corpus / "infused-dbf";
  for (auto [yml, recno] : {std::pair{"dbase_83_record_0.yml", 1},
                            std::pair{"dbase_83_record_9.yml", 10}}) {
    SCOPED_TRACE(yml);
    interop::CommandResult dumped =
        interop::RunTool("yml", (folder / yml).string());
    ASSERT_EQ(dumped.status, 0) << dumped.output;
    std::vector<interop::Dump> dumps = interop::ParseDumps(dumped.output);
    ASSERT_EQ(dumps.size(), 1u);
    tables::Table table;
    table.SetTableName((folder / "dbase_83.dbf").string());
    table.SetReadOnly(true);
    table.Open();
    for (int i = 1; i < recno; ++i) table.Next();
    ASSERT_EQ(table.RecNo(), recno);
    const interop::Record& record = dumps[0].records.at(0);
    ASSERT_EQ(static_cast<int>(record.size()), table.FieldCount());
    for (size_t i = 0; i < record.size(); ++i)
      interop::ExpectFieldEquals(table.FieldAt(static_cast<int>(i)),
                                 record[i].value, yml);
  }
}

// The header promises 15 records, the file holds 10: the 10 are read, the
// same as in the complete table (its memo file is lent for the test).
TEST(CorpusTest, HeaderCountLargerThanTheDataReadsWhatIsThere) {
  REQUIRE_CORPUS(corpus);
  tables::SetDecimalSeparator('.');
  testing_support::TempDir dir("tqv-corpus");
  const fs::path folder = *corpus / "infused-dbf";
  fs::copy_file(folder / "dbase_8b_incorrect_record_count.dbf",
                dir.path() / "short.dbf");
  fs::copy_file(folder / "dbase_8b.dbt", dir.path() / "short.dbt");
  interop::CommandResult dumped =
      interop::RunTool("raw", (folder / "dbase_8b.dbf").string());
  ASSERT_EQ(dumped.status, 0) << dumped.output;
  std::vector<interop::Dump> dumps = interop::ParseDumps(dumped.output);
  ASSERT_EQ(dumps.at(0).records.size(), 10u);
  ExpectSameRecords(dir.File("short.dbf"), dumps[0]);
  tables::Table table;
  table.SetTableName(dir.File("short.dbf"));
  table.Open();
  EXPECT_EQ(table.RecordCount(), 10);
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Damage done to a copy of dbase_83 (67 records of 805 bytes after a
// 513-byte header; memo in dbase_83.dbt) and the outcome we chose for it.
struct Damage {
  const char* what;
  void (*apply)(std::string& dbf, std::string& dbt);
  int64_t records;  // records read; -1: a TableError naming the file
};

const Damage kDamages[] = {
    {"cut inside the 32-byte header",
     [](std::string& dbf, std::string&) { dbf.resize(20); }, -1},
    {"cut inside the field descriptors",
     [](std::string& dbf, std::string&) { dbf.resize(200); }, -1},
    {"cut inside the third record",
     [](std::string& dbf, std::string&) { dbf.resize(513 + 2 * 805 + 400); },
     2},
    {"cut right after the header",
     [](std::string& dbf, std::string&) { dbf.resize(513); }, 0},
    {"record length smaller than its fields",
     [](std::string& dbf, std::string&) { dbf[10] = 100, dbf[11] = 0; }, -1},
    {"header length inside the field descriptors",
     [](std::string& dbf, std::string&) { dbf[8] = 64, dbf[9] = 0; }, -1},
    {"field running past the record",
     [](std::string& dbf, std::string&) {
       dbf[32 + 16] = static_cast<char>(250);  // ID: 19 -> 250 bytes
     },
     -1},
    {"memo block beyond the memo file",
     [](std::string& dbf, std::string& dbt) {
       // DESC of every record points past the end of the memo file.
       for (int r = 0; r < 67; ++r) {
         std::string block = std::to_string(dbt.size() / 512 + 100);
         size_t at = 513 + r * 805 + 1 + 19 * 5 + 50 + 100 + 254 + 254 + 13 * 2;
         dbf.replace(at, 10, std::string(10 - block.size(), ' ') + block);
       }
     },
     -1},
    {"memo file cut to its header",
     [](std::string&, std::string& dbt) { dbt.resize(512); }, -1},
};

TEST(CorpusTest, DamagedCopiesOfARealTable) {
  REQUIRE_CORPUS(corpus);
  const fs::path folder = *corpus / "infused-dbf";
  for (const Damage& damage : kDamages) {
    SCOPED_TRACE(damage.what);
    testing_support::TempDir dir("tqv-damage");
    std::string dbf = ReadBytes(folder / "dbase_83.dbf");
    std::string dbt = ReadBytes(folder / "dbase_83.dbt");
    ASSERT_EQ(dbf.size(), 513u + 67 * 805 + 1);
    damage.apply(dbf, dbt);
    dir.Write("danado.dbf", dbf);
    dir.Write("danado.dbt", dbt);
    if (damage.records < 0) {
      ExpectErrorNaming(dir.File("danado.dbf"), "danado");
      continue;
    }
    tables::Table table;
    try {
      EXPECT_EQ(WalkAll(table, dir.File("danado.dbf")), damage.records);
    } catch (const tables::TableError& error) {
      ADD_FAILURE() << "TableError: " << error.what();
    }
  }
}

// Text in Cyrillic: code page 1251 chosen by the language driver 0xC9, and
// UTF-8 chosen by 0xF0 (field names too).
TEST(CorpusTest, CyrillicText) {
  REQUIRE_CORPUS(corpus);
  const fs::path folder = *corpus / "infused-dbf";
  tables::Table cp1251;
  cp1251.SetTableName((folder / "cp1251.dbf").string());
  cp1251.Open();
  EXPECT_EQ(cp1251.FieldByName("name").AsString(),
            "амбулаторно-поликлиническое");
  tables::Table utf8;
  utf8.SetTableName((folder / "dbase_03_cyrillic.dbf").string());
  utf8.Open();
  EXPECT_EQ(utf8.FieldAt(0).Name(), "ШАР");
  EXPECT_EQ(utf8.FieldAt(0).AsString(), "Номер");
  EXPECT_EQ(utf8.FieldByName("ПЛОЩА").AsString(), "36.3");
}

}  // namespace
