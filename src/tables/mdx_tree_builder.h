#pragma once

// Builds the B-tree of one tag, bottom up, from keys already in order.
//
// Leaves hold (record number, key) items; each interior node holds, for
// every child but the last, the child's page and the largest key under it,
// and then the last child's page. Nodes of a level are filled evenly so no
// node is left nearly empty.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tables {

struct MdxTreeResult {
  uint32_t root_page = 0;
  uint32_t first_leaf_page = 0;
  uint32_t last_leaf_page = 0;
  uint32_t pages = 0;  // pages taken by the tree's blocks
};

class MdxTreeBuilder {
 public:
  // REQUIRES: 1 <= key_length <= 100.
  explicit MdxTreeBuilder(int key_length);

  // Appends the tree's blocks to `file` and says where they are.
  // REQUIRES: file.size() is a whole number of blocks; `keys` holds
  // recnos.size() keys of key_length bytes each, in index order.
  MdxTreeResult Build(const std::vector<uint32_t>& recnos,
                      std::string_view keys, std::string& file) const;

 private:
  struct Child {
    uint32_t page;
    size_t last_entry;  // the entry holding the largest key under it
  };

  std::vector<Child> WriteLeaves(const std::vector<uint32_t>& recnos,
                                 std::string_view keys,
                                 std::string& file) const;
  std::vector<Child> WriteLevel(const std::vector<Child>& children,
                                std::string_view keys, std::string& file) const;
  std::string_view KeyOf(std::string_view keys, size_t entry) const;

  int key_length_;
  int item_length_;
  int max_keys_;
};

}  // namespace tables
