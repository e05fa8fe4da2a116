// Table::CreateTable and Table::EmptyTable: the operations on a closed
// table's files.
#include <cctype>
#include <ctime>
#include <set>
#include <system_error>

#include "tables/code_page.h"
#include "tables/dbf_header.h"
#include "tables/files.h"
#include "tables/production_index.h"
#include "tables/shared_file.h"
#include "tables/table.h"
#include "tables/table_error.h"
#include "tables/table_file.h"

namespace tables {
namespace {

// How each logical type is stored (see docs/dbf_format.md).
FieldDescriptor ColumnFor(const FieldDef& def) {
  FieldDescriptor field;
  field.name = def.name;
  switch (def.type) {
    case FieldType::kText:
      field.type = 'C';
      field.length = def.size;
      break;
    case FieldType::kInteger:
      field.type = 'N';
      field.length = 11;
      break;
    case FieldType::kFloat:
      field.type = 'N';
      field.length = 20;
      field.decimals = 4;
      break;
    case FieldType::kLogical:
      field.type = 'L';
      field.length = 1;
      break;
  }
  return field;
}

void CheckDefinitions(const std::vector<FieldDef>& fields,
                      const std::vector<IndexDef>& indexes) {
  if (fields.empty()) throw TableError::BadFieldDef("la tabla no tiene campos");
  std::set<std::string> names;
  for (const FieldDef& def : fields) {
    bool valid_name = !def.name.empty() && def.name.size() <= 10 &&
                      std::isalpha(static_cast<unsigned char>(def.name[0]));
    for (char c : def.name) {
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
        valid_name = false;
    }
    if (!valid_name)
      throw TableError::BadFieldDef("nombre de campo '" + def.name + "'");
    if (!names.insert(def.name).second)
      throw TableError::BadFieldDef("campo repetido '" + def.name + "'");
    if (def.type == FieldType::kText && (def.size < 1 || def.size > 254))
      throw TableError::BadFieldDef("ancho del campo '" + def.name + "'");
  }
  for (const IndexDef& index : indexes) {
    std::string upper = index.field;
    for (char& c : upper)
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (index.tag.empty() || index.tag.size() > 10 || names.count(upper) == 0)
      throw TableError::BadFieldDef("índice '" + index.tag + "'");
  }
}

void StampToday(DbfHeader& header) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  header.year = local.tm_year + 1900;
  header.month = local.tm_mon + 1;
  header.day = local.tm_mday;
}

std::string BaseName(const std::string& path) {
  std::string name = path;
  const size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

const FieldDescriptor* FindField(const DbfHeader& header,
                                 const std::string& name) {
  for (const FieldDescriptor& field : header.fields) {
    std::string upper = name;
    for (char& c : upper)
      c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (field.name == upper) return &field;
  }
  return nullptr;
}

}  // namespace

void Table::CreateTable() {
  RequireClosed();
  CheckDefinitions(field_defs_, index_defs_);
  const std::string display = DisplayPath();
  const std::string path = FilePath();
  if (SharedFile::IsOpen(*files_, path))
    throw TableError::TableOpenHere(display);

  DbfHeader header;
  header.version = 0x03;
  header.language_driver = CodePage::LanguageDriverFor(1252);
  header.production_index = index_defs_.empty() ? 0 : 1;
  StampToday(header);
  for (const FieldDef& def : field_defs_)
    header.fields.push_back(ColumnFor(def));
  std::string bytes = SerializeHeader(header);
  bytes += '\x1A';

  // Replaced in place under an exclusive lock, so a table another program
  // holds open is refused rather than pulled from under it.
  auto file = TableFile::Open(*files_, path, display, true,
                              platform::FileLock::kExclusive,
                              platform::OpenMode::kCreateOrOpen);
  file->Truncate(0);
  file->WriteAt(0, bytes.data(), bytes.size());

  if (!index_defs_.empty()) {
    std::vector<IndexedField> fields;
    std::vector<IndexOrder> orders;
    for (const IndexDef& index : index_defs_) {
      const FieldDescriptor* field = FindField(header, index.field);
      fields.push_back(
          {field->name, field->type, field->length, field->decimals});
      std::string tag = index.tag;
      for (char& c : tag)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      orders.emplace_back(tag, field->name,
                          field->type == 'C' || field->type == 'L'
                              ? KeyKind::kCharacter
                              : KeyKind::kNumeric,
                          field->length);
    }
    WriteProductionIndex(*files_, SiblingPath(*files_, path, ".mdx"),
                         BaseName(path), fields, orders);
  }
}

void Table::EmptyTable() {
  RequireClosed();
  const std::string display = DisplayPath();
  const std::string path = FilePath();
  if (SharedFile::IsOpen(*files_, path))
    throw TableError::TableOpenHere(display);
  auto file = TableFile::Open(*files_, path, display, true,
                              platform::FileLock::kExclusive);
  if (!file->writable()) throw TableError::ReadOnlyTable(display);
  const uint64_t size = file->Size();
  const std::string head = ReadHeaderBytes(*file, size);
  DbfHeader header = ParseHeader(head, size, display);
  const bool indexed = header.production_index != 0 &&
                       header.flavor != DbfFlavor::kFoxPro &&
                       header.flavor != DbfFlavor::kVisualFoxPro;
  const std::string mdx = SiblingPath(*files_, path, ".mdx");
  std::vector<IndexOrder> orders;
  std::vector<IndexedField> all_fields;
  for (const FieldDescriptor& field : header.fields)
    all_fields.push_back(
        {field.name, field.type, field.length, field.decimals});
  if (indexed && files_->Exists(mdx)) {
    orders = ReadProductionIndex(*files_, mdx, all_fields, header.record_count);
    // Crash safety: no index flag while the index and data disagree.
    const char none = 0;
    file->WriteAt(28, &none, 1);
  }
  // Count first, then the data: the header never claims records past the
  // end of the file.
  header.record_count = 0;
  StampToday(header);
  std::string fixed = SerializeFixedPart(header);
  // An index we do not rewrite below would claim the old rows: drop its
  // flag, as the first change of an open table does (for FoxPro, only the
  // structural .CDX bit; the memo and database bits stay).
  if (orders.empty()) {
    const char flag = static_cast<char>(IndexFlagAfterRowsChange(
        header.version, static_cast<uint8_t>(head[28])));
    if (flag != head[28]) file->WriteAt(28, &flag, 1);
  }
  file->WriteAt(0, fixed.data(), 12);
  file->Truncate(header.header_length);
  const char eof = '\x1A';
  file->WriteAt(header.header_length, &eof, 1);
  if (!orders.empty()) {
    std::vector<IndexedField> fields;
    for (IndexOrder& order : orders) {
      order.Clear();
      const FieldDescriptor* field = FindField(header, order.field());
      fields.push_back(
          field ? IndexedField{field->name, field->type, field->length,
                               field->decimals}
                : IndexedField{order.field(), 'C', order.width(), 0});
    }
    WriteProductionIndex(*files_, mdx, BaseName(path), fields, orders);
    const char present = 1;
    file->WriteAt(28, &present, 1);
  }
}

}  // namespace tables
