#include "tables/mdx_tree_builder.h"

#include <algorithm>

#include "tables/mdx_layout.h"

namespace tables {

namespace {

using namespace mdx;

uint32_t AppendBlock(std::string& file) {
  const uint32_t page = static_cast<uint32_t>(file.size() / kPageSize);
  file.resize(file.size() + kBlockSize, '\0');
  return page;
}

// Splits `total` items into `groups` runs whose sizes differ by one at most.
size_t GroupSize(size_t total, size_t groups, size_t index) {
  return total / groups + (index < total % groups ? 1 : 0);
}

size_t DivideRoundingUp(size_t a, size_t b) { return (a + b - 1) / b; }

}  // namespace

MdxTreeBuilder::MdxTreeBuilder(int key_length)
    : key_length_(key_length),
      item_length_(ItemLength(key_length)),
      max_keys_(MaxKeysPerNode(key_length)) {}

MdxTreeResult MdxTreeBuilder::Build(const std::vector<uint32_t>& recnos,
                                    std::string_view keys,
                                    std::string& file) const {
  const size_t first_page = file.size() / kPageSize;
  std::vector<Child> level = WriteLeaves(recnos, keys, file);
  MdxTreeResult result;
  result.first_leaf_page = level.front().page;
  result.last_leaf_page = level.back().page;
  while (level.size() > 1) level = WriteLevel(level, keys, file);
  result.root_page = level.front().page;
  result.pages = static_cast<uint32_t>(file.size() / kPageSize - first_page);
  return result;
}

std::vector<MdxTreeBuilder::Child> MdxTreeBuilder::WriteLeaves(
    const std::vector<uint32_t>& recnos, std::string_view keys,
    std::string& file) const {
  const size_t total = recnos.size();
  const size_t leaves = std::max<size_t>(
      1, DivideRoundingUp(total, static_cast<size_t>(max_keys_)));
  std::vector<Child> children;
  children.reserve(leaves);
  size_t entry = 0;
  uint32_t previous = 0;
  for (size_t leaf = 0; leaf < leaves; ++leaf) {
    const size_t count = GroupSize(total, leaves, leaf);
    const uint32_t page = AppendBlock(file);
    const size_t base = static_cast<size_t>(page) * kPageSize;
    PutU32(file, base + kNodeCountAt, static_cast<uint32_t>(count));
    PutU32(file, base + kNodePreviousAt, previous);
    for (size_t i = 0; i < count; ++i, ++entry) {
      const size_t item = base + kNodeItemsAt + i * item_length_;
      PutU32(file, item, recnos[entry]);
      file.replace(item + 4, key_length_, KeyOf(keys, entry));
    }
    children.push_back({page, entry == 0 ? 0 : entry - 1});
    previous = page;
  }
  return children;
}

std::vector<MdxTreeBuilder::Child> MdxTreeBuilder::WriteLevel(
    const std::vector<Child>& children, std::string_view keys,
    std::string& file) const {
  const size_t fan_out = static_cast<size_t>(max_keys_) + 1;
  const size_t nodes = DivideRoundingUp(children.size(), fan_out);
  std::vector<Child> parents;
  parents.reserve(nodes);
  size_t next = 0;
  uint32_t previous = 0;
  for (size_t node = 0; node < nodes; ++node) {
    const size_t count = GroupSize(children.size(), nodes, node);
    const uint32_t page = AppendBlock(file);
    const size_t base = static_cast<size_t>(page) * kPageSize;
    // `count` children: count - 1 keys and a last pointer without one.
    PutU32(file, base + kNodeCountAt, static_cast<uint32_t>(count - 1));
    PutU32(file, base + kNodePreviousAt, previous);
    for (size_t i = 0; i < count; ++i, ++next) {
      const size_t item = base + kNodeItemsAt + i * item_length_;
      PutU32(file, item, children[next].page);
      if (i + 1 < count) {
        file.replace(item + 4, key_length_,
                     KeyOf(keys, children[next].last_entry));
      }
    }
    parents.push_back({page, children[next - 1].last_entry});
    previous = page;
  }
  return parents;
}

std::string_view MdxTreeBuilder::KeyOf(std::string_view keys,
                                       size_t entry) const {
  return keys.substr(entry * key_length_, key_length_);
}

}  // namespace tables
