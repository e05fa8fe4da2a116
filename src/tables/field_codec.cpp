#include "tables/field_codec.h"

#include <array>
#include <bit>
#include <charconv>
#include <cstring>

#include "tables/files.h"
#include "tables/little_endian.h"
#include "tables/memo_file.h"
#include "tables/number_text.h"
#include "tables/table_error.h"
#include "tables/text_scan.h"

namespace tables {
namespace {

// Day numbers of 1899-12-30 in the calendars the formats use.
constexpr int64_t kJulianDayOfEpoch = 2415019;  // Visual FoxPro T
constexpr int64_t kOrdinalOfEpoch = 693594;     // dBase 7 @ (0001-01-01 = 1)
constexpr double kMsPerDay = 86400000.0;

double BitsToDouble(uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

char* PutTwoDigits(char* at, int value) {
  *at++ = static_cast<char>('0' + value / 10);
  *at++ = static_cast<char>('0' + value % 10);
  return at;
}

std::string FormatDateTime(double days, bool with_time) {
  // A damaged timestamp (huge or not a number) is no date.
  if (!(days > -1e8 && days < 1e8))
    throw TableError::NotADate(std::to_string(days));
  int64_t whole = static_cast<int64_t>(days);
  if (days < 0 && static_cast<double>(whole) != days) --whole;
  int year, month, day;
  CivilFromDays(whole, &year, &month, &day);
  char buffer[40];
  char* at = PutTwoDigits(buffer, day);
  *at++ = '/';
  at = PutTwoDigits(at, month);
  *at++ = '/';
  at = std::to_chars(at, buffer + 24, year).ptr;
  if (with_time) {
    int64_t seconds = static_cast<int64_t>(
        (days - static_cast<double>(whole)) * 86400.0 + 0.5);
    if (seconds >= 86400) seconds = 86399;
    *at++ = ' ';
    at = PutTwoDigits(at, static_cast<int>(seconds / 3600));
    *at++ = ':';
    at = PutTwoDigits(at, static_cast<int>(seconds / 60 % 60));
    *at++ = ':';
    at = PutTwoDigits(at, static_cast<int>(seconds % 60));
  }
  return std::string(buffer, at);
}

}  // namespace

int64_t DaysFromCivil(int year, int month, int day) {
  // Howard Hinnant's days_from_civil, shifted to 1899-12-30.
  const int64_t y = year - (month <= 2 ? 1 : 0);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + 25569;
}

void CivilFromDays(int64_t days, int* year, int* month, int* day) {
  const int64_t z = days - 25569 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *year = static_cast<int>(yoe + era * 400 + (*month <= 2 ? 1 : 0));
}

bool FieldCodec::IsNumeric(const FieldDescriptor& field, DbfFlavor flavor) {
  switch (field.type) {
    case 'N':
    case 'F':
    case 'I':
    case '+':
    case 'Y':
    case 'O':
      return true;
    case 'B':
      return flavor == DbfFlavor::kVisualFoxPro;
    default:
      return false;
  }
}

bool FieldCodec::IsDate(const FieldDescriptor& field) {
  return field.type == 'D' || field.type == 'T' || field.type == '@';
}

bool FieldCodec::IsMemo(const FieldDescriptor& field) const {
  switch (field.type) {
    case 'M':
    case 'G':
    case 'P':
    case 'W':
      return true;
    case 'B':
      return header_.flavor != DbfFlavor::kVisualFoxPro;
    default:
      return false;
  }
}

bool FieldCodec::NullFlagged(std::string_view record,
                             const FieldDescriptor& field) const {
  if (field.null_bit < 0 || header_.null_flags_field < 0) return false;
  const FieldDescriptor& flags =
      header_.fields[static_cast<size_t>(header_.null_flags_field)];
  std::string_view bits = Raw(record, flags);
  const size_t byte = static_cast<size_t>(field.null_bit / 8);
  return byte < bits.size() &&
         ((static_cast<unsigned char>(bits[byte]) >> (field.null_bit % 8)) & 1);
}

bool FieldCodec::IsNull(std::string_view record,
                        const FieldDescriptor& field) const {
  if (NullFlagged(record, field)) return true;
  std::string_view raw = Raw(record, field);
  switch (field.type) {
    case 'C':
    case 'N':
    case 'F':
    case 'D':
      return TrimTrailing(raw).empty() ||
             (field.type == 'D' && Trim(raw) == "00000000");
    case 'L':
      return !Boolean(record, field).has_value();
    case 'T':
    case '@':
      return !DateTime(record, field).has_value();
    case 'I':
    case '+':
    case 'O':
      return !Number(record, field).has_value();
    default:
      if (IsMemo(field)) return MemoText(record, field).empty();
      return false;
  }
}

std::string FieldCodec::MemoText(std::string_view record,
                                 const FieldDescriptor& field) const {
  std::string_view raw = Raw(record, field);
  uint32_t block = 0;
  if (field.length == 4) {
    block = static_cast<uint32_t>(LoadLe(raw, 0, 4));
  } else {
    std::string_view digits = Trim(raw);
    if (digits.empty()) return "";
    auto parsed = ParseInteger(digits);
    if (!parsed || *parsed < 0 || *parsed > 0xFFFFFFFFll)
      throw TableError::CorruptTable(
          display_,
          "referencia de memo no válida '" + std::string(digits) + "'");
    block = static_cast<uint32_t>(*parsed);
  }
  if (block == 0 || memo_ == nullptr) return "";
  return memo_->Read(block);
}

std::optional<bool> FieldCodec::Boolean(std::string_view record,
                                        const FieldDescriptor& field) const {
  std::string_view raw = Raw(record, field);
  if (field.type != 'L') {
    if (auto number = IsNumeric(field, header_.flavor) ? Number(record, field)
                                                       : std::nullopt) {
      return *number != 0;
    }
    std::string_view text = Trim(raw);
    if (text.empty()) return std::nullopt;
    return text[0] == 'T' || text[0] == 't' || text[0] == 'Y' ||
           text[0] == 'y' || text[0] == 'S' || text[0] == 's';
  }
  switch (raw.empty() ? ' ' : raw[0]) {
    case 'T':
    case 't':
    case 'Y':
    case 'y':
    case 'S':
    case 's':
      return true;
    case 'F':
    case 'f':
    case 'N':
    case 'n':
      return false;
    default:
      return std::nullopt;
  }
}

std::optional<double> FieldCodec::Number(std::string_view record,
                                         const FieldDescriptor& field) const {
  if (NullFlagged(record, field)) return std::nullopt;
  std::string_view raw = Raw(record, field);
  const bool dbase7 = header_.flavor == DbfFlavor::kDbase7;
  // dBase 7 stores its binary numbers so that every value has a bit set;
  // all zero bytes are an empty value.
  if (dbase7 && (field.type == 'I' || field.type == '+' || field.type == 'O') &&
      raw.find_first_not_of('\0') == std::string_view::npos)
    return std::nullopt;
  switch (field.type) {
    case 'N':
    case 'F': {
      std::string_view text = Trim(raw);
      if (text.empty()) return std::nullopt;
      auto value = ParseFloat(text, '.');
      if (!value) value = ParseFloat(text, ',');
      if (!value) throw TableError::NotAFloat(std::string(text));
      return value;
    }
    case 'I':
    case '+':
      if (raw.size() < 4) return std::nullopt;
      if (dbase7) {
        return static_cast<double>(static_cast<int32_t>(
            static_cast<uint32_t>(LoadBe(raw, 0, 4)) ^ 0x80000000u));
      }
      return static_cast<double>(static_cast<int32_t>(LoadLe(raw, 0, 4)));
    case 'B':
      if (raw.size() < 8) return std::nullopt;
      return BitsToDouble(LoadLe(raw, 0, 8));
    case 'Y':
      if (raw.size() < 8) return std::nullopt;
      return static_cast<double>(static_cast<int64_t>(LoadLe(raw, 0, 8))) /
             10000.0;
    case 'O': {
      if (raw.size() < 8) return std::nullopt;
      uint64_t bits = LoadBe(raw, 0, 8);
      // Stored so that the bytes sort like the numbers: a set sign bit
      // marks a positive value, negative values are stored inverted.
      bits = (bits >> 63) ? (bits ^ (1ull << 63)) : ~bits;
      return BitsToDouble(bits);
    }
    default:
      return std::nullopt;
  }
}

std::optional<double> FieldCodec::DateTime(std::string_view record,
                                           const FieldDescriptor& field) const {
  if (NullFlagged(record, field)) return std::nullopt;
  std::string_view raw = Raw(record, field);
  if (field.type == 'D') {
    std::string_view text = Trim(raw);
    if (text.empty() || text == "00000000") return std::nullopt;
    int parts[3] = {0, 0, 0};
    const int widths[3] = {4, 2, 2};
    size_t at = 0;
    for (int i = 0; i < 3; ++i) {
      for (int k = 0; k < widths[i]; ++k, ++at) {
        if (at >= raw.size() || raw[at] < '0' || raw[at] > '9')
          throw TableError::NotADate(std::string(text));
        parts[i] = parts[i] * 10 + (raw[at] - '0');
      }
    }
    int64_t days = DaysFromCivil(parts[0], parts[1], parts[2]);
    int y, m, d;
    CivilFromDays(days, &y, &m, &d);
    if (y != parts[0] || m != parts[1] || d != parts[2])
      throw TableError::NotADate(std::string(text));
    return static_cast<double>(days);
  }
  if (field.type == 'T' && raw.size() >= 8) {
    if (Trim(raw).empty()) return std::nullopt;
    auto julian = static_cast<int32_t>(LoadLe(raw, 0, 4));
    auto ms = static_cast<int32_t>(LoadLe(raw, 4, 4));
    if (julian == 0 && ms == 0) return std::nullopt;
    return static_cast<double>(julian - kJulianDayOfEpoch) + ms / kMsPerDay;
  }
  if (field.type == '@' && raw.size() >= 8) {
    double ms = BitsToDouble(LoadBe(raw, 0, 8));
    if (ms == 0) return std::nullopt;
    return ms / kMsPerDay - static_cast<double>(kOrdinalOfEpoch);
  }
  return std::nullopt;
}

std::string FieldCodec::GeneralText(std::string_view record,
                                    const FieldDescriptor& field) const {
  std::string_view raw = Raw(record, field);
  if (IsNumeric(field, header_.flavor)) {
    std::optional<double> value;
    try {
      value = Number(record, field);
    } catch (const TableError&) {
      return code_page_.Decode(Trim(raw));  // not a number: shown as stored
    }
    return value ? FormatNumber(*value, DecimalSeparator()) : "";
  }
  if (IsDate(field)) {
    std::optional<double> days;
    try {
      days = DateTime(record, field);
    } catch (const TableError&) {
      return code_page_.Decode(Trim(raw));  // shown as stored
    }
    return days ? FormatDateTime(*days, field.type != 'D') : "";
  }
  if (IsMemo(field)) return code_page_.Decode(MemoText(record, field));
  switch (field.type) {
    case 'L': {
      auto value = Boolean(record, field);
      return value ? (*value ? "T" : "F") : "";
    }
    case 'V':
    case 'Q':
      if (field.varlength_bit >= 0 && header_.null_flags_field >= 0) {
        std::string_view bits =
            Raw(record,
                header_.fields[static_cast<size_t>(header_.null_flags_field)]);
        const size_t byte = static_cast<size_t>(field.varlength_bit / 8);
        if (byte < bits.size() && ((static_cast<unsigned char>(bits[byte]) >>
                                    (field.varlength_bit % 8)) &
                                   1)) {
          size_t length = static_cast<unsigned char>(raw.back());
          return code_page_.Decode(raw.substr(0, std::min(length, raw.size())));
        }
      }
      return code_page_.Decode(field.type == 'V' ? TrimTrailing(raw) : raw);
    default:
      return code_page_.Decode(TrimTrailing(raw));
  }
}

}  // namespace tables
