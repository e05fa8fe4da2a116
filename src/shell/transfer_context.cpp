#include "shell/transfer_context.h"

namespace shell {
namespace {

constexpr char kWorkingCopyComponentFolder[] = "c:\\qtemp\\valencia";

void SetUp(tables::Table& table, const char* folder, const char* name,
           bool exclusive) {
  table.SetDatabaseName(folder);
  table.SetTableName(name);
  table.SetExclusive(exclusive);
}

}  // namespace

TransferContext::TransferContext(UserInterface* ui, platform::FileSystem* files)
    : own_files_(files != nullptr
                     ? nullptr
                     : std::make_unique<platform::NativeFileSystem>(
                           platform::NativeFileSystem::Paths::kDriveC)),
      files_(files != nullptr ? files : own_files_.get()),
      ui_(ui) {
  const char* wc = kWorkingCopyComponentFolder;
  SetUp(wwTableAsignat, wc, "asignat.dbf", true);
  SetUp(wwTableCentro, wc, "centro", true);
  SetUp(wwTableProfesor, wc, "profesor", true);
  SetUp(wwTableAsigAlum, wc, "asigalum", true);
  SetUp(wwTableAulas, wc, "aulas", true);
  SetUp(wwTableGrupos, wc, "grupos", true);
  SetUp(wwTableAlumnos, wc, "alumnos", true);
  SetUp(wwTableHorGrup, wc, "horgrup", true);
  SetUp(wwTableHorProf, wc, "horprof", true);
  SetUp(wwTableSoluc, "c:\\qtemp", "SOLUC", true);
  SetUp(wwTableLhortipo, wc, "lhortipo", false);
  SetUp(wwTableOCUPA, wc, "OCUPA", true);
  wwTableOCUPA.SetReadOnly(true);
}

}  // namespace shell
