#include "tables/shared_file.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <system_error>

#include "platform/letter_case.h"
#include "tables/files.h"
#include "tables/little_endian.h"
#include "tables/table_error.h"

namespace tables {
namespace {

// Appended records are written out once this many bytes wait in memory.
constexpr size_t kFlushThreshold = 1 << 20;

std::map<std::string, SharedFile*>& Registry() {
  static std::map<std::string, SharedFile*> registry;
  return registry;
}

void Today(int* year, int* month, int* day) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  *year = local.tm_year + 1900;
  *month = local.tm_mon + 1;
  *day = local.tm_mday;
}

}  // namespace

SharedFile* SharedFile::Acquire(platform::FileSystem& files,
                                const std::string& path,
                                const std::string& display, bool exclusive,
                                int code_page) {
  const std::string key = files.Identity(path);
  auto it = Registry().find(key);
  if (it != Registry().end()) {
    SharedFile* file = it->second;
    const int wanted = code_page != 0 ? code_page : file->header_.code_page;
    if (wanted != file->code_page_.number())
      throw TableError::TableOpenHere(display);
    ++file->users_;
    return file;
  }
  auto* file = new SharedFile(files, path, display, exclusive, code_page);
  file->users_ = 1;
  Registry()[key] = file;
  return file;
}

bool SharedFile::IsOpen(platform::FileSystem& files, const std::string& path) {
  return Registry().count(files.Identity(path)) != 0;
}

void SharedFile::Release(SharedFile* file) {
  if (--file->users_ > 0) {
    file->Flush();
    return;
  }
  Registry().erase(file->files_.Identity(file->path_));
  std::unique_ptr<SharedFile> owned(file);  // deleted even when Finish throws
  owned->Finish();
}

SharedFile::SharedFile(platform::FileSystem& files, const std::string& path,
                       const std::string& display, bool exclusive,
                       int code_page)
    : files_(files), path_(path), display_(display) {
  file_ = TableFile::Open(
      files, path, display, /*writable=*/true,
      exclusive ? platform::FileLock::kExclusive : platform::FileLock::kShared);
  writable_ = file_->writable();
  const uint64_t size = file_->Size();
  const std::string head = ReadHeaderBytes(*file_, size);
  header_ = ParseHeader(head, size, display_);
  code_page_ = CodePage(code_page != 0 ? code_page : header_.code_page);
  LoadRecords(size);
  OpenMemo();
  codec_ =
      std::make_unique<FieldCodec>(header_, code_page_, memo_.get(), display_);
  OpenProductionIndex();
}

// What is really in the file decides how many records there are:
// - a header count larger than the whole records present (some writers
//   never update it, and a copy may have been cut short) gives the whole
//   records present; a partial record at the end is left out;
// - a header count smaller than the whole records present gives the records
//   present too (a writer that stores records before the header, as we do,
//   may have stopped in between), unless an end-of-file byte follows the
//   counted records: then what lies after it is not data.
void SharedFile::LoadRecords(uint64_t file_size) {
  const uint64_t length = header_.record_length;
  const uint64_t data_size = file_size - header_.header_length;
  const uint64_t whole = data_size / length;
  uint64_t count = whole;
  char marker = 0;
  if (header_.record_count < whole &&
      file_->ReadAt(header_.header_length + header_.record_count * length,
                    &marker, 1) == 1 &&
      marker == '\x1A') {
    count = header_.record_count;
  }
  if (count > 0xFFFFFFFEull)
    throw TableError::CorruptTable(display_, "demasiados registros");
  const auto size = static_cast<size_t>(count * length);
  data_.ResizeToFill(size);
  if (file_->ReadAt(header_.header_length, data_.data(), data_.size()) !=
      data_.size())
    throw TableError::CorruptTable(display_, "lectura incompleta");
  records_ = data_.data();
  has_autoincrement_ = std::any_of(header_.fields.begin(), header_.fields.end(),
                                   [](const FieldDescriptor& field) {
                                     return field.autoincrement_step != 0;
                                   });
  record_count_ = static_cast<uint32_t>(count);
  flushed_count_ = record_count_;
  // A header that disagrees with the data is put right by the next Flush
  // after a change; reading alone never writes.
  header_.record_count = record_count_;
}

