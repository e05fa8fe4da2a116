#include "tables/kept_rows.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tables/dbf_header.h"
#include "tables/little_endian.h"

namespace {

// The header of a copy names its new row count; the index flag goes only
// when the rows are no longer the old ones in place, and FoxPro keeps the
// flag bits that do not speak of the structural index.
TEST(RewriteHeaderAfterCopyTest, CountAndIndexFlagByFlavor) {
  const struct {
    const char* name;
    unsigned char version;
    unsigned char flag;
    bool rows_changed;
    unsigned char expected_flag;
  } cases[] = {
      {"dBase III, rows changed", 0x03, 0x01, true, 0x00},
      {"dBase III, rows in place", 0x03, 0x01, false, 0x01},
      {"dBase IV with memo", 0x8B, 0x01, true, 0x00},
      {"dBase 7", 0x8C, 0x01, true, 0x00},
      {"FoxPro with memo", 0xF5, 0x03, true, 0x02},
      {"FoxBASE", 0xFB, 0x01, true, 0x00},
      {"Visual FoxPro, memo and database bits", 0x30, 0x07, true, 0x06},
      {"Visual FoxPro autoincrement", 0x31, 0x05, true, 0x04},
      {"Visual FoxPro varchar", 0x32, 0x01, false, 0x01},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string header(40, '\x55');
    header[0] = static_cast<char>(c.version);
    header[28] = static_cast<char>(c.flag);
    tables::RewriteHeaderAfterCopy(header, 0x01020304, c.rows_changed);
    EXPECT_EQ(header.substr(4, 4), "\x04\x03\x02\x01");
    EXPECT_EQ(static_cast<unsigned char>(header[28]), c.expected_flag);
    // Nothing else of the header moves.
    std::string others = header;
    others.replace(4, 4, 4, '\x55');
    others[28] = '\x55';
    others[0] = '\x55';
    EXPECT_EQ(others, std::string(40, '\x55'));
  }
}

// Numbers of every width the formats use go in and come back, in the byte
// order each stores them.
TEST(LittleEndianTest, StoresAndLoadsEachWidthInItsOrder) {
  const struct {
    uint64_t value;
    size_t size;
    const char* little;
  } cases[] = {
      {0x12, 1, "\x12"},
      {0xBEEF, 2, "\xEF\xBE"},
      {0x01020304, 4, "\x04\x03\x02\x01"},
      {0xFFFFFFFFu, 4, "\xFF\xFF\xFF\xFF"},
      {0x0102030405060708ull, 8, "\x08\x07\x06\x05\x04\x03\x02\x01"},
  };
  for (const auto& c : cases) {
    const std::string little(c.little, c.size);
    const std::string big(little.rbegin(), little.rend());
    std::string out(c.size + 2, '\0');
    tables::StoreLe(out.data() + 1, c.value, c.size);
    EXPECT_EQ(out.substr(1, c.size), little);
    EXPECT_EQ(tables::LoadLe(out, 1, c.size), c.value);
    tables::StoreBe(out.data() + 1, c.value, c.size);
    EXPECT_EQ(out.substr(1, c.size), big);
    EXPECT_EQ(tables::LoadBe(out, 1, c.size), c.value);
    EXPECT_EQ(out.front(), '\0');  // nothing written beside the number
    EXPECT_EQ(out.back(), '\0');
  }
}

}  // namespace
