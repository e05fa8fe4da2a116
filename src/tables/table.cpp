#include "tables/table.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "tables/code_page.h"
#include "tables/code_page_guess.h"
#include "tables/files.h"
#include "tables/shared_file.h"
#include "tables/table_error.h"
#include "tables/table_impl.h"

namespace tables {

Table::Table(platform::FileSystem& files, std::string name)
    : files_(&files), name_(std::move(name)) {}

Table::Table(std::string name)
    : Table(platform::NativeFileSystem::Local(), std::move(name)) {}

Table::~Table() {
  // impl_'s destructor releases the file; errors cannot be reported here.
  impl_.reset();
}

namespace {

// The table name with ".dbf" added when it has no extension.
std::string WithExtension(const std::string& table_name) {
  const size_t slash = table_name.find_last_of("/\\");
  const size_t dot = table_name.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
    return table_name;
  return table_name + ".dbf";
}

}  // namespace

std::string Table::DisplayPath() const {
  return JoinPath(database_name_, WithExtension(table_name_));
}

void Table::RequireClosed() const {
  if (impl_ != nullptr) throw TableError::TableIsOpen(DisplayPath());
}

TableImpl& Table::RequireOpen() const {
  if (impl_ == nullptr) throw TableError::TableNotOpen(DisplayPath());
  return *impl_;
}

void Table::SetDatabaseName(std::string folder) {
  RequireClosed();
  database_name_ = std::move(folder);
}

void Table::SetTableName(std::string table_name) {
  RequireClosed();
  table_name_ = std::move(table_name);
}

void Table::SetExclusive(bool exclusive) {
  RequireClosed();
  exclusive_ = exclusive;
}

void Table::SetReadOnly(bool read_only) {
  RequireClosed();
  read_only_ = read_only;
}

std::string Table::FilePath() const {
  return files_->NativePath(DisplayPath());
}

void Table::ClearFieldDefs() { field_defs_.clear(); }

void Table::AddFieldDef(std::string name, FieldType type, int size) {
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) {
    return static_cast<char>(std::toupper(c));
  });
  field_defs_.push_back(FieldDef{std::move(name), type, size});
}

void Table::ClearIndexDefs() { index_defs_.clear(); }

void Table::AddIndexDef(std::string tag, std::string field) {
  index_defs_.push_back(IndexDef{std::move(tag), std::move(field)});
}

void Table::SetFilter(std::string expression) {
  filter_ = std::move(expression);
  if (impl_ != nullptr && filtered_) impl_->SetFilter(filter_);
}

void Table::SetFiltered(bool filtered) {
  filtered_ = filtered;
  if (impl_ != nullptr) {
    impl_->SetFilter(filtered_ ? std::optional<std::string>(filter_)
                               : std::nullopt);
  }
}

void Table::Open() {
  if (impl_ != nullptr) return;
  const std::string display = DisplayPath();
  const std::string path = FilePath();
  auto impl = std::make_unique<TableImpl>(*files_, name_, path, display,
                                          exclusive_, read_only_, code_page_);
  if (filtered_) impl->SetFilter(filter_);
  if (!index_name_.empty()) impl->SetIndex(index_name_);
  impl->First();
  impl_ = std::move(impl);
}

void Table::Close() {
  if (impl_ == nullptr) return;
  std::unique_ptr<TableImpl> impl = std::move(impl_);
  impl->Close();
}

TableState Table::State() const {
  return impl_ == nullptr ? TableState::kInactive : impl_->state();
}

void Table::SetIndexName(std::string tag) {
  index_name_ = std::move(tag);
  if (impl_ != nullptr) impl_->SetIndex(index_name_);
}

void Table::First() { RequireOpen().First(); }
void Table::Next() { RequireOpen().Next(); }
bool Table::Eof() const { return RequireOpen().Eof(); }
int64_t Table::RecNo() const { return RequireOpen().RecNo(); }
int64_t Table::RecordCount() const { return RequireOpen().RecordCount(); }

void Table::SetCodePage(int number) {
  RequireClosed();
  if (number != 0 && !CodePage::Knows(number))
    throw TableError::UnknownCodePage(number);
  code_page_ = number;
}

int Table::LikelyCodePage() const {
  const TableImpl& impl = RequireOpen();
  return code_page_ == 0 ? LikelyCodePageOf(impl.file()) : 0;
}

Field Table::FieldByName(std::string_view name) {
  int index = RequireOpen().FieldIndex(name);
  if (index < 0) throw TableError::FieldNotFound(name_, name);
  return Field(impl_.get(), index);
}

Field Table::FieldAt(int index) {
  if (index < 0 || index >= RequireOpen().FieldCount())
    throw TableError::FieldNotFound(name_, std::to_string(index));
  return Field(impl_.get(), index);
}

int Table::FieldCount() const { return RequireOpen().FieldCount(); }

void Table::Append() { RequireOpen().Append(); }
void Table::Edit() { RequireOpen().Edit(); }
void Table::Post() { RequireOpen().Post(); }
void Table::Cancel() { RequireOpen().Cancel(); }

bool Table::FindKey(std::string_view value) {
  return RequireOpen().FindKey(value);
}

bool Table::Locate(std::string_view field, std::string_view value) {
  return RequireOpen().Locate(field, value);
}

}  // namespace tables
