// Checks the index files we write with an independent reader: the
// index_dump tool of Debian's libdbd-xbase-perl, which walks a tag's B-tree
// and prints every key with its record number.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "tables/index_key.h"
#include "tables/production_index.h"

namespace tables {
namespace {

constexpr char kIndexDump[] = "/usr/bin/index_dump";

std::string RunIndexDump(const std::string& mdx, const std::string& tag,
                         const std::string& start = "") {
  std::string command = std::string(kIndexDump) + " '" + mdx + "' " + tag;
  if (!start.empty()) command += " --start='" + start + "'";
  command += " 2>&1";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return "popen failed";
  std::string output;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
    output.append(buffer, n);
  }
  ::pclose(pipe);
  return output;
}

// The lines index_dump prints for a character tag: key bytes, a blank and
// the record number.
std::string ExpectedDump(const IndexOrder& order, int width, size_t from = 0) {
  std::string lines;
  for (size_t i = from; i < order.size(); ++i) {
    std::string key = order.KeyAt(i).text;
    key.resize(static_cast<size_t>(width), ' ');
    lines += key + " " + std::to_string(order.RecnoAt(i)) + "\n";
  }
  return lines;
}

struct DumpCase {
  const char* name;
  int rows;
  int distinct;  // keys repeat with this period
};

class IndexDumpTest : public testing::TestWithParam<DumpCase> {};

// One leaf (a few rows), several leaves under one root, and three levels
// (more than 63 * 64 keys); duplicates and cp1252 accents throughout.
TEST_P(IndexDumpTest, WalksOurTreeInOurOrder) {
  if (std::FILE* probe = std::fopen(kIndexDump, "r")) {
    std::fclose(probe);
  } else {
    GTEST_SKIP() << "libdbd-xbase-perl is not installed";
  }
  testing_support::TempDir dir("mdx_interop");
  IndexOrder cod("COD", "COD", KeyKind::kCharacter, 10);
  IndexOrder codvalen("CODVALEN", "CODVALEN", KeyKind::kCharacter, 10);
  const char* prefixes[] = {"\xC9S", "AB", "ZZ", "a\xE1", "M"};
  for (int r = 1; r <= GetParam().rows; ++r) {
    const int k = (r * 7919) % GetParam().distinct;
    cod.Set(static_cast<uint32_t>(r),
            {std::string(prefixes[k % 5]) + std::to_string(k), 0});
    codvalen.Set(static_cast<uint32_t>(r), {std::to_string(r % 3), 0});
  }
  const std::string mdx = dir.File("ASIGVALT.MDX");
  WriteProductionIndex(platform::NativeFileSystem::Local(), mdx, "ASIGVALT",
                       {{"COD", 'C', 10, 0}, {"CODVALEN", 'C', 10, 0}},
                       {cod, codvalen});
  EXPECT_EQ(RunIndexDump(mdx, "COD"), ExpectedDump(cod, 10));
  EXPECT_EQ(RunIndexDump(mdx, "CODVALEN"), ExpectedDump(codvalen, 10));
  // A search goes down through the interior keys (each child's largest
  // key) and must land on the first of equal keys.
  for (size_t at : {cod.size() / 3, cod.size() * 2 / 3, cod.size() - 1}) {
    if (cod.size() == 0) break;
    std::string key = cod.KeyAt(at).text;
    key.erase(key.find_last_not_of(' ') + 1);
    const size_t first = cod.LowerBound({key, 0});
    EXPECT_EQ(RunIndexDump(mdx, "COD", key), ExpectedDump(cod, 10, first))
        << key;
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, IndexDumpTest,
                         testing::Values(DumpCase{"OneLeaf", 9, 4},
                                         DumpCase{"SeveralLeaves", 700, 90},
                                         DumpCase{"ThreeLevels", 5000, 1200},
                                         DumpCase{"Empty", 0, 1}),
                         [](const auto& info) {
                           return std::string(info.param.name);
                         });

// index_dump does not decode numeric keys; it prints their 12 raw bytes.
TEST(IndexDumpNumericTest, IntegerKeysInValueOrder) {
  if (std::FILE* probe = std::fopen(kIndexDump, "r")) {
    std::fclose(probe);
  } else {
    GTEST_SKIP() << "libdbd-xbase-perl is not installed";
  }
  testing_support::TempDir dir("mdx_interop");
  IndexOrder hora("HORA", "HORA", KeyKind::kNumeric, 11);
  const std::vector<double> values = {20, 3, -200, 1000, 3, 0, 125, 350, 19};
  for (size_t i = 0; i < values.size(); ++i) {
    hora.Set(static_cast<uint32_t>(i + 1), {"", values[i]});
  }
  const std::string mdx = dir.File("PLANTILLA.MDX");
  WriteProductionIndex(platform::NativeFileSystem::Local(), mdx, "PLANTILLA",
                       {{"HORA", 'I', 4, 0}}, {hora});
  std::string expected;
  for (uint32_t recno : {3u, 6u, 2u, 5u, 9u, 1u, 7u, 8u, 4u}) {
    const NumericKeyBytes key = EncodeNumericKey(values[recno - 1]);
    expected += std::string(key.begin(), key.end()) + " " +
                std::to_string(recno) + "\n";
  }
  EXPECT_EQ(RunIndexDump(mdx, "HORA"), expected);
}

}  // namespace
}  // namespace tables
