// Code pages: choosing them from headers, and converting text both ways.
#include "tables/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace tables {
namespace {

TEST(CodePageTest, LanguageDriverByteSelectsTheCodePage) {
  const std::pair<uint8_t, int> cases[] = {
      {0x00, 1252}, {0x03, 1252}, {0x57, 1252},
      {0x58, 1252}, {0x01, 437},  {0x1B, 437},
      {0x02, 850},  {0x64, 852},  {0x65, 866},
      {0x26, 866},  {0xC8, 1250}, {0xC9, 1251},
      {0xCB, 1253}, {0xCA, 1254}, {0x7D, 1255},
      {0x7E, 1256}, {0xCC, 1257}, {0xF0, CodePage::kUtf8},
      {0x69, 1252}, {0xEE, 1252},
  };
  for (auto [driver, code_page] : cases) {
    EXPECT_EQ(CodePage::FromLanguageDriver(driver), code_page)
        << static_cast<int>(driver);
  }
  EXPECT_EQ(CodePage::LanguageDriverFor(1252), 0x03);
}

TEST(CodePageTest, DbaseSevenDriverNameSelectsTheCodePage) {
  const std::pair<const char*, int> cases[] = {
      {"DBWINUS0", 1252}, {"DBWINWE0", 1252}, {"DB437US0", 437},
      {"DB866RU0", 866},  {"DB850WE0", 850},  {"DB852CZ0", 852},
      {"dbwinus0", 1252}, {"", 1252},         {"XYZ", 1252},
      {"DB999XX0", 1252},
  };
  for (auto [name, code_page] : cases) {
    EXPECT_EQ(CodePage::FromDriverName(name), code_page) << name;
  }
}

TEST(CodePageTest, DecodesAndEncodesEachCodePage) {
  struct Case {
    int code_page;
    std::string bytes;
    std::string utf8;
  };
  const Case cases[] = {
      {1252, "Mat\xE8ries \x80", "Matèries €"},
      {850, "Espa\xA4ol", "Español"},
      {437,
       "\x9A"
       "ber",
       "Über"},
      {1251, "\xCF\xF0\xE8", "При"},
      {866, "\x8F\xE0\xA8", "При"},
      {852, "\xA4\xA5", "Ąą"},
      {CodePage::kUtf8, "a\xC3\xB1o", "año"},
  };
  for (const Case& c : cases) {
    CodePage page(c.code_page);
    EXPECT_EQ(page.Decode(c.bytes), c.utf8) << c.code_page;
    EXPECT_EQ(page.Encode(c.utf8), c.bytes) << c.code_page;
  }
}

TEST(CodePageTest, CutsToWidthNeverInsideACharacter) {
  // "ñandú" is 5 bytes in 1252 and 7 in UTF-8.
  EXPECT_EQ(CodePage(1252).Encode("ñandú", 3),
            "\xF1"
            "an");
  EXPECT_EQ(CodePage(CodePage::kUtf8).Encode("ñandú", 5),
            "\xC3\xB1"
            "and");
  EXPECT_EQ(CodePage(CodePage::kUtf8).Encode("ñandú", 6),
            "\xC3\xB1"
            "and");
  EXPECT_EQ(CodePage(CodePage::kUtf8).Encode("ñandú", 1), "");
  EXPECT_EQ(CodePage(CodePage::kUtf8).Encode("€uro", 2), "");
}

TEST(CodePageTest, CharactersTheCodePageLacksBecomeQuestionMarks) {
  EXPECT_EQ(CodePage(1252).Encode("Привет"), "??????");
  EXPECT_EQ(CodePage(1252).Encode("a\xFF"
                                  "b"),
            "a?b");  // malformed UTF-8
}

TEST(CodePageTest, UnassignedBytesSurviveARoundTrip) {
  CodePage page(1252);
  const std::string bytes = "\x81\x8D\x8F\x90\x9D";
  EXPECT_EQ(page.Encode(page.Decode(bytes)), bytes);
}

TEST(CodePageTest, EveryByteOfEverySingleByteCodePageRoundTrips) {
  for (int number :
       {437, 850, 852, 866, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257}) {
    CodePage page(number);
    std::string all;
    for (int b = 0x20; b <= 0xFF; ++b) all += static_cast<char>(b);
    std::string back = page.Encode(page.Decode(all));
    for (size_t i = 0; i < all.size(); ++i) {
      // A character that two bytes share comes back as the lower byte.
      const std::string one(1, all[i]);
      EXPECT_EQ(page.Decode(std::string(1, back[i])), page.Decode(one))
          << "code page " << number << ", byte " << int(0x20 + i);
    }
    EXPECT_EQ(back.size(), all.size()) << "code page " << number;
  }
}

}  // namespace
}  // namespace tables
