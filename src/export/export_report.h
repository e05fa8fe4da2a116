#pragma once

// The export's report page, C:\QTEMP\INFORME_EXPORTACION.html: the run's
// date and administration folder, the rows of each intermediate table, and
// one section per kind of case that the steps noted in context.report.

#include <string>

#include "shell/transfer_context.h"

namespace exporting {

inline constexpr char kExportReportPath[] =
    "C:\\QTEMP\\INFORME_EXPORTACION.html";

// The nine intermediate tables, in the order the steps write them, and the
// step (1 to 7) that writes each.
struct IntermediateTableOfStep {
  const char* name;
  int step;
};
inline constexpr IntermediateTableOfStep kIntermediateTables[] = {
    {"ASIGVALT", 1}, {"ASIGNOMT", 1}, {"PROFT", 2},
    {"AULAT", 3},    {"ALUMNOST", 4}, {"ASIGCURT", 5},
    {"GRUPOST", 6},  {"CURSOST", 6},  {"ASIGT", 7}};

// Counts the rows of the tables of the steps that began (`steps_started`),
// fills context.report.table_rows and writes the page. `failure` is the
// error that ended the run, empty for a completed run; a failed run's page
// says it is incomplete. Never throws (see shell::WritePage).
void WriteExportReport(shell::TransferContext& context, int steps_started,
                       const std::string& failure);

}  // namespace exporting
