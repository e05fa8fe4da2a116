#pragma once

// Whether another program holds a file, whatever kind of lock it took: BSD
// flock, POSIX record locks (as Wine and Samba take for Windows programs) and
// open-file-description locks; on Windows an open that shares nothing.

#include <string>

namespace platform {

enum class PlannedUse {
  kReading,    // a copy: only a holder that keeps others from reading counts
  kReplacing,  // any holder counts: it would lose what it writes later
};

// True when another holder's lock on `native_path` conflicts with `use`. A
// file that cannot be opened to look is not held (its use then fails with
// its own error). Looking takes no lock that outlives the call.
bool HeldByAnotherProgram(const std::string& native_path, PlannedUse use);

}  // namespace platform
