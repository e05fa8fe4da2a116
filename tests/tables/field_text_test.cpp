// Reading fields as text takes shortcuts for the common column types (views
// of the stored bytes, numbers and dates made from their digits). These
// tests hold each shortcut to the value-based reading it replaces, on
// hand-picked and on generated stored values.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "tables/code_page.h"
#include "tables/dbf_header.h"
#include "tables/field_codec.h"
#include "tables/files.h"
#include "tables/number_text.h"
#include "tables/table_error.h"

namespace tables {
namespace {

std::string TrimBlanksAndNuls(std::string text, bool leading) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
    text.pop_back();
  if (leading) {
    while (!text.empty() && text.front() == ' ') text.erase(0, 1);
  }
  return text;
}

// One column of `type` and `width` in a record of its own.
class FieldTextTest : public ::testing::Test {
 protected:
  void Use(char type, int width, int decimals = 0) {
    header_.fields.clear();
    FieldDescriptor field;
    field.name = "CAMPO";
    field.type = type;
    field.offset = 1;
    field.length = width;
    field.decimals = decimals;
    header_.fields.push_back(field);
    header_.record_length = static_cast<uint16_t>(width + 1);
  }
  const FieldDescriptor& field() const { return header_.fields[0]; }

  // Through the view and through the copying read, which must agree, and
  // again with other bytes after the field in the record (fields are
  // scanned in wider loads when the record has room after them).
  std::string Read(const std::string& stored) {
    const std::string alone = ReadIn(" " + stored);
    const std::string followed = ReadIn(" " + stored +
                                        std::string("9 0-\0.\xE9"
                                                    "12345678901",
                                                    18));
    EXPECT_EQ(alone, followed) << "stored '" << stored << "'";
    return alone;
  }
  std::string ReadIn(const std::string& record) {
    const std::string stored = record.substr(1, field().length);
    // One buffer for every read, as a walk over a table uses it: a text
    // made there must come back with its own length, not the buffer's.
    const std::string viewed(codec_.TextView(record, field(), reused_));
    std::string copied = "stale";
    codec_.TextInto(record, field(), copied);
    EXPECT_EQ(viewed, copied) << "stored '" << stored << "'";
    return viewed;
  }

  // What a number column reads as, from its value.
  std::string NumberByValue(const std::string& stored) {
    const std::string trimmed = TrimBlanksAndNuls(stored, true);
    if (trimmed.empty()) return "";
    auto value = ParseFloat(trimmed, '.');
    if (!value) value = ParseFloat(trimmed, ',');
    if (!value) return trimmed;  // no number: shown as stored
    return FormatNumber(*value, DecimalSeparator());
  }

  // What a date column reads as, from its day number.
  std::string DateByValue(const std::string& stored) {
    const std::string record = " " + stored;
    std::optional<double> days;
    try {
      days = codec_.DateTime(record, field());
    } catch (const TableError&) {
      return TrimBlanksAndNuls(stored, true);  // no date: shown as stored
    }
    if (!days) return "";
    int year, month, day;
    CivilFromDays(static_cast<int64_t>(*days), &year, &month, &day);
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%d", day, month, year);
    return text;
  }

