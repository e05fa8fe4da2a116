#pragma once

#include <string>

namespace tables {

// The four logical types a program asks for when it creates a table. How each
// is stored in the file (column letter, width, decimals) is the engine's
// choice and is written down in docs/dbf_format.md.
enum class FieldType { kText, kInteger, kFloat, kLogical };

struct FieldDef {
  std::string name;  // stored upper-case, at most 10 characters
  FieldType type = FieldType::kText;
  int size = 0;  // width in characters for kText, else 0
};

// One tag of the production index: one key field, ascending, duplicates
// allowed.
struct IndexDef {
  std::string tag;
  std::string field;
};

}  // namespace tables
