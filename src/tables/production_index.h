#pragma once

// The production index file (NAME.MDX beside NAME.DBF), in the dBase IV
// layout that dBase and other readers open together with the table. The
// table engine reads it when the table's header flag (byte 28) says there is
// one, and writes it anew from the in-memory orders when a changed table is
// closed.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "tables/index_order.h"

namespace tables {

// What the index file needs to know of an indexed field.
struct IndexedField {
  std::string name;  // upper-case
  char type = 'C';   // dBase column letter
  int width = 0;
  int decimals = 0;
};

// Writes the whole file, replacing any file of that name (through a
// temporary file and a rename, so a reader never sees half a file).
// `fields[i]` describes the field of `tags[i]`. `dbf_name` is the table's file
// name without folder or extension, as dBase stores it in the header.
void WriteProductionIndex(platform::FileSystem& files,
                          const std::string& mdx_path,
                          const std::string& dbf_name,
                          const std::vector<IndexedField>& fields,
                          const std::vector<IndexOrder>& tags);

// Reads every tag. `fields` are all the table's fields, so a tag whose key is
// no field of the table is refused. Fails with a TableError naming the file
// when the file is corrupt or does not match the table (a key past
// `record_count`, a record missing from a tag, a cycle, a bad block). Tags
// this engine cannot keep up to date (a key expression other than one field,
// a date key, a unique, descending or filtered tag) are left out.
std::vector<IndexOrder> ReadProductionIndex(
    platform::FileSystem& files, const std::string& mdx_path,
    const std::vector<IndexedField>& fields, uint32_t record_count);

}  // namespace tables
