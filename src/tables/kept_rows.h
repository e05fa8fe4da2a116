#pragma once

// Keeping some rows of a closed table: the whole new content of its file
// when only the rows whose field differs from a value stay. The timetables
// keep their other centres' rows so. Private to the engine; Table's
// ContentKeepingRowsExcept is the way in.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace tables {

// Rewrites the header at the start of `bytes` (a copy of a table's file that
// holds `count` of its records): the new row count and, when the rows are no
// longer the old ones each in its place, the production-index flag as
// IndexFlagAfterRowsChange leaves it, since the index file beside the table
// no longer matches them. REQUIRES: bytes.size() >= 32.
void RewriteHeaderAfterCopy(std::string& bytes, uint32_t count,
                            bool rows_changed);

// The content of the table file `path` (native) with only the records
// `kept` (1-based numbers, in that order): its header rewritten after the
// copy, those records byte for byte, the end-of-file byte. `display` names
// the file in errors.
std::string ContentWithRecords(platform::FileSystem& files,
                               const std::string& path,
                               const std::string& display,
                               const std::vector<int64_t>& kept);

// The same answer straight from the file's bytes for the plain tables that
// the administration writes, in one pass in large blocks instead of a walk
// through the cursor: the records in stored order whose `field`, read as
// text, differs from `value`, deleted records left out. The text of a field
// is its bytes without trailing blanks and NULs, as the cursor reads it.
// Answers nothing when it cannot judge the rows exactly as the cursor does;
// the caller then walks: not a dBase III table without memo (version byte
// 3), a header row count that differs from the whole records present, no
// single character column `field` (names compared without regard to case),
// a value that is empty or not ASCII, a kept field that is not ASCII, or a
// failure to read. REQUIRES: the table has opened without error.
std::optional<std::string> ScanKeepingRowsExcept(platform::FileSystem& files,
                                                 const std::string& path,
                                                 std::string_view field,
                                                 std::string_view value);

}  // namespace tables
