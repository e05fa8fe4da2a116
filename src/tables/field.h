#pragma once

// A handle to one field of an open table's current record. It is cheap to
// copy and stays valid while the table stays open.

#include <cstdint>
#include <string>
#include <string_view>

namespace tables {

enum class TableState { kInactive, kBrowse, kEdit, kInsert };

class TableImpl;
class FieldCodec;
struct FieldDescriptor;

class Field {
 public:
  // REQUIRES: `table` is open and `index` is one of its visible fields.
  Field(TableImpl* table, int index);

  const std::string& Name() const;  // as stored in the header (upper-case)
  char TypeLetter() const;          // the dBase column type: 'C', 'N', 'I', ...
  int Size() const;                 // column width in bytes
  int Decimals() const;

  // Reading. Text comes back without trailing fill blanks. A number reads as
  // its shortest decimal text (at most 15 significant digits, the user's
  // decimal separator). An empty value reads as "", 0, 0.0 or date-time 0.
  // A memo reads as its text. Null reads as empty.
  std::string AsString() const;
  // AsString into `out`, replacing its content. A loop that reads many
  // values into one string keeps its capacity and allocates nothing.
  void ReadAsString(std::string& out) const;
  // For N and F columns: the number as the file stores it, blanks around it
  // trimmed, every digit kept however wide the column ("1234567890123456789"
  // in an N(19,0), "12.50"). Other columns: AsString().
  std::string StoredNumberText() const;
  // AsString without a copy: a view of the stored bytes when they already
  // are the text (ASCII text, whole numbers), else of the text made in
  // `buffer`. Valid until the cursor moves, the record changes or `buffer`
  // is used again. For walking large tables.
  std::string_view AsStringView(std::string& buffer) const;
  // Fails with "'%s' no es un valor entero válido" for text that is no whole
  // number.
  int64_t AsInteger() const;
  // Fails with "'%s' no es un valor punto flotante válido".
  double AsFloat() const;
  // Days since 1899-12-30, with the time of day as the fraction; 0 when empty.
  double AsDateTime() const;
  bool AsBoolean() const;
  bool IsNull() const;  // empty, or flagged null in a Visual FoxPro table

  // Writing. REQUIRES: the table is in edit or insert state. Text is cut to
  // the field width in the table's code page (never inside a character);
  // empty text empties a numeric field. Text that is no whole number fails
  // on an integer field with "'%s' no es un valor entero válido para el
  // campo '%s'".
  void SetAsString(std::string_view value);
  void SetAsInteger(int64_t value);
  void SetAsFloat(double value);
  void SetAsBoolean(bool value);
  void Clear();

 private:
  TableImpl* table_;
  // The column in the table's header, which stays put while the table is
  // open.
  const FieldDescriptor* descriptor_;
  // How this column reads as text, chosen by the table's codec when the
  // handle is made (FieldCodec::TextReaderFor).
  std::string_view (*text_reader_)(const FieldCodec& codec,
                                   const FieldDescriptor& field,
                                   std::string_view record,
                                   std::string& buffer);
  // How text and whole numbers are written to it, chosen in the same way
  // (FieldCodec::TextWriterFor, FieldCodec::IntegerWriterFor).
  void (*text_writer_)(const FieldCodec& codec, const FieldDescriptor& field,
                       std::string& record, std::string_view utf8);
  void (*integer_writer_)(const FieldCodec& codec, const FieldDescriptor& field,
                          std::string& record, int64_t value);
};

// A date as AsDateTime reads it (days since 1899-12-30) in ISO 8601:
// YYYY-MM-DD, with THH:MM:SS when `with_time` (seconds rounded, never past
// 23:59:59).
std::string IsoDateText(double days, bool with_time);

}  // namespace tables
