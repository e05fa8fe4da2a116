// Numbers to and from text, independent of the C library's locale.
#include "tables/number_text.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace tables {
namespace {

// FormatFixedInto's field as a string, nullopt when the value does not fit.
std::optional<std::string> FormatFixed(double value, int width, int decimals) {
  std::string text(static_cast<size_t>(width), '#');
  if (!FormatFixedInto(value, width, decimals, text.data()))
    return std::nullopt;
  return text;
}

struct FormatCase {
  double value;
  char separator;
  const char* text;
};

TEST(NumberTextTest, FormatsTheShortestFormOfFifteenDigits) {
  const FormatCase cases[] = {
      {0.0, '.', "0"},
      {-0.0, '.', "0"},
      {12.0, '.', "12"},
      {-3.25, ',', "-3,25"},
      {0.1, ',', "0,1"},
      {0.1 + 0.2, '.', "0.3"},  // 0.30000000000000004 at 17 digits
      {1.0 / 3.0, '.', "0.333333333333333"},
      {2.0 / 3.0, '.', "0.666666666666667"},
      {123456789012345.0, '.', "123456789012345"},
      {1234567890123456.0, '.', "1.23456789012346E15"},
      {9999999999.0, '.', "9999999999"},
      {-2147483648.0, '.', "-2147483648"},
      {0.0001, ',', "0,0001"},
      {1e-10, '.', "1E-10"},
      {1.5e20, ',', "1,5E20"},
      {1234.5678, ',', "1234,5678"},
      {std::numeric_limits<double>::quiet_NaN(), '.', ""},
      {std::numeric_limits<double>::infinity(), '.', ""},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(FormatNumber(c.value, c.separator), c.text) << c.value;
  }
}

struct ParseCase {
  const char* text;
  char separator;
  std::optional<double> value;
};

TEST(NumberTextTest, ParsesFloatsWithTheGivenSeparatorOnly) {
  const ParseCase cases[] = {
      {"1,5", ',', 1.5},
      {" -2,25 ", ',', -2.25},
      {"+3", ',', 3.0},
      {"1.5", '.', 1.5},
      {",5", ',', 0.5},
      {"5,", ',', 5.0},
      {"1e3", '.', 1000.0},
      {"1.5", ',', std::nullopt},
      {"1,5", '.', std::nullopt},
      {"", ',', std::nullopt},
      {"   ", ',', std::nullopt},
      {",", ',', std::nullopt},
      {"1,5,0", ',', std::nullopt},
      {"abc", '.', std::nullopt},
      {"1 5", '.', std::nullopt},
      {"--1", '.', std::nullopt},
      {"1e", '.', std::nullopt},
      {"0x10", '.', std::nullopt},
  };
  for (const ParseCase& c : cases) {
    EXPECT_EQ(ParseFloat(c.text, c.separator), c.value) << c.text;
  }
}

// Whole numbers take a shorter road than fractions; both must agree where
// the road changes: at fifteen digits and at a sign of zero.
TEST(NumberTextTest, WholeNumbersAtTheEdgesOfFifteenDigits) {
  const FormatCase formats[] = {
      {999999999999999.0, '.', "999999999999999"},
      {-999999999999999.0, ',', "-999999999999999"},
      {1e15, '.', "1E15"},
      {-1e15, '.', "-1E15"},
      {1e14, '.', "100000000000000"},
      {-1.0, ',', "-1"},
      {4503599627370497.0, ',', "4,5035996273705E15"},
  };
  for (const FormatCase& c : formats) {
    EXPECT_EQ(FormatNumber(c.value, c.separator), c.text) << c.value;
  }
  const ParseCase parses[] = {
      {"007", '.', 7.0},
      {"\t12\t", ',', 12.0},
      {"123456789012345", '.', 123456789012345.0},
      {"-123456789012345", ',', -123456789012345.0},
      {"12345678901234567", '.', 12345678901234567.0},
      {"-", '.', std::nullopt},
      {"9-", '.', std::nullopt},
      {"1 2", '.', std::nullopt},
  };
  for (const ParseCase& c : parses) {
    EXPECT_EQ(ParseFloat(c.text, c.separator), c.value) << c.text;
  }
  const auto negative_zero = ParseFloat("-0", '.');
  ASSERT_TRUE(negative_zero.has_value());
  EXPECT_TRUE(std::signbit(*negative_zero));
}

TEST(NumberTextTest, ParsesWholeNumbersStrictly) {
  const std::pair<const char*, std::optional<int64_t>> cases[] = {
      {"42", 42},
      {"  -17 ", -17},
      {"+8", 8},
      {"9999999999", 9999999999},
      {"9223372036854775807", std::numeric_limits<int64_t>::max()},
      {"9223372036854775808", std::nullopt},
      {"", std::nullopt},
      {"1.0", std::nullopt},
      {"1,5", std::nullopt},
      {"12a", std::nullopt},
      {"+-3", std::nullopt},
      {"- 3", std::nullopt},
      {"1 2", std::nullopt},
  };
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(ParseInteger(text), value) << text;
  }
}