void SharedFile::OpenMemo() {
  const MemoKind kind = header_.memo_kind();
  if (kind == MemoKind::kNone) return;
  const char* extension = kind == MemoKind::kFpt ? ".fpt" : ".dbt";
  std::string memo_path = SiblingPath(files_, path_, extension);
  std::string memo_display = display_;
  size_t dot = memo_display.rfind('.');
  if (dot != std::string::npos) memo_display.resize(dot);
  memo_display += kind == MemoKind::kFpt ? ".fpt" : ".dbt";
  memo_ = std::make_unique<MemoFile>(files_, kind, memo_path, memo_display,
                                     file_->writable());
}

std::vector<IndexedField> SharedFile::IndexedFields(
    const std::vector<IndexOrder>& orders) const {
  std::vector<IndexedField> fields;
  if (orders.empty()) {  // all fields, for reading
    for (const FieldDescriptor& field : header_.fields)
      fields.push_back({field.name, field.type, field.length, field.decimals});
    return fields;
  }
  for (const IndexOrder& order : orders) {
    int index = FieldIndexOf(order.field());
    const FieldDescriptor& field =
        header_.fields[static_cast<size_t>(std::max(index, 0))];
    fields.push_back({field.name, field.type, field.length, field.decimals});
  }
  return fields;
}

void SharedFile::OpenProductionIndex() {
  const bool dbase = header_.flavor != DbfFlavor::kFoxPro &&
                     header_.flavor != DbfFlavor::kVisualFoxPro;
  if (!dbase || header_.production_index == 0) return;
  std::string mdx = SiblingPath(files_, path_, ".mdx");
  if (!files_.Exists(mdx)) return;
  orders_ = ReadProductionIndex(files_, mdx, IndexedFields({}), record_count_);
  has_production_index_ = true;
}

int SharedFile::FieldIndexOf(std::string_view name) const {
  for (size_t i = 0; i < header_.fields.size(); ++i) {
    if (!header_.fields[i].hidden &&
        platform::EqualIgnoringCase(header_.fields[i].name, name))
      return static_cast<int>(i);
  }
  return -1;
}

std::string SharedFile::BlankRecord() const {
  std::string record(header_.record_length, ' ');
  for (const FieldDescriptor& field : header_.fields) {
    if (field.type == '0') {
      std::fill_n(record.begin() + field.offset, field.length, '\0');
    } else {
      codec_->Clear(record, field);
    }
  }
  return record;
}

void SharedFile::Unwatch(RecordsObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer),
                   observers_.end());
}

void SharedFile::TellRecordsMoved(const char* records) {
  records_ = records;
  for (RecordsObserver* observer : observers_) observer->RecordsMoved();
}

void SharedFile::MarkFirstChange() {
  if (!file_->writable()) throw TableError::ReadOnlyTable(display_);
  if (!changed_) {
    // Two processes writing one file would overwrite each other's records:
    // the first change takes the file for this process alone.
    file_->LockExclusive();
    // An index file on disk no longer matches once data changes: say so on
    // disk before any data byte is written. For dBase that is the .MDX
    // flag (written again at close when we keep the index); for FoxPro
    // the structural .CDX bit, which we cannot keep up to date.
    const uint8_t cleared =
        IndexFlagAfterRowsChange(header_.version, header_.production_index);
    if (cleared != header_.production_index) {
      const char byte = static_cast<char>(cleared);
      file_->WriteAt(28, &byte, 1);
      header_.production_index = cleared;
    }
  }
  changed_ = true;
  unflushed_ = true;
}

void SharedFile::WriteRecord(uint32_t recno, const std::string& record) {
  MarkChanged();
  const size_t length = header_.record_length;
  std::copy(record.begin(), record.end(), data_.data() + (recno - 1) * length);
  if (recno <= flushed_count_) dirty_.insert(recno);
  UpdateIndexes(recno, record);
}

uint32_t SharedFile::AppendRecord(const std::string& record) {
  if (record_count_ >= 0xFFFFFFFEu)
    throw TableError::CorruptTable(display_, "demasiados registros");
  MarkChanged();
  // Stored in place at the end of the data: no copy of the record first.
  const size_t at = data_.size();
  data_.Append(record);
  MoveRecords(data_.data());
  for (FieldDescriptor& field : header_.fields) {
    if (!has_autoincrement_) break;  // most tables: no walk over the fields
    if (field.autoincrement_step == 0) continue;
    // The next number of the table, as Visual FoxPro hands it out.
    StoreLe(data_.data() + at + static_cast<size_t>(field.offset),
            field.autoincrement_next, 4);
    field.autoincrement_next += field.autoincrement_step;
    descriptors_changed_ = true;
  }
  const uint32_t recno = ++record_count_;
  UpdateIndexes(recno, std::string_view(data_.data() + at, record.size()));
  if ((record_count_ - flushed_count_) * uint64_t{header_.record_length} >=
      kFlushThreshold)
    Flush();
  return recno;
}

