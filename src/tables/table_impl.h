#pragma once

// An open table object: its view of the shared file, the cursor, the
// selected order, the filter and the record buffer of a pending change.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/shared_file.h"
#include "tables/table.h"

namespace tables {

class TableImpl : public RecordsObserver {
 public:
  // Opens (or shares) the file. `filter` is applied when set.
  // `code_page` 0 reads the text in the code page the header names.
  TableImpl(platform::FileSystem& files, std::string component_name,
            const std::string& path, const std::string& display, bool exclusive,
            bool read_only, int code_page = 0);
  ~TableImpl();  // releases the shared file; errors are swallowed there
  TableImpl(const TableImpl&) = delete;
  TableImpl& operator=(const TableImpl&) = delete;

  // Drops a pending change and releases the file, reporting write errors.
  void Close();

  const std::string& display() const { return display_; }
  TableState state() const { return state_; }

  void SetFilter(std::optional<std::string> expression);
  void SetIndex(const std::string& tag);

  void First();
  void Next();
  bool Eof() const { return eof_; }
  int64_t RecNo() const;
  int64_t RecordCount() const;

  int FieldIndex(std::string_view name) const;
  int FieldCount() const { return static_cast<int>(visible_.size()); }
  const FieldDescriptor& Descriptor(int index) const {
    // Inline: every field read and write passes through here.
    return file_->header()
        .fields[static_cast<size_t>(visible_.at(static_cast<size_t>(index)))];
  }
  const FieldCodec& codec() const { return file_->codec(); }
  const SharedFile& file() const { return *file_; }
  // The record the fields read: the pending change, or the current record.
  std::string_view CurrentRecord() const { return current_; }
  void RecordsMoved() override { UpdateCurrent(); }
  // The pending change that field handles write into; fails with
  // NotEditing in browse state.
  std::string& EditableRecord() {
    if (state_ == TableState::kBrowse) FailNotEditing();
    modified_ = true;
    return buffer_;
  }
  const std::string& component_name() const { return component_name_; }

  void Append();
  void Edit();
  void Post();
  void Cancel();
  bool FindKey(std::string_view value);
  bool Locate(std::string_view field, std::string_view value);

 private:
  // Takes the view of the current record anew when an operation ends, by
  // whichever way it leaves.
  class CurrentUpdate {
   public:
    explicit CurrentUpdate(TableImpl* table) : table_(table) {}
    ~CurrentUpdate() { table_->UpdateCurrent(); }
    CurrentUpdate(const CurrentUpdate&) = delete;
    CurrentUpdate& operator=(const CurrentUpdate&) = delete;

   private:
    TableImpl* table_;
  };
  void UpdateCurrent() noexcept;
  [[noreturn]] void FailNotEditing() const;
  bool Visible(uint32_t recno) const;
  // Moves to the first visible record at or after `recno` in stored order,
  // or at or after `position` in index order; false at the end.
  bool SeekStored(uint32_t recno);
  bool SeekOrdered(size_t position);
  void PostPending();
  void Store();

  std::string component_name_;
  std::string display_;
  SharedFile* file_ = nullptr;
  bool read_only_;
  std::vector<int> visible_;  // header field index of each visible field
  IndexOrder* order_ = nullptr;
  std::optional<FieldDescriptor> filter_field_;
  std::string filter_value_;  // in the table's code page
  uint32_t recno_ = 0;        // current record, 0 for none
  bool eof_ = true;
  TableState state_ = TableState::kBrowse;
  std::string buffer_;
  bool modified_ = false;
  std::string blank_;
  std::string_view current_;  // see CurrentRecord
};

}  // namespace tables