  std::string reused_ = std::string(100, '#');
  DbfHeader header_;
  CodePage code_page_{1252};
  FieldCodec codec_{header_, code_page_, nullptr, "PRUEBA.DBF"};
};

TEST_F(FieldTextTest, NumbersReadAsTheirValueWouldPrint) {
  SetDecimalSeparator(',');
  Use('N', 12, 2);
  const std::vector<std::string> kStored = {
      std::string("  12.5\0\0\0\0\0\0", 12),
      "        1250",
      "     -12.50",
      "        0.00",
      "       -0.00",
      "         007",
      "          .5",
      "         -.5",
      "          5.",
      "           -",
      "     1.5e3  ",
      "   12,50    ",
      "  1 2       ",
      "            ",
      "0.000000001 ",
      "0.0000000001",
      "123456789012",
      "1234567890123456",
      "-999999999999999",
      "9999999999999999",
      "0.12345678901234567",
      "      +12.5",
      "12.5  ",
      "\t12",
      "-0",
      "00000000.010"};
  for (std::string text : kStored) {
    if (text.size() < 12) text.resize(12, ' ');
    Use('N', static_cast<int>(text.size()), 2);
    EXPECT_EQ(Read(text), NumberByValue(text)) << "stored '" << text << "'";
  }
  SetDecimalSeparator('.');
}

TEST_F(FieldTextTest, GeneratedNumbersReadAsTheirValueWouldPrint) {
  SetDecimalSeparator(',');
  std::mt19937 random(20261208);
  const std::string kAlphabet = "0000123456789.-  ";
  Use('N', 18, 4);
  for (int i = 0; i < 20000; ++i) {
    std::string stored(18, ' ');
    const size_t length = random() % 19;
    for (size_t k = 18 - length; k < 18; ++k)
      stored[k] = kAlphabet[random() % kAlphabet.size()];
    ASSERT_EQ(Read(stored), NumberByValue(stored))
        << "stored '" << stored << "'";
  }
  SetDecimalSeparator('.');
}

// Numbers as most programs store them: right-aligned with exactly the
// column's decimals, and the same with leading zeros, a sign on zero, or
// more digits than a double keeps.
TEST_F(FieldTextTest, FormattedNumbersReadAsTheirValueWouldPrint) {
  SetDecimalSeparator(',');
  std::mt19937 random(2024);
  auto digits = [&random](size_t count, bool leading_zero) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
      const bool first = i == 0 && count > 1 && !leading_zero;
      text +=
          static_cast<char>(first ? '1' + random() % 9 : '0' + random() % 10);
    }
    return text;
  };
  for (int decimals = 0; decimals <= 10; ++decimals) {
    for (int width = decimals + 2; width <= 22; width += 2) {
      Use('N', width, decimals);
      const size_t room = static_cast<size_t>(width - decimals - 1);
      for (int i = 0; i < 300; ++i) {
        const int style = static_cast<int>(random() % 4);  // 0, 1: plain
        const bool negative = random() % 3 == 0;
        std::string text = negative ? "-" : "";
        text += style == 2 ? "0" : digits(1 + random() % room, style == 3);
        if (decimals > 0)
          text += "." + (style == 2
                             ? std::string(static_cast<size_t>(decimals), '0')
                             : digits(static_cast<size_t>(decimals), true));
        if (text.size() > static_cast<size_t>(width)) continue;
        const std::string stored =
            std::string(static_cast<size_t>(width) - text.size(), ' ') + text;
        ASSERT_EQ(Read(stored), NumberByValue(stored))
            << "stored '" << stored << "' decimals " << decimals;
      }
    }
  }
  SetDecimalSeparator('.');
}

