#include "tables/dbf_header.h"

#include <cstring>

#include "tables/code_page.h"
#include "tables/header_counts.h"
#include "tables/little_endian.h"
#include "tables/table_error.h"

namespace tables {
namespace {

bool FlavorOf(uint8_t version, DbfFlavor* flavor) {
  switch (version) {
    case 0x30:
    case 0x31:
    case 0x32:
      *flavor = DbfFlavor::kVisualFoxPro;
      return true;
    case 0xF5:
    case 0xFB:
      *flavor = DbfFlavor::kFoxPro;
      return true;
    case 0x8C:
      *flavor = DbfFlavor::kDbase7;
      return true;
    case 0x7B:
    case 0x8B:
    case 0xCB:
      *flavor = DbfFlavor::kDbase4;
      return true;
    default:
      break;
  }
  switch (version & 0x07) {
    case 3:
      *flavor = DbfFlavor::kDbase3;
      return true;
    case 4:
      *flavor = DbfFlavor::kDbase4;
      return true;
    default:
      return false;
  }
}

std::string StoredName(std::string_view raw) {
  size_t end = raw.find('\0');
  std::string name(raw.substr(0, end));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

// dBase field names are upper-case; a few writers store them in mixed case.
std::string UpperName(std::string name) {
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return name;
}

// dBase 7 and dBase IV both use version 0x04; dBase 7 keeps a language
// driver name where dBase IV has its first field, and 48-byte descriptors.
bool LooksLikeDbase7(std::string_view bytes, uint16_t header_length) {
  if (header_length < 68 + 1 || (header_length - 68 - 1) % 48 != 0)
    return false;
  if (bytes.size() < 68 + 48) return false;
  return !IsKnownFieldType(bytes[43]) && IsKnownFieldType(bytes[68 + 32]);
}

void AssignNullBits(DbfHeader& header) {
  int bit = 0;
  for (FieldDescriptor& field : header.fields) {
    if (field.hidden) continue;
    if (field.type == 'V' || field.type == 'Q') field.varlength_bit = bit++;
    if (field.flags & 0x02) field.null_bit = bit++;
  }
}

}  // namespace

MemoKind DbfHeader::memo_kind() const {
  if (!has_memo_fields()) return MemoKind::kNone;
  switch (flavor) {
    case DbfFlavor::kFoxPro:
    case DbfFlavor::kVisualFoxPro:
      return MemoKind::kFpt;
    case DbfFlavor::kDbase3:
      return MemoKind::kDbt3;
    default:
      return MemoKind::kDbt4;
  }
}

bool DbfHeader::has_memo_fields() const {
  const bool vfp = flavor == DbfFlavor::kVisualFoxPro;
  for (const FieldDescriptor& field : fields) {
    switch (field.type) {
      case 'M':
      case 'G':
      case 'P':
      case 'W':
        return true;
      case 'B':
        if (!vfp) return true;
        break;
      default:
        break;
    }
  }
  return false;
}

uint8_t IndexFlagAfterRowsChange(uint8_t version, uint8_t flag) {
  DbfFlavor flavor = DbfFlavor::kDbase3;
  const bool foxpro =
      FlavorOf(version, &flavor) &&
      (flavor == DbfFlavor::kFoxPro || flavor == DbfFlavor::kVisualFoxPro);
  return foxpro ? static_cast<uint8_t>(flag & ~0x01) : 0;
}

bool IsKnownFieldType(char type) {
  return type != '\0' && std::strchr("CNFLDMIBYT@O+VQWGP0", type) != nullptr;
}

uint16_t StoredHeaderLength(std::string_view bytes) { return GetU16(bytes, 8); }

HeaderCounts HeaderCountsOf(std::string_view first_bytes) {
  return {GetU32(first_bytes, 4), GetU16(first_bytes, 8),
          GetU16(first_bytes, 10)};
}

uint32_t StoredRowCount(std::string_view first_bytes) {
  return GetU32(first_bytes, 4);
}

namespace {

// One field descriptor at `at`. Throws CorruptTable through `display`.
FieldDescriptor ReadDescriptor(std::string_view bytes, size_t at,
                               DbfFlavor flavor, const std::string& display) {
  const bool dbase7 = flavor == DbfFlavor::kDbase7;
  FieldDescriptor field;
  field.name = UpperName(StoredName(bytes.substr(at, dbase7 ? 32 : 11)));
  const size_t type_at = at + (dbase7 ? 32 : 11);
  const size_t length_at = type_at + (dbase7 ? 1 : 5);
  field.type = bytes[type_at];
  field.length = static_cast<unsigned char>(bytes[length_at]);
  field.decimals = static_cast<unsigned char>(bytes[length_at + 1]);
  if (!dbase7) field.flags = static_cast<uint8_t>(bytes[at + 18]);
  if (!IsKnownFieldType(field.type))
    throw TableError::CorruptTable(display, "tipo de campo desconocido");
  // Clipper and FoxPro keep the high byte of long text widths in the
  // decimals byte.
  if (field.type == 'C' && !dbase7 && flavor != DbfFlavor::kVisualFoxPro) {
    field.length += field.decimals * 256;
    field.decimals = 0;
  }
  if (field.length <= 0)
    throw TableError::CorruptTable(display, "campo de longitud 0");
  if (flavor == DbfFlavor::kVisualFoxPro &&
      (field.type == '0' || (field.flags & 0x01)))
    field.hidden = true;
  field.descriptor_at = at;
  if (flavor == DbfFlavor::kVisualFoxPro && field.type == 'I' &&
      (field.flags & 0x0C) == 0x0C) {
    field.autoincrement_next = GetU32(bytes, at + 19);
    field.autoincrement_step = static_cast<uint8_t>(bytes[at + 23]);
  }
  return field;
}

// The fixed 32 bytes, checked against the file.
DbfHeader ParseFixedPart(std::string_view bytes, uint64_t file_size,
                         const std::string& display) {
  const auto corrupt = [&](const char* detail) {
    return TableError::CorruptTable(display, detail);
  };
  if (file_size < 32 || bytes.size() < 32)
    throw corrupt("la cabecera está incompleta");
  DbfHeader header;
  header.version = static_cast<uint8_t>(bytes[0]);
  if (!FlavorOf(header.version, &header.flavor))
    throw corrupt("versión de dBase no admitida");
  header.year = 1900 + static_cast<unsigned char>(bytes[1]);
  header.month = static_cast<unsigned char>(bytes[2]);
  header.day = static_cast<unsigned char>(bytes[3]);
  header.record_count = GetU32(bytes, 4);
  header.header_length = GetU16(bytes, 8);
  header.record_length = GetU16(bytes, 10);
  header.production_index = static_cast<uint8_t>(bytes[28]);
  header.language_driver = static_cast<uint8_t>(bytes[29]);
  if (header.header_length < 33 || header.header_length > file_size ||
      header.header_length > bytes.size())
    throw corrupt("la longitud de la cabecera no es válida");
  if (header.record_length < 1) throw corrupt("la longitud de registro es 0");
  if (header.flavor == DbfFlavor::kDbase4 &&
      LooksLikeDbase7(bytes, header.header_length))
    header.flavor = DbfFlavor::kDbase7;
  if (header.flavor == DbfFlavor::kDbase7) {
    if (header.header_length < 69) throw corrupt("cabecera de dBase 7 corta");
    header.driver_name = StoredName(bytes.substr(32, 32));
    header.code_page = CodePage::FromDriverName(header.driver_name);
  } else {
    header.code_page = CodePage::FromLanguageDriver(header.language_driver);
  }
  return header;
}

}  // namespace

DbfHeader ParseHeader(std::string_view bytes, uint64_t file_size,
                      const std::string& display) {
  DbfHeader header = ParseFixedPart(bytes, file_size, display);
  const auto corrupt = [&](const char* detail) {
    return TableError::CorruptTable(display, detail);
  };
  const bool dbase7 = header.flavor == DbfFlavor::kDbase7;
  const size_t step = dbase7 ? 48 : 32;
  int offset = 1;
  bool terminated = false;
  for (size_t at = dbase7 ? 68 : 32; at < header.header_length; at += step) {
    if (bytes[at] == '\x0D') {
      terminated = true;
      break;
    }
    if (at + step > header.header_length)
      throw corrupt("descriptor de campo incompleto");
    FieldDescriptor field = ReadDescriptor(bytes, at, header.flavor, display);
    field.offset = offset;
    offset += field.length;
    if (field.type == '0' && field.hidden)
      header.null_flags_field = static_cast<int>(header.fields.size());
    header.fields.push_back(field);
  }
  if (offset > header.record_length)
    throw corrupt("los campos no caben en la longitud de registro");
  // Without the terminator only fields that fill the record exactly show
  // that the header length did not cut the descriptors short.
  if (!terminated && offset != header.record_length)
    throw corrupt("la cabecera corta los descriptores de campo");
  AssignNullBits(header);
  return header;
}

std::string SerializeFixedPart(const DbfHeader& header) {
  std::string out(32, '\0');
  out[0] = static_cast<char>(header.version);
  out[1] = static_cast<char>(header.year - 1900);
  out[2] = static_cast<char>(header.month);
  out[3] = static_cast<char>(header.day);
  PutU32(out, 4, header.record_count);
  PutU16(out, 8, header.header_length);
  PutU16(out, 10, header.record_length);
  out[28] = static_cast<char>(header.production_index);
  out[29] = static_cast<char>(header.language_driver);
  return out;
}

std::string SerializeHeader(DbfHeader& header) {
  int record_length = 1;
  for (FieldDescriptor& field : header.fields) {
    field.offset = record_length;
    record_length += field.length;
  }
  header.record_length = static_cast<uint16_t>(record_length);
  header.header_length =
      static_cast<uint16_t>(32 + 32 * header.fields.size() + 1);
  std::string out = SerializeFixedPart(header);
  for (const FieldDescriptor& field : header.fields) {
    std::string descriptor(32, '\0');
    std::memcpy(descriptor.data(), field.name.data(),
                field.name.size() < 10 ? field.name.size() : 10);
    descriptor[11] = field.type;
    descriptor[16] = static_cast<char>(field.length & 0xFF);
    descriptor[17] = static_cast<char>(field.type == 'C' ? (field.length >> 8)
                                                         : field.decimals);
    out += descriptor;
  }
  out += '\x0D';
  return out;
}

}  // namespace tables
