#include "tables/production_index.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "platform/letter_case.h"
#include "tables/index_key.h"
#include "tables/mdx_error.h"
#include "tables/mdx_file.h"
#include "tables/mdx_layout.h"
#include "tables/mdx_reader.h"
#include "tables/mdx_writer.h"

namespace tables {

namespace {

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// Integer and the other number columns are indexed as dBase's N keys.
bool IsNumericType(char type) {
  return std::string_view("NFIBYO+").find(type) != std::string_view::npos;
}

// A plain field name: the only key expression this engine evaluates.
bool IsFieldName(std::string_view expression) {
  return !expression.empty() &&
         std::all_of(expression.begin(), expression.end(), [](char c) {
           return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                  (c >= '0' && c <= '9') || c == '_';
         });
}

MdxTagData TagData(const std::string& mdx_path, const IndexedField& field,
                   const IndexOrder& order) {
  MdxTagData tag;
  tag.name = Upper(order.tag());
  tag.expression = Upper(field.name);
  if (tag.name.empty() || tag.name.size() > 10) {
    throw MdxUnsupportedTag(mdx_path, order.tag(),
                            "el nombre debe tener de 1 a 10 caracteres");
  }
  const bool numeric = IsNumericType(field.type);
  if (numeric) {
    tag.key_type = 'N';
    tag.key_length = kNumericKeyLength;
  } else if (field.type == 'C') {
    tag.key_type = 'C';
    tag.key_length = field.width;
    if (field.width < 1 || field.width > mdx::kMaxKeyLength) {
      throw MdxUnsupportedTag(mdx_path, order.tag(),
                              "la clave debe tener de 1 a 100 caracteres");
    }
  } else {
    throw MdxUnsupportedTag(
        mdx_path, order.tag(),
        JoinText("campo de tipo ", std::string(1, field.type)));
  }
  const size_t n = order.size();
  tag.recnos.reserve(n);
  tag.keys.reserve(n * static_cast<size_t>(tag.key_length));
  for (size_t i = 0; i < n; ++i) {
    tag.recnos.push_back(order.RecnoAt(i));
    const IndexKey& key = order.KeyAt(i);
    if (numeric) {
      const NumericKeyBytes bytes = EncodeNumericKey(key.number);
      tag.keys.append(bytes.begin(), bytes.end());
    } else {
      tag.keys += PadCharacterKey(key.text, tag.key_length);
    }
  }
  return tag;
}

const IndexedField* FindField(const std::vector<IndexedField>& fields,
                              std::string_view name) {
  for (const IndexedField& field : fields) {
    if (platform::EqualIgnoringCase(field.name, name)) return &field;
  }
  return nullptr;
}

// Tags this engine cannot keep (key expressions, dates, unique, descending
// or filtered tags) are left out; selecting one fails as a missing tag.
bool IsUsable(const MdxTagInfo& tag) {
  return IsFieldName(tag.expression) && !tag.unique && !tag.descending &&
         !tag.filtered && (tag.key_type == 'C' || tag.key_type == 'N');
}

IndexOrder LoadTag(const std::string& mdx_path, const MdxReader& reader,
                   const MdxTagInfo& tag, const IndexedField& field,
                   uint32_t record_count) {
  const bool numeric = tag.key_type == 'N';
  IndexOrder order(tag.name, field.name,
                   numeric ? KeyKind::kNumeric : KeyKind::kCharacter,
                   field.width);
  const std::string name = Quoted(tag.name);
  std::vector<bool> seen(static_cast<size_t>(record_count) + 1, false);
  uint32_t count = 0;
  IndexKey previous;
  reader.Walk(tag, [&](uint32_t recno, std::string_view bytes) {
    if (recno == 0 || recno > record_count) {
      throw MdxMismatch(mdx_path,
                        JoinText("la etiqueta ", name, " cita el registro ",
                                 std::to_string(recno), " y la tabla tiene ",
                                 std::to_string(record_count)));
    }
    if (seen[recno]) {
      throw MdxCorrupt(mdx_path, JoinText("la etiqueta ", name,
                                          " cita dos veces el registro ",
                                          std::to_string(recno)));
    }
    seen[recno] = true;
    IndexKey key;
    if (numeric) {
      const std::optional<double> number = DecodeNumericKey(bytes);
      if (!number) {
        throw MdxCorrupt(
            mdx_path,
            JoinText("clave numérica no válida en la etiqueta ", name));
      }
      key.number = *number;
    } else {
      key.text = std::string(bytes);
    }
    if (count > 0 && order.Compare(previous, key) > 0) {
      throw MdxCorrupt(mdx_path,
                       JoinText("claves fuera de orden en la etiqueta ", name));
    }
    previous = key;
    order.Set(recno, std::move(key));
    ++count;
  });
  if (count != record_count) {
    throw MdxMismatch(mdx_path,
                      JoinText("a la etiqueta ", name, " le faltan registros"));
  }
  return order;
}

void CheckKeyMatchesField(const std::string& mdx_path, const MdxTagInfo& tag,
                          const IndexedField& field) {
  const bool matches = (tag.key_type == 'N' && IsNumericType(field.type) &&
                        tag.key_length == kNumericKeyLength) ||
                       (tag.key_type == 'C' && field.type == 'C' &&
                        tag.key_length == field.width);
  if (!matches) {
    throw MdxMismatch(mdx_path,
                      JoinText("la clave de la etiqueta ", Quoted(tag.name),
                               " no es la del campo ", Quoted(field.name)));
  }
}

}  // namespace

void WriteProductionIndex(platform::FileSystem& files,
                          const std::string& mdx_path,
                          const std::string& dbf_name,
                          const std::vector<IndexedField>& fields,
                          const std::vector<IndexOrder>& tags) {
  if (fields.size() != tags.size()) {
    throw std::invalid_argument("WriteProductionIndex: one field per tag");
  }
  if (tags.size() > static_cast<size_t>(mdx::kMaxTags)) {
    throw MdxUnsupportedTag(mdx_path, tags[mdx::kMaxTags].tag(),
                            "caben 47 etiquetas como máximo");
  }
  std::vector<MdxTagData> data;
  data.reserve(tags.size());
  for (size_t i = 0; i < tags.size(); ++i) {
    data.push_back(TagData(mdx_path, fields[i], tags[i]));
  }
  ReplaceMdxFile(files, mdx_path,
                 BuildMdxImage(dbf_name, data, MdxDate::Today()));
}

std::vector<IndexOrder> ReadProductionIndex(
    platform::FileSystem& files, const std::string& mdx_path,
    const std::vector<IndexedField>& fields, uint32_t record_count) {
  const MdxReader reader(mdx_path, ReadMdxFile(files, mdx_path));
  std::vector<IndexOrder> orders;
  for (const MdxTagInfo& tag : reader.tags()) {
    if (!IsUsable(tag)) continue;
    const IndexedField* field = FindField(fields, tag.expression);
    if (field == nullptr) {
      throw MdxMismatch(
          mdx_path,
          JoinText("la etiqueta ", Quoted(tag.name), " usa el campo ",
                   Quoted(tag.expression), ", que la tabla no tiene"));
    }
    CheckKeyMatchesField(mdx_path, tag, *field);
    orders.push_back(LoadTag(mdx_path, reader, tag, *field, record_count));
  }
  return orders;
}

}  // namespace tables
