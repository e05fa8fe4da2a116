#pragma once

// A set of texts, each numbered in the order it was first inserted, for the
// lookups of the solution transfer. One open-addressing table of slots finds
// a text with one probe in most cases. A slot holds a short text's bytes
// itself (the usual key: an abbreviation, a subject code), so that a search
// reads one cache line and builds no string; longer texts are compared in
// the arena where all texts live one after another.

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

  static constexpr size_t kInline = 16;  // bytes of text a slot holds

  // A text as searched: its hash and, when short, its bytes padded with
  // zeros to two words. Made once, it serves a Prefetch and the Find after
  // it. Valid while the text it views is.
  struct Probe {
    std::string_view text;
    uint32_t hash = 0;
    uint64_t words[2] = {0, 0};
  };
  static Probe MakeProbe(std::string_view text);

  // The number of `text`, or kAbsent when it was never inserted. Texts are
  // compared byte for byte: case and blanks count.
  uint32_t Find(std::string_view text) const { return Find(MakeProbe(text)); }
  uint32_t Find(const Probe& probe) const;

  // Starts loading the slot where a search for the probe's text begins
  // into the cache, so that a Find shortly after does not wait for memory.
  void Prefetch(const Probe& probe) const {
    if (!slots_.empty())
      __builtin_prefetch(&slots_[probe.hash & (slots_.size() - 1)]);
  }

  uint32_t size() const { return static_cast<uint32_t>(keys_.size()); }

  // REQUIRES: number < size(). The text that has `number`.
  std::string_view Key(uint32_t number) const {
    return {arena_.data() + keys_[number].offset, keys_[number].length};
  }

 private:
  // 32 bytes, so that a slot never straddles two cache lines.
  struct alignas(32) Slot {
    uint32_t hash = 0;
    uint32_t number = kAbsent;  // kAbsent: free
    uint32_t length = 0;
    uint64_t words[2] = {0, 0};  // a short text's bytes, as in Probe
  };
  struct KeyPlace {
    size_t offset;
    uint32_t length;
  };

  bool Holds(const Slot& slot, const Probe& probe) const;
  // The slot that holds the probe's text, or the free slot where it would go.
  size_t SlotFor(const Probe& probe) const;
  void Grow();

  std::vector<Slot> slots_;  // a power of two in size, at most 3/4 full:
                             // small, so it stays in the cache
  std::vector<KeyPlace> keys_;
  std::string arena_;
};

}  // namespace importing
