#include "tables/field.h"

#include <cmath>

#include "tables/field_codec.h"
#include "tables/files.h"
#include "tables/number_text.h"
#include "tables/table_error.h"
#include "tables/table_impl.h"

namespace tables {
namespace {

bool IsTextColumn(char type) {
  return type == 'C' || type == 'V' || type == 'M';
}

}  // namespace

Field::Field(TableImpl* table, int index)
    : table_(table),
      state_(table->state_address()),
      modified_(table->modified_address()),
      edit_buffer_(table->buffer_address()),
      record_(table->current_record()),
      descriptor_(&table->Descriptor(index)),
      codec_(&table->codec()),
      text_reader_(codec_->TextReaderFor(*descriptor_)),
      text_writer_(codec_->TextWriterFor(*descriptor_)),
      integer_writer_(codec_->IntegerWriterFor(*descriptor_)) {}

const std::string& Field::Name() const { return descriptor_->name; }

char Field::TypeLetter() const { return descriptor_->type; }

int Field::Size() const { return descriptor_->length; }

int Field::Decimals() const { return descriptor_->decimals; }

std::string Field::AsString() const {
  std::string text;
  ReadAsString(text);
  return text;
}

void Field::ReadAsString(std::string& out) const {
  FieldCodec::KeepText(text_reader_(*codec_, *descriptor_, *record_, out), out);
}

std::string Field::StoredNumberText() const {
  const FieldDescriptor& field = *descriptor_;
  if (field.type != 'N' && field.type != 'F') return AsString();
  std::string_view raw = FieldCodec::Raw(table_->CurrentRecord(), field);
  const size_t first = raw.find_first_not_of(" \0");
  if (first == std::string_view::npos) return "";
  raw = raw.substr(first, raw.find_last_not_of(" \0") + 1 - first);
  // Anything but plain digits and signs is shown the way AsString shows
  // text that is no number.
  if (!CodePage::IsAscii(raw)) return AsString();
  return std::string(raw);
}

int64_t Field::AsInteger() const {
  const FieldDescriptor& field = *descriptor_;
  const FieldCodec& codec = *codec_;
  std::string_view record = table_->CurrentRecord();
  if (int64_t whole; codec.StoredWhole(record, field, &whole)) return whole;
  if (FieldCodec::IsNumeric(field, DbfFlavor::kVisualFoxPro) &&
      !(field.type == 'B' && codec.IsMemo(field))) {
    auto value = codec.Number(record, field);
    if (!value) return 0;
    const double rounded = std::nearbyint(*value);
    if (!(std::fabs(rounded) < 9.2e18))
      throw TableError::NotAnInteger(FormatNumber(*value, DecimalSeparator()));
    return static_cast<int64_t>(rounded);
  }
  if (FieldCodec::IsDate(field))
    return static_cast<int64_t>(codec.DateTime(record, field).value_or(0.0));
  if (field.type == 'L') return codec.Boolean(record, field).value_or(false);
  std::string text = codec.Text(record, field);
  if (text.empty()) return 0;
  auto value = ParseInteger(text);
  if (!value) throw TableError::NotAnInteger(text);
  return *value;
}

double Field::AsFloat() const {
  const FieldDescriptor& field = *descriptor_;
  const FieldCodec& codec = *codec_;
  std::string_view record = table_->CurrentRecord();
  if (FieldCodec::IsNumeric(field, DbfFlavor::kVisualFoxPro) &&
      !(field.type == 'B' && codec.IsMemo(field)))
    return codec.Number(record, field).value_or(0.0);
  if (FieldCodec::IsDate(field))
    return codec.DateTime(record, field).value_or(0.0);
  if (field.type == 'L')
    return codec.Boolean(record, field).value_or(false) ? 1.0 : 0.0;
  std::string text = codec.Text(record, field);
  if (text.empty()) return 0.0;
  auto value = ParseFloat(text, DecimalSeparator());
  if (!value) throw TableError::NotAFloat(text);
  return *value;
}

double Field::AsDateTime() const {
  const FieldDescriptor& field = *descriptor_;
  const FieldCodec& codec = *codec_;
  std::string_view record = table_->CurrentRecord();
  if (FieldCodec::IsDate(field))
    return codec.DateTime(record, field).value_or(0.0);
  if (IsTextColumn(field.type)) {
    std::string text = codec.Text(record, field);
    if (text.empty()) return 0.0;
    // A text column holding a date: write it through a scratch D field.
    FieldDescriptor date_field{"", 'D', 1, 8, 0};
    std::string scratch(9, ' ');
    codec.SetText(scratch, date_field, text);
    return codec.DateTime(scratch, date_field).value_or(0.0);
  }
  return AsFloat();
}

bool Field::AsBoolean() const {
  return (*codec_)
      .Boolean(table_->CurrentRecord(), *descriptor_)
      .value_or(false);
}

bool Field::IsNull() const {
  return codec_->IsNull(table_->CurrentRecord(), *descriptor_);
}

void Field::FailNotEditing() const { table_->FailNotEditing(); }

void Field::SetAsFloat(double value) {
  std::string& record = EditableRecord();
  codec_->SetNumber(record, *descriptor_, value);
}

void Field::SetAsBoolean(bool value) {
  std::string& record = EditableRecord();
  codec_->SetBoolean(record, *descriptor_, value);
}

void Field::Clear() {
  std::string& record = EditableRecord();
  codec_->Clear(record, *descriptor_);
}

}  // namespace tables
