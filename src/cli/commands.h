#pragma once

// The commands of `transquendra`. Each takes the arguments after its own
// name and returns the process's exit status.

#include <string>
#include <vector>

namespace cli {

using Args = std::vector<std::string>;

// dump TABLE [--index TAG]: the table as CSV on stdout.
int RunDump(const Args& args);
// export [--drive-c DIR] [--admin FOLDER] [--language TEXT]
int RunExport(const Args& args);
// import [--drive-c DIR] [--admin FOLDER] [--centre CODE]
//        [--dni ABREV=NUMBER]... [--period N=START-END]...
int RunImport(const Args& args);

}  // namespace cli
