#pragma once

// The counts that the start of a dBase file states, read from its bytes
// without opening the table: for checks that judge a file before the engine
// opens it, and for reports that must not hold the file.

#include <cstdint>
#include <string_view>

namespace tables {

struct HeaderCounts {
  uint32_t row_count = 0;      // as the header states it
  uint32_t header_length = 0;  // bytes before the first record
  uint32_t record_length = 0;  // bytes of each record, its deletion flag too
};

// REQUIRES: first_bytes.size() >= 12.
HeaderCounts HeaderCountsOf(std::string_view first_bytes);
// The row count alone. REQUIRES: first_bytes.size() >= 8.
uint32_t StoredRowCount(std::string_view first_bytes);

}  // namespace tables
