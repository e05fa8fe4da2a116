// libFuzzer target: opening a table with its memo file and walking it.
//
// Input: a 4-byte little-endian length n, then n bytes of .dbf, then the
// memo file's bytes (written both as .dbt and .fpt, so either kind of table
// finds it; no bytes left: no memo file). The table is opened read-only and
// every field of every record is read as text, then as the other types. Every
// failure must be a TableError; any other exception, a crash, a leak or a hang
// is a finding.

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "tables/table.h"
#include "tables/table_error.h"

namespace {

namespace fs = std::filesystem;

const fs::path& WorkDir() {
  static const fs::path dir = [] {
    fs::path path = fs::temp_directory_path() /
                    ("tqv-table-fuzz-" + std::to_string(getpid()));
    fs::create_directories(path);
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(WorkDir(), ignored);
    });
    return path;
  }();
  return dir;
}

void WriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Walk(const std::string& path) {
  tables::Table table;
  table.SetTableName(path);
  table.SetReadOnly(true);
  table.Open();
  (void)table.RecordCount();
  for (table.First(); !table.Eof(); table.Next()) {
    (void)table.RecNo();
    for (int i = 0; i < table.FieldCount(); ++i) {
      tables::Field field = table.FieldAt(i);
      (void)field.AsString();
      (void)field.IsNull();
      // The typed readers may refuse a value, but only with a TableError.
      try {
        (void)field.AsInteger();
      } catch (const tables::TableError&) {
      }
      try {
        (void)field.AsFloat();
        (void)field.AsDateTime();
        (void)field.AsBoolean();
      } catch (const tables::TableError&) {
      }
    }
  }
  table.Close();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return -1;  // not kept in the corpus
  size_t dbf_size = data[0] | data[1] << 8 | data[2] << 16 |
                    static_cast<size_t>(data[3]) << 24;
  std::string_view rest(reinterpret_cast<const char*>(data) + 4, size - 4);
  dbf_size = std::min(dbf_size, rest.size());
  const fs::path& dir = WorkDir();
  WriteFile(dir / "f.dbf", rest.substr(0, dbf_size));
  std::string_view memo = rest.substr(dbf_size);
  std::error_code ignored;
  if (memo.empty()) {
    fs::remove(dir / "f.dbt", ignored);
    fs::remove(dir / "f.fpt", ignored);
  } else {
    WriteFile(dir / "f.dbt", memo);
    WriteFile(dir / "f.fpt", memo);
  }
  try {
    Walk((dir / "f.dbf").string());
  } catch (const tables::TableError&) {
    // The expected way for a damaged table to fail.
  }
  return 0;
}
