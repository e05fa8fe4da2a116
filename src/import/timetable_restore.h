#pragma once

// Undoing an import: a backup pair that an import (or an earlier restore)
// left in C:\QTEMP\COPIAS\<stamp>\ goes back into the administration folder
// with the import's own safety: under the transfer lock, the files it
// replaces kept in a new backup, and both files replaced as one.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "shell/user_interface.h"

namespace importing {

struct Backup {
  std::string stamp;          // the folder's name, "AAAAMMDD-HHMMSS" or "...-2"
  std::string folder;         // "C:\QTEMP\COPIAS\<stamp>"
  std::string when;           // "09/12/2026 17:30:05", from the stamp
  int64_t horgrup_rows = -1;  // -1: the file is missing
  int64_t horprof_rows = -1;
  bool complete() const { return horgrup_rows >= 0 && horprof_rows >= 0; }
};

// The backup folders, oldest first (their names sort by time).
std::vector<Backup> ListBackups(platform::FileSystem& files);

// Puts backup `stamp` ("" for the latest one) back into `admin_folder`.
// Takes the transfer lock (shell::TransferError::Busy while another
// transfer runs). Returns the backup put back; `replaced_into` gets the new
// backup folder that holds the files it replaced. Throws RestoreError, or
// the errors of ReplaceAdminTimetables.
Backup RestoreTimetables(shell::UserInterface& ui, platform::FileSystem& files,
                         const std::string& admin_folder,
                         const std::string& stamp, std::string* replaced_into);

class RestoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  // C:\QTEMP\COPIAS holds no backup.
  static RestoreError NoBackups();
  // No backup folder has the name `stamp`.
  static RestoreError UnknownBackup(const std::string& stamp);
  // The backup `stamp` lacks one of the two files.
  static RestoreError IncompleteBackup(const std::string& stamp);
};

}  // namespace importing
