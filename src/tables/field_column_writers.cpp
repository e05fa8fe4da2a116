// Writing fields: the shortcuts for the columns most tables are made of,
// plain character columns given ASCII text and whole-number columns given
// a whole number that fits, whose bytes are stored without the general
// writers' checks and conversions. Each column's writer is chosen once,
// when a field handle is made; whatever a shortcut does not take goes to
// the general writers (SetText, SetInteger), which also fail where the
// value does not fit.

#include <array>
#include <bit>
#include <charconv>

#include "tables/code_page.h"
#include "tables/field_codec.h"
#include "tables/text_scan.h"

namespace tables {

FieldCodec::TextWriter FieldCodec::TextWriterFor(
    const FieldDescriptor& field) const {
  const bool plain = (field.type == 'C' || field.type == 'V') &&
                     !field.hidden && field.autoincrement_step == 0 &&
                     field.null_bit < 0 && field.length <= 64;
  return plain && std::endian::native == std::endian::little ? &WritePlainText
                                                             : &WriteAnyText;
}

FieldCodec::IntegerWriter FieldCodec::IntegerWriterFor(
    const FieldDescriptor& field) const {
  const bool whole = (field.type == 'N' || field.type == 'F') &&
                     field.decimals == 0 && field.null_bit < 0 &&
                     field.length <= 64;
  return whole && std::endian::native == std::endian::little ? &WriteWholeNumber
                                                             : &WriteAnyInteger;
}

void FieldCodec::WriteAnyText(const FieldCodec& codec,
                              const FieldDescriptor& field, std::string& record,
                              std::string_view utf8) {
  codec.SetText(record, field, utf8);
}

void FieldCodec::WritePlainText(const FieldCodec& codec,
                                const FieldDescriptor& field,
                                std::string& record, std::string_view utf8) {
  // ASCII is the same in every code page: stored as it stands.
  const auto width = static_cast<size_t>(field.length);
  char* out = record.data() + field.offset;
  if (utf8.size() <= width) {
    if (width < 8) {
      if (StoreShortAscii(out, width, utf8)) return;
    } else if (CodePage::IsAscii(utf8)) {
      FillBlanks(out, width);
      CopySmall(out, utf8);
      return;
    }
  }
  codec.SetText(record, field, utf8);
}

void FieldCodec::WriteAnyInteger(const FieldCodec& codec,
                                 const FieldDescriptor& field,
                                 std::string& record, int64_t value) {
  codec.SetInteger(record, field, value);
}

void FieldCodec::WriteWholeNumber(const FieldCodec& codec,
                                  const FieldDescriptor& field,
                                  std::string& record, int64_t value) {
  // 10 to the power of the index: the first number too long for a width.
  static constexpr auto kLimit = [] {
    std::array<uint64_t, 20> limit{};
    limit[0] = 1;
    for (size_t i = 1; i < limit.size(); ++i) limit[i] = limit[i - 1] * 10;
    return limit;
  }();
  const auto width = static_cast<size_t>(field.length);
  char* out = record.data() + field.offset;
  if (value >= 0 && width < kLimit.size() &&
      static_cast<uint64_t>(value) < kLimit[width]) {
    if (width >= 8) {  // straight into the field
      char digits[20];
      const auto count = static_cast<size_t>(
          std::to_chars(digits, digits + sizeof digits, value).ptr - digits);
      FillBlanks(out, width);
      CopySmall(out + width - count, std::string_view(digits, count));
      return;
    }
    if (width >= 1) {
      // The digits go right-aligned into a word of blanks (a digit is the
      // blank with 0x10 + d added), stored as a short text is.
      uint64_t word = 0x2020202020202020ull;
      auto rest = static_cast<uint64_t>(value);
      size_t at = width;
      do {
        --at;
        word += (0x10 + rest % 10) << (8 * at);
        rest /= 10;
      } while (rest != 0);
      StoreShortWord(out, width, word);
      return;
    }
  }
  // Negative numbers, and numbers too long for the field, which fail there.
  codec.SetInteger(record, field, value);
}

}  // namespace tables
