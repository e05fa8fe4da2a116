#pragma once

// Paths as the program writes them, and the number format of text fields.

#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace tables {

// Joins a folder and a name the way the program writes them (backslashes),
// leaving `name` alone when `folder` is empty.
std::string JoinPath(std::string_view folder, std::string_view name);

// Creates the folder `path` (as the program writes it) with every missing
// parent; throws TableError on failure.
void ForceDirectories(platform::FileSystem& files, std::string_view path);

// The decimal separator used when numbers are read or written as text. Set
// once at start from the user's locale; '.' until then. Tests set it.
void SetDecimalSeparator(char separator);
char DecimalSeparator();

}  // namespace tables
