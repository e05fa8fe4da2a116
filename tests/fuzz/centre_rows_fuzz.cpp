// libFuzzer target: keeping other centres' rows of a timetable, against a
// plain walk of the same file through the cursor.
//
// Input: one byte choosing the centre, then the .dbf bytes. When the cursor
// opens the file, Table::ContentKeepingRowsExcept must answer exactly what
// the walk keeps: the old header with the kept count (and no index flag once
// the rows are not all kept in place; FoxPro keeps its other flag bits), each
// kept record byte for byte in stored order, and the end-of-file byte. The
// byte scan behind it must either decline (the table is then walked) or give
// that same answer. Any other answer, a crash or a hang is a finding.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "tables/kept_rows.h"
#include "tables/table.h"
#include "tables/table_error.h"

namespace {

namespace fs = std::filesystem;

const char* const kCentres[] = {"46012345", "4", "", "46012345678"};

const fs::path& WorkDir() {
  static const fs::path dir = [] {
    fs::path path = fs::temp_directory_path() /
                    ("tqv-centre-fuzz-" + std::to_string(getpid()));
    fs::create_directories(path);
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(WorkDir(), ignored);
    });
    return path;
  }();
  return dir;
}

uint32_t Little(const std::string& bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  }
  return value;
}

// The record numbers the engine keeps, or nothing when it cannot walk.
std::optional<std::vector<int64_t>> WalkedKept(const std::string& path,
                                               const std::string& centre) {
  try {
    tables::Table table;
    table.SetTableName(path);
    table.SetReadOnly(true);
    table.Open();
    std::vector<int64_t> kept;
    if (!table.Eof()) {
      tables::Field codcen = table.FieldByName("Codcen");
      for (; !table.Eof(); table.Next()) {
        if (codcen.AsString() != centre) kept.push_back(table.RecNo());
      }
    }
    table.Close();
    return kept;
  } catch (const tables::TableError&) {
    return std::nullopt;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return -1;
  const std::string centre = kCentres[data[0] % 4];
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string path = (WorkDir() / "horgrup.dbf").string();
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
  const std::optional<std::vector<int64_t>> kept = WalkedKept(path, centre);
  if (!kept) return 0;  // the caller fails on opening, before the byte path
  const size_t header_size = Little(bytes, 8, 2);
  const size_t record_size = Little(bytes, 10, 2);
  std::string expected = bytes.substr(0, header_size);
  const uint32_t count = static_cast<uint32_t>(kept->size());
  for (int i = 0; i < 4; ++i)
    expected[4 + i] = static_cast<char>(count >> 8 * i);
  bool in_place = count == Little(bytes, 4, 4);
  for (uint32_t i = 0; in_place && i < count; ++i)
    in_place = (*kept)[i] == i + 1;
  if (!in_place) {
    const unsigned char version = static_cast<unsigned char>(bytes[0]);
    const bool foxpro = version == 0x30 || version == 0x31 || version == 0x32 ||
                        version == 0xF5 || version == 0xFB;
    expected[28] = foxpro ? static_cast<char>(expected[28] & ~0x01) : '\0';
  }
  for (int64_t record : *kept) {
    expected.append(bytes, header_size + (record - 1) * record_size,
                    record_size);
  }
  expected.push_back('\x1a');

  tables::Table table;
  table.SetTableName(path);
  table.SetReadOnly(true);
  try {
    if (table.ContentKeepingRowsExcept("Codcen", centre) != expected) abort();
  } catch (const tables::TableError&) {
    abort();  // the walk above read this table without error
  }
  const std::optional<std::string> scanned = tables::ScanKeepingRowsExcept(
      platform::NativeFileSystem::Local(), path, "Codcen", centre);
  if (scanned && *scanned != expected) abort();
  return 0;
}
