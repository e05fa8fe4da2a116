#include "tables/mdx_writer.h"

#include <algorithm>
#include <ctime>

#include "tables/mdx_layout.h"
#include "tables/mdx_tree_builder.h"

namespace tables {

namespace {

using namespace mdx;

void PutDate(std::string& file, size_t at, MdxDate date) {
  file[at] = static_cast<char>(date.year - 1900);
  file[at + 1] = static_cast<char>(date.month);
  file[at + 2] = static_cast<char>(date.day);
}

void PutText(std::string& file, size_t at, std::string_view text, size_t room) {
  // Always leaves a terminating zero inside the room.
  const size_t n = std::min(text.size(), room - 1);
  file.replace(at, n, text.substr(0, n));
}

// The tag threads: a binary search tree over the tag names, in the order of
// the tag table, with 1-based slot numbers (0 = none).
struct Threads {
  std::vector<uint8_t> left, right, parent;
};

Threads ThreadTags(const std::vector<MdxTagData>& tags) {
  const size_t n = tags.size();
  Threads threads{std::vector<uint8_t>(n), std::vector<uint8_t>(n),
                  std::vector<uint8_t>(n)};
  for (size_t i = 1; i < n; ++i) {
    size_t at = 0;
    for (;;) {
      std::vector<uint8_t>& side =
          tags[i].name < tags[at].name ? threads.left : threads.right;
      if (side[at] == 0) {
        side[at] = static_cast<uint8_t>(i + 1);
        threads.parent[i] = static_cast<uint8_t>(at + 1);
        break;
      }
      at = side[at] - 1u;
    }
  }
  return threads;
}

void WriteFileHeader(std::string& file, std::string_view dbf_name,
                     size_t tag_count, MdxDate date) {
  file[kVersionAt] = 2;
  PutDate(file, kCreatedAt, date);
  PutText(file, kDbfNameAt, dbf_name, kDbfNameLength);
  PutU16(file, kPagesPerBlockAt, kPagesPerBlock);
  PutU16(file, kBlockBytesAt, kBlockSize);
  file[kProductionFlagAt] = 1;
  file[kTagSlotsAt] = static_cast<char>(kTagSlots);
  PutU16(file, kTagEntryLengthAt, kTagEntryLength);
  PutU16(file, kTagsInUseAt, static_cast<uint32_t>(tag_count));
  file[kNextTagAt] = static_cast<char>(tag_count + 1);
  file[kMarker1BAt] = 0x1B;
  PutDate(file, kUpdatedAt, date);
  file[kMarker529At] = 1;
}

void WriteTagEntry(std::string& file, size_t slot, const MdxTagData& tag,
                   uint32_t header_page, const Threads& threads) {
  const size_t at = kTagTableOffset + slot * kTagEntryLength;
  PutU32(file, at + kEntryHeaderPageAt, header_page);
  PutText(file, at + kEntryNameAt, tag.name, kEntryNameLength);
  file[at + kEntryKeyFormatAt] = static_cast<char>(kKeyFormatField);
  file[at + kEntryLeftThreadAt] = static_cast<char>(threads.left[slot]);
  file[at + kEntryRightThreadAt] = static_cast<char>(threads.right[slot]);
  file[at + kEntryParentThreadAt] = static_cast<char>(threads.parent[slot]);
  file[at + kEntryMarker02At] = 0x02;
  file[at + kEntryKeyTypeAt] = tag.key_type;
}

void WriteTagHeader(std::string& file, uint32_t header_page,
                    const MdxTagData& tag, const MdxTreeResult& tree,
                    MdxDate date) {
  const size_t at = static_cast<size_t>(header_page) * kPageSize;
  PutU32(file, at + kTagRootPageAt, tree.root_page);
  PutU32(file, at + kTagSizeAt, tree.pages);
  file[at + kTagKeyFormatAt] = static_cast<char>(kKeyFormatField);
  file[at + kTagKeyTypeAt] = tag.key_type;
  file[at + kTagMarker1BAt] = 0x1B;
  PutU16(file, at + kTagKeyLengthAt, static_cast<uint32_t>(tag.key_length));
  PutU16(file, at + kTagMaxKeysAt,
         static_cast<uint32_t>(MaxKeysPerNode(tag.key_length)));
  PutU16(file, at + kTagSecondaryTypeAt, 0);
  PutU16(file, at + kTagItemLengthAt,
         static_cast<uint32_t>(ItemLength(tag.key_length)));
  file[at + kTagSerialAt] = 1;
  file[at + kTagUniqueAt] = 0;
  PutText(file, at + kTagExpressionAt, tag.expression, kTagExpressionLength);
  file[at + kTagHasKeysAt] = tag.recnos.empty() ? 0 : 1;
  PutU32(file, at + kTagFirstLeafAt, tree.first_leaf_page);
  PutU32(file, at + kTagLastLeafAt, tree.last_leaf_page);
  PutDate(file, at + kTagDateAt, date);
  file[at + kTagSingleFieldAt] = 1;
}

}  // namespace

MdxDate MdxDate::Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return MdxDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string BuildMdxImage(std::string_view dbf_name,
                          const std::vector<MdxTagData>& tags, MdxDate date) {
  std::string file(static_cast<size_t>(kHeaderPages) * kPageSize, '\0');
  WriteFileHeader(file, dbf_name, tags.size(), date);
  const Threads threads = ThreadTags(tags);
  for (size_t slot = 0; slot < tags.size(); ++slot) {
    const MdxTagData& tag = tags[slot];
    const uint32_t header_page = static_cast<uint32_t>(file.size() / kPageSize);
    file.resize(file.size() + kBlockSize, '\0');
    const MdxTreeResult tree =
        MdxTreeBuilder(tag.key_length).Build(tag.recnos, tag.keys, file);
    WriteTagEntry(file, slot, tag, header_page, threads);
    WriteTagHeader(file, header_page, tag, tree, date);
  }
  PutU32(file, kPageCountAt, static_cast<uint32_t>(file.size() / kPageSize));
  PutU32(file, kFirstFreePageAt, 0);
  PutU32(file, kBlocksAvailableAt, 0);
  return file;
}

}  // namespace tables
