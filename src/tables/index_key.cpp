#include "tables/index_key.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace tables {

namespace {

constexpr int kExponentBias = 0x34;
constexpr int kDigitCount = 20;
constexpr uint8_t kNonZeroMark = 0x29;
constexpr uint8_t kZeroMark = 0x01;
constexpr uint8_t kNegativeBit = 0x80;

NumericKeyBytes ZeroKey() {
  NumericKeyBytes key{};
  key[0] = kExponentBias;
  key[1] = kZeroMark;
  return key;
}

}  // namespace

NumericKeyBytes EncodeNumericKey(double value) {
  if (std::isnan(value) || value == 0.0) return ZeroKey();
  // Shortest round-trip scientific text: "-1.25e+02".
  char text[64];
  auto result = std::to_chars(text, text + sizeof(text), value,
                              std::chars_format::scientific);
  std::string_view written(text, static_cast<size_t>(result.ptr - text));
  const size_t e = written.find('e');
  std::string digits;
  for (char c : written.substr(0, e)) {
    if (c >= '0' && c <= '9') digits.push_back(c);
  }
  int exponent = std::atoi(std::string(written.substr(e + 1)).c_str());
  // d.ddd * 10^e is 0.dddd * 10^(e+1).
  int point = exponent + 1;
  if (point + kExponentBias < 0) return ZeroKey();
  if (point + kExponentBias > 0xFF) {
    point = 0xFF - kExponentBias;
    digits = std::string(kDigitCount, '9');
  }
  NumericKeyBytes key{};
  key[0] = static_cast<uint8_t>(point + kExponentBias);
  key[1] = kNonZeroMark | (value < 0 ? kNegativeBit : 0);
  for (size_t i = 0; i < digits.size() && i < kDigitCount; ++i) {
    const uint8_t digit = static_cast<uint8_t>(digits[i] - '0');
    key[2 + i / 2] |= (i % 2 == 0) ? static_cast<uint8_t>(digit << 4) : digit;
  }
  return key;
}

std::optional<double> DecodeNumericKey(std::string_view bytes) {
  if (bytes.size() != kNumericKeyLength) return std::nullopt;
  std::string text = "0.";
  bool any = false;
  for (int i = 0; i < kDigitCount; ++i) {
    const uint8_t byte = static_cast<uint8_t>(bytes[2 + i / 2]);
    const int digit = (i % 2 == 0) ? byte >> 4 : byte & 0x0F;
    if (digit > 9) return std::nullopt;
    any = any || digit != 0;
    text.push_back(static_cast<char>('0' + digit));
  }
  if (!any) return 0.0;
  text += 'e';
  text += std::to_string(static_cast<uint8_t>(bytes[0]) - kExponentBias);
  double value = 0.0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  // A value past the range of double reads as out of range: keep the order
  // by saturating rather than failing.
  if (result.ec == std::errc::result_out_of_range) {
    value = bytes[0] >= kExponentBias ? HUGE_VAL : 0.0;
  }
  return (static_cast<uint8_t>(bytes[1]) & kNegativeBit) ? -value : value;
}

std::string PadCharacterKey(std::string_view text, int width) {
  std::string key(text.substr(0, static_cast<size_t>(width)));
  key.resize(static_cast<size_t>(width), ' ');
  return key;
}

}  // namespace tables
