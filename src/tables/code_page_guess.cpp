#include "tables/code_page_guess.h"

#include "tables/shared_file.h"

namespace tables {
namespace {

bool IsAsciiLetter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// 0x80..0xA5 are the accented letters of 850 and 437 (ü é á í ó ú ñ ç è
// ò...). Between letters, 1252 would have punctuation there, bytes it does
// not define, or š œ ž, which are left out as the letters they may be.
bool IsDosLetter(unsigned char c) {
  return c >= 0x80 && c <= 0xA5 && c != 0x92 && c != 0x9A && c != 0x9C &&
         c != 0x9E;
}

// À..ÿ in 1252, without × and ÷.
bool IsWindowsLetter(unsigned char c) {
  return c >= 0xC0 && c != 0xD7 && c != 0xF7;
}

// Accented capitals and ø of 850 (Á Â À ã Ã ð Ð Ê Ë È ı Í Î Ï Ì Ó Ô Ò õ Õ
// Ú Û Ù ý Ý) where 437 has box lines or Greek letters.
bool Is850OnlyLetter(unsigned char c) {
  return c == 0x9B || c == 0x9D || (c >= 0xB5 && c <= 0xB7) || c == 0xC6 ||
         c == 0xC7 || (c >= 0xD0 && c <= 0xD8) || c == 0xDE ||
         (c >= 0xE0 && c <= 0xED && c != 0xE1 && c != 0xE6);
}

// The length of the UTF-8 sequence that starts at `at`, 0 when none does.
size_t Utf8SequenceAt(std::string_view text, size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  const size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                        : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                       : 0;
  if (length == 0 || at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

}  // namespace

void CodePageEvidence::Add(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) continue;
    const bool between_letters =
        i > 0 && i + 1 < text.size() &&
        IsAsciiLetter(static_cast<unsigned char>(text[i - 1])) &&
        IsAsciiLetter(static_cast<unsigned char>(text[i + 1]));
    if (between_letters) {
      if (IsDosLetter(c)) ++dos_letters_;
      if (IsWindowsLetter(c)) ++windows_letters_;
      if (Is850OnlyLetter(c)) ++only_850_;
    } else if (Is850OnlyLetter(c) && c >= 0xB5 && c <= 0xDE) {
      ++only_437_;  // a box line standing apart from any word
    }
  }
  AddUtf8(text);
}

void CodePageEvidence::AddUtf8(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) < 0x80) continue;
    const size_t length = Utf8SequenceAt(text, i);
    if (length == 0) {
      utf8_broken_ = true;
      return;
    }
    ++utf8_sequences_;
    i += length - 1;
  }
}

int CodePageEvidence::Likely() const {
  if (utf8_sequences_ > 0 && !utf8_broken_) return 65001;
  if (dos_letters_ <= windows_letters_) return 0;
  return only_437_ > only_850_ ? 437 : 850;
}

int LikelyCodePageOf(const SharedFile& file) {
  const DbfHeader& header = file.header();
  if (header.language_driver != 0 || header.flavor == DbfFlavor::kDbase7)
    return 0;
  CodePageEvidence evidence;
  for (uint32_t recno = 1; recno <= file.record_count(); ++recno) {
    if (file.IsDeleted(recno)) continue;
    const std::string_view record = file.Record(recno);
    for (const FieldDescriptor& field : header.fields) {
      if (field.type != 'C' || field.hidden) continue;
      evidence.Add(FieldCodec::Raw(record, field));
    }
  }
  return evidence.Likely();
}

}  // namespace tables
