#include "tables/kept_rows.h"

#include <algorithm>
#include <memory>

#include "platform/letter_case.h"
#include "tables/dbf_header.h"
#include "tables/little_endian.h"
#include "tables/table.h"
#include "tables/table_error.h"
#include "tables/table_file.h"

namespace tables {
namespace {

constexpr size_t kBlockSize = 256 * 1024;

bool IsAscii(std::string_view text) {
  return std::none_of(text.begin(), text.end(), [](char c) {
    return static_cast<unsigned char>(c) >= 0x80;
  });
}

// Whether the stored column name (NUL-padded) is `name`, without regard to
// case.
bool NameIs(std::string_view stored, std::string_view name) {
  const size_t end = stored.find('\0');
  if (end != std::string_view::npos) stored = stored.substr(0, end);
  return platform::EqualIgnoringCase(stored, name);
}

struct Column {
  size_t offset = 0;
  size_t width = 0;
};

// The column `name` of a dBase III header, or nothing when there is not
// exactly one character column of that name.
std::optional<Column> FindColumn(std::string_view header,
                                 std::string_view name) {
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
    if (NameIs(header.substr(at, 11), name)) {
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

// Reads the table file's bytes from `at`; false when fewer are there.
bool ReadFully(TableFile& in, uint64_t at, char* to, size_t size) {
  return in.ReadAt(at, to, size) == size;
}

}  // namespace

void RewriteHeaderAfterCopy(std::string& bytes, uint32_t count,
                            bool rows_changed) {
  PutU32(bytes, 4, count);
  if (rows_changed) {
    bytes[28] = static_cast<char>(IndexFlagAfterRowsChange(
        static_cast<uint8_t>(bytes[0]), static_cast<uint8_t>(bytes[28])));
  }
}

std::string ContentWithRecords(platform::FileSystem& files,
                               const std::string& path,
                               const std::string& display,
                               const std::vector<int64_t>& kept) {
  auto in =
      TableFile::Open(files, path, display, false, platform::FileLock::kNone);
  std::string head(32, '\0');
  if (!ReadFully(*in, 0, head.data(), head.size()))
    throw TableError::CorruptTable(display, "lectura incompleta");
  const size_t header_size = GetU16(head, 8);
  const size_t record_size = GetU16(head, 10);
  head.resize(header_size);
  if (!ReadFully(*in, 0, head.data(), header_size))
    throw TableError::CorruptTable(display, "lectura incompleta");
  // The rows stay the old ones only when every record is kept in its place.
  bool in_place = kept.size() == GetU32(head, 4);
  for (size_t i = 0; in_place && i < kept.size(); ++i)
    in_place = kept[i] == static_cast<int64_t>(i + 1);
  std::string bytes = std::move(head);
  RewriteHeaderAfterCopy(bytes, static_cast<uint32_t>(kept.size()), !in_place);
  bytes.reserve(header_size + kept.size() * record_size + 1);
  for (int64_t record : kept) {
    const size_t at = bytes.size();
    bytes.resize(at + record_size);
    const uint64_t from =
        header_size + static_cast<uint64_t>(record - 1) * record_size;
    if (!ReadFully(*in, from, bytes.data() + at, record_size))
      throw TableError::CorruptTable(display, "lectura incompleta");
  }
  bytes.push_back('\x1a');
  return bytes;
}

namespace {

std::optional<std::string> Scan(platform::FileSystem& files,
                                const std::string& path, std::string_view field,
                                std::string_view value) {
  auto in =
      TableFile::Open(files, path, path, false, platform::FileLock::kNone);
  const uint64_t file_size = in->Size();
  std::string out(32, '\0');
  if (file_size < 32 || !ReadFully(*in, 0, out.data(), 32) || out[0] != '\x03')
    return std::nullopt;
  const size_t header_size = GetU16(out, 8);
  const size_t record_size = GetU16(out, 10);
  if (header_size < 33 || header_size > file_size || record_size == 0)
    return std::nullopt;
  out.resize(header_size);
  if (!ReadFully(*in, 32, out.data() + 32, header_size - 32))
    return std::nullopt;
  const uint64_t records = (file_size - header_size) / record_size;
  const std::optional<Column> column = FindColumn(out, field);
  if (GetU32(out, 4) != records || !column ||
      column->offset + column->width > record_size) {
    return std::nullopt;
  }

  const size_t per_block = std::max<size_t>(1, kBlockSize / record_size);
  const std::unique_ptr<char[]> block(new char[per_block * record_size]);
  uint32_t kept = 0;
  uint64_t at = header_size;
  for (uint64_t done = 0; done < records;) {
    const size_t count =
        static_cast<size_t>(std::min<uint64_t>(per_block, records - done));
    if (!ReadFully(*in, at, block.get(), count * record_size))
      return std::nullopt;
    at += count * record_size;
    for (size_t i = 0; i < count; ++i) {
      const std::string_view record(block.get() + i * record_size, record_size);
      if (record[0] == '*') continue;
      const std::string_view text =
          TrimTrailing(record.substr(column->offset, column->width));
      if (text == value) continue;
      // Other bytes read through the table's code page, as the cursor alone
      // knows it.
      if (!IsAscii(text)) return std::nullopt;
      out.append(record);
      ++kept;
    }
    done += count;
  }
  // Every record is kept in its place only when none is deleted or dropped.
  RewriteHeaderAfterCopy(out, kept, kept != records);
  out.push_back('\x1a');
  return out;
}

}  // namespace

std::optional<std::string> ScanKeepingRowsExcept(platform::FileSystem& files,
                                                 const std::string& path,
                                                 std::string_view field,
                                                 std::string_view value) {
  if (value.empty() || !IsAscii(value)) return std::nullopt;
  try {
    return Scan(files, path, field, value);
  } catch (const TableError&) {
    return std::nullopt;  // the walk meets the failure and reports it
  }
}

std::string Table::ContentKeepingRowsExcept(std::string_view field,
                                            std::string_view value) {
  // A missing table, or one another program holds, fails here.
  Open();
  const std::string path = FilePath();
  const bool stored_order = !filtered_ && index_name_.empty();
  Close();
  if (stored_order) {
    if (auto bytes = ScanKeepingRowsExcept(*files_, path, field, value))
      return std::move(*bytes);
  }
  Open();
  std::vector<int64_t> kept;
  if (!Eof()) {
    Field column = FieldByName(field);
    std::string buffer;
    for (; !Eof(); Next()) {
      if (column.AsStringView(buffer) != value) kept.push_back(RecNo());
    }
  }
  Close();
  return ContentWithRecords(*files_, path, DisplayPath(), kept);
}

}  // namespace tables
