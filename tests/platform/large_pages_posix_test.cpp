// The large-page hint changes how memory is backed, never what it holds:
// blocks below and above the threshold, aligned or not, already written or
// still untouched, read back the bytes written before and after the hint.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/large_pages.h"

namespace platform {
namespace {

struct Block {
  size_t size;
  size_t offset;         // from a 2 MiB boundary
  size_t written_ahead;  // bytes written before the hint
};

TEST(LargePagesTest, TheHintKeepsWhatTheMemoryHolds) {
  constexpr size_t kLarge = size_t{2} << 20;
  const Block blocks[] = {
      {4096, 0, 0},
      {kLargePageHintFrom - 1, 0, 0},
      {kLargePageHintFrom, 0, 0},
      {kLargePageHintFrom + 12345, 17, 0},
      {3 * kLarge + 5, kLarge - 1, kLarge},
      {5 * kLarge, 0, 5 * kLarge},
  };
  for (const Block& block : blocks) {
    SCOPED_TRACE(testing::Message()
                 << block.size << " bytes at +" << block.offset);
    const size_t room = block.size + block.offset + kLarge;
    std::unique_ptr<char, decltype(&std::free)> memory(
        static_cast<char*>(
            std::aligned_alloc(kLarge, room + kLarge - room % kLarge)),
        &std::free);
    ASSERT_NE(memory, nullptr);
    char* data = memory.get() + block.offset;
    auto byte = [](size_t i) { return static_cast<char>(i * 131 + i / 4099); };
    for (size_t i = 0; i < block.written_ahead; ++i) data[i] = byte(i);
    AdviseLargePages(data, block.size);
    for (size_t i = block.written_ahead; i < block.size; ++i) data[i] = byte(i);
    size_t differing = 0;
    for (size_t i = 0; i < block.size; ++i) differing += data[i] != byte(i);
    EXPECT_EQ(differing, 0u);
  }
}

}  // namespace
}  // namespace platform
