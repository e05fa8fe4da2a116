#pragma once

// The commands of `transquendra`. Each takes the arguments after its own
// name and returns the process's exit status.

#include <string>
#include <vector>

#include "shell/run_report.h"

namespace cli {

using Args = std::vector<std::string>;

// dump TABLE [--index TAG]: the table as CSV on stdout.
int RunDump(const Args& args);
// export [--drive-c DIR] [--admin FOLDER] [--language TEXT]
int RunExport(const Args& args);
// import [--drive-c DIR] [--admin FOLDER] [--centre CODE]
//        [--dni ABREV=NUMBER]... [--period N=START-END]...
int RunImport(const Args& args);

// restore [--drive-c DIR] [--admin FOLDER] [STAMP] | restore --list
int RunRestore(const Args& args);

// Prints the rows each table got and the path of the run's report page (or
// why it could not be written). Shared by export and import.
void PrintReportSummary(const shell::RunReport& report);

}  // namespace cli
