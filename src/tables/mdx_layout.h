#pragma once

// Offsets and constants of the dBase IV production index file. The layout
// is written down in docs/mdx_format.md; the names here follow it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tables/little_endian.h"

namespace tables::mdx {

inline constexpr int kPageSize = 512;
inline constexpr int kBlockSize = 1024;  // what we write: two pages
inline constexpr int kPagesPerBlock = kBlockSize / kPageSize;
inline constexpr int kHeaderPages = 4;  // file header and tag table
inline constexpr int kTagTableOffset = 544;
inline constexpr int kTagSlots = 48;  // as dBase declares it in byte 25
inline constexpr int kMaxTags = 47;   // the slots that fit before page 4
inline constexpr int kTagEntryLength = 32;
inline constexpr int kMaxKeyLength = 100;

// File header.
inline constexpr int kVersionAt = 0;
inline constexpr int kCreatedAt = 1;
inline constexpr int kDbfNameAt = 4;
inline constexpr int kDbfNameLength = 16;
inline constexpr int kPagesPerBlockAt = 20;
inline constexpr int kBlockBytesAt = 22;
inline constexpr int kProductionFlagAt = 24;
inline constexpr int kTagSlotsAt = 25;
inline constexpr int kTagEntryLengthAt = 26;
inline constexpr int kTagsInUseAt = 28;
inline constexpr int kNextTagAt = 30;
inline constexpr int kMarker1BAt = 31;
inline constexpr int kPageCountAt = 32;
inline constexpr int kFirstFreePageAt = 36;
inline constexpr int kBlocksAvailableAt = 40;
inline constexpr int kUpdatedAt = 44;
inline constexpr int kMarker529At = 529;

// Tag table entry, relative to the entry.
inline constexpr int kEntryHeaderPageAt = 0;
inline constexpr int kEntryNameAt = 4;
inline constexpr int kEntryNameLength = 11;
inline constexpr int kEntryKeyFormatAt = 15;
inline constexpr int kEntryLeftThreadAt = 16;
inline constexpr int kEntryRightThreadAt = 17;
inline constexpr int kEntryParentThreadAt = 18;
inline constexpr int kEntryMarker02At = 19;
inline constexpr int kEntryKeyTypeAt = 20;

// Tag header, relative to its page.
inline constexpr int kTagRootPageAt = 0;
inline constexpr int kTagSizeAt = 4;
inline constexpr int kTagKeyFormatAt = 8;
inline constexpr int kTagKeyTypeAt = 9;
inline constexpr int kTagMarker1BAt = 11;
inline constexpr int kTagKeyLengthAt = 12;
inline constexpr int kTagMaxKeysAt = 14;
inline constexpr int kTagSecondaryTypeAt = 16;
inline constexpr int kTagItemLengthAt = 18;
inline constexpr int kTagSerialAt = 20;
inline constexpr int kTagUniqueAt = 23;
inline constexpr int kTagExpressionAt = 24;
inline constexpr int kTagExpressionLength = 220;
inline constexpr int kTagHasFilterAt = 245;
inline constexpr int kTagHasKeysAt = 246;
inline constexpr int kTagFirstLeafAt = 248;
inline constexpr int kTagLastLeafAt = 252;
inline constexpr int kTagDateAt = 257;
inline constexpr int kTagSingleFieldAt = 480;

// Key format bits (tag table entry and tag header).
inline constexpr uint8_t kKeyFormatField = 0x10;
inline constexpr uint8_t kKeyFormatDescending = 0x08;
inline constexpr uint8_t kKeyFormatUnique = 0x40;

// Nodes, relative to the block.
inline constexpr int kNodeCountAt = 0;
inline constexpr int kNodePreviousAt = 4;
inline constexpr int kNodeItemsAt = 8;

// Each key item is a 4-byte number and the key, rounded up to 4 bytes.
constexpr int ItemLength(int key_length) { return (key_length + 4 + 3) & ~3; }
// Keys per node: room for the items, the trailing child pointer of an
// interior node and a spare item, as dBase computes it.
constexpr int MaxKeysPerNode(int key_length, int block_size = kBlockSize) {
  return (block_size - 12) / ItemLength(key_length);
}

inline uint32_t GetU8(std::string_view bytes, size_t at) {
  return static_cast<uint8_t>(bytes[at]);
}
using tables::GetU16;
using tables::GetU32;
using tables::PutU16;
using tables::PutU32;

}  // namespace tables::mdx
