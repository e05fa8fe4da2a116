// Reading fields as text: the shortcuts for the columns most tables are
// made of, where the stored bytes already are the text or the text is made
// from them without a detour through values. Each column's reader is chosen
// once, when a field handle is made.

#include <algorithm>
#include <array>
#include <bit>

#include "tables/field_codec.h"
#include "tables/files.h"
#include "tables/text_scan.h"

namespace tables {
namespace {

// "T", "F" or "" for the byte of an L column.
std::string_view LogicalText(char stored) {
  // A lookup rather than a switch: the values of a column come in no
  // order a branch could guess.
  static constexpr auto kKind = [] {
    std::array<unsigned char, 256> kind{};  // 0 unset, 1 true, 2 false
    for (unsigned char c : std::string_view("TtYySs")) kind[c] = 1;
    for (unsigned char c : std::string_view("FfNn")) kind[c] = 2;
    return kind;
  }();
  static constexpr std::string_view kText[] = {{}, "T", "F"};
  return kText[kKind[static_cast<unsigned char>(stored)]];
}

// A stored date "yyyymmdd" of a four-digit year as "dd/mm/yyyy" in `text`
// (ten bytes); true when it is a valid date other than 29 February, which
// the general path reads. The text is made from any eight bytes and the
// checks are combined without branches: blank dates are as common as
// filled ones, and in no order.
bool StoredDateToText(uint64_t stored, char* text) {
  // Unsigned, so that the arithmetic on bytes that are no digits wraps
  // harmlessly; AllDigits rejects them.
  auto digit = [stored](int i) {
    return static_cast<unsigned>((stored >> (8 * i)) & 0xFF) - '0';
  };
  const unsigned month = digit(4) * 10 + digit(5);
  const unsigned day = digit(6) * 10 + digit(7);
  static constexpr unsigned char kDaysInMonth[16] = {
      0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31, 0, 0, 0};
  // A four-digit year: its first digit is not 0.
  const bool valid = AllDigits(stored) & (digit(0) != 0) & (month - 1 < 12) &
                     (day - 1 < kDaysInMonth[month & 15]);
  if constexpr (std::endian::native == std::endian::little) {
    // Bytes y0 y1 y2 y3 m0 m1 d0 d1 moved into d0 d1 / m0 m1 / y0 y1, then
    // y2 y3.
    const uint64_t head = (stored >> 48) | uint64_t{'/'} << 16 |
                          ((stored >> 32) & 0xFFFF) << 24 |
                          uint64_t{'/'} << 40 | (stored & 0xFFFF) << 48;
    StoreWord(text, head);
    const auto tail = static_cast<uint16_t>(stored >> 16);
    std::memcpy(text + 8, &tail, sizeof tail);
  } else {
    char raw[8];
    std::memcpy(raw, &stored, sizeof raw);
    const char ordered[10] = {raw[6], raw[7], '/',    raw[4], raw[5],
                              '/',    raw[0], raw[1], raw[2], raw[3]};
    std::memcpy(text, ordered, sizeof ordered);
  }
  return valid;
}

// The shortest text of a number stored as most programs write it: right-
// aligned, with exactly `decimals` digits after the point ("  -12.50"), made
// in `buffer` with the loops running over the width alone. Empty for
// anything else (blanks, leading zeros, more than 15 digits, a sign on
// zero), which the general reading handles.
std::string_view FixedPointText(std::string_view raw, int decimals,
                                const char* readable_end, std::string& buffer) {
  const size_t width = raw.size();
  const auto fraction = static_cast<size_t>(decimals);
  // Up to eight decimals no number needs the "E" form.
  if (fraction < 1 || fraction > 8 || width < fraction + 2 || width >= 64)
    return {};
  const size_t point = width - fraction - 1;
  const FieldBytes bytes = ScanField(raw, readable_end);
  if (bytes.non_blank == 0) return {};
  const auto first = static_cast<size_t>(std::countr_zero(bytes.non_blank));
  const bool negative = raw[first] == '-';
  const size_t start = first + (negative ? 1 : 0);
  // Digits fill the field from `start` on, except the point.
  if (start >= point || raw[point] != '.' ||
      bytes.digits != (BitRange(start, point) | BitRange(point + 1, width)))
    return {};
  const size_t body = point - start;
  // The fraction without its trailing zeros.
  const uint64_t significant =
      (bytes.digits & ~bytes.zeros) & BitRange(point + 1, width);
  // (The bit of the point stands in when there is none: kept is then 0.)
  const size_t kept = EndOfBits(significant | uint64_t{1} << point) - point - 1;
  if (body + fraction > 15 ||
      (raw[start] == '0' && (body > 1 || (negative && kept == 0))))
    return {};
  char* text = RoomIn(buffer, width);
  std::memcpy(text, raw.data(), width);
  text[point] = DecimalSeparator();
  return std::string_view(text + first,
                          point - first + (kept != 0 ? kept + 1 : 0));
}

// Texts wider than the fixed-width scan takes: apart, so that the common
// reader stays small.
[[gnu::noinline]] std::string_view WideSingleByteText(const CodePage& code_page,
                                                      std::string_view raw,
                                                      std::string& buffer) {
  std::string_view text = TrimTrailing(raw);
  if (CodePage::IsAscii(text)) return text;
  return code_page.DecodeSingleByte(text, buffer);
}

}  // namespace

// The value-based reading, for what the shortcuts leave: apart, so that
// the readers of the common columns stay small and keep no registers.
[[gnu::noinline]] std::string_view FieldCodec::ReadGeneralText(
    const FieldCodec& codec, const FieldDescriptor& field,
    std::string_view record, std::string& buffer) {
  buffer = codec.GeneralText(record, field);
  return buffer;
}

FieldCodec::TextReader FieldCodec::TextReaderFor(
    const FieldDescriptor& field) const {
  // Nullable columns check their flag first, through the general reader.
  if (field.null_bit >= 0) return &ReadAnyType;
  switch (field.type) {
    case 'C':
      return code_page_.IsSingleByte() ? &ReadSingleByteText : &ReadAnyType;
    case 'N':
    case 'F':
      return field.decimals == 0 ? &ReadWholeNumber : &ReadDecimalNumber;
    case 'D':
      return &ReadDate;
    case 'L':
      return &ReadLogical;
    default:
      return &ReadAnyType;
  }
}

void FieldCodec::KeepText(std::string_view text, std::string& out) {
  if (text.data() == out.data()) {
    out.resize(text.size());
  } else {
    out.assign(text.data(), text.size());
  }
}

std::string FieldCodec::Text(std::string_view record,
                             const FieldDescriptor& field) const {
  std::string text;
  TextInto(record, field, text);
  return text;
}

void FieldCodec::TextInto(std::string_view record, const FieldDescriptor& field,
                          std::string& out) const {
  KeepText(TextView(record, field, out), out);
}

std::string_view FieldCodec::TextView(std::string_view record,
                                      const FieldDescriptor& field,
                                      std::string& buffer) const {
  return ReadAnyType(*this, field, record, buffer);
}

std::string_view FieldCodec::ReadSingleByteText(const FieldCodec& codec,
                                                const FieldDescriptor& field,
                                                std::string_view record,
                                                std::string& buffer) {
  std::string_view raw = Raw(record, field);
  if (raw.size() >= 64)
    return WideSingleByteText(codec.code_page_, raw, buffer);
  // Fill blanks are ASCII, so the whole field is ASCII when its text is.
  const FieldBytes bytes = ScanField(raw, record.data() + record.size());
  std::string_view text = raw.substr(0, EndOfBits(bytes.kept));
  if (bytes.high == 0) return text;
  return codec.code_page_.DecodeSingleByte(text, buffer);
}

std::string_view FieldCodec::ReadWholeNumber(const FieldCodec& codec,
                                             const FieldDescriptor& field,
                                             std::string_view record,
                                             std::string& buffer) {
  std::string_view raw = Raw(record, field);
  if (raw.size() < 64) {
    const FieldBytes bytes = ScanField(raw, record.data() + record.size());
    if (bytes.kept == 0) return {};
    // The shortest form: no leading zero ("0" alone, never "-0").
    if (const auto span = FindWholeNumber(raw, bytes);
        span &&
        (raw[span->start] != '0' || (span->digits() == 1 && !span->negative())))
      return raw.substr(span->first, span->last - span->first);
  }
  // Leading zeros, decimals, wider fields: read through the value.
  return ReadGeneralText(codec, field, record, buffer);
}

std::string_view FieldCodec::ReadDecimalNumber(const FieldCodec& codec,
                                               const FieldDescriptor& field,
                                               std::string_view record,
                                               std::string& buffer) {
  std::string_view raw = Raw(record, field);
  if (std::string_view text = FixedPointText(
          raw, field.decimals, record.data() + record.size(), buffer);
      !text.empty())
    return text;
  return ReadGeneralText(codec, field, record, buffer);
}

std::string_view FieldCodec::ReadDate(const FieldCodec& codec,
                                      const FieldDescriptor& field,
                                      std::string_view record,
                                      std::string& buffer) {
  std::string_view raw = Raw(record, field);
  if (raw.size() == 8) {
    // Made whether or not it is a date, so that blank and filled dates
    // differ only in the length returned, not in the way through.
    char* text = RoomIn(buffer, 10);
    const uint64_t stored = LoadWord(raw.data());
    const bool valid = StoredDateToText(stored, text);
    const bool blank = IsFill(stored);
    if (valid | blank) return std::string_view(text, valid ? 10 : 0);
  }
  return ReadGeneralText(codec, field, record, buffer);
}

std::string_view FieldCodec::ReadLogical(const FieldCodec&,
                                         const FieldDescriptor& field,
                                         std::string_view record,
                                         std::string&) {
  std::string_view raw = Raw(record, field);
  return LogicalText(raw.empty() ? ' ' : raw[0]);
}

std::string_view FieldCodec::ReadAnyType(const FieldCodec& codec,
                                         const FieldDescriptor& field,
                                         std::string_view record,
                                         std::string& buffer) {
  if (field.null_bit >= 0 && codec.NullFlagged(record, field)) return {};
  switch (field.type) {
    case 'C':
      if (codec.code_page_.IsSingleByte())
        return ReadSingleByteText(codec, field, record, buffer);
      break;
    case 'N':
    case 'F':
      return field.decimals == 0
                 ? ReadWholeNumber(codec, field, record, buffer)
                 : ReadDecimalNumber(codec, field, record, buffer);
    case 'D':
      return ReadDate(codec, field, record, buffer);
    case 'L':
      return ReadLogical(codec, field, record, buffer);
    default:
      break;
  }
  return ReadGeneralText(codec, field, record, buffer);
}

}  // namespace tables
