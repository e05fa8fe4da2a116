#include "import/timetable_restore.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "import/timetable_files.h"
#include "shell/report_page.h"
#include "shell/transfer_lock.h"
#include "tables/files.h"

namespace importing {
namespace {

// "AAAAMMDD-HHMMSS[-n]" as "DD/MM/AAAA HH:MM:SS"; the name itself when it
// is not a stamp.
std::string WhenOf(const std::string& stamp) {
  if (stamp.size() < 15 || stamp[8] != '-') return stamp;
  return stamp.substr(6, 2) + "/" + stamp.substr(4, 2) + "/" +
         stamp.substr(0, 4) + " " + stamp.substr(9, 2) + ":" +
         stamp.substr(11, 2) + ":" + stamp.substr(13, 2);
}

// Stamps order by time; "<stamp>-10" comes after "<stamp>-9".
bool Earlier(const Backup& a, const Backup& b) {
  const std::string base_a = a.stamp.substr(0, 15);
  const std::string base_b = b.stamp.substr(0, 15);
  if (base_a != base_b) return base_a < base_b;
  if (a.stamp.size() != b.stamp.size()) return a.stamp.size() < b.stamp.size();
  return a.stamp < b.stamp;
}

}  // namespace

RestoreError RestoreError::NoBackups() {
  return RestoreError("No hay ninguna copia de seguridad de los horarios en " +
                      std::string(kBackupRoot));
}

RestoreError RestoreError::UnknownBackup(const std::string& stamp) {
  return RestoreError("No existe la copia de seguridad '" + stamp + "' en " +
                      std::string(kBackupRoot) +
                      " (transquendra restore --list las muestra)");
}

RestoreError RestoreError::IncompleteBackup(const std::string& stamp) {
  return RestoreError("La copia de seguridad '" + stamp +
                      "' no tiene horgrup.dbf y horprof.dbf: no se restaura");
}

std::vector<Backup> ListBackups(platform::FileSystem& files) {
  namespace fs = std::filesystem;
  std::vector<Backup> backups;
  std::error_code error;
  for (const auto& entry :
       fs::directory_iterator(files.NativePath(kBackupRoot), error)) {
    if (!entry.is_directory(error)) continue;
    Backup backup;
    backup.stamp = entry.path().filename().string();
    backup.folder = tables::JoinPath(kBackupRoot, backup.stamp);
    backup.when = WhenOf(backup.stamp);
    backup.horgrup_rows = shell::HeaderRowCount(
        files, tables::JoinPath(backup.folder, "horgrup.dbf"));
    backup.horprof_rows = shell::HeaderRowCount(
        files, tables::JoinPath(backup.folder, "horprof.dbf"));
    backups.push_back(std::move(backup));
  }
  std::sort(backups.begin(), backups.end(), Earlier);
  return backups;
}

Backup RestoreTimetables(shell::UserInterface& ui, platform::FileSystem& files,
                         const std::string& admin_folder,
                         const std::string& stamp, std::string* replaced_into) {
  // The lock first: it also completes a replacement a killed run left, so
  // the list below is the settled one.
  const shell::TransferLock lock(ui, files);
  const std::vector<Backup> backups = ListBackups(files);
  if (backups.empty()) throw RestoreError::NoBackups();
  auto chosen = backups.end() - 1;
  if (!stamp.empty()) {
    chosen = std::find_if(backups.begin(), backups.end(),
                          [&](const Backup& b) { return b.stamp == stamp; });
    if (chosen == backups.end()) throw RestoreError::UnknownBackup(stamp);
  }
  if (!chosen->complete()) throw RestoreError::IncompleteBackup(chosen->stamp);
  const std::string replaced =
      ReplaceAdminTimetablesFrom(files, admin_folder, chosen->folder);
  if (replaced_into) *replaced_into = replaced;
  return *chosen;
}

}  // namespace importing
