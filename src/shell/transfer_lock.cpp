#include "shell/transfer_lock.h"

#include <exception>

#include "platform/folder_lock.h"
#include "shell/interrupted_replacement.h"
#include "shell/io_error.h"
#include "shell/transfer_context.h"
#include "shell/transfer_error.h"
#include "tables/files.h"

namespace shell {
namespace {

platform::FolderLock& ProcessLock() {
  static platform::FolderLock lock;
  return lock;
}

int holders = 0;

}  // namespace

TransferLock::TransferLock(UserInterface& ui, platform::FileSystem& files) {
  if (holders > 0) {
    ++holders;
    return;
  }
  try {
    tables::ForceDirectories(files, kExchangeFolder);
  } catch (const std::exception& error) {
    throw TransferError::LockFailed(kExchangeFolder, error.what());
  }
  const int code = ProcessLock().TryLock(files.NativePath(kExchangeFolder));
  if (code == platform::kLockHeldCode) {
    throw TransferError::Busy(kExchangeFolder);
  }
  if (code != 0) {
    throw TransferError::LockFailed(kExchangeFolder, IoError::TextFor(code));
  }
  try {
    CompleteInterruptedReplacements(ui, files);
  } catch (...) {
    ProcessLock().Unlock();
    throw;
  }
  holders = 1;
}

TransferLock::~TransferLock() {
  if (--holders == 0) ProcessLock().Unlock();
}

bool TransferLock::HeldHere() { return holders > 0; }

}  // namespace shell
