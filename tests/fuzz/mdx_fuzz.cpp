// libFuzzer target: reading a production index file.
//
// Input: a 2-byte little-endian record count, then the bytes of the .MDX.
// The file is read against a table with the fields COD C(10), CODVALEN
// C(10) and HORA N(11). Every failure must be a TableError; any other
// exception, a crash, a leak or a hang is a finding. Read tags must come
// out in key order.
//
// The seeds in corpus_mdx/ are files written by WriteProductionIndex for
// that table, each with its count in front: no rows, 5 rows (one leaf per
// tag) and 300 rows (several leaves under a root).

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tables/production_index.h"
#include "tables/table_error.h"

namespace {

namespace fs = std::filesystem;

// Never freed, so the exit handler can still use it after static objects
// are gone.
const std::string& MdxPath() {
  static const std::string* path = [] {
    const fs::path dir = fs::temp_directory_path() /
                         ("tqv-mdx-fuzz-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(fs::path(MdxPath()).parent_path(), ignored);
    });
    return new std::string((dir / "T.MDX").string());
  }();
  return *path;
}

const std::vector<tables::IndexedField> kFields = {
    {"COD", 'C', 10, 0}, {"CODVALEN", 'C', 10, 0}, {"HORA", 'N', 11, 0}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint32_t record_count = data[0] | (data[1] << 8);
  {
    std::ofstream out(MdxPath(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data + 2),
              static_cast<std::streamsize>(size - 2));
  }
  try {
    for (const tables::IndexOrder& order :
         tables::ReadProductionIndex(platform::NativeFileSystem::Local(),
                                     MdxPath(), kFields, record_count)) {
      for (size_t i = 1; i < order.size(); ++i) {
        if (order.Compare(order.KeyAt(i - 1), order.KeyAt(i)) > 0) abort();
      }
    }
  } catch (const tables::TableError&) {
  }
  return 0;
}
