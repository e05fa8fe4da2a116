#include "import/solution_check.h"

#include <exception>
#include <filesystem>
#include <optional>

#include "import/solution_transfer.h"
#include "platform/raw_file.h"
#include "shell/io_error.h"
#include "tables/header_counts.h"

namespace importing {
namespace {

constexpr int kHeaderStart = 32;  // the fixed part of a dBase header

// A field reached by name when a row first needs it, so that a solution
// whose rows never need a field may lack it, as the transfer allows.
class NeededField {
 public:
  NeededField(tables::Table& table, const char* name)
      : table_(table), name_(name) {}
  const char* name() const { return name_; }
  tables::Field& operator*() {
    if (!field_) field_ = table_.FieldByName(name_);
    return *field_;
  }

 private:
  tables::Table& table_;
  const char* name_;
  std::optional<tables::Field> field_;
};

}  // namespace

SolutionError SolutionError::Damaged(const std::string& detail) {
  return SolutionError(
      "El archivo SOLUC.DBF de C:\\QTEMP está dañado: " + detail +
      ".\nVuelva a guardar la solución en Quendrix y repita "
      "la importación");
}

SolutionError SolutionError::Unreadable(const std::string& engine_text,
                                        int64_t row, const std::string& field) {
  return SolutionError(engine_text + "\nC:\\QTEMP\\SOLUC.DBF, fila " +
                       std::to_string(row) + ", campo " + field);
}

void CheckSolutionFile(const std::string& native_path) {
  std::error_code error;
  const auto status = std::filesystem::status(native_path, error);
  if (std::filesystem::exists(status) &&
      !std::filesystem::is_regular_file(status)) {
    throw SolutionError::Damaged("no es un archivo normal");
  }
  platform::RawFile file;
  uint64_t size = 0;
  char header[kHeaderStart];
  size_t count = 0;
  int code = file.OpenForReading(native_path);
  if (code == 0) code = file.Size(&size);
  if (code == 0) code = file.Read(header, sizeof header, &count);
  if (code != 0) throw shell::IoError::FromCode(code);
  if (count < sizeof header) {
    throw SolutionError::Damaged("tiene " + std::to_string(size) +
                                 " bytes, menos que una cabecera");
  }
  const tables::HeaderCounts counts =
      tables::HeaderCountsOf({header, sizeof header});
  const uint64_t rows = counts.row_count;
  const uint64_t header_size = counts.header_length;
  const uint64_t record_size = counts.record_length;
  if (header_size <= kHeaderStart || header_size > size) {
    throw SolutionError::Damaged(
        "su cabecera dice ocupar " + std::to_string(header_size) +
        " bytes y el archivo tiene " + std::to_string(size));
  }
  if (record_size == 0) {
    throw SolutionError::Damaged("su cabecera da filas de 0 bytes");
  }
  const uint64_t present = (size - header_size) / record_size;
  if (present != rows) {
    throw SolutionError::Damaged("su cabecera dice " + std::to_string(rows) +
                                 " filas y el archivo contiene " +
                                 std::to_string(present));
  }
}

void CheckSolutionRows(tables::Table& soluc) {
  NeededField dia(soluc, "DIA"), hora(soluc, "HORA");
  NeededField texts[] = {
      {soluc, "TAREA"}, {soluc, "PROF"}, {soluc, "NIVEL"}, {soluc, "CURSO"}};
  NeededField group_texts[] = {
      {soluc, "ASIG"}, {soluc, "CODGRUPO"}, {soluc, "AULA"}};
  std::string nivel, curso, scratch;
  int64_t row = 1;
  const char* reading = dia.name();
  try {
    for (soluc.First(); !soluc.Eof(); soluc.Next(), ++row) {
      reading = dia.name();
      if ((*dia).AsInteger() == 0) continue;
      reading = hora.name();
      (*hora).AsInteger();
      for (NeededField& field : texts) {
        reading = field.name();
        (*field).AsStringView(scratch);
      }
      if (IsBlank((*texts[2]).AsStringView(nivel)) ||
          IsBlank((*texts[3]).AsStringView(curso))) {
        continue;
      }
      // The room is read as a number only when its text is one, which
      // cannot fail.
      for (NeededField& field : group_texts) {
        reading = field.name();
        (*field).AsStringView(scratch);
      }
    }
  } catch (const std::exception& error) {
    throw SolutionError::Unreadable(error.what(), row, reading);
  }
  soluc.First();
}

}  // namespace importing
