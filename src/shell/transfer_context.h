#pragma once

// What the export and import runs share with the transfer window: the twelve
// table components, the administration folder, the selected centre, the
// subject-name language, the transformed flag and embedded mode. The window
// owns one; `transquendra` and the tests make their own.

#include <string>

#include "shell/run_report.h"
#include "shell/user_interface.h"
#include "tables/table.h"

namespace shell {

inline constexpr char kWorkingCopyFolder[] = "C:\\QTEMP\\VALENCIA";
inline constexpr char kExchangeFolder[] = "C:\\QTEMP";
inline constexpr char kDefaultAdminFolder[] = "C:\\GC";
inline constexpr char kApplicationTitle[] = "TransQuendraValencia";

class TransferContext {
 public:
  explicit TransferContext(UserInterface* ui);
  TransferContext(const TransferContext&) = delete;
  TransferContext& operator=(const TransferContext&) = delete;

  // The components, set up as the window's: working-copy folder (SOLUC in the
  // exchange folder), dBase type, exclusive except wwTableLhortipo,
  // wwTableOCUPA read-only in stored order.
  tables::Table wwTableAsignat{"wwTableAsignat"};
  tables::Table wwTableCentro{"wwTableCentro"};
  tables::Table wwTableProfesor{"wwTableProfesor"};
  tables::Table wwTableAsigAlum{"wwTableAsigAlum"};
  tables::Table wwTableAulas{"wwTableAulas"};
  tables::Table wwTableGrupos{"wwTableGrupos"};
  tables::Table wwTableAlumnos{"wwTableAlumnos"};
  tables::Table wwTableHorGrup{"wwTableHorGrup"};
  tables::Table wwTableHorProf{"wwTableHorProf"};
  tables::Table wwTableSoluc{"wwTableSoluc"};
  tables::Table wwTableLhortipo{"wwTableLhortipo"};
  tables::Table wwTableOCUPA{"wwTableOCUPA"};

  UserInterface& ui() { return *ui_; }

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
