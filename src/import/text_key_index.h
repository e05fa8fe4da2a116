#pragma once

// A set of texts, each numbered in the order it was first inserted, for the
// lookups of the solution transfer. One open-addressing table of slots
// (stored hash and number) finds a text with one probe in most cases; the
// texts themselves live one after another in a single arena, so a search
// touches two or three cache lines and builds no string.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace importing {

class TextKeyIndex {
 public:
  static constexpr uint32_t kAbsent = UINT32_MAX;

  // The number of `text`: the one it already has, or else the next number
  // (size() before the call), which it keeps from then on.
  uint32_t Insert(std::string_view text);

  // The number of `text`, or kAbsent when it was never inserted. Texts are
  // compared byte for byte: case and blanks count.
  uint32_t Find(std::string_view text) const;

  uint32_t size() const { return static_cast<uint32_t>(keys_.size()); }

  // REQUIRES: number < size(). The text that has `number`.
  std::string_view Key(uint32_t number) const {
    return {arena_.data() + keys_[number].offset, keys_[number].length};
  }

 private:
  struct Slot {
    uint32_t hash = 0;
    uint32_t number = kAbsent;  // kAbsent: free
  };
  struct KeyPlace {
    size_t offset;
    uint32_t length;
  };

  static uint64_t Hash(std::string_view text);
  // The slot that holds `text`, or the free slot where it would go.
  size_t SlotFor(std::string_view text, uint32_t hash) const;
  void Grow();

  std::vector<Slot> slots_;  // a power of two in size, at most 3/4 full:
                             // small, so it stays in the cache
  std::vector<KeyPlace> keys_;
  std::string arena_;
};

}  // namespace importing
