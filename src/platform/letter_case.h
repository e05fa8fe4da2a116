#pragma once

// Names compared without regard to letter case: field and tag names, file
// names, the sections and keys of settings files, help viewers. Only the
// ASCII letters fold; every other byte compares as it is, whatever the
// locale of the process.

#include <cstddef>
#include <string_view>

namespace platform {

inline char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

inline bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

}  // namespace platform
