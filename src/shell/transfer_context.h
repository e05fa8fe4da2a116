#pragma once

// What the export and import runs share with the transfer window: the twelve
// table components, the administration folder, the selected centre, the
// subject-name language, the transformed flag and embedded mode. The window
// owns one; `transquendra` and the tests make their own.

#include <memory>
#include <string>

#include "platform/file_system.h"
#include "shell/run_report.h"
#include "shell/user_interface.h"
#include "tables/table.h"

namespace shell {

inline constexpr char kWorkingCopyFolder[] = "C:\\QTEMP\\VALENCIA";
inline constexpr char kExchangeFolder[] = "C:\\QTEMP";
inline constexpr char kDefaultAdminFolder[] = "C:\\GC";
inline constexpr char kApplicationTitle[] = "TransQuendraValencia";

class TransferContext {
  // Declared first: the components below are built on it.
  std::unique_ptr<platform::FileSystem> own_files_;
  platform::FileSystem* files_;

 public:
  // Every file is reached through `files`, which must outlive the context;
  // without it, through the operating system's, with drive C mapped.
  explicit TransferContext(UserInterface* ui,
                           platform::FileSystem* files = nullptr);
  TransferContext(const TransferContext&) = delete;
  TransferContext& operator=(const TransferContext&) = delete;

  // The components, set up as the window's: working-copy folder (SOLUC in the
  // exchange folder), dBase type, exclusive except wwTableLhortipo,
  // wwTableOCUPA read-only in stored order.
  tables::Table wwTableAsignat{*files_, "wwTableAsignat"};
  tables::Table wwTableCentro{*files_, "wwTableCentro"};
  tables::Table wwTableProfesor{*files_, "wwTableProfesor"};
  tables::Table wwTableAsigAlum{*files_, "wwTableAsigAlum"};
  tables::Table wwTableAulas{*files_, "wwTableAulas"};
  tables::Table wwTableGrupos{*files_, "wwTableGrupos"};
  tables::Table wwTableAlumnos{*files_, "wwTableAlumnos"};
  tables::Table wwTableHorGrup{*files_, "wwTableHorGrup"};
  tables::Table wwTableHorProf{*files_, "wwTableHorProf"};
  tables::Table wwTableSoluc{*files_, "wwTableSoluc"};
  tables::Table wwTableLhortipo{*files_, "wwTableLhortipo"};
  tables::Table wwTableOCUPA{*files_, "wwTableOCUPA"};

  UserInterface& ui() { return *ui_; }
  // What every job reaches files through.
  platform::FileSystem& files() { return *files_; }

  // The folder list's current folder, as text ("C:\GC", a drive root ends in
  // a backslash).
  std::string admin_folder = kDefaultAdminFolder;
  // The text of CBCentro (read by the import run only).
  std::string centre_code;
  // The text of ComboBoxValCast.
  std::string language_text = "VALENCIÁ";
  // 0 or 1; written to Quendrix.ini on close in embedded mode.
  int transformed = 0;
  // The number of command-line arguments once the window sits in its host;
  // embedded mode is on when it equals 2.
  int embedded_mode = 0;
  bool Embedded() const { return embedded_mode == 2; }
  // What the last run left out, cut or guessed, and its report page.
  RunReport report;

 private:
  UserInterface* ui_;
};

}  // namespace shell
