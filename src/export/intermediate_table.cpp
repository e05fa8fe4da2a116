#include "export/intermediate_table.h"

#include "shell/transfer_context.h"
#include "tables/files.h"

namespace exporting {
namespace {

std::string FileIn(std::string_view name, const char* extension) {
  return tables::JoinPath(shell::kExchangeFolder,
                          std::string(name) + extension);
}

}  // namespace

void DeleteIntermediateFiles(platform::FileSystem& files,
                             std::string_view name) {
  for (const char* extension : {".DBF", ".MDX"}) {
    const std::string path = files.NativePath(FileIn(name, extension));
    if (files.Exists(path)) files.Remove(path);
  }
}

std::unique_ptr<tables::Table> CreateIntermediate(
    platform::FileSystem& files, std::string_view name,
    const std::vector<tables::FieldDef>& fields,
    std::initializer_list<const char*> indexed_fields) {
  auto table = std::make_unique<tables::Table>(files);
  table->SetDatabaseName(shell::kExchangeFolder);
  table->SetTableName(std::string(name) + ".DBF");
  table->ClearFieldDefs();
  for (const tables::FieldDef& field : fields) {
    table->AddFieldDef(field.name, field.type, field.size);
  }
  table->ClearIndexDefs();
  for (const char* field : indexed_fields) table->AddIndexDef(field, field);
  table->CreateTable();
  table->Open();
  return table;
}

std::unique_ptr<tables::Table> OpenIntermediate(platform::FileSystem& files,
                                                std::string_view name,
                                                std::string index) {
  auto table = std::make_unique<tables::Table>(files);
  table->SetDatabaseName("");
  table->SetTableName(FileIn(name, ".DBF"));
  table->SetIndexName(std::move(index));
  table->Open();
  return table;
}

OpenSource::OpenSource(tables::Table& table) : table_(table) {
  table_.Open();
  table_.First();
}

OpenSource::~OpenSource() { table_.Close(); }

}  // namespace exporting
