#pragma once

// One open .dbf file, shared by every table object of this process that
// opens the same file: the header, all records in memory, the memo file and
// the index orders. Table objects on the same file therefore see each
// other's posted rows at once.
//
// Writes go to memory first and reach the disk in Flush(): changed records,
// then appended records with the end-of-file byte, and only then the header
// with the new record count. A process that dies at any moment leaves a
// header that claims no record that is not fully on disk.

#include <cstdint>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "tables/code_page.h"
#include "tables/dbf_header.h"
#include "tables/field_codec.h"
#include "tables/index_order.h"
#include "tables/memo_file.h"
#include "tables/production_index.h"
#include "tables/record_buffer.h"
#include "tables/table_file.h"

namespace tables {

// Told when the records of a shared file move in memory (grown), so that
// views of them can be taken anew.
class RecordsObserver {
 public:
  virtual void RecordsMoved() = 0;

 protected:
  ~RecordsObserver() = default;
};

class SharedFile {
 public:
  // The shared file for `path` (native, resolved), opened through `files`
  // now or reused. `display` names it in errors. Every Acquire needs one
  // Release. `code_page` 0 reads the text in the code page the header
  // names; another replaces it, and fails with TableOpenHere while the file
  // is open here in a different one.
  static SharedFile* Acquire(platform::FileSystem& files,
                             const std::string& path,
                             const std::string& display, bool exclusive,
                             int code_page = 0);
  // Flushes; the last release also writes the production index and closes
  // the file. The file is released even when this throws.
  static void Release(SharedFile* file);
  // True when this process holds `path` open.
  static bool IsOpen(platform::FileSystem& files, const std::string& path);
  ~SharedFile() = default;  // only Release deletes

  const DbfHeader& header() const { return header_; }
  const CodePage& code_page() const { return code_page_; }
  const FieldCodec& codec() const { return *codec_; }
  const std::string& display() const { return display_; }
  bool writable() const { return writable_; }

  // Every table object on the file watches it while it is open.
  void Watch(RecordsObserver* observer) { observers_.push_back(observer); }
  void Unwatch(RecordsObserver* observer);

  uint32_t record_count() const { return record_count_; }
  // REQUIRES: 1 <= recno <= record_count().
  std::string_view Record(uint32_t recno) const {
    const size_t length = header_.record_length;
    return std::string_view(records_ + (recno - 1) * length, length);
  }
  bool IsDeleted(uint32_t recno) const { return Record(recno)[0] == '*'; }
  // A record with every field empty.
  std::string BlankRecord() const;

  void WriteRecord(uint32_t recno, const std::string& record);
  uint32_t AppendRecord(const std::string& record);
  void Flush();

  // The order of `tag`: from the production index when the table has one,
  // otherwise built now from the field of that name. nullptr when there is
  // no such tag.
  IndexOrder* FindOrder(std::string_view tag);
  IndexKey KeyOf(const IndexOrder& order, std::string_view record) const;

 private:
  SharedFile(platform::FileSystem& files, const std::string& path,
             const std::string& display, bool exclusive, int code_page);
  void LoadRecords(uint64_t file_size);
  void OpenMemo();
  void OpenProductionIndex();
  int FieldIndexOf(std::string_view name) const;
  std::vector<IndexedField> IndexedFields(
      const std::vector<IndexOrder>& orders) const;
  // Inline: every record written passes here, and only the first change
  // (and the first after a flush) has anything to do.
  void MarkChanged() {
    if (!changed_ || !unflushed_) MarkFirstChange();
  }
  void MarkFirstChange();
  // Points records_ at `records`, telling the observers when it moved.
  // Inline: every append passes here, and the records seldom move.
  void MoveRecords(const char* records) {
    if (records != records_) TellRecordsMoved(records);
  }
  void TellRecordsMoved(const char* records);
  // Inline: most tables have no index to keep up to date.
  void UpdateIndexes(uint32_t recno, std::string_view record) {
    if (!orders_.empty() || !built_.empty()) UpdateEveryIndex(recno, record);
  }
  void UpdateEveryIndex(uint32_t recno, std::string_view record);
  void Finish();

  platform::FileSystem& files_;
  std::string path_;
  std::string display_;
  int users_ = 0;
  std::unique_ptr<TableFile> file_;
  bool writable_ = false;  // file_'s, which does not change
  DbfHeader header_;
  CodePage code_page_;
  std::unique_ptr<MemoFile> memo_;
  std::unique_ptr<FieldCodec> codec_;
  // The records, record_length bytes each, read whole when the file opens:
  // another program that cuts the file short afterwards changes nothing
  // that was read.
  RecordBuffer data_;
  const char* records_ = nullptr;  // data_.data(), set again when it moves
  std::vector<RecordsObserver*> observers_;
  uint32_t record_count_ = 0;
  uint32_t flushed_count_ = 0;        // records the header on disk claims
  std::set<uint32_t> dirty_;          // edited records not yet written
  bool changed_ = false;              // since open
  bool unflushed_ = false;            // since the last Flush
  bool descriptors_changed_ = false;  // autoincrement counters moved
  bool has_autoincrement_ = false;    // some field numbers new records
  bool has_production_index_ = false;
  std::vector<IndexOrder> orders_;  // from the production index; fixed size
  std::deque<IndexOrder> built_;    // built in memory; deque keeps addresses
};

}  // namespace tables
