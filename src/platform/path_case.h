#pragma once

// Case-insensitive resolution of native POSIX paths, used by the drive-C
// mapping.

#include <string>
#include <string_view>

namespace platform {

// Backslashes become slashes and runs of separators collapse to one; a
// trailing separator is kept ("/a/b/" stays a folder path).
std::string NormalizeSeparators(std::string_view path);

// Each component of `path` that does not exist as written but exists in the
// same folder under another letter case (ASCII letters compared without
// case) takes the existing spelling. The first such match in folder order
// wins when several differ only in case; an exact match always wins. From
// the first component that matches nothing, the rest is kept as given.
std::string ResolveCase(const std::string& path);

}  // namespace platform
