#pragma once

// The teacher identity check of the import run: every PROFT teacher needs an
// identity number (DNI) before the timetables can be rebuilt.

#include <memory>

#include "shell/transfer_context.h"
#include "tables/table.h"

namespace importing {

inline constexpr char kProftPath[] = "C:\\QTEMP\\PROFT.DBF";

// True when some row of the open table, walked in stored order from its
// first row, has DNI 0 (an empty DNI reads as 0).
bool SomeTeacherLacksDni(tables::Table& proft);

// Opens PROFT. When a teacher lacks a DNI, closes it, shows the teacher
// identity window and looks again. Returns the open PROFT once every
// teacher has a DNI; otherwise shows the three-line message, sets the
// default cursor, closes the transfer window and returns nullptr.
std::unique_ptr<tables::Table> CheckTeacherIdentities(
    shell::TransferContext& context);

}  // namespace importing
