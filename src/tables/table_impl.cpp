#include "tables/table_impl.h"

#include <algorithm>
#include <cstring>

#include "platform/letter_case.h"
#include "tables/files.h"
#include "tables/filter.h"
#include "tables/number_text.h"
#include "tables/table_error.h"

namespace tables {
namespace {

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

TableImpl::TableImpl(platform::FileSystem& files, std::string component_name,
                     const std::string& path, const std::string& display,
                     bool exclusive, bool read_only, int code_page)
    : component_name_(std::move(component_name)),
      display_(display),
      read_only_(read_only) {
  file_ = SharedFile::Acquire(files, path, display, exclusive, code_page);
  const auto& fields = file_->header().fields;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (!fields[i].hidden) visible_.push_back(static_cast<int>(i));
  }
  blank_ = file_->BlankRecord();
  file_->Watch(this);
  UpdateCurrent();
}

void TableImpl::UpdateCurrent() noexcept {
  if (file_ == nullptr) {
    current_ = {};
  } else if (state_ != TableState::kBrowse) {
    current_ = buffer_;
  } else if (recno_ == 0 || recno_ > file_->record_count()) {
    current_ = blank_;
  } else {
    current_ = file_->Record(recno_);
  }
}

TableImpl::~TableImpl() {
  try {
    Close();
  } catch (...) {
    // Destruction cannot report; Table::Close reports before we get here.
  }
}

void TableImpl::Close() {
  if (file_ == nullptr) return;
  state_ = TableState::kBrowse;
  SharedFile* file = file_;
  file_ = nullptr;
  current_ = {};
  file->Unwatch(this);
  SharedFile::Release(file);
}

void TableImpl::SetFilter(std::optional<std::string> expression) {
  CurrentUpdate update(this);
  filter_field_.reset();
  if (expression) {
    auto parsed = ParseFilter(*expression);
    if (!parsed) throw TableError::BadFilter(*expression);
    int index = FieldIndex(parsed->field);
    if (index < 0)
      throw TableError::FieldNotFound(component_name_, parsed->field);
    filter_field_ = Descriptor(index);
    filter_value_ = file_->code_page().Encode(parsed->value);
  }
  First();
}

void TableImpl::SetIndex(const std::string& tag) {
  CurrentUpdate update(this);
  PostPending();
  if (tag.empty()) {
    order_ = nullptr;
  } else {
    IndexOrder* order = file_->FindOrder(tag);
    if (order == nullptr) throw TableError::IndexNotFound(tag, display_);
    order_ = order;
  }
  First();
}

bool TableImpl::Visible(uint32_t recno) const {
  if (recno == 0 || recno > file_->record_count()) return false;
  std::string_view record = file_->Record(recno);
  if (record[0] == '*') return false;
  if (filter_field_ &&
      !FilterMatches(FieldCodec::Raw(record, *filter_field_), filter_value_))
    return false;
  return true;
}

bool TableImpl::SeekStored(uint32_t recno) {
  for (uint32_t r = recno; r <= file_->record_count(); ++r) {
    if (Visible(r)) {
      recno_ = r;
      eof_ = false;
      return true;
    }
  }
  eof_ = true;
  return false;
}

bool TableImpl::SeekOrdered(size_t position) {
  for (size_t p = position; p < order_->size(); ++p) {
    const uint32_t r = order_->RecnoAt(p);
    if (Visible(r)) {
      recno_ = r;
      eof_ = false;
      return true;
    }
  }
  eof_ = true;
  return false;
}

void TableImpl::First() {
  CurrentUpdate update(this);
  PostPending();
  recno_ = 0;
  if (order_ != nullptr) {
    SeekOrdered(0);
  } else {
    SeekStored(1);
  }
}

void TableImpl::Next() {
  CurrentUpdate update(this);
  PostPending();
  if (eof_) return;
  // At the end the last record stays current, as the cursor never leaves a
  // record once it stands on one.
  const uint32_t current = recno_;
  bool found;
  if (order_ != nullptr) {
    auto position = order_->PositionOf(current);
    found = position && SeekOrdered(*position + 1);
  } else {
    found = SeekStored(current + 1);
  }
  if (!found) {
    recno_ = current;
    eof_ = true;
  }
}

int64_t TableImpl::RecNo() const {
  if (state_ == TableState::kInsert) return 0;
  return recno_;
}

int64_t TableImpl::RecordCount() const {
  int64_t count = 0;
  for (uint32_t r = 1; r <= file_->record_count(); ++r) {
    if (Visible(r)) ++count;
  }
  return count;
}

int TableImpl::FieldIndex(std::string_view name) const {
  const auto& fields = file_->header().fields;
  for (size_t i = 0; i < visible_.size(); ++i) {
    if (platform::EqualIgnoringCase(
            fields[static_cast<size_t>(visible_[i])].name, name))
      return static_cast<int>(i);
  }
  return -1;
}

void TableImpl::FailNotEditing() const {
  throw TableError::NotEditing(component_name_);
}

void TableImpl::Append() {
  CurrentUpdate update(this);
  if (read_only_ || !file_->writable())
    throw TableError::ReadOnlyTable(display_);
  PostPending();
  if (buffer_.size() == blank_.size()) {  // the usual case: no allocation
    std::memcpy(buffer_.data(), blank_.data(), blank_.size());
  } else {
    buffer_ = blank_;
  }
  modified_ = false;
  state_ = TableState::kInsert;
  eof_ = false;
}

void TableImpl::Edit() {
  CurrentUpdate update(this);
  if (read_only_ || !file_->writable())
    throw TableError::ReadOnlyTable(display_);
  if (state_ != TableState::kBrowse) return;
  if (recno_ == 0 || recno_ > file_->record_count()) {
    Append();  // nothing to edit: a new record, as on an empty table
    return;
  }
  buffer_ = std::string(file_->Record(recno_));
  modified_ = false;
  state_ = TableState::kEdit;
}

void TableImpl::Store() {
  if (state_ == TableState::kInsert) {
    recno_ = file_->AppendRecord(buffer_);
    eof_ = false;
  } else if (modified_) {
    file_->WriteRecord(recno_, buffer_);
  }
  state_ = TableState::kBrowse;
  modified_ = false;
}

void TableImpl::Post() {
  CurrentUpdate update(this);
  if (state_ == TableState::kBrowse)
    throw TableError::NotEditing(component_name_);
  Store();
}

void TableImpl::PostPending() {
  if (state_ == TableState::kInsert && !modified_) {
    Cancel();  // an untouched new record is dropped
    return;
  }
  if (state_ != TableState::kBrowse) Store();
}

void TableImpl::Cancel() {
  CurrentUpdate update(this);
  if (state_ == TableState::kInsert) eof_ = recno_ == 0 || !Visible(recno_);
  state_ = TableState::kBrowse;
  modified_ = false;
  buffer_.clear();
}

bool TableImpl::FindKey(std::string_view value) {
  CurrentUpdate update(this);
  PostPending();
  if (order_ == nullptr) throw TableError::NoIndexSelected(display_);
  IndexKey key;
  if (order_->kind() == KeyKind::kCharacter) {
    std::string encoded = file_->code_page().Encode(value);
    // A text longer than the field can never equal a stored value.
    if (TrimTrailingBlanks(encoded).size() >
        static_cast<size_t>(order_->width()))
      return false;
    key.text = std::string(TrimTrailingBlanks(encoded));
    key.text.resize(static_cast<size_t>(order_->width()), ' ');
  } else {
    auto number = ParseFloat(value, DecimalSeparator());
    if (!number) number = ParseFloat(value, '.');
    if (!number) return false;
    key.number = *number;
  }
  for (size_t p = order_->LowerBound(key); p < order_->size(); ++p) {
    if (order_->Compare(order_->KeyAt(p), key) != 0) break;
    const uint32_t r = order_->RecnoAt(p);
    if (Visible(r)) {
      recno_ = r;
      eof_ = false;
      return true;
    }
  }
  return false;
}

bool TableImpl::Locate(std::string_view field, std::string_view value) {
  CurrentUpdate update(this);
  PostPending();
  int index = FieldIndex(field);
  if (index < 0) throw TableError::FieldNotFound(component_name_, field);
  const FieldDescriptor& descriptor = Descriptor(index);
  const FieldCodec& codec = file_->codec();
  const bool numeric =
      FieldCodec::IsNumeric(descriptor, file_->header().flavor);
  std::optional<double> wanted;
  if (numeric) {
    wanted = ParseFloat(value, DecimalSeparator());
    if (!wanted && !value.empty()) return false;
  }
  auto matches = [&](uint32_t r) {
    std::string_view record = file_->Record(r);
    if (numeric) return codec.Number(record, descriptor) == wanted;
    return codec.Text(record, descriptor) == value;
  };
  const size_t total =
      order_ != nullptr ? order_->size() : file_->record_count();
  for (size_t i = 0; i < total; ++i) {
    const uint32_t r =
        order_ != nullptr ? order_->RecnoAt(i) : static_cast<uint32_t>(i + 1);
    if (Visible(r) && matches(r)) {
      recno_ = r;
      eof_ = false;
      return true;
    }
  }
  return false;
}

}  // namespace tables
