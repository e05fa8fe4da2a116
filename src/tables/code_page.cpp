#include "tables/code_page.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstring>

#include "tables/code_page_tables.h"
#include "tables/text_scan.h"

namespace tables {
namespace {

struct DriverEntry {
  uint8_t driver;
  int code_page;
};

// Language-driver bytes as FoxPro and dBase write them. The first entry of
// a code page is the one written for it.
constexpr DriverEntry kDrivers[] = {
    {0x03, 1252}, {0x57, 1252}, {0x58, 1252}, {0x59, 1252}, {0x01, 437},
    {0x02, 850},  {0x64, 852},  {0x65, 866},  {0x66, 865},  {0x67, 861},
    {0x6A, 737},  {0x6B, 857},  {0x6C, 863},  {0x7C, 874},  {0x7D, 1255},
    {0x7E, 1256}, {0xC8, 1250}, {0xC9, 1251}, {0xCA, 1254}, {0xCB, 1253},
    {0xCC, 1257}, {0x08, 865},  {0x09, 437},  {0x0A, 850},  {0x0B, 437},
    {0x0D, 437},  {0x0E, 850},  {0x0F, 437},  {0x10, 850},  {0x11, 437},
    {0x12, 850},  {0x14, 850},  {0x15, 437},  {0x16, 850},  {0x17, 865},
    {0x18, 437},  {0x19, 437},  {0x1A, 850},  {0x1B, 437},  {0x1C, 863},
    {0x1D, 850},  {0x1F, 852},  {0x22, 852},  {0x23, 852},  {0x24, 860},
    {0x25, 850},  {0x26, 866},  {0x37, 850},  {0x40, 852},  {0x50, 874},
    {0x68, 1252}, {0x6D, 1252}, {0x87, 852},  {0x88, 857},  {0xF0, 65001},
};

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Length of the well-formed UTF-8 sequence at `text[i]`, 0 when malformed.
size_t SequenceLength(std::string_view text, size_t i, char32_t* cp) {
  const auto byte = [&](size_t k) {
    return static_cast<unsigned char>(text[k]);
  };
  unsigned char lead = byte(i);
  size_t length = lead < 0x80           ? 1
                  : (lead >> 5) == 0x6  ? 2
                  : (lead >> 4) == 0xE  ? 3
                  : (lead >> 3) == 0x1E ? 4
                                        : 0;
  if (length == 0 || i + length > text.size()) return 0;
  char32_t value = length == 1 ? lead : (lead & (0x7F >> length));
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (byte(i + k) & 0x3F);
  }
  *cp = value;
  return length;
}

}  // namespace

bool CodePage::Knows(int number) {
  return number == kUtf8 || UpperHalf(number) != nullptr;
}

CodePage::CodePage(int number) : number_(number) {
  if (number_ == kUtf8) return;
  upper_ = UpperHalf(number_);
  if (upper_ == nullptr) {
    number_ = kDefault;
    upper_ = UpperHalf(number_);
  }
  // Bytes without a character of their own stand for the code point of the
  // same value. Where two bytes give one character, the lower byte wins, as
  // the scan from 0x80 upwards would choose.
  for (int k = 0; k < 128; ++k) {
    char16_t mapped = upper_[k] != 0 ? upper_[k] : char16_t(0x80 + k);
    reverse_[k] = {mapped, static_cast<unsigned char>(0x80 + k)};
  }
  for (int b = 0; b < 256; ++b) {
    const char16_t mapped = b < 0x80 ? 0 : upper_[b - 0x80];
    std::string utf8;
    AppendUtf8(utf8, mapped != 0 ? char32_t(mapped) : char32_t(b));
    uint32_t encoded = static_cast<uint32_t>(utf8.size()) << 24;
    for (size_t i = 0; i < utf8.size(); ++i)
      encoded |= uint32_t{static_cast<unsigned char>(utf8[i])} << (8 * i);
    utf8_of_[static_cast<size_t>(b)] = encoded;
  }
  std::stable_sort(
      reverse_.begin(), reverse_.end(),
      [](const auto& a, const auto& b) { return a.first < b.first; });
  // Going backwards, so that where two bytes give one character the lower
  // byte is the one kept, as the search above would find it.
  for (int k = 127; k >= 0; --k) {
    const auto& [cp, byte] = reverse_[static_cast<size_t>(k)];
    if (cp >= 0x80 && cp < 0x100) latin1_[cp - 0x80] = byte;
  }
}

std::string CodePage::Decode(std::string_view bytes) const {
  std::string out;
  DecodeInto(bytes, out);
  return out;
}

std::string_view CodePage::DecodeSingleByte(std::string_view bytes,
                                            std::string& room) const {
  // Every byte becomes at most three UTF-8 bytes (the upper halves hold
  // characters of the basic plane only), looked up in a table that keeps
  // the loop free of branches on the characters. Each is stored as one
  // four-byte word, lowest byte first: its count byte lands beyond the
  // character, and the next character overwrites it.
  char* const start = RoomIn(room, 3 * bytes.size() + 1);
  char* at = start;
  for (char c : bytes) {
    const uint32_t encoded = utf8_of_[static_cast<unsigned char>(c)];
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(at, &encoded, sizeof encoded);
    } else {
      at[0] = static_cast<char>(encoded);
      at[1] = static_cast<char>(encoded >> 8);
      at[2] = static_cast<char>(encoded >> 16);
    }
    at += encoded >> 24;
  }
  return std::string_view(start, static_cast<size_t>(at - start));
}

