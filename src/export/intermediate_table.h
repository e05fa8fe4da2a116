#pragma once

// What every export step does with its intermediate tables and its source
// components: make a fresh table in the exchange folder, open a component for
// the length of a step, and open a table written by an earlier step.

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tables/field_def.h"
#include "tables/table.h"

namespace exporting {

// Deletes "C:\QTEMP\<name>.DBF" and then "C:\QTEMP\<name>.MDX" where they
// exist; a failed deletion is not reported.
void DeleteIntermediateFiles(platform::FileSystem& files,
                             std::string_view name);

// Creates the intermediate table "C:\QTEMP\<name>.DBF" (replacing any table
// of that name) with `fields` in order and the one-field `indexes`, each tag
// named after its field, and returns it open. `name` is upper case without
// extension ("PROFT"). The step closes a table it wrote with Close(): a
// table left to its destructor cannot report a write that fails there.
std::unique_ptr<tables::Table> CreateIntermediate(
    platform::FileSystem& files, std::string_view name,
    const std::vector<tables::FieldDef>& fields,
    std::initializer_list<const char*> indexed_fields = {});

// Opens an intermediate table of an earlier step, by its full path
// "C:\QTEMP\<name>.DBF" with an empty folder, on `index` ("" for stored
// order).
std::unique_ptr<tables::Table> OpenIntermediate(platform::FileSystem& files,
                                                std::string_view name,
                                                std::string index = "");

// Keeps a source component open for the length of a step: opens it (standing
// on its first row) and closes it on every way out.
class OpenSource {
 public:
  explicit OpenSource(tables::Table& table);
  ~OpenSource();
  OpenSource(const OpenSource&) = delete;
  OpenSource& operator=(const OpenSource&) = delete;

  tables::Table& operator*() { return table_; }
  tables::Table* operator->() { return &table_; }

 private:
  tables::Table& table_;
};

// Text field definition shorthand.
inline tables::FieldDef Text(const char* name, int width) {
  return {name, tables::FieldType::kText, width};
}
inline tables::FieldDef Float(const char* name) {
  return {name, tables::FieldType::kFloat, 0};
}
inline tables::FieldDef Integer(const char* name) {
  return {name, tables::FieldType::kInteger, 0};
}
inline tables::FieldDef Logical(const char* name) {
  return {name, tables::FieldType::kLogical, 0};
}

}  // namespace exporting
