#pragma once

// One transfer at a time: the lock of the exchange folder C:\QTEMP, held for
// the whole of a refresh of the working copy, an export, an import or a
// restore, from the window and from `transquendra` alike. A second transfer,
// in this program or another, is refused at once, before it touches
// anything. A lock of a process that died does not block (the system
// releases it).

#include "platform/file_system.h"
#include "platform/folder_lock.h"
#include "shell/user_interface.h"

namespace shell {

class TransferLock {
 public:
  // Takes the lock, creating the exchange folder when missing. Within one
  // process the lock is taken once: a transfer started inside another (the
  // refresh that a change of folder makes while the window starts) shares
  // it. Throws TransferError::Busy when another transfer holds it, and
  // TransferError::LockFailed when the folder or its lock file cannot be
  // made. Once taken, before anything else, it completes the replacements
  // that a killed run left half done, telling the person through `ui`
  // (interrupted_replacement.h; one that cannot be completed throws and
  // releases the lock). REQUIRES: the user-interface thread (the count is
  // not guarded).
  // C:\QTEMP is reached through `files`.
  TransferLock(UserInterface& ui, platform::FileSystem& files);
  ~TransferLock();  // releases the lock when the outermost holder ends
  TransferLock(const TransferLock&) = delete;
  TransferLock& operator=(const TransferLock&) = delete;

  // True while some TransferLock of this process holds the lock.
  static bool HeldHere();
};

}  // namespace shell
