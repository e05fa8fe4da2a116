#pragma once

// Reads a production index file held in memory: checks the file header and
// the tag table, and walks a tag's B-tree in key order. Every failure is an
// MdxCorrupt error naming the file. A walk visits each block at most once,
// so a damaged file can neither loop nor recurse without end.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tables {

struct MdxTagInfo {
  std::string name;        // without trailing zeros or blanks
  std::string expression;  // the key expression as stored
  char key_type = 'C';     // 'C', 'N' or 'D'
  int key_length = 0;
  int item_length = 0;
  uint32_t root_page = 0;
  bool descending = false;
  bool unique = false;
  bool filtered = false;
};

class MdxReader {
 public:
  // Takes the whole file. Throws MdxCorrupt when the header or the tag
  // table is damaged.
  MdxReader(std::string path, std::string bytes);

  const std::vector<MdxTagInfo>& tags() const { return tags_; }

  // Calls `visit` with the record number and the key bytes of every leaf
  // item of the tag, in the tree's order. Throws MdxCorrupt on a block
  // outside the file, a node that overflows its block, or a block reached
  // twice (a cycle).
  using Visitor = std::function<void(uint32_t recno, std::string_view key)>;
  void Walk(const MdxTagInfo& tag, const Visitor& visit) const;

 private:
  void ReadHeader();
  MdxTagInfo ReadTag(int slot) const;
  bool IsNodePage(uint32_t page) const;
  [[noreturn]] void Fail(const std::string& reason) const;

  std::string path_;
  std::string bytes_;
  uint32_t block_size_ = 0;
  uint32_t pages_per_block_ = 0;
  std::vector<MdxTagInfo> tags_;
};

}  // namespace tables
