#pragma once

// Writing one key of an initialisation file with WritePrivateProfileString's
// semantics: only that key changes; other sections, keys, comments, blank
// lines and their order stay as they were; the file is created when missing.

#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

class IniError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  // "Unable to write to %s"
  static IniError UnableToWrite(std::string_view path);
};

// The file's text after setting `key` in `section` to `value`. Sections and
// keys are matched without regard to ASCII letter case and surrounding
// blanks. An existing key's line becomes "key=value"; a new key goes after
// the section's last non-blank line; a new section goes at the end. Line
// breaks follow the file's first one ("\r\n" for an empty file).
std::string SetIniValue(std::string_view text, std::string_view section,
                        std::string_view key, std::string_view value);

// Writes the key into the file at the native `path`: the system call on
// Windows; elsewhere SetIniValue written through a temporary file in the
// same folder and a rename. Throws IniError::UnableToWrite(path).
void WriteProfileString(const std::string& path, std::string_view section,
                        std::string_view key, std::string_view value);

// "Quendrix.ini" in the executable's folder.
std::string QuendrixIniPath();

// Writes "Transformado" = `transformed` into section "Transformadores" of
// Quendrix.ini. Throws IniError::UnableToWrite.
void WriteTransformedFlag(int transformed);

}  // namespace platform
