#pragma once

// The import's report page, C:\QTEMP\HORARIOS.html: what the import found in
// the solution, row by row, and then the week of every group and every
// teacher as a grid of days by periods, with an index at the top.

#include <cstdint>

#include "import/period_times.h"
#include "import/solution_notes.h"
#include "shell/transfer_context.h"
#include "tables/table.h"

namespace importing {

inline constexpr char kWeekPagePath[] = "C:\\QTEMP\\HORARIOS.html";

// Writes the page from `notes`, with the teachers' names from `proft` (open)
// and the groups' descriptions from GRUPOST where it can be read. Records
// the rows written and the page in context.report. Never throws.
void WriteWeekPage(shell::TransferContext& context, const SolutionNotes& notes,
                   const PeriodTimes& times, tables::Table& proft,
                   int64_t horprof_rows, int64_t horgrup_rows);

}  // namespace importing
