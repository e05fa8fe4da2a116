#include "import/text_key_index.h"

#include <cstring>

namespace importing {
namespace {

constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

uint64_t Mix(uint64_t value) {
  value ^= value >> 32;
  value *= kMultiplier;
  value ^= value >> 29;
  return value;
}

uint64_t Load(const char* at, size_t size) {
  uint64_t word = 0;
  std::memcpy(&word, at, size);
  return word;
}

}  // namespace

// Eight bytes at a time; a short text (the usual key: an abbreviation, a
// subject code) in one or two loads of fixed size, which may overlap. The
// length is mixed in, so that overlapping loads cannot make two texts of
// different lengths alike.
uint64_t TextKeyIndex::Hash(std::string_view text) {
  const char* at = text.data();
  size_t left = text.size();
  uint64_t hash = left * kMultiplier;
  while (left > 16) {
    hash = Mix(hash ^ Load(at, 8));
    at += 8;
    left -= 8;
  }
  if (left >= 8) {
    hash = Mix(hash ^ Load(at, 8)) ^ Load(at + left - 8, 8);
  } else if (left >= 4) {
    hash ^= Load(at, 4) << 32 | Load(at + left - 4, 4);
  } else if (left > 0) {
    hash ^= Load(at, 1) << 16 | Load(at + left / 2, 1) << 8 |
            Load(at + left - 1, 1);
  }
  return Mix(Mix(hash));
}

size_t TextKeyIndex::SlotFor(std::string_view text, uint32_t hash) const {
  const size_t mask = slots_.size() - 1;
  for (size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.number == kAbsent ||
        (slot.hash == hash && Key(slot.number) == text)) {
      return at;
    }
  }
}

uint32_t TextKeyIndex::Find(std::string_view text) const {
  if (slots_.empty()) return kAbsent;
  return slots_[SlotFor(text, static_cast<uint32_t>(Hash(text)))].number;
}

uint32_t TextKeyIndex::Insert(std::string_view text) {
  if ((keys_.size() + 1) * 4 > slots_.size() * 3) Grow();
  const uint32_t hash = static_cast<uint32_t>(Hash(text));
  Slot& slot = slots_[SlotFor(text, hash)];
  if (slot.number != kAbsent) return slot.number;
  slot = {hash, size()};
  keys_.push_back({arena_.size(), static_cast<uint32_t>(text.size())});
  arena_.append(text);
  return slot.number;
}

void TextKeyIndex::Grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
  const size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.number == kAbsent) continue;
    size_t at = slot.hash & mask;
    while (slots_[at].number != kAbsent) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

}  // namespace importing
