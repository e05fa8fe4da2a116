// The word-at-a-time and SSE2 scans and stores of text_scan.h held to plain
// byte loops, on generated fields of every width the scans take, with the
// record ending right after the field or some bytes later (the scans load
// past a field's end only where the record has room).
#include "tables/text_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <string_view>

#include "tables/code_page.h"

namespace tables {
namespace {

// Bytes that the scans tell apart, drawn often enough to meet each other.
char RandomByte(std::mt19937& random) {
  static constexpr char kBytes[] = {' ', ' ',    ' ',    '\0',  '0', '1',
                                    '9', '-',    '.',    ':',   '/', 'A',
                                    'z', '\x80', '\xE9', '\xFF'};
  return kBytes[random() % sizeof kBytes];
}

FieldBytes ScanByBytes(std::string_view field) {
  FieldBytes bytes;
  for (size_t i = 0; i < field.size(); ++i) {
    const auto c = static_cast<unsigned char>(field[i]);
    bytes.high |= c & 0x80u;
    bytes.kept |= uint64_t{c != ' ' && c != 0} << i;
    bytes.non_blank |= uint64_t{c != ' '} << i;
    bytes.digits |= uint64_t{c >= '0' && c <= '9'} << i;
    bytes.zeros |= uint64_t{c == '0'} << i;
  }
  return bytes;
}

std::string_view TrimTrailingByBytes(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
    text.remove_suffix(1);
  return text;
}

// A field of `width` random bytes at the start of a buffer of exactly
// width + room bytes, so that AddressSanitizer sees any read past it.
struct Record {
  std::unique_ptr<char[]> bytes;
  size_t width;
  size_t room;
  std::string_view field() const { return {bytes.get(), width}; }
  const char* end() const { return bytes.get() + width + room; }
};

Record MakeRecord(std::mt19937& random, size_t width, size_t room) {
  Record record{std::make_unique<char[]>(width + room), width, room};
  for (size_t i = 0; i < width + room; ++i)
    record.bytes[i] = RandomByte(random);
  // Runs of fill at the end, as stored fields have them.
  const size_t fill = random() % (width + 1);
  std::memset(record.bytes.get() + width - fill, random() % 2 ? ' ' : '\0',
              fill);
  return record;
}

TEST(TextScanTest, ScansAgreeWithByteLoops) {
  std::mt19937 random(15);
  for (size_t width = 0; width < 64; ++width) {
    for (size_t room : {0, 1, 7, 8, 15, 16, 40}) {
      for (int round = 0; round < 40; ++round) {
        const Record record = MakeRecord(random, width, room);
        const FieldBytes want = ScanByBytes(record.field());
        const FieldBytes got = ScanField(record.field(), record.end());
        EXPECT_EQ(got.kept, want.kept) << width << " " << room;
        EXPECT_EQ(got.non_blank, want.non_blank) << width << " " << room;
        EXPECT_EQ(got.digits, want.digits) << width << " " << room;
        EXPECT_EQ(got.zeros, want.zeros) << width << " " << room;
        EXPECT_EQ(got.high != 0, want.high != 0) << width << " " << room;
        EXPECT_EQ(TrimTrailing(record.field()),
                  TrimTrailingByBytes(record.field()));
        std::string_view trimmed = TrimTrailingByBytes(record.field());
        while (!trimmed.empty() && trimmed.front() == ' ')
          trimmed.remove_prefix(1);
        EXPECT_EQ(Trim(record.field()), trimmed);
        EXPECT_EQ(CodePage::IsAscii(record.field()), want.high == 0);
      }
    }
  }
}

TEST(TextScanTest, StoresAgreeWithMemsetAndMemcpy) {
  std::mt19937 random(17);
  for (size_t width = 0; width < 64; ++width) {
    for (size_t length = 0; length <= width; ++length) {
      std::string text(length, ' ');
      for (char& c : text) c = RandomByte(random);
      // Guards around the field catch a store past either end.
      std::string want(width + 16, '#');
      std::memset(want.data() + 8, ' ', width);
      std::memcpy(want.data() + 8, text.data(), length);
      std::string got(width + 16, '#');
      FillBlanks(got.data() + 8, width);
      CopySmall(got.data() + 8, text);
      EXPECT_EQ(got, want) << width << " " << length;
      if (width < 8) {
        std::string short_store(width + 16, '#');
        const bool ascii = CodePage::IsAscii(text);
        EXPECT_EQ(StoreShortAscii(short_store.data() + 8, width, text), ascii);
        EXPECT_EQ(short_store, ascii ? want : std::string(width + 16, '#'))
            << width << " " << length;
      }
    }
  }
}

}  // namespace
}  // namespace tables
