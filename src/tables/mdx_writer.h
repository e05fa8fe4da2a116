#pragma once

// Lays out a whole production index file in memory: the file header, the
// tag table with its threads, and per tag its header block and B-tree.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tables {

// One tag, ready to be written: its entries in index order.
struct MdxTagData {
  std::string name;        // at most 10 characters, upper-case
  std::string expression;  // the key field's name
  char key_type = 'C';     // 'C' or 'N'
  int key_length = 0;      // the field width for 'C', 12 for 'N'
  std::vector<uint32_t> recnos;
  std::string keys;  // recnos.size() keys of key_length bytes each
};

struct MdxDate {
  int year = 2000;  // full year
  int month = 1;
  int day = 1;
  static MdxDate Today();
};

// The bytes of the file. REQUIRES: at most 47 tags, distinct names, and
// 1 <= key_length <= 100 for each.
std::string BuildMdxImage(std::string_view dbf_name,
                          const std::vector<MdxTagData>& tags, MdxDate date);

}  // namespace tables
