#include "import/timetable_files.h"

#include <algorithm>
#include <ctime>
#include <future>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/atomic_replace.h"
#include "platform/lock_probe.h"
#include "platform/pair_replacement.h"
#include "shell/io_error.h"
#include "shell/working_copy.h"
#include "tables/files.h"
#include "tables/table_error.h"

namespace importing {
namespace {

constexpr const char* kTimetableFiles[] = {"horgrup.dbf", "horprof.dbf"};

// Fails with the error for `code`, saying on a second line which file the
// run was handling and how.
void CheckFile(int code, const std::string& what) {
  if (code != 0) throw shell::IoError::ForFile(code, what);
}

// The backup copies of the administration files `sources` into `folder`:
// like CopyDataFile, a missing source copies nothing, and the source is
// found through the engine's path resolution.
struct BackupCopy {
  std::string from, to;  // native paths
  std::string shown;     // "al copiar C:\GC\horgrup.dbf en C:\QTEMP\..."
};
std::vector<BackupCopy> BackupCopies(platform::FileSystem& files,
                                     const std::string& folder,
                                     const std::string (&sources)[2]) {
  std::vector<BackupCopy> copies;
  for (const std::string& source : sources) {
    const std::string native_source = files.NativePath(source);
    if (!files.Exists(native_source)) continue;
    const std::string name = source.substr(source.find_last_of("\\/") + 1);
    const std::string to = tables::JoinPath(folder, name);
    copies.push_back({native_source, files.NativePath(to),
                      "al copiar " + source + " en " + to});
  }
  return copies;
}

// Fails, with the engine's error, when another program holds the file.
// Read-only so that nothing of the file changes.
void CheckNotHeld(platform::FileSystem& files, const std::string& path) {
  const std::string native = files.NativePath(path);
  if (!files.Exists(native)) return;
  // Every kind of lock, not only the engine's: the record locks that Wine
  // and Samba take for the administration system count as well.
  if (files.HeldByAnotherProgram(native, platform::PlannedUse::kReplacing)) {
    throw tables::TableError::TableLocked(path);
  }
  tables::Table probe(files);
  probe.SetTableName(path);
  probe.SetExclusive(true);
  probe.SetReadOnly(true);
  probe.Open();
  probe.Close();
}

}  // namespace

void BringTimetablesIn(shell::TransferContext& context,
                       const std::string& admin_folder) {
  tables::Table* components[] = {&context.wwTableHorGrup,
                                 &context.wwTableHorProf};
  for (int i = 0; i < 2; ++i) {
    components[i]->Close();
    const std::string copy =
        tables::JoinPath(shell::kWorkingCopyFolder, kTimetableFiles[i]);
    const std::string native = context.files().NativePath(copy);
    if (context.files().Exists(native)) platform::RemoveFileSoon(native);
    shell::CopyDataFile(context.files(), copy,
                        tables::JoinPath(admin_folder, kTimetableFiles[i]));
  }
}

void KeepOtherCentreRows(tables::Table& component, const std::string& centre) {
  component.Close();
  const std::string bytes =
      component.ContentKeepingRowsExcept("Codcen", centre);
  const std::string path = component.FilePath();
  // A scratch copy: the next run copies it afresh from the administration
  // folder, so it needs no flush to disk. The full copy goes first, so that
  // the new file is written without waiting for its blocks to be freed.
  platform::RemoveFileSoon(path);
  CheckFile(component.files().WriteWhole(path, bytes),
            "al escribir " + component.DisplayPath());
}

std::string BackupStamp(std::time_t when) {
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &when);
#else
  localtime_r(&when, &local);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

std::string NewBackupFolder(platform::FileSystem& files, std::time_t when) {
  const std::string named = tables::JoinPath(kBackupRoot, BackupStamp(when));
  auto holds_copies = [&files](const std::string& folder) {
    for (const char* name : kTimetableFiles) {
      if (files.IsFile(files.NativePath(tables::JoinPath(folder, name))))
        return true;
    }
    return false;
  };
  std::string folder = named;
  for (int n = 2; holds_copies(folder); ++n)
    folder = named + "-" + std::to_string(n);
  return folder;
}

void ReplaceAdminTimetables(platform::FileSystem& files,
                            const std::string& admin_folder) {
  ReplaceAdminTimetablesFrom(files, admin_folder, shell::kWorkingCopyFolder);
}

std::string ReplaceAdminTimetablesFrom(platform::FileSystem& files,
                                       const std::string& admin_folder,
                                       const std::string& source_folder) {
  std::string admin_paths[2];
  for (int i = 0; i < 2; ++i) {
    admin_paths[i] = tables::JoinPath(admin_folder, kTimetableFiles[i]);
    CheckNotHeld(files, admin_paths[i]);
  }
  const std::string backup = NewBackupFolder(files, std::time(nullptr));
  tables::ForceDirectories(files, backup);
  // A timetable that is a symbolic link is replaced through it: its target
  // gets the new content and the link stays.
  platform::StagedFile staged[] = {
      platform::StagedFile(
          platform::ReplacementTarget(files.NativePath(admin_paths[0])), files),
      platform::StagedFile(
          platform::ReplacementTarget(files.NativePath(admin_paths[1])),
          files)};
  std::string sources[2];
  for (int i = 0; i < 2; ++i) {
    sources[i] =
        files.NativePath(tables::JoinPath(source_folder, kTimetableFiles[i]));
  }
  // The old files are copied into the backup on a thread of its own while
  // the new ones are copied beside them, so that the two copies run side by
  // side. Every path is found before, on this thread. A failure to stage is
  // reported only once the backup is complete, as when the backup came
  // first; a failing backup removes the staged files, as the objects go.
  const std::vector<BackupCopy> copies =
      BackupCopies(files, backup, admin_paths);
  const BackupCopy* failed_copy = nullptr;
  auto copy_backups = [&files, &copies, &failed_copy] {
    for (const BackupCopy& copy : copies) {
      if (const int code = files.CopyWhole(copy.from, copy.to); code != 0) {
        failed_copy = &copy;
        return code;
      }
    }
    return 0;
  };
  std::future<int> backing_up;
  try {
    backing_up = std::async(std::launch::async, copy_backups);
  } catch (const std::system_error&) {  // no thread to be had: copied later
    backing_up = std::async(std::launch::deferred, copy_backups);
  }
  int staging = 0;
  int staged_count = 0;
  for (; staged_count < 2 && staging == 0; ++staged_count)
    staging = staged[staged_count].StartCopyOf(sources[staged_count]);
  const int backup_code = backing_up.get();
  if (backup_code != 0) CheckFile(backup_code, failed_copy->shown);
  const auto writing = [&admin_paths](int i) {
    return "al escribir la nueva " + admin_paths[i];
  };
  CheckFile(staging, writing(staged_count - 1));
  // Both copies are on disk before any rename.
  for (int i = 0; i < 2; ++i) CheckFile(staged[i].FinishStaging(), writing(i));
  const std::string journal =
      files.NativePath(tables::JoinPath(backup, shell::kReplacementJournal));
  const int code =
      platform::ReplaceTogether({&staged[0], &staged[1]}, journal, files);
  if (code != 0 && files.Exists(journal)) {
    // The pair is decided and half replaced: the next start completes it.
    throw shell::IoError::ForFile(
        code, "al sustituir " + admin_paths[0] + " y " + admin_paths[1] +
                  ".\nLa sustitución se completará al iniciar de nuevo el "
                  "programa, antes de cualquier otra transferencia; los "
                  "archivos anteriores están en " +
                  backup);
  }
  CheckFile(code, "al sustituir " + admin_paths[0] + " y " + admin_paths[1]);
  return backup;
}

}  // namespace importing
