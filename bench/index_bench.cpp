// Index benchmark: building a tag's order and its .MDX for many rows, and
// finding keys, each beside a floor measured in the same run: a plain
// std::sort, or std::lower_bound, of the same keys.
//
//   index_bench [rows] [finds]      (default 500000 and 100000)
//
// Phases:
//   order      IndexOrder::Set for every row, then the first read (the sort)
//   mdx write  WriteProductionIndex of that order (one text tag)
//   mdx read   ReadProductionIndex of the file
//   find       IndexOrder::LowerBound for `finds` random keys
//   table      appending the rows to a table with an index on COD and
//              closing it (which writes the .MDX), against the same table
//              without an index
//   find key   Table::FindKey for `finds` random keys
//   mixed      20000 appends, each followed by a search (the order is
//              merged, not re-sorted, at each read)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tables/index_order.h"
#include "tables/production_index.h"
#include "tables/table.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Codes like the subject codes of a big school: 10 bytes, some with a
// cp1252 accent, about ten rows per code.
std::vector<std::string> MakeKeys(int rows) {
  std::mt19937 random(12345);
  std::vector<std::string> keys;
  keys.reserve(static_cast<size_t>(rows));
  const int distinct = std::max(1, rows / 10);
  for (int i = 0; i < rows; ++i) {
    const int code = static_cast<int>(random() % distinct);
    std::string key = (code % 7 == 0 ? "\xC9" : "C") + std::to_string(code);
    key.resize(10, ' ');
    keys.push_back(std::move(key));
  }
  return keys;
}

void Report(const char* phase, double seconds, double floor_seconds,
            const char* floor_name) {
  std::printf("%-10s %9.3f s   %-22s %9.3f s   ratio %6.2f\n", phase, seconds,
              floor_name, floor_seconds,
              floor_seconds > 0 ? seconds / floor_seconds : 0.0);
}

double TableAppend(const fs::path& dir, const std::vector<std::string>& keys,
                   bool indexed) {
  tables::Table table;
  table.SetDatabaseName(dir.string());
  table.SetTableName(indexed ? "INDEXED.DBF" : "PLAIN.DBF");
  table.AddFieldDef("COD", tables::FieldType::kText, 10);
  table.AddFieldDef("N", tables::FieldType::kInteger);
  if (indexed) table.AddIndexDef("COD", "COD");
  table.CreateTable();
  const Clock::time_point start = Clock::now();
  table.Open();
  for (size_t i = 0; i < keys.size(); ++i) {
    table.Append();
    table.FieldByName("COD").SetAsString(keys[i]);
    table.FieldByName("N").SetAsInteger(static_cast<int64_t>(i));
    table.Post();
  }
  table.Close();
  return Since(start);
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 500000;
  const int finds = argc > 2 ? std::atoi(argv[2]) : 100000;
  const fs::path dir = fs::temp_directory_path() / "tqv-index-bench";
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::printf("rows %d, finds %d\n", rows, finds);
  const std::vector<std::string> keys = MakeKeys(rows);

  // Floor: sort (key, record number) pairs.
  std::vector<std::pair<std::string, uint32_t>> plain;
  for (size_t i = 0; i < keys.size(); ++i) plain.emplace_back(keys[i], i + 1);
  Clock::time_point start = Clock::now();
  std::sort(plain.begin(), plain.end());
  const double sort_seconds = Since(start);

  start = Clock::now();
  tables::IndexOrder order("COD", "COD", tables::KeyKind::kCharacter, 10);
  for (size_t i = 0; i < keys.size(); ++i) {
    order.Set(static_cast<uint32_t>(i + 1), {keys[i], 0});
  }
  unsigned long long checksum = order.size() ? order.RecnoAt(0) : 0;
  Report("order", Since(start), sort_seconds, "std::sort");

  const std::string mdx = (dir / "T.MDX").string();
  const std::vector<tables::IndexedField> fields = {{"COD", 'C', 10, 0}};
  start = Clock::now();
  tables::WriteProductionIndex(platform::NativeFileSystem::Local(), mdx, "T",
                               fields, {order});
  Report("mdx write", Since(start), sort_seconds, "std::sort");
  std::printf("           file %.1f MB\n", fs::file_size(mdx) / 1048576.0);
  start = Clock::now();
  checksum += tables::ReadProductionIndex(platform::NativeFileSystem::Local(),
                                          mdx, fields, rows)
                  .at(0)
                  .size();
  Report("mdx read", Since(start), sort_seconds, "std::sort");

  std::mt19937 random(999);
  std::vector<std::string> wanted;
  for (int i = 0; i < finds; ++i) {
    std::string key = keys[random() % keys.size()];
    key.erase(key.find_last_not_of(' ') + 1);
    wanted.push_back(key);
  }
  std::vector<std::string> sorted_keys;
  for (const auto& entry : plain) sorted_keys.push_back(entry.first);
  start = Clock::now();
  for (const std::string& key : wanted) {
    std::string padded = key;
    padded.resize(10, ' ');
    checksum += static_cast<unsigned long long>(
        std::lower_bound(sorted_keys.begin(), sorted_keys.end(), padded) -
        sorted_keys.begin());
  }
  const double lower_bound_seconds = Since(start);
  start = Clock::now();
  for (const std::string& key : wanted) checksum += order.LowerBound({key, 0});
  Report("find", Since(start), lower_bound_seconds, "std::lower_bound");

  const double plain_table = TableAppend(dir, keys, false);
  Report("table", TableAppend(dir, keys, true), plain_table, "table, no index");

  tables::Table table;
  table.SetDatabaseName(dir.string());
  table.SetTableName("INDEXED.DBF");
  table.Open();
  table.SetIndexName("COD");
  start = Clock::now();
  for (const std::string& key : wanted) checksum += table.FindKey(key);
  Report("find key", Since(start), lower_bound_seconds, "std::lower_bound");
  table.Close();

  const int mixed = std::min(rows, 20000);
  tables::IndexOrder once("COD", "COD", tables::KeyKind::kCharacter, 10);
  start = Clock::now();
  for (int i = 0; i < mixed; ++i) {
    once.Set(static_cast<uint32_t>(i + 1), {keys[static_cast<size_t>(i)], 0});
  }
  checksum += once.LowerBound({keys[0], 0});
  const double once_seconds = Since(start);
  tables::IndexOrder interleaved("COD", "COD", tables::KeyKind::kCharacter, 10);
  start = Clock::now();
  for (int i = 0; i < mixed; ++i) {
    interleaved.Set(static_cast<uint32_t>(i + 1),
                    {keys[static_cast<size_t>(i)], 0});
    checksum += interleaved.LowerBound({keys[static_cast<size_t>(i)], 0});
  }
  Report("mixed", Since(start), once_seconds, "appends, one search");

  std::printf("checksum %llu\n", checksum);
  fs::remove_all(dir);
  return 0;
}
