#pragma once

// Reading and writing one field of a record buffer, for every column type
// the engine knows. The buffer is the raw record, deletion flag first.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "tables/code_page.h"
#include "tables/dbf_header.h"

namespace tables {

class MemoFile;

class FieldCodec {
 public:
  // `memo` may be null when the table has no memo file; reading a memo
  // field then yields "".
  // `display` names the table in errors.
  FieldCodec(const DbfHeader& header, const CodePage& code_page, MemoFile* memo,
             std::string display)
      : header_(header),
        code_page_(code_page),
        memo_(memo),
        display_(std::move(display)) {}

  bool IsNull(std::string_view record, const FieldDescriptor& field) const;
  // The value as text: trailing fill blanks removed, numbers in shortest
  // form with the user's separator, dates as dd/mm/yyyy, logicals as T/F.
  std::string Text(std::string_view record, const FieldDescriptor& field) const;
  // The same into `out`, replacing its content and keeping its capacity, so
  // that walking a table reads character, number, date and logical columns
  // without an allocation per field.
  void TextInto(std::string_view record, const FieldDescriptor& field,
                std::string& out) const;
  // The same text without a copy where the stored bytes already are it
  // (ASCII text, whole numbers in shortest form); otherwise it is made in
  // `buffer`. Valid while `record` and `buffer` are unchanged.
  std::string_view TextView(std::string_view record,
                            const FieldDescriptor& field,
                            std::string& buffer) const;
  // What TextView does for one column, chosen once for its type and code
  // page, so that a walk over many rows does not decide again on every read.
  // A text made in `buffer` is returned as a view of its own length; the
  // buffer may be longer.
  using TextReaderFunction = std::string_view(const FieldCodec& codec,
                                              const FieldDescriptor& field,
                                              std::string_view record,
                                              std::string& buffer);
  using TextReader = TextReaderFunction*;
  TextReader TextReaderFor(const FieldDescriptor& field) const;
  // What SetText and SetInteger do for one column, chosen once in the same
  // way: plain character columns store ASCII text, and whole-number columns
  // small numbers, without deciding again on every write. Anything else goes
  // through SetText and SetInteger.
  using TextWriterFunction = void(const FieldCodec& codec,
                                  const FieldDescriptor& field,
                                  std::string& record, std::string_view utf8);
  using TextWriter = TextWriterFunction*;
  TextWriter TextWriterFor(const FieldDescriptor& field) const;
  using IntegerWriterFunction = void(const FieldCodec& codec,
                                     const FieldDescriptor& field,
                                     std::string& record, int64_t value);
  using IntegerWriter = IntegerWriterFunction*;
  IntegerWriter IntegerWriterFor(const FieldDescriptor& field) const;
  // `text` (from a TextReader into `out`) as the whole content of `out`.
  static void KeepText(std::string_view text, std::string& out);
  // Numeric columns (N F I + B Y O): the value, nullopt when empty.
  std::optional<double> Number(std::string_view record,
                               const FieldDescriptor& field) const;
  // Date columns (D T @): days since 1899-12-30; nullopt when empty.
  std::optional<double> DateTime(std::string_view record,
                                 const FieldDescriptor& field) const;
  // L columns: nullopt when unset.
  std::optional<bool> Boolean(std::string_view record,
                              const FieldDescriptor& field) const;
  // The raw bytes of the field (for index keys and filters).
  // Inline: every read of a field starts here.
  static std::string_view Raw(std::string_view record,
                              const FieldDescriptor& field) {
    return record.substr(static_cast<size_t>(field.offset),
                         static_cast<size_t>(field.length));
  }

  static bool IsNumeric(const FieldDescriptor& field, DbfFlavor flavor);
  static bool IsDate(const FieldDescriptor& field);
  bool IsMemo(const FieldDescriptor& field) const;

  // Writers. Each throws TableError on a value the column cannot hold.
  void SetText(std::string& record, const FieldDescriptor& field,
               std::string_view utf8) const;
  void SetNumber(std::string& record, const FieldDescriptor& field,
                 double value) const;
  void SetInteger(std::string& record, const FieldDescriptor& field,
                  int64_t value) const;
  void SetBoolean(std::string& record, const FieldDescriptor& field,
                  bool value) const;
  void SetDateTime(std::string& record, const FieldDescriptor& field,
                   double days) const;
  void Clear(std::string& record, const FieldDescriptor& field) const;

 private:
  // True when the Visual FoxPro null flag of `field` is set.
  bool NullFlagged(std::string_view record, const FieldDescriptor& field) const;
  // Inline: only Visual FoxPro's nullable columns have a flag to set.
  void SetNull(std::string& record, const FieldDescriptor& field,
               bool null) const {
    if (field.null_bit >= 0) SetNullFlag(record, field, null);
  }
  void SetNullFlag(std::string& record, const FieldDescriptor& field,
                   bool null) const;
  void PutBinaryNumber(std::string& record, const FieldDescriptor& field,
                       double value) const;
  std::string MemoText(std::string_view record,
                       const FieldDescriptor& field) const;
  // The readers TextReaderFor chooses from; ReadGeneralText reads through
  // the values, ReadAnyType decides by the column type on every read.
  static TextReaderFunction ReadSingleByteText, ReadWholeNumber,
      ReadDecimalNumber, ReadDate, ReadLogical, ReadGeneralText, ReadAnyType;
  // The writers TextWriterFor and IntegerWriterFor choose from.
  static TextWriterFunction WritePlainText, WriteAnyText;
  static IntegerWriterFunction WriteWholeNumber, WriteAnyInteger;
  // Text() for the cases TextInto has no shortcut for.
  std::string GeneralText(std::string_view record,
                          const FieldDescriptor& field) const;

  const DbfHeader& header_;
  const CodePage& code_page_;
  MemoFile* memo_;
  std::string display_;
};

// Calendar helpers: days since 1899-12-30 for a civil date and back.
int64_t DaysFromCivil(int year, int month, int day);
void CivilFromDays(int64_t days, int* year, int* month, int* day);

}  // namespace tables
