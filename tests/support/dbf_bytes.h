#pragma once

// The one dBase III writer of the tests: tables written byte by byte, so
// that tests do not lean on the engine they check to make their inputs.

#include <algorithm>
#include <string>
#include <vector>

namespace testing_support {

// A column of an administration table: dBase type letter C, N, D or L.
struct Column {
  std::string name;
  char type = 'C';
  int width = 10;
  int decimals = 0;
};
using Row = std::vector<std::string>;  // raw values, one per column

// UTF-8 to code page 1252 for the Latin-1 letters the tests use.
inline std::string ToCp1252(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      out += text[i++];
    } else if ((byte & 0xE0) == 0xC0 && i + 1 < text.size()) {
      const unsigned cp = ((byte & 0x1Fu) << 6) |
                          (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
      out += cp <= 0xFF ? static_cast<char>(cp) : '?';
      i += 2;
    } else {
      out += '?';
      ++i;
      while (i < text.size() &&
             (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) {
        ++i;
      }
    }
  }
  return out;
}

// The bytes of a dBase III table in code page 1252. Character values are
// left-aligned, the others right-aligned, all padded with blanks.
inline std::string DbfBytes(const std::vector<Column>& columns,
                            const std::vector<Row>& rows) {
  auto put = [](std::string& bytes, size_t at, unsigned value, int width) {
    for (int i = 0; i < width; ++i)
      bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  unsigned record_size = 1;
  for (const Column& c : columns) record_size += static_cast<unsigned>(c.width);
  const auto header_size = static_cast<unsigned>(32 + 32 * columns.size() + 1);
  std::string bytes(header_size, '\0');
  bytes[0] = 0x03;
  bytes[1] = 126;
  bytes[2] = 9;
  bytes[3] = 1;
  put(bytes, 4, static_cast<unsigned>(rows.size()), 4);
  put(bytes, 8, header_size, 2);
  put(bytes, 10, record_size, 2);
  bytes[29] = 0x03;
  unsigned offset = 1;
  for (size_t i = 0; i < columns.size(); ++i) {
    const size_t at = 32 + 32 * i;
    bytes.replace(at, columns[i].name.size(), columns[i].name);
    bytes[at + 11] = columns[i].type;
    put(bytes, at + 12, offset, 4);
    bytes[at + 16] = static_cast<char>(columns[i].width);
    bytes[at + 17] = static_cast<char>(columns[i].decimals);
    offset += static_cast<unsigned>(columns[i].width);
  }
  bytes[header_size - 1] = 0x0D;
  for (const Row& row : rows) {
    bytes += ' ';
    for (size_t i = 0; i < columns.size(); ++i) {
      std::string value = ToCp1252(i < row.size() ? row[i] : "");
      const auto width = static_cast<size_t>(columns[i].width);
      value.resize(std::min(value.size(), width));
      const std::string fill(width - value.size(), ' ');
      bytes += columns[i].type == 'C' ? value + fill : fill + value;
    }
  }
  bytes += '\x1A';
  return bytes;
}

}  // namespace testing_support
