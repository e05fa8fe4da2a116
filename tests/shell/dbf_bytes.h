#pragma once

// A minimal dBase III writer for shell tests: character fields only, enough
// to give the working copy real tables without depending on the engine.

#include <string>
#include <utility>
#include <vector>

namespace shell_testing {

inline void PutLe(std::string& bytes, size_t at, unsigned value, int width) {
  for (int i = 0; i < width; ++i) {
    bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
}

// The bytes of a dBase III table whose fields are (name, width) character
// fields and whose records are `rows` (values cut or padded to width).
inline std::string DbfBytes(
    const std::vector<std::pair<std::string, int>>& fields,
    const std::vector<std::vector<std::string>>& rows) {
  unsigned record_size = 1;
  for (const auto& f : fields) record_size += static_cast<unsigned>(f.second);
  const unsigned header_size =
      32 + 32 * static_cast<unsigned>(fields.size()) + 1;
  std::string bytes(header_size, '\0');
  bytes[0] = 0x03;
  bytes[1] = 126;  // 2026-12-08
  bytes[2] = 12;
  bytes[3] = 8;
  PutLe(bytes, 4, static_cast<unsigned>(rows.size()), 4);
  PutLe(bytes, 8, header_size, 2);
  PutLe(bytes, 10, record_size, 2);
  bytes[29] = 0x03;  // code page 1252
  unsigned offset = 1;
  for (size_t i = 0; i < fields.size(); ++i) {
    const size_t at = 32 + 32 * i;
    bytes.replace(at, fields[i].first.size(), fields[i].first);
    bytes[at + 11] = 'C';
    PutLe(bytes, at + 12, offset, 4);
    bytes[at + 16] = static_cast<char>(fields[i].second);
    offset += static_cast<unsigned>(fields[i].second);
  }
  bytes[header_size - 1] = 0x0D;
  for (const auto& row : rows) {
    bytes += ' ';
    for (size_t i = 0; i < fields.size(); ++i) {
      std::string value = i < row.size() ? row[i] : "";
      value.resize(static_cast<size_t>(fields[i].second), ' ');
      bytes += value;
    }
  }
  bytes += '\x1A';
  return bytes;
}

}  // namespace shell_testing
