#include "tables/index_key.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tables {
namespace {

std::string Hex(const NumericKeyBytes& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (uint8_t b : bytes) {
    if (!hex.empty()) hex += ' ';
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  return hex;
}

struct NumericCase {
  double value;
  const char* bytes;
};

class NumericKeyTest : public testing::TestWithParam<NumericCase> {};

// The first five are the bytes dBase itself writes.
TEST_P(NumericKeyTest, EncodesAsDbaseAndReadsBack) {
  const NumericKeyBytes key = EncodeNumericKey(GetParam().value);
  EXPECT_EQ(Hex(key), GetParam().bytes);
  const std::string raw(key.begin(), key.end());
  EXPECT_EQ(DecodeNumericKey(raw), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NumericKeyTest,
    testing::Values(NumericCase{1000, "38 29 10 00 00 00 00 00 00 00 00 00"},
                    NumericCase{350, "37 29 35 00 00 00 00 00 00 00 00 00"},
                    NumericCase{125, "37 29 12 50 00 00 00 00 00 00 00 00"},
                    NumericCase{-200, "37 A9 20 00 00 00 00 00 00 00 00 00"},
                    NumericCase{0, "34 01 00 00 00 00 00 00 00 00 00 00"},
                    NumericCase{1, "35 29 10 00 00 00 00 00 00 00 00 00"},
                    NumericCase{0.5, "34 29 50 00 00 00 00 00 00 00 00 00"},
                    NumericCase{0.05, "33 29 50 00 00 00 00 00 00 00 00 00"},
                    NumericCase{0.1, "34 29 10 00 00 00 00 00 00 00 00 00"},
                    NumericCase{-1234.5678,
                                "38 A9 12 34 56 78 00 00 00 00 00 00"},
                    NumericCase{12345678901234567.0,
                                "45 29 12 34 56 78 90 12 34 56 80 00"}));

TEST(NumericKeyTest, NegativeZeroAndNanAreZero) {
  const std::string zero = Hex(EncodeNumericKey(0));
  EXPECT_EQ(Hex(EncodeNumericKey(-0.0)), zero);
  EXPECT_EQ(Hex(EncodeNumericKey(NAN)), zero);
  EXPECT_EQ(Hex(EncodeNumericKey(1e-300)), zero);  // below the format
}

TEST(NumericKeyTest, DecodingRefusesBadDigitsAndLengths) {
  std::string raw(12, '\0');
  raw[0] = 0x35;
  raw[1] = 0x29;
  raw[2] = static_cast<char>(0x1A);  // nibble A is no digit
  EXPECT_EQ(DecodeNumericKey(raw), std::nullopt);
  EXPECT_EQ(DecodeNumericKey(raw.substr(0, 11)), std::nullopt);
  raw[0] = static_cast<char>(0xFF);  // the largest exponent the byte holds
  raw[2] = 0x10;
  EXPECT_EQ(DecodeNumericKey(raw), 1e202);
}

}  // namespace
}  // namespace tables
