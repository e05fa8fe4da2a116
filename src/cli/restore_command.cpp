// transquendra restore: puts a backup pair of the administration's
// timetables back, or lists the backups.
#include <cstdio>
#include <exception>
#include <string>

#include "cli/commands.h"
#include "cli/terminal_ui.h"
#include "import/timetable_restore.h"
#include "shell/interrupted_replacement.h"
#include "shell/platform_setup.h"
#include "shell/transfer_context.h"
#include "shell/user_interface.h"

namespace cli {
namespace {

struct RestoreOptions {
  std::string drive_c;
  std::string admin = shell::kDefaultAdminFolder;
  std::string stamp;  // empty: the latest backup
  bool list = false;
};

bool ParseOptions(const Args& args, RestoreOptions* options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--list") {
      options->list = true;
    } else if (arg == "--drive-c" || arg == "--admin") {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "transquendra restore: falta el valor de %s\n",
                     arg.c_str());
        return false;
      }
      (arg == "--drive-c" ? options->drive_c : options->admin) = args[++i];
    } else if (arg.rfind("--", 0) != 0 && options->stamp.empty()) {
      options->stamp = arg;
    } else {
      std::fprintf(stderr, "transquendra restore: opción no válida: %s\n",
                   arg.c_str());
      return false;
    }
  }
  return true;
}

std::string Rows(int64_t rows) {
  return rows < 0 ? "falta" : std::to_string(rows);
}

void PrintList(platform::FileSystem& files) {
  const auto backups = importing::ListBackups(files);
  if (backups.empty()) {
    std::printf("No hay copias de seguridad en %s\n", shell::kBackupRoot);
    return;
  }
  std::printf("%-18s %-19s %9s %9s\n", "COPIA", "FECHA", "horgrup", "horprof");
  for (const importing::Backup& backup : backups) {
    std::printf("%-18s %-19s %9s %9s%s\n", backup.stamp.c_str(),
                backup.when.c_str(), Rows(backup.horgrup_rows).c_str(),
                Rows(backup.horprof_rows).c_str(),
                backup.complete() ? "" : "  (incompleta)");
  }
}

}  // namespace

int RunRestore(const Args& args) {
  RestoreOptions options;
  if (!ParseOptions(args, &options)) return 2;
  shell::SetUpPlatform(options.drive_c);
  platform::NativeFileSystem files(platform::NativeFileSystem::Paths::kDriveC);
  TerminalUi ui;
  try {
    if (options.list) {
      PrintList(files);
      return 0;
    }
    std::string replaced_into;
    const importing::Backup restored = importing::RestoreTimetables(
        ui, files, options.admin, options.stamp, &replaced_into);
    std::printf(
        "Restaurada la copia %s (%s) en %s: horgrup.dbf %lld filas, "
        "horprof.dbf %lld filas.\nLos horarios sustituidos quedan en %s\n",
        restored.stamp.c_str(), restored.when.c_str(), options.admin.c_str(),
        static_cast<long long>(restored.horgrup_rows),
        static_cast<long long>(restored.horprof_rows), replaced_into.c_str());
  } catch (const std::exception& error) {
    ui.ShowError(error.what());
    return 1;
  }
  return 0;
}

}  // namespace cli