// A column's own writer (chosen once for the column) must leave the record
// exactly as the general writers do, and fail where they fail.
TEST_F(FieldTextTest, ColumnWritersStoreWhatTheGeneralWritersStore) {
  std::mt19937 random(77);
  const std::string kPieces[] = {"a", "Z", " ", "7", "-", "\xC3\xB1", "\t"};
  // `expected`: the field's bytes after the write, where known.
  auto compare = [&](const std::string& what, const std::string& expected,
                     auto write_own, auto write_general) {
    std::string own(field().length + 2, '#');
    std::string general = own;
    std::string own_error, general_error;
    try {
      write_own(own);
    } catch (const TableError& error) {
      own_error = error.what();
    }
    try {
      write_general(general);
    } catch (const TableError& error) {
      general_error = error.what();
    }
    EXPECT_EQ(own_error, general_error) << what;
    if (own_error.empty()) {
      EXPECT_EQ(own, general) << what;
      if (!expected.empty()) {
        EXPECT_EQ(own, "#" + expected + "#") << what;
      }
    }
  };
  for (int width : {1, 2, 3, 4, 5, 7, 8, 9, 16, 64, 65}) {
    Use('C', width);
    const auto writer = codec_.TextWriterFor(field());
    for (int i = 0; i < 400; ++i) {
      std::string text;
      const size_t pieces = random() % static_cast<size_t>(width + 3);
      while (text.size() < pieces) text += kPieces[random() % 7];
      const bool ascii = text.find('\xC3') == std::string::npos;
      const size_t fits = static_cast<size_t>(width);
      std::string expected;
      if (ascii && text.size() <= fits)
        expected = text + std::string(fits - text.size(), ' ');
      compare(
          "C" + std::to_string(width) + " '" + text + "'", expected,
          [&](std::string& record) { writer(codec_, field(), record, text); },
          [&](std::string& record) { codec_.SetText(record, field(), text); });
    }
  }
  // Every width up to 20 digits, the widest the shortcut takes and beyond,
  // and columns with decimals, which it leaves to the general writer.
  const std::tuple<char, int, int> kColumns[] = {
      {'N', 1, 0},  {'N', 2, 0},  {'N', 3, 0},  {'N', 4, 0},  {'N', 5, 0},
      {'N', 6, 0},  {'N', 7, 0},  {'N', 8, 0},  {'N', 9, 0},  {'N', 10, 0},
      {'N', 15, 0}, {'N', 18, 0}, {'N', 19, 0}, {'N', 20, 0}, {'N', 64, 0},
      {'N', 65, 0}, {'F', 6, 0},  {'N', 8, 2},  {'F', 5, 1}};
  for (const auto& [type, width, decimals] : kColumns) {
    Use(type, width, decimals);
    const auto writer = codec_.IntegerWriterFor(field());
    std::vector<int64_t> values = {0, INT64_MAX, INT64_MIN, INT64_MIN + 1};
    // The first numbers too long for each width, and their neighbours.
    for (int64_t power = 1; power <= INT64_MAX / 10; power *= 10)
      for (int64_t value : {power - 1, power, power * 10 - 1, -power,
                            -(power - 1), -(power * 10 - 1)})
        values.push_back(value);
    for (int i = 0; i < 200; ++i)
      values.push_back(static_cast<int64_t>(random() % 100000000) -
                       (i % 3 == 0 ? 5000 : 0));
    for (int64_t value : values) {
      const std::string digits = std::to_string(value);
      std::string expected;
      if (decimals == 0 && digits.size() <= static_cast<size_t>(width))
        expected = std::string(width - digits.size(), ' ') + digits;
      compare(
          std::string(1, type) + std::to_string(width) + "." +
              std::to_string(decimals) + " " + digits,
          expected,
          [&](std::string& record) { writer(codec_, field(), record, value); },
          [&](std::string& record) {
            codec_.SetInteger(record, field(), value);
          });
    }
  }
}

TEST_F(FieldTextTest, DatesReadAsTheirDayWouldPrint) {
  Use('D', 8);
  const char* const kStored[] = {
      "20240229", "20230229", "19000228", "19000229",
      "20001231", "20000229", "00000000", "        ",
      "2024 1 1", "09991231", "10000101", "99991231",
      "20241301", "20240100", "2024-1-1", "\0\0\0\0\0\0\0\0"};
  for (const char* stored : kStored) {
    const std::string text(stored, 8);
    EXPECT_EQ(Read(text), DateByValue(text)) << "stored '" << text << "'";
  }
  std::mt19937 random(8);
  for (int i = 0; i < 20000; ++i) {
    char text[9];
    std::snprintf(text, sizeof text, "%04u%02u%02u",
                  static_cast<unsigned>(random() % 10000),
                  static_cast<unsigned>(random() % 14),
                  static_cast<unsigned>(random() % 33));
    ASSERT_EQ(Read(text), DateByValue(text)) << "stored '" << text << "'";
  }
}

TEST_F(FieldTextTest, TextLosesOnlyTrailingBlanksAndNuls) {
  std::mt19937 random(1252);
  const std::string kAlphabet = std::string("ab \0\xF1\xE0 ", 7);
  for (int width : {1, 7, 8, 9, 16, 17, 40, 64, 65, 100}) {
    Use('C', width);
    for (int i = 0; i < 3000; ++i) {
      std::string stored(static_cast<size_t>(width), ' ');
      for (char& c : stored) c = kAlphabet[random() % kAlphabet.size()];
      ASSERT_EQ(Read(stored),
                code_page_.Decode(TrimBlanksAndNuls(stored, false)))
          << "width " << width;
    }
  }
}

TEST_F(FieldTextTest, LogicalsReadAsTOrF) {
  Use('L', 1);
  const struct {
    const char* stored;
    const char* text;
  } kCases[] = {{"T", "T"}, {"y", "T"}, {"S", "T"}, {"s", "T"}, {"F", "F"},
                {"n", "F"}, {"?", ""},  {" ", ""},  {"1", ""}};
  for (const auto& c : kCases) EXPECT_EQ(Read(c.stored), c.text) << c.stored;
}

}  // namespace
}  // namespace tables
