#pragma once

// The solution is checked strictly before the working copies are emptied.
// The engine reads whatever a table really holds, which is right for looking
// at old files; but a solution cut short, or one whose header lies, would
// replace the centre's timetable with part of it or with nothing. So the
// import refuses such a file and changes nothing.

#include <cstdint>
#include <stdexcept>
#include <string>

#include "tables/table.h"

namespace importing {

class SolutionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;

  // "El archivo SOLUC.DBF de C:\QTEMP está dañado: <detail>.\nVuelva a
  // guardar la solución en Quendrix y repita la importación"
  static SolutionError Damaged(const std::string& detail);
  // The engine's own text for a value or a field it cannot read, and on a
  // second line the file, the row (counted from 1 in stored order) and the
  // field.
  static SolutionError Unreadable(const std::string& engine_text, int64_t row,
                                  const std::string& field);
};

// Checks the header of the solution file at `native_path` against its
// length: the header lies within the file, and the whole records after it
// are exactly as many as the header says. Throws SolutionError::Damaged.
// (A check of any dBase file; it belongs to the engine once the engine
// offers strict opening.)
void CheckSolutionFile(const std::string& native_path);

// Reads every row of the open `soluc` as the solution transfer will: DIA as
// an integer, and for a row whose DIA is not 0, HORA as an integer and the
// texts it uses. Leaves the table on its first row. Throws
// SolutionError::Unreadable for the first read that fails.
void CheckSolutionRows(tables::Table& soluc);

}  // namespace importing
