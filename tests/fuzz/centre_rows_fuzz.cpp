// libFuzzer target: keeping other centres' rows straight from a timetable's
// bytes, against the engine's walk of the same file.
//
// Input: one byte choosing the centre, then the .dbf bytes. When the engine
// opens the file, the byte path must either decline (and the caller walks
// the table instead) or answer exactly what the walk keeps: the old header
// with the kept count, each kept record byte for byte in stored order, and
// the end-of-file byte. Any other answer, a crash or a hang is a finding.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "import/centre_rows.h"
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
  const std::optional<std::string> answer =
      importing::OtherCentreRowsFile(path, centre);
  if (!answer) return 0;  // declined: the caller walks the table
  const size_t header_size = Little(bytes, 8, 2);
  const size_t record_size = Little(bytes, 10, 2);
  std::string expected = bytes.substr(0, header_size);
  const uint32_t count = static_cast<uint32_t>(kept->size());
  for (int i = 0; i < 4; ++i)
    expected[4 + i] = static_cast<char>(count >> 8 * i);
  for (int64_t record : *kept) {
    expected.append(bytes, header_size + (record - 1) * record_size,
                    record_size);
  }
  expected.push_back('\x1a');
  if (*answer != expected) abort();
  return 0;
}
