#include "shell/working_copy.h"

#include <array>
#include <filesystem>
#include <system_error>

#include "platform/lock_probe.h"
#include "shell/io_error.h"
#include "shell/transfer_lock.h"
#include "tables/files.h"
#include "tables/table_error.h"

namespace shell {
namespace {

// The text after the last backslash, slash or colon.
std::string FileNamePart(const std::string& path) {
  const size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

struct Row {
  const char* file;
  tables::Table TransferContext::*component;  // nullptr: none to close
};

}  // namespace

void CopyDataFile(platform::FileSystem& files, const std::string& destination,
                  const std::string& source) {
  std::string target = destination;
  if (FileNamePart(target).empty()) target += FileNamePart(source);
  const std::string from_path = files.NativePath(source);
  std::error_code ec;
  const std::filesystem::file_status status =
      std::filesystem::status(from_path, ec);
  if (!std::filesystem::exists(status)) return;
  // A FIFO or a device (a link to /dev/zero) would block the copy or never
  // end it. (A folder fails to open, as on Windows.)
  if (!std::filesystem::is_regular_file(status) &&
      !std::filesystem::is_directory(status)) {
    throw tables::TableError::CorruptTable(source, "no es un archivo normal");
  }
  // A table that another program keeps others from reading is not copied
  // half written, whatever kind of lock it took.
  if (files.HeldByAnotherProgram(from_path, platform::PlannedUse::kReading)) {
    throw tables::TableError::TableLocked(source);
  }
  const std::string to_path = files.NativePath(target);

  if (const int code = files.CopyWhole(from_path, to_path); code != 0) {
    throw IoError::ForFile(code, "al copiar " + source + " en " + target);
  }
}

void RefreshWorkingCopy(TransferContext& context) {
  const TransferLock lock(context.ui(), context.files());
  static constexpr std::array<Row, 11> kRows = {{
      {"grupos.dbf", &TransferContext::wwTableGrupos},
      {"profesor.dbf", &TransferContext::wwTableProfesor},
      {"horgrup.dbf", &TransferContext::wwTableHorGrup},
      {"asigalum.dbf", &TransferContext::wwTableAsigAlum},
      {"asignat.dbf", &TransferContext::wwTableAsignat},
      {"aulas.dbf", &TransferContext::wwTableAulas},
      {"alumnos.dbf", &TransferContext::wwTableAlumnos},
      {"alumnos.fpt", nullptr},
      {"centro.dbf", &TransferContext::wwTableCentro},
      {"lhortipo.dbf", &TransferContext::wwTableLhortipo},
      {"OCUPA.dbf", &TransferContext::wwTableOCUPA},
  }};
  try {
    tables::ForceDirectories(context.files(), kWorkingCopyFolder);
  } catch (const std::exception&) {
    // Not reported: the first copy then fails with its own error.
  }
  const std::string admin = context.admin_folder;
  for (const Row& row : kRows) {
    if (row.component != nullptr) (context.*row.component).Close();
    const std::string source = admin + "\\" + row.file;
    const std::string destination =
        std::string(kWorkingCopyFolder) + "\\" + row.file;
    const std::string native = context.files().NativePath(destination);
    if (context.files().Exists(native)) context.files().Remove(native);
    CopyDataFile(context.files(), destination, source);
  }
}

}  // namespace shell
