#pragma once

// The header of a .dbf file: the fixed part, the field descriptors and, for
// Visual FoxPro, the null-flag bookkeeping. Byte layout: docs/dbf_format.md.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tables {

enum class DbfFlavor { kDbase3, kDbase4, kFoxPro, kVisualFoxPro, kDbase7 };
enum class MemoKind { kNone, kDbt3, kDbt4, kFpt };

struct FieldDescriptor {
  std::string name;  // as stored (normally upper-case)
  char type = 'C';
  int offset = 0;  // within the record; the deletion flag is byte 0
  int length = 0;
  int decimals = 0;
  uint8_t flags = 0;       // Visual FoxPro: 1 system, 2 nullable, 4 binary
  int null_bit = -1;       // bit in _NullFlags marking null, or -1
  int varlength_bit = -1;  // bit in _NullFlags marking a short V/Q value
  bool hidden = false;     // _NullFlags and other system columns
  // Visual FoxPro autoincrement: the value the next new record gets, the
  // step (0: not autoincrement) and where the descriptor lies in the file.
  uint32_t autoincrement_next = 0;
  uint8_t autoincrement_step = 0;
  size_t descriptor_at = 0;
};

struct DbfHeader {
  uint8_t version = 0x03;
  DbfFlavor flavor = DbfFlavor::kDbase3;
  int year = 0, month = 1, day = 1;  // date of last update
  uint32_t record_count = 0;
  uint16_t header_length = 0;
  uint16_t record_length = 1;
  uint8_t production_index = 0;  // byte 28
  uint8_t language_driver = 0;   // byte 29
  std::string driver_name;       // dBase 7 only
  int code_page = 1252;
  std::vector<FieldDescriptor> fields;
  int null_flags_field = -1;  // index in `fields` of _NullFlags, or -1

  MemoKind memo_kind() const;
  bool has_memo_fields() const;
};

// Parses the header from the first bytes of a file of `file_size` bytes.
// `bytes` holds at least min(file_size, header length) bytes. Fails with
// TableError::CorruptTable naming `display` when the header is truncated or
// inconsistent, or the version is not one we read.
DbfHeader ParseHeader(std::string_view bytes, uint64_t file_size,
                      const std::string& display);

// The header length a file needs before reading the whole header: bytes 8-9.
// REQUIRES: bytes.size() >= 32.
uint16_t StoredHeaderLength(std::string_view bytes);

// The 32 fixed bytes (version, date, count, lengths, flags, driver).
std::string SerializeFixedPart(const DbfHeader& header);
// The whole header of a new dBase III/IV table (fields, terminator), with
// header_length and record_length filled in.
std::string SerializeHeader(DbfHeader& header);

// The production-index flag (byte 28) of a table whose rows no longer match
// the index file beside it: none for dBase; for FoxPro only the structural
// .CDX bit goes, the memo and database bits stay. `version` is byte 0.
uint8_t IndexFlagAfterRowsChange(uint8_t version, uint8_t flag);

// True for a column type letter the engine knows.
bool IsKnownFieldType(char type);

}  // namespace tables
