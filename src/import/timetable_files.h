#pragma once

// The file work of the import run around the two timetables: bringing the
// administration's horgrup and horprof into the working copy, keeping other
// centres' rows, and putting the rebuilt tables back safely.

#include <ctime>
#include <string>

#include "shell/interrupted_replacement.h"
#include "shell/transfer_context.h"
#include "tables/table.h"

namespace importing {

inline constexpr char kSolutionPath[] = "C:\\QTEMP\\SOLUC.DBF";
inline constexpr const char* kBackupRoot = shell::kBackupRoot;

// Closes each component and replaces the working copy's horgrup.dbf and
// horprof.dbf with fresh copies of the administration folder's files. A
// file missing there leaves no copy. Throws shell::IoError.
void BringTimetablesIn(shell::TransferContext& context,
                       const std::string& admin_folder);

// Rewrites the closed table of `component` so that it keeps only its rows
// whose Codcen differs from `centre`, byte for byte and in stored order;
// the selected centre's rows and deleted rows are dropped. The table stays
// closed. A missing table fails with the engine's error, as emptying it
// would.
void KeepOtherCentreRows(tables::Table& component, const std::string& centre);

// The backup folder's name for a moment: "AAAAMMDD-HHMMSS" in local time.
std::string BackupStamp(std::time_t when);
// The backup folder of a run at `when`: "C:\QTEMP\COPIAS\<stamp>", or, when
// a run earlier in the same second has left its copies there, the first of
// "<stamp>-2", "<stamp>-3", ... without them, so that no backup is ever
// written over.
std::string NewBackupFolder(platform::FileSystem& files, std::time_t when);

// Puts the working copy's horgrup.dbf and horprof.dbf over the
// administration's. First checks that no other program holds either
// administration file, then writes both new files beside the old ones under
// temporary names, copies both old ones into the dated backup folder
// "C:\QTEMP\COPIAS\<AAAAMMDD-HHMMSS>\" (NewBackupFolder; it is kept; a failure
// to write the new files is reported once the backup is complete), flushes the
// new files to disk, and only when both are complete replaces the pair as one
// (platform::ReplaceTogether, with its journal in the backup folder): killed
// at any moment, the folder holds both old files, or both new ones once the
// next start has completed the replacement. Any failure before the journal
// leaves the administration folder untouched, without temporary files. Each
// new file keeps the owner, group and permissions (on Windows the
// attributes) of the file it replaces; a file that is a symbolic link is
// followed: its target is replaced and the link stays. Throws
// shell::IoError, or the engine's error for a file held by another program.
void ReplaceAdminTimetables(platform::FileSystem& files,
                            const std::string& admin_folder);
// The same with the new files taken from `source_folder` (a backup folder,
// when a backup is put back); returns the backup folder of the files it
// replaced.
std::string ReplaceAdminTimetablesFrom(platform::FileSystem& files,
                                       const std::string& admin_folder,
                                       const std::string& source_folder);

}  // namespace importing
