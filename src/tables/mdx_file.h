#pragma once

// Whole-file reading and replacing for index files, through the table's
// file system (see FileSystem::ReplaceWhole: a reader, or a run that dies
// halfway, sees either the old file or the new one, never a mix).

#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace tables {

// The bytes of a file. Throws MdxReadFailed when it cannot be read.
std::string ReadMdxFile(platform::FileSystem& files, const std::string& path);

// Replaces `path` with `bytes`. Throws MdxWriteFailed on any failure; the
// old file is then untouched.
void ReplaceMdxFile(platform::FileSystem& files, const std::string& path,
                    std::string_view bytes);

}  // namespace tables
