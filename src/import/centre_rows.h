#pragma once

// Keeping other centres' rows of a timetable straight from the file's bytes,
// for the plain tables that the administration writes: one pass in large
// blocks instead of a walk through the engine, with the engine's answer.

#include <optional>
#include <string>
#include <string_view>

namespace importing {

// The whole new content of the dBase file at `native_path` when it keeps
// only its rows whose Codcen, read as text, differs from `centre`: the old
// header with the new row count, the kept records byte for byte in stored
// order (deleted records left out), the end-of-file byte. The text of a
// Codcen is its bytes without trailing blanks and NULs, as the engine reads
// it. Answers nothing when it cannot judge the rows exactly as the engine
// does; the caller then walks the table through the engine: not a dBase III
// table without memo (version byte 3), a header row count that differs from
// the whole records present, no single character column Codcen (names
// compared without regard to case), a centre that is empty or not ASCII, a
// kept Codcen that is not ASCII, or a failure to read. REQUIRES: the engine has
// opened the file without error.
std::optional<std::string> OtherCentreRowsFile(const std::string& native_path,
                                               std::string_view centre);

}  // namespace importing
