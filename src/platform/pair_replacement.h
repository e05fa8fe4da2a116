#pragma once

// Replacing several files as one: after a kill at any moment, the next start
// finds either all the old files or, once it has completed the replacement,
// all the new ones. The files are staged first (StagedFile, flushed to
// disk). Then a journal naming each staged file and its destination is put
// in place by an atomic rename; only then are the staged files renamed over
// their destinations, one after the other, and the journal removed. A
// journal found later means that the replacement was decided and may be
// half done: CompleteReplacement renames whatever staged file is still
// there. Nothing else removes staged files while a journal names them, as
// long as every replacement and every recovery runs under one lock (the
// transfer lock of the exchange folder).

#include <string>
#include <vector>

#include "platform/atomic_replace.h"

namespace platform {

// REQUIRES: every file staged; no two with one destination. Writes the
// journal at `journal_path` (native; its folder exists), commits every file
// and removes the journal. 0 when all are replaced. On a failure before the
// journal is in place nothing has changed and the staged files stay to be
// discarded. A failure after it is retried at once through
// CompleteReplacement; if that fails too, the staged files are kept for the
// next start and the journal stays: the code is returned. The journal is
// written, and every rename made, through `file_system`.
int ReplaceTogether(const std::vector<StagedFile*>& files,
                    const std::string& journal_path,
                    FileSystem& file_system = NativeFileSystem::Local());

struct CompletedReplacement {
  bool found = false;  // a journal was there
  int code = 0;        // 0, or why a staged file could not be renamed
  std::vector<std::string> destinations;  // native paths, as in the journal
};

// Completes the replacement of the journal at `journal_path`, if there is
// one: each staged file still present is renamed over its destination, and
// then the journal is removed. A failure leaves the journal for another try.
// A journal that cannot be read as one counts as found with code 13.
CompletedReplacement CompleteReplacement(
    const std::string& journal_path,
    FileSystem& file_system = NativeFileSystem::Local());

}  // namespace platform
