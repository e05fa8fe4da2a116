#pragma once

// The working copy "C:\QTEMP\VALENCIA": fresh copies of eleven files of the
// administration folder, which the export and import runs open instead of
// the administration's own tables.

#include <string>

#include "shell/transfer_context.h"

namespace shell {

// Copies `source` to `destination` byte for byte (platform::RawFile::CopyTo:
// inside the kernel where it can, else in blocks of 256 KiB).
// Both are paths as the program writes them (made native by `files`). A
// destination without a file-name part (ending in "\", "/" or ":") gets the
// source's file name. A missing source copies nothing and reports nothing;
// one that is not a regular file (a FIFO, a device) throws the engine's error
// for a damaged table at once. The source is opened for reading only, so
// write-protected files copy. Throws IoError on the first failing open, read,
// write or close; a write that stores nothing, or fails for want of room,
// throws "Disco lleno" rather than leaving a short copy.
void CopyDataFile(platform::FileSystem& files, const std::string& destination,
                  const std::string& source);

// Replaces the working copy's eleven files from context.admin_folder, in
// the fixed order, closing each file's table component first and deleting
// the old copy (a failed deletion is not reported). A missing source leaves
// no copy. Creates the working-copy folder when missing (a failure there is
// not reported; the first copy then fails). Throws IoError and stops at the
// first file that cannot be copied. Holds the TransferLock throughout: while
// another transfer runs it throws TransferError::Busy before it touches
// anything.
void RefreshWorkingCopy(TransferContext& context);

}  // namespace shell
