#pragma once

// The import run: brings the timetable that the timetabling program left in
// C:\QTEMP\SOLUC.DBF back into the administration's horgrup and horprof.

#include <cstdint>

#include "shell/transfer_context.h"

namespace importing {

inline constexpr char kAsigvaltPath[] = "C:\\QTEMP\\ASIGVALT.DBF";

// What a run did.
struct ImportResult {
  bool completed = false;  // both timetables were replaced
  int64_t lessons = 0;     // rows appended to horprof, one per lesson
  int64_t group_rows = 0;  // rows appended to horgrup
};

// The import, started by the window's import button and by
// `transquendra import`. Reaches the person only through
// context.ui(): the opening warning, the two control windows, the final
// message. Errors of the engine and of file input and output are not caught;
// they end the run where they happen and reach the caller, which shows them.
// The busy cursor is set back on every way out, an error included. The
// administration folder is changed only at the very end, by an atomic
// replace of both files after a dated backup; other centres' rows of the
// timetables are kept. The whole run holds the TransferLock: while another
// transfer runs it throws TransferError::Busy before the warning. Before the
// working copies are emptied the solution is checked strictly
// (solution_check.h): a damaged one throws SolutionError and changes
// nothing. A run that ends on a message of its own returns completed false.
ImportResult ImportTimetables(shell::TransferContext& context);

}  // namespace importing
