#include "tables/index_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace tables {
namespace {

IndexKey Text(std::string text) { return IndexKey{std::move(text), 0.0}; }
IndexKey Number(double number) { return IndexKey{"", number}; }

std::vector<uint32_t> Walk(const IndexOrder& order) {
  std::vector<uint32_t> recnos;
  for (size_t i = 0; i < order.size(); ++i) recnos.push_back(order.RecnoAt(i));
  return recnos;
}

struct TextCase {
  const char* name;
  std::vector<std::string> keys;  // record 1, 2, ...
  std::vector<uint32_t> expected;
};

class TextOrderTest : public testing::TestWithParam<TextCase> {};

TEST_P(TextOrderTest, WalksInByteOrderWithTiesInRecordOrder) {
  IndexOrder order("COD", "COD", KeyKind::kCharacter, 10);
  for (size_t i = 0; i < GetParam().keys.size(); ++i) {
    order.Set(static_cast<uint32_t>(i + 1), Text(GetParam().keys[i]));
  }
  EXPECT_EQ(Walk(order), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextOrderTest,
    testing::Values(
        TextCase{"Empty", {}, {}},
        TextCase{"Duplicates", {"B", "A", "B", "A", "B"}, {2, 4, 1, 3, 5}},
        // cp1252 "É" (0xC9) and "á" (0xE1) sort after every ASCII letter.
        TextCase{"Accents", {"\xC9S", "ZZ", "\xE1", "E"}, {4, 2, 1, 3}},
        // Blank fill sorts after control bytes and before letters.
        TextCase{
            "ShortBeforeLonger", {"AB", "A", "AB\x01", "ABC"}, {2, 3, 1, 4}},
        TextCase{"LowerCaseAfterUpper", {"a", "B", "A"}, {3, 2, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IndexOrderTest, NumericKeysCompareByValue) {
  IndexOrder order("HORA", "HORA", KeyKind::kNumeric, 4);
  const std::vector<double> keys = {10,   -2, 9,   100,  9,
                                    -200, 0,  NAN, -0.0, -INFINITY};
  for (size_t i = 0; i < keys.size(); ++i) {
    order.Set(static_cast<uint32_t>(i + 1), Number(keys[i]));
  }
  // NaN first; -0 equals 0, so record order decides between them.
  EXPECT_EQ(Walk(order),
            (std::vector<uint32_t>{8, 10, 6, 2, 7, 9, 3, 5, 1, 4}));
}

// Interleaves changes and reads at random against a plain sorted model, so
// the incremental paths (one shift per row, a merge of a batch) and the full
// sort are all checked against a full sort. The reads ask for one position
// first, before the positions are all brought up to date.
class IncrementalTest : public testing::TestWithParam<int> {};

TEST_P(IncrementalTest, MatchesAFullSort) {
  const int batch = GetParam();  // changes between two reads
  std::mt19937 random(7);
  IndexOrder order("K", "K", KeyKind::kCharacter, 9);
  std::vector<std::string> model(1000);  // empty: not indexed
  for (int step = 1; step <= 4000; ++step) {
    const uint32_t recno = 1 + random() % model.size();
    if (random() % 5 == 0) {
      order.Remove(recno);
      model[recno - 1].clear();
    } else {
      // Keys share their first 8 bytes, so the 9th decides.
      std::string key = "ABCDEFGH" + std::string(1, 'A' + random() % 4);
      order.Set(recno, Text(key));
      model[recno - 1] = key;
    }
    if (step % batch != 0) continue;
    std::vector<std::pair<std::string, uint32_t>> expected;
    for (uint32_t r = 1; r <= model.size(); ++r) {
      if (!model[r - 1].empty()) expected.emplace_back(model[r - 1], r);
    }
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(order.size(), expected.size());
    const size_t probe = random() % expected.size();
    ASSERT_EQ(order.PositionOf(expected[probe].second), probe) << step;
    for (size_t i = 0; i < expected.size(); ++i) {
      ASSERT_EQ(order.RecnoAt(i), expected[i].second) << step;
      ASSERT_EQ(order.PositionOf(expected[i].second), i) << step;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Batches, IncrementalTest,
                         testing::Values(1, 10, 60, 500));

TEST(IndexOrderTest, LowerBoundAcceptsUnpaddedSearchText) {
  IndexOrder order("COD", "COD", KeyKind::kCharacter, 5);
  order.Set(1, Text("ABD"));
  order.Set(2, Text("AB"));
  order.Set(3, Text("AB"));
  order.Set(4, Text("AA"));
  EXPECT_EQ(order.KeyAt(0).text, "AA   ");  // padded to the width
  EXPECT_EQ(order.LowerBound(Text("AB")), 1u);
  EXPECT_EQ(order.RecnoAt(order.LowerBound(Text("AB"))), 2u);
  EXPECT_EQ(order.LowerBound(Text("AB ")), 1u);
  EXPECT_EQ(order.LowerBound(Text("ABC")), 3u);
  EXPECT_EQ(order.LowerBound(Text("ZZ")), 4u);
  // A text longer than the field does not equal a key that was cut.
  EXPECT_NE(order.Compare(Text("ABD  X"), order.KeyAt(3)), 0);
}

}  // namespace
}  // namespace tables