void CodePage::DecodeUpper(std::string_view bytes, std::string& out) const {
  out.clear();
  if (upper_ == nullptr) {
    out.reserve(bytes.size());
    // UTF-8 tables: keep well-formed sequences, turn stray bytes into the
    // code point of the same value.
    for (size_t i = 0; i < bytes.size();) {
      char32_t cp = 0;
      size_t length = SequenceLength(bytes, i, &cp);
      if (length == 0) {
        AppendUtf8(out, static_cast<unsigned char>(bytes[i]));
        ++i;
      } else {
        out.append(bytes.substr(i, length));
        i += length;
      }
    }
    return;
  }
  // Made in `out` itself, then cut to the text's length.
  out.resize(DecodeSingleByte(bytes, out).size());
}

std::string CodePage::Encode(std::string_view utf8, size_t max_bytes) const {
  // No character takes more bytes in a table than in UTF-8.
  std::string out(std::min(utf8.size(), max_bytes), '\0');
  out.resize(EncodeInto(utf8, out.data(), out.size()));
  return out;
}

size_t CodePage::EncodeInto(std::string_view utf8, char* out,
                            size_t max_bytes) const {
  if (IsAscii(utf8)) {
    const size_t used = std::min(utf8.size(), max_bytes);
    if (used > 0)
      std::memcpy(out, utf8.data(), used);  // an empty view may be null
    return used;
  }
  size_t used = 0;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    // Plain letters and the two-byte sequences of accented ones, inline.
    if (lead < 0x80) {
      if (used == max_bytes) break;
      out[used++] = static_cast<char>(lead);
      ++i;
      continue;
    }
    if (upper_ != nullptr && lead >= 0xC2 && lead <= 0xDF &&
        i + 1 < utf8.size() &&
        (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
      if (used == max_bytes) break;
      const char32_t cp = char32_t(lead & 0x1F) << 6 |
                          (static_cast<unsigned char>(utf8[i + 1]) & 0x3F);
      out[used++] = static_cast<char>(ByteOf(cp));
      i += 2;
      continue;
    }
    char32_t cp = 0;
    size_t length = SequenceLength(utf8, i, &cp);
    if (length == 0) {  // malformed input: one byte as '?'
      cp = U'?';
      length = 1;
    }
    std::string_view encoded;
    char single = '?';
    if (upper_ == nullptr) {
      encoded = length == 1 && cp == U'?' ? std::string_view("?")
                                          : utf8.substr(i, length);
    } else {
      single = static_cast<char>(ByteOf(cp));
      encoded = std::string_view(&single, 1);
    }
    if (used + encoded.size() > max_bytes) break;
    std::memcpy(out + used, encoded.data(), encoded.size());
    used += encoded.size();
    i += length;
  }
  return used;
}

unsigned char CodePage::ByteOf(char32_t cp) const {
  if (cp < 0x80) return static_cast<unsigned char>(cp);
  if (cp < 0x100 && latin1_[cp - 0x80] != 0) return latin1_[cp - 0x80];
  auto it = std::lower_bound(
      reverse_.begin(), reverse_.end(), cp,
      [](const auto& entry, char32_t value) { return entry.first < value; });
  if (it != reverse_.end() && it->first == cp) return it->second;
  return '?';
}

int CodePage::FromLanguageDriver(uint8_t driver) {
  for (const DriverEntry& entry : kDrivers) {
    if (entry.driver == driver) return entry.code_page;
  }
  return kDefault;
}

int CodePage::FromDriverName(std::string_view name) {
  std::string upper;
  for (char c : name) {
    if (c == '\0') break;
    upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  if (upper.rfind("DBWIN", 0) == 0 && upper.size() >= 7) {
    std::string region = upper.substr(5, 2);
    if (region == "CZ" || region == "HU" || region == "PL" || region == "SL")
      return 1250;
    if (region == "RU") return 1251;
    if (region == "GR") return 1253;
    if (region == "TR") return 1254;
    return 1252;
  }
  // DB437US0, DB850WE0, DB866RU0, ...: the code page is in the name.
  if (upper.rfind("DB", 0) == 0 && upper.size() >= 5 &&
      std::isdigit(static_cast<unsigned char>(upper[2])) &&
      std::isdigit(static_cast<unsigned char>(upper[3])) &&
      std::isdigit(static_cast<unsigned char>(upper[4]))) {
    int number = std::stoi(upper.substr(2, 3));
    return UpperHalf(number) != nullptr ? number : kDefault;
  }
  return kDefault;
}

uint8_t CodePage::LanguageDriverFor(int number) {
  for (const DriverEntry& entry : kDrivers) {
    if (entry.code_page == number) return entry.driver;
  }
  return 0x03;
}

}  // namespace tables
