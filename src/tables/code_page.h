#pragma once

// Text conversion between the engine's UTF-8 and a table's code page, and
// the choice of code page from a table header.

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tables {

class CodePage {
 public:
  static constexpr int kUtf8 = 65001;
  static constexpr int kDefault = 1252;

  // REQUIRES: `number` is kUtf8 or a code page UpperHalf() knows; anything
  // else falls back to 1252.
  explicit CodePage(int number = kDefault);

  int number() const { return number_; }
  // True for kUtf8 and every code page the engine can read and write.
  static bool Knows(int number);

  // Table bytes to UTF-8. Bytes that do not decode are kept as the code
  // point of the same value, so nothing is lost in silence.
  std::string Decode(std::string_view bytes) const;
  // The same into `out`, replacing its content and keeping its capacity.
  // Inline: the text of most fields is ASCII, copied as it stands.
  void DecodeInto(std::string_view bytes, std::string& out) const {
    if (IsAscii(bytes)) {
      out.assign(bytes.data(), bytes.size());
    } else {
      DecodeUpper(bytes, out);
    }
  }

  // True for the one-byte code pages, false for UTF-8.
  bool IsSingleByte() const { return upper_ != nullptr; }
  // REQUIRES: IsSingleByte(). `bytes` in UTF-8, made in `room` (whose size
  // only grows) and returned as a view of its own length.
  std::string_view DecodeSingleByte(std::string_view bytes,
                                    std::string& room) const;

  // True when every byte is below 0x80, which every code page and UTF-8
  // spell alike.
  static bool IsAscii(std::string_view text) {
    // Eight bytes at a time, the last word overlapping its neighbour: any
    // high bit among them is a non-ASCII byte.
    const size_t n = text.size();
    uint64_t seen = 0;
    if (n >= 8) {
      for (size_t at = 0;; at += 8) {
        if (at + 8 > n) at = n - 8;
        uint64_t word;
        std::memcpy(&word, text.data() + at, sizeof word);
        seen |= word;
        if (at + 8 >= n) break;
      }
    } else {
      for (size_t i = 0; i < n; ++i)
        seen |= static_cast<unsigned char>(text[i]);
    }
    return (seen & 0x8080808080808080ull) == 0;
  }
  // UTF-8 to table bytes, at most `max_bytes` long, never cutting a
  // character in two. A character the code page lacks becomes '?'.
  std::string Encode(std::string_view utf8,
                     size_t max_bytes = std::string::npos) const;
  // The same into `out`, which has room for `max_bytes`; returns the bytes
  // written.
  size_t EncodeInto(std::string_view utf8, char* out, size_t max_bytes) const;

  // The code page of a header's language-driver byte (byte 29); 0 or an
  // unknown value means 1252, 0xF0 means UTF-8.
  static int FromLanguageDriver(uint8_t driver);
  // The code page of a dBase 7 language-driver name ("DBWINUS0").
  static int FromDriverName(std::string_view name);
  // The language-driver byte written into tables of code page `number`.
  static uint8_t LanguageDriverFor(int number);

 private:
  // DecodeInto for text with bytes of 0x80 and above.
  void DecodeUpper(std::string_view bytes, std::string& out) const;
  // The byte of character `cp`, '?' when the code page lacks it.
  unsigned char ByteOf(char32_t cp) const;

  int number_;
  const char16_t* upper_ = nullptr;  // bytes 0x80..0xFF; null for UTF-8
  // The upper half's characters sorted by code point, each with its byte,
  // so that encoding an accented letter is a binary search, not a scan.
  std::array<std::pair<char32_t, unsigned char>, 128> reverse_{};
  // The UTF-8 of every byte: up to three bytes, lowest first, with their
  // count in the top byte. Unused for UTF-8 tables.
  std::array<uint32_t, 256> utf8_of_{};
  // The byte of each character U+0080..U+00FF that the code page has, 0
  // for the others: accented Latin letters without a search.
  std::array<unsigned char, 128> latin1_{};
};

}  // namespace tables
