#include "import/centre_rows.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/raw_file.h"

namespace importing {
namespace {

constexpr size_t kBlockSize = 256 * 1024;

uint32_t Little(std::string_view bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) {
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  }
  return value;
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

bool NameIsCodcen(std::string_view stored) {
  const size_t end = stored.find('\0');
  if (end != std::string_view::npos) stored = stored.substr(0, end);
  constexpr std::string_view kName = "CODCEN";
  if (stored.size() != kName.size()) return false;
  for (size_t i = 0; i < kName.size(); ++i) {
    if (Upper(stored[i]) != kName[i]) return false;
  }
  return true;
}

struct Column {
  size_t offset = 0;
  size_t width = 0;
};

// The Codcen column of a dBase III header, or nothing when there is not
// exactly one character column of that name.
std::optional<Column> FindCodcen(std::string_view header) {
  std::optional<Column> found;
  size_t offset = 1;
  for (size_t at = 32; at + 32 <= header.size() && header[at] != '\x0D';
       at += 32) {
    const char type = header[at + 11];
    size_t width = static_cast<unsigned char>(header[at + 16]);
    // Long character columns keep the high byte of the width in the
    // decimals byte.
    if (type == 'C')
      width += 256u * static_cast<unsigned char>(header[at + 17]);
    if (NameIsCodcen(header.substr(at, 11))) {
      if (found || type != 'C') return std::nullopt;
      found = Column{offset, width};
    }
    offset += width;
  }
  return found;
}

std::string_view TrimTrailing(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
    text.remove_suffix(1);
  return text;
}

bool ReadFully(platform::RawFile& in, char* to, size_t size) {
  while (size > 0) {
    size_t count = 0;
    if (in.Read(to, size, &count) != 0 || count == 0) return false;
    to += count;
    size -= count;
  }
  return true;
}

}  // namespace

std::optional<std::string> OtherCentreRowsFile(const std::string& native_path,
                                               std::string_view centre) {
  if (centre.empty() || !IsAscii(centre)) return std::nullopt;
  platform::RawFile in;
  uint64_t file_size = 0;
  if (in.OpenForReading(native_path) != 0 || in.Size(&file_size) != 0)
    return std::nullopt;
  std::string out(32, '\0');
  if (file_size < 32 || !ReadFully(in, out.data(), 32) || out[0] != '\x03')
    return std::nullopt;
  const size_t header_size = Little(out, 8, 2);
  const size_t record_size = Little(out, 10, 2);
  if (header_size < 33 || header_size > file_size || record_size == 0)
    return std::nullopt;
  out.resize(header_size);
  if (!ReadFully(in, out.data() + 32, header_size - 32)) return std::nullopt;
  const uint64_t records = (file_size - header_size) / record_size;
  const std::optional<Column> codcen = FindCodcen(out);
  if (Little(out, 4, 4) != records || !codcen ||
      codcen->offset + codcen->width > record_size) {
    return std::nullopt;
  }

  const size_t per_block = std::max<size_t>(1, kBlockSize / record_size);
  const std::unique_ptr<char[]> block(new char[per_block * record_size]);
  uint32_t kept = 0;
  for (uint64_t done = 0; done < records;) {
    const size_t count =
        static_cast<size_t>(std::min<uint64_t>(per_block, records - done));
    if (!ReadFully(in, block.get(), count * record_size)) return std::nullopt;
    for (size_t i = 0; i < count; ++i) {
      const std::string_view record(block.get() + i * record_size, record_size);
      if (record[0] == '*') continue;
      const std::string_view text =
          TrimTrailing(record.substr(codcen->offset, codcen->width));
      if (text == centre) continue;
      // Other bytes read through the table's code page, as the engine
      // alone knows it.
      if (!IsAscii(text)) return std::nullopt;
      out.append(record);
      ++kept;
    }
    done += count;
  }
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<char>(kept >> 8 * i);
  out.push_back('\x1a');
  return out;
}

}  // namespace importing
