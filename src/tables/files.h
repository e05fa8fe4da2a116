#pragma once

// File operations around tables, and the hook that maps the system's fixed
// Windows paths ("C:\QTEMP\ASIGVALT.DBF") to native paths.

#include <functional>
#include <string>
#include <string_view>

namespace tables {

// Maps a path as the program writes it to a native path. The default mapper
// changes nothing. The platform layer installs its drive-C mapping at start.
using PathMapper = std::function<std::string(std::string_view)>;
void SetPathMapper(PathMapper mapper);
std::string MapPath(std::string_view path);

// Joins a folder and a name the way the program writes them (backslashes),
// leaving `name` alone when `folder` is empty.
std::string JoinPath(std::string_view folder, std::string_view name);

// Finds an existing entry whatever the letter case of each path component;
// returns the mapped path unchanged when nothing matches.
std::string ResolvePath(std::string_view path);

bool FileExists(std::string_view path);  // a file or a folder
bool IsFile(std::string_view path);      // a file, not a folder
// A failure is not reported.
void DeleteFile(std::string_view path) noexcept;
// Creates the folder with every missing parent; throws TableError on failure.
void ForceDirectories(std::string_view path);

// The decimal separator used when numbers are read or written as text. Set
// once at start from the user's locale; '.' until then. Tests set it.
void SetDecimalSeparator(char separator);
char DecimalSeparator();

}  // namespace tables
