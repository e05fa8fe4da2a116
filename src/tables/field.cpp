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

std::string Padded(int value, int width) {
  std::string text = std::to_string(value);
  return std::string(text.size() < static_cast<size_t>(width)
                         ? static_cast<size_t>(width) - text.size()
                         : 0,
                     '0') +
         text;
}

}  // namespace

Field::Field(TableImpl* table, int index)
    : table_(table),
      descriptor_(&table->Descriptor(index)),
      text_reader_(table->codec().TextReaderFor(*descriptor_)),
      text_writer_(table->codec().TextWriterFor(*descriptor_)),
      integer_writer_(table->codec().IntegerWriterFor(*descriptor_)) {}

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
  FieldCodec::KeepText(AsStringView(out), out);
}

std::string_view Field::AsStringView(std::string& buffer) const {
  return text_reader_(table_->codec(), *descriptor_, table_->CurrentRecord(),
                      buffer);
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
  const FieldCodec& codec = table_->codec();
  std::string_view record = table_->CurrentRecord();
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
  const FieldCodec& codec = table_->codec();
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
  const FieldCodec& codec = table_->codec();
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
  return table_->codec()
      .Boolean(table_->CurrentRecord(), *descriptor_)
      .value_or(false);
}

bool Field::IsNull() const {
  return table_->codec().IsNull(table_->CurrentRecord(), *descriptor_);
}

void Field::SetAsString(std::string_view value) {
  text_writer_(table_->codec(), *descriptor_, table_->EditableRecord(), value);
}

void Field::SetAsInteger(int64_t value) {
  integer_writer_(table_->codec(), *descriptor_, table_->EditableRecord(),
                  value);
}

void Field::SetAsFloat(double value) {
  std::string& record = table_->EditableRecord();
  table_->codec().SetNumber(record, *descriptor_, value);
}

void Field::SetAsBoolean(bool value) {
  std::string& record = table_->EditableRecord();
  table_->codec().SetBoolean(record, *descriptor_, value);
}

void Field::Clear() {
  std::string& record = table_->EditableRecord();
  table_->codec().Clear(record, *descriptor_);
}

std::string IsoDateText(double days, bool with_time) {
  const double whole = std::floor(days);
  int year, month, day;
  CivilFromDays(static_cast<int64_t>(whole), &year, &month, &day);
  std::string text =
      Padded(year, 4) + "-" + Padded(month, 2) + "-" + Padded(day, 2);
  if (with_time) {
    auto seconds = static_cast<int>(std::llround((days - whole) * 86400.0));
    if (seconds >= 86400) seconds = 86399;
    text += "T" + Padded(seconds / 3600, 2) + ":" +
            Padded(seconds / 60 % 60, 2) + ":" + Padded(seconds % 60, 2);
  }
  return text;
}

}  // namespace tables