void SharedFile::Flush() {
  if (!unflushed_ || !file_->writable()) return;
  const uint64_t length = header_.record_length;
  for (uint32_t recno : dirty_) {
    file_->WriteAt(header_.header_length + (recno - 1) * length,
                   Record(recno).data(), length);
  }
  dirty_.clear();
  // Appended records and the end-of-file byte first, the header after.
  // The records go straight from memory, the end byte in a write of its own.
  const uint64_t tail_at = header_.header_length + flushed_count_ * length;
  const size_t appended = data_.size() - flushed_count_ * length;
  file_->WriteAt(tail_at, data_.data() + flushed_count_ * length, appended);
  const char end_of_file = '\x1A';
  file_->WriteAt(tail_at + appended, &end_of_file, 1);
  const uint64_t tail_end = tail_at + appended + 1;
  if (file_->Size() > tail_end) file_->Truncate(tail_end);
  if (descriptors_changed_) {
    for (const FieldDescriptor& field : header_.fields) {
      if (field.autoincrement_step == 0) continue;
      char next[4];
      StoreLe(next, field.autoincrement_next, 4);
      file_->WriteAt(field.descriptor_at + 19, next, sizeof next);
    }
    descriptors_changed_ = false;
  }
  Today(&header_.year, &header_.month, &header_.day);
  header_.record_count = record_count_;
  std::string fixed = SerializeFixedPart(header_);
  file_->WriteAt(0, fixed.data(), 12);  // version, date, count, lengths
  flushed_count_ = record_count_;
  unflushed_ = false;
}

void SharedFile::Finish() {
  Flush();
  if (changed_ && has_production_index_) {
    std::string name = path_;
    size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.resize(dot);
    WriteProductionIndex(files_, SiblingPath(files_, path_, ".mdx"), name,
                         IndexedFields(orders_), orders_);
    const char present = 1;
    file_->WriteAt(28, &present, 1);
  }
}

IndexKey SharedFile::KeyOf(const IndexOrder& order,
                           std::string_view record) const {
  IndexKey key;
  int index = FieldIndexOf(order.field());
  if (index < 0) return key;
  const FieldDescriptor& field = header_.fields[static_cast<size_t>(index)];
  if (order.kind() == KeyKind::kCharacter) {
    key.text = std::string(FieldCodec::Raw(record, field));
    key.text.resize(static_cast<size_t>(order.width()), ' ');
  } else if (FieldCodec::IsDate(field)) {
    key.number = codec_->DateTime(record, field).value_or(0.0);
  } else {
    try {
      key.number = codec_->Number(record, field).value_or(0.0);
    } catch (const TableError&) {
      key.number = 0.0;  // an unreadable number sorts as zero
    }
  }
  return key;
}

void SharedFile::UpdateEveryIndex(uint32_t recno, std::string_view record) {
  for (IndexOrder& order : orders_) order.Set(recno, KeyOf(order, record));
  for (IndexOrder& order : built_) order.Set(recno, KeyOf(order, record));
}

IndexOrder* SharedFile::FindOrder(std::string_view tag) {
  for (IndexOrder& order : orders_) {
    if (platform::EqualIgnoringCase(order.tag(), tag)) return &order;
  }
  if (has_production_index_) return nullptr;
  for (IndexOrder& order : built_) {
    if (platform::EqualIgnoringCase(order.tag(), tag)) return &order;
  }
  // Without an index file a tag is named after its field.
  int index = FieldIndexOf(tag);
  if (index < 0) return nullptr;
  const FieldDescriptor& field = header_.fields[static_cast<size_t>(index)];
  const bool numeric =
      FieldCodec::IsNumeric(field, header_.flavor) || FieldCodec::IsDate(field);
  built_.emplace_back(field.name, field.name,
                      numeric ? KeyKind::kNumeric : KeyKind::kCharacter,
                      field.length);
  IndexOrder& order = built_.back();
  for (uint32_t recno = 1; recno <= record_count_; ++recno)
    order.Set(recno, KeyOf(order, Record(recno)));
  return &order;
}

}  // namespace tables
