// The writing half of FieldCodec.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "tables/field_codec.h"
#include "tables/files.h"
#include "tables/little_endian.h"
#include "tables/memo_file.h"
#include "tables/number_text.h"
#include "tables/table_error.h"

namespace tables {
namespace {

uint64_t DoubleToBits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

void Fill(std::string& record, const FieldDescriptor& field, char c) {
  std::memset(record.data() + field.offset, c,
              static_cast<size_t>(field.length));
}

// REQUIRES: `text` fits the field.
void PutRight(std::string& record, const FieldDescriptor& field,
              std::string_view text) {
  char* out = record.data() + field.offset;
  const auto width = static_cast<size_t>(field.length);
  Fill(record, field, ' ');
  std::memcpy(out + width - text.size(), text.data(), text.size());
}

// dd/mm/yyyy, yyyy-mm-dd or yyyymmdd to days since 1899-12-30.
std::optional<double> ParseDate(std::string_view text) {
  int y = 0, m = 0, d = 0;
  auto number = [&](size_t from, size_t count, int* out) {
    if (from + count > text.size()) return false;
    *out = 0;
    for (size_t i = from; i < from + count; ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      *out = *out * 10 + (text[i] - '0');
    }
    return true;
  };
  bool ok = false;
  if (text.size() == 10 && text[2] == '/' && text[5] == '/') {
    ok = number(0, 2, &d) && number(3, 2, &m) && number(6, 4, &y);
  } else if (text.size() >= 10 && text[4] == '-' && text[7] == '-') {
    ok = number(0, 4, &y) && number(5, 2, &m) && number(8, 2, &d);
  } else if (text.size() == 8) {
    ok = number(0, 4, &y) && number(4, 2, &m) && number(6, 2, &d);
  }
  if (!ok) return std::nullopt;
  int64_t days = DaysFromCivil(y, m, d);
  int cy, cm, cd;
  CivilFromDays(days, &cy, &cm, &cd);
  if (cy != y || cm != m || cd != d) return std::nullopt;
  return static_cast<double>(days);
}

// A whole number's decimal digits, without a heap string per value.
class WholeText {
 public:
  explicit WholeText(int64_t value)
      : end_(std::to_chars(digits_, digits_ + sizeof digits_, value).ptr) {}
  std::string_view view() const {
    return {digits_, static_cast<size_t>(end_ - digits_)};
  }
  size_t length() const { return view().size(); }