TEST(NumberTextTest, FormatsFixedColumnsOrRefusesWhatDoesNotFit) {
  EXPECT_EQ(FormatFixed(2.5, 20, 4), std::string(14, ' ') + "2.5000");
  EXPECT_EQ(FormatFixed(-0.00001, 8, 2), "    0.00");
  EXPECT_EQ(FormatFixed(0.12345, 20, 4), std::string(14, ' ') + "0.1235");
  EXPECT_EQ(FormatFixed(12345678901.0, 11, 0), "12345678901");
  EXPECT_EQ(FormatFixed(-1234567890.0, 11, 0), "-1234567890");
  EXPECT_EQ(FormatFixed(123456789012.0, 11, 0), std::nullopt);
  EXPECT_EQ(FormatFixed(std::nan(""), 11, 0), std::nullopt);
}

// Fixed columns are mostly written from the value scaled to whole units of
// the last decimal; that must give the digits of the exact decimal
// expansion, as the standard library's formatting does, ties included.
TEST(NumberTextTest, FixedColumnsMatchTheExactDecimalExpansion) {
  auto reference = [](double value, int decimals) {
    char text[400];
    auto result = std::to_chars(text, text + sizeof text, value,
                                std::chars_format::fixed, decimals);
    std::string written(text, result.ptr);
    if (written.front() == '-' &&
        written.find_first_not_of("-0.") == std::string::npos)
      written.erase(0, 1);
    return written;
  };
  std::mt19937_64 random(42);
  std::vector<double> values = {0.125, 0.375, 1.005, 2.675, -0.005,
                                0.5,   -0.5,  1.5,   2.5,   1e11,
                                -1e11, 0.045, 1e-7,  -1e-7, 999999999999.5};
  for (int i = 0; i < 200000; ++i) {
    const int kind = static_cast<int>(random() % 3);
    const double magnitude =
        std::pow(10.0, static_cast<double>(random() % 14) - 3);
    double value =
        static_cast<double>(random() % 2000001) / 1000000.0 * magnitude;
    if (kind == 1) value = std::round(value * 1000) / 1000;  // near ties
    if (kind == 2) value = static_cast<double>(random() % 100000) / 8.0;
    values.push_back(random() % 2 ? -value : value);
  }
  for (double value : values) {
    for (int decimals = 0; decimals <= 10; ++decimals) {
      const std::string expected = reference(value, decimals);
      const int width = 30;
      const auto written = FormatFixed(value, width, decimals);
      ASSERT_TRUE(written.has_value()) << value;
      ASSERT_EQ(written->substr(static_cast<size_t>(width) - expected.size()),
                expected)
          << "value " << value << " decimals " << decimals;
    }
  }
}

// Qt switches LC_NUMERIC on Linux; reading and writing must not follow it.
TEST(NumberTextTest, IgnoresTheCLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = previous ? previous : "C";
  if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
      std::setlocale(LC_NUMERIC, "es_ES.UTF-8") == nullptr) {
    GTEST_SKIP() << "no locale with a decimal comma installed";
  }
  EXPECT_EQ(ParseFloat("1.5", '.'), 1.5);
  EXPECT_EQ(FormatNumber(1.5, '.'), "1.5");
  EXPECT_EQ(FormatFixed(1.5, 5, 1), "  1.5");
  std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
}  // namespace tables
