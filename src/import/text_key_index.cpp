#include "import/text_key_index.h"

#include <bit>
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

// The bytes of a text of at most 16 bytes, padded with zeros to two words,
// read in a few loads of fixed size (which may overlap) rather than byte by
// byte. Little-endian: a word's first byte is its lowest.
void Pad(std::string_view text, uint64_t words[2]) {
  static_assert(std::endian::native == std::endian::little);
  const char* at = text.data();
  const size_t n = text.size();
  words[1] = 0;
  if (n >= 8) {
    words[0] = Load(at, 8);
    if (n > 8) words[1] = Load(at + n - 8, 8) >> (8 * (16 - n));
  } else if (n >= 4) {
    words[0] = Load(at, 4) | (Load(at + n - 4, 4) >> (8 * (8 - n))) << 32;
  } else if (n > 0) {
    words[0] = Load(at, 1) | Load(at + n / 2, 1) << (8 * (n / 2)) |
               Load(at + n - 1, 1) << (8 * (n - 1));
  } else {
    words[0] = 0;
  }
}

}  // namespace

// A short text's two padded words are hashed whole; a longer one eight
// bytes at a time. The length is mixed in, so that zero padding cannot make
// two texts of different lengths alike.
TextKeyIndex::Probe TextKeyIndex::MakeProbe(std::string_view text) {
  Probe probe;
  probe.text = text;
  uint64_t hash = text.size() * kMultiplier;
  if (text.size() <= kInline) {
    Pad(text, probe.words);
    hash = Mix(Mix(hash ^ probe.words[0]) ^ probe.words[1]);
  } else {
    const char* at = text.data();
    size_t left = text.size();
    for (; left >= 8; at += 8, left -= 8) hash = Mix(hash ^ Load(at, 8));
    hash = Mix(hash ^ Load(at, left));
  }
  probe.hash = static_cast<uint32_t>(Mix(hash));
  return probe;
}

bool TextKeyIndex::Holds(const Slot& slot, const Probe& probe) const {
  if (slot.hash != probe.hash || slot.length != probe.text.size()) return false;
  if (probe.text.size() <= kInline) {
    return slot.words[0] == probe.words[0] && slot.words[1] == probe.words[1];
  }
  return Key(slot.number) == probe.text;
}

size_t TextKeyIndex::SlotFor(const Probe& probe) const {
  const size_t mask = slots_.size() - 1;
  for (size_t at = probe.hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.number == kAbsent || Holds(slot, probe)) return at;
  }
}

uint32_t TextKeyIndex::Find(const Probe& probe) const {
  if (slots_.empty()) return kAbsent;
  return slots_[SlotFor(probe)].number;
}

uint32_t TextKeyIndex::Insert(std::string_view text) {
  if ((keys_.size() + 1) * 4 > slots_.size() * 3) Grow();
  const Probe probe = MakeProbe(text);
  Slot& slot = slots_[SlotFor(probe)];
  if (slot.number != kAbsent) return slot.number;
  slot.hash = probe.hash;
  slot.number = size();
  slot.length = static_cast<uint32_t>(text.size());
  slot.words[0] = probe.words[0];
  slot.words[1] = probe.words[1];
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