 private:
  char digits_[24];
  const char* end_;
};

std::string_view TrimAround(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

void FieldCodec::SetNullFlag(std::string& record, const FieldDescriptor& field,
                             bool null) const {
  if (header_.null_flags_field < 0) return;
  const FieldDescriptor& flags =
      header_.fields[static_cast<size_t>(header_.null_flags_field)];
  const size_t byte = static_cast<size_t>(field.null_bit / 8);
  if (byte >= static_cast<size_t>(flags.length)) return;
  char& bits = record[static_cast<size_t>(flags.offset) + byte];
  const auto mask = static_cast<unsigned char>(1u << (field.null_bit % 8));
  bits = static_cast<char>(null ? (static_cast<unsigned char>(bits) | mask)
                                : (static_cast<unsigned char>(bits) & ~mask));
}

void FieldCodec::Clear(std::string& record,
                       const FieldDescriptor& field) const {
  const bool blank_filled = field.type == 'C' || field.type == 'N' ||
                            field.type == 'F' || field.type == 'D' ||
                            field.type == 'L' || field.type == 'V' ||
                            (IsMemo(field) && field.length != 4);
  Fill(record, field, blank_filled ? ' ' : '\0');
  SetNull(record, field, true);
}

void FieldCodec::SetText(std::string& record, const FieldDescriptor& field,
                         std::string_view utf8) const {
  const auto width = static_cast<size_t>(field.length);
  if (field.hidden || field.type == 'Q' || field.type == 'G' ||
      field.type == 'P' || field.type == 'W' || field.type == '+' ||
      field.autoincrement_step != 0)
    throw TableError::FieldNotWritable(field.name);
  if (field.type == 'C' || field.type == 'V') {
    char* out = record.data() + field.offset;
    const size_t used = code_page_.EncodeInto(utf8, out, width);
    std::memset(out + used, ' ', width - used);
    SetNull(record, field, false);
    return;
  }
  if (IsMemo(field)) {
    if (memo_ == nullptr) throw TableError::FieldNotWritable(field.name);
    std::string bytes = code_page_.Encode(utf8);
    if (bytes.empty()) {
      Clear(record, field);
      return;
    }
    uint32_t block = memo_->Append(bytes);
    if (field.length == 4) {
      StoreLe(record.data() + static_cast<size_t>(field.offset), block, 4);
    } else {
      PutRight(record, field, std::to_string(block));
    }
    SetNull(record, field, false);
    return;
  }
  if (utf8.empty()) {
    Clear(record, field);
    return;
  }
  if (field.type == 'L') {
    std::string_view text = TrimAround(utf8);
    const char c = text.empty() ? '?' : text[0];
    if (text.size() <= 5 && std::strchr("TtYySs1", c) != nullptr) {
      SetBoolean(record, field, true);
    } else if (text.size() <= 5 && std::strchr("FfNn0", c) != nullptr) {
      SetBoolean(record, field, false);
    } else {
      throw TableError::NotABoolean(utf8);
    }
    return;
  }
  if (IsDate(field)) {
    auto days = ParseDate(TrimAround(utf8));
    if (!days) throw TableError::NotADate(utf8);
    SetDateTime(record, field, *days);
    return;
  }
  const bool integral =
      field.type == 'I' ||
      ((field.type == 'N' || field.type == 'F') && field.decimals == 0);
  if (integral) {
    auto value = ParseInteger(utf8);
    if (!value) throw TableError::NotAnIntegerForField(utf8, field.name);
    SetInteger(record, field, *value);
    return;
  }
  auto value = ParseFloat(utf8, DecimalSeparator());
  if (!value) throw TableError::NotAFloat(utf8);
  SetNumber(record, field, *value);
}

void FieldCodec::SetInteger(std::string& record, const FieldDescriptor& field,
                            int64_t value) const {
  if ((field.type == 'N' || field.type == 'F') && field.decimals == 0) {
    const WholeText text(value);
    if (text.length() > static_cast<size_t>(field.length))
      throw TableError::ValueTooLarge(std::string(text.view()), field.name);
    PutRight(record, field, text.view());
    SetNull(record, field, false);
    return;
  }
  if (field.type == 'C' || field.type == 'V') {
    SetText(record, field, WholeText(value).view());
    return;
  }
  if (field.type == 'Y') {  // exact for the whole range currency holds
    if (value > std::numeric_limits<int64_t>::max() / 10000 ||
        value < std::numeric_limits<int64_t>::min() / 10000)
      throw TableError::ValueTooLarge(std::to_string(value), field.name);
    StoreLe(record.data() + static_cast<size_t>(field.offset),
            static_cast<uint64_t>(value * 10000), 8);
    SetNull(record, field, false);
    return;
  }
  SetNumber(record, field, static_cast<double>(value));
}

void FieldCodec::SetNumber(std::string& record, const FieldDescriptor& field,
                           double value) const {
  if (field.hidden || field.type == '+' || field.autoincrement_step != 0)
    throw TableError::FieldNotWritable(field.name);
  switch (field.type) {
    case 'N':
    case 'F': {
      if (!FormatFixedInto(value, field.length, field.decimals,
                           record.data() + field.offset))
        throw TableError::ValueTooLarge(FormatNumber(value, DecimalSeparator()),
                                        field.name);
      SetNull(record, field, false);
      return;
    }
    case 'C':
    case 'V':
      SetText(record, field, FormatNumber(value, DecimalSeparator()));
      return;
    case 'L':
      SetBoolean(record, field, value != 0);
      return;
    case 'D':
    case 'T':
    case '@':
      SetDateTime(record, field, value);
      return;
    default:
      PutBinaryNumber(record, field, value);
  }
}

void FieldCodec::PutBinaryNumber(std::string& record,
                                 const FieldDescriptor& field,
                                 double value) const {
  const size_t at = static_cast<size_t>(field.offset);
  const bool dbase7 = header_.flavor == DbfFlavor::kDbase7;
  switch (field.type) {
    case 'I': {
      double rounded = std::nearbyint(value);
      if (!std::isfinite(rounded) || rounded > 2147483647.0 ||
          rounded < -2147483648.0)
        throw TableError::ValueTooLarge(FormatNumber(value, DecimalSeparator()),
                                        field.name);
      auto number = static_cast<int32_t>(rounded);
      if (dbase7) {
        StoreBe(record.data() + at, static_cast<uint32_t>(number) ^ 0x80000000u,
                4);
      } else {
        StoreLe(record.data() + at, static_cast<uint32_t>(number), 4);
      }
      break;
    }
    case 'B':
      if (IsMemo(field)) throw TableError::FieldNotWritable(field.name);
      StoreLe(record.data() + at, DoubleToBits(value), 8);
      break;
    case 'Y': {
      double scaled = std::nearbyint(value * 10000.0);
      if (!std::isfinite(scaled) || std::fabs(scaled) > 9.2e18)
        throw TableError::ValueTooLarge(FormatNumber(value, DecimalSeparator()),
                                        field.name);
      StoreLe(record.data() + at,
              static_cast<uint64_t>(static_cast<int64_t>(scaled)), 8);
      break;
    }
    case 'O': {
      uint64_t bits = DoubleToBits(value);
      bits = (bits >> 63) ? ~bits : (bits | (1ull << 63));
      StoreBe(record.data() + at, bits, 8);
      break;
    }
    default:
      throw TableError::FieldNotWritable(field.name);
  }
  SetNull(record, field, false);
}

void FieldCodec::SetBoolean(std::string& record, const FieldDescriptor& field,
                            bool value) const {
  if (field.type == 'L') {
    record[static_cast<size_t>(field.offset)] = value ? 'T' : 'F';
    SetNull(record, field, false);
  } else if (field.type == 'C' || field.type == 'V') {
    SetText(record, field, value ? "T" : "F");
  } else {
    SetNumber(record, field, value ? 1.0 : 0.0);
  }
}

void FieldCodec::SetDateTime(std::string& record, const FieldDescriptor& field,
                             double days) const {
  const size_t at = static_cast<size_t>(field.offset);
  double whole = std::floor(days);
  if (!std::isfinite(days) || std::fabs(days) > 3e6)
    throw TableError::NotADate(FormatNumber(days, DecimalSeparator()));
  if (field.type == 'D') {
    int y, m, d;
    CivilFromDays(static_cast<int64_t>(whole), &y, &m, &d);
    if (y < 1 || y > 9999)
      throw TableError::NotADate(FormatNumber(days, DecimalSeparator()));
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", y, m, d);
    std::memcpy(record.data() + at, text, 8);
  } else if (field.type == 'T') {
    auto ms = static_cast<int64_t>(std::llround((days - whole) * 86400000.0));
    StoreLe(record.data() + at,
            static_cast<uint32_t>(static_cast<int64_t>(whole) + 2415019), 4);
    StoreLe(record.data() + at + 4, static_cast<uint32_t>(ms), 4);
  } else if (field.type == '@') {
    StoreBe(record.data() + at, DoubleToBits((days + 693594.0) * 86400000.0),
            8);
  } else {
    SetNumber(record, field, days);
    return;
  }
  SetNull(record, field, false);
}

}  // namespace tables
