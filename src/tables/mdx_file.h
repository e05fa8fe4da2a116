#pragma once

// Whole-file reading and replacing for index files. The replacement goes
// through a temporary file in the same folder that is flushed to disk and
// then renamed over the old file, so a reader (or a run that dies halfway)
// sees either the old file or the new one, never a mix.

#include <string>
#include <string_view>

namespace tables {

// The bytes of a file. Throws MdxReadFailed when it cannot be read.
std::string ReadMdxFile(const std::string& path);

// Replaces `path` with `bytes`. Throws MdxWriteFailed on any failure, after
// removing the temporary file; the old file is then untouched.
void ReplaceMdxFile(const std::string& path, std::string_view bytes);

}  // namespace tables
