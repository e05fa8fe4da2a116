#pragma once

// The replacements of the administration's timetables that a killed run
// left half done are completed at the next start, before anything else.

#include <string>

#include "platform/file_system.h"
#include "shell/user_interface.h"

namespace shell {

// Every run keeps the files it replaces in a dated folder of this one.
inline constexpr char kBackupRoot[] = "C:\\QTEMP\\COPIAS";
// The journal of a run's replacement, in its backup folder while the
// replacement runs (platform/pair_replacement.h).
inline constexpr char kReplacementJournal[] = "SUSTITUCION.PENDIENTE";

// Completes the replacement of every journal found in the backup folders
// and tells the person of each. Throws TransferError::ReplacementUnfinished
// for one that cannot be completed (the journal stays for the next try).
// REQUIRES: the TransferLock is held, so that no run is replacing now.
void CompleteInterruptedReplacements(UserInterface& ui,
                                     platform::FileSystem& files);

}  // namespace shell
