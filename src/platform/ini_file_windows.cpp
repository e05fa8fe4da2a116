#include <windows.h>
// windows.h maps WriteProfileString to its wide version; ours is a plain
// function of the same name.
#undef WriteProfileString

#include "platform/ini_file.h"

namespace platform {

void WriteProfileString(const std::string& path, std::string_view section,
                        std::string_view key, std::string_view value) {
  const std::string s(section), k(key), v(value);
  if (!WritePrivateProfileStringA(s.c_str(), k.c_str(), v.c_str(),
                                  path.c_str())) {
    throw IniError::UnableToWrite(path);
  }
}

}  // namespace platform
