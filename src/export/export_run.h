#pragma once

// The export run: seven steps that turn the working copy's administration
// tables ("C:\QTEMP\VALENCIA") into the intermediate tables that Quendrix
// reads from the exchange folder "C:\QTEMP". The steps run in a fixed order
// because later steps read what earlier ones wrote:
//
//   1 ExportSubjects            ASIGVALT, ASIGNOMT   (read by 4, 5, 7)
//   2 ExportTeachers            PROFT                (read by 6, 7)
//   3 ExportRooms               AULAT
//   4 ExportStudents            ALUMNOST
//   5 ExportCourseSubjectHours  ASIGCURT
//   6 ExportGroupsAndCourses    GRUPOST, CURSOST     (read by 7)
//   7 ExportTeachingLoad        ASIGT
//
// No step catches an error: the first failure of the engine, of a number
// conversion or of a file ends the run, and what was written before stays.
// Each step closes the components it opened and releases its own tables on
// every path, so a failed run can be repeated.

#include "shell/transfer_context.h"

namespace exporting {

inline constexpr char kWarningText[] =
    "La duración de este Proceso será más larga, en función de la cantidad "
    "de datos que tengamos en nuestra ZELMAR.";
inline constexpr char kFinishedText[] = "Proceso finalizado";

// What a run did.
struct ExportResult {
  bool completed = false;  // all seven steps ran and the flag was set
};

// The export, started by the window's export button and by
// `transquendra export`. Shows the warning, runs the seven steps
// under the busy cursor and, once they have all completed, sets the
// transformed flag to 1, shows "Proceso finalizado", disables both run
// buttons and, in embedded mode, closes the window.
// On an error the busy cursor is set back and the error is rethrown for the
// caller to show; the transformed flag and the buttons are left as they were,
// so a failed run is never reported to the host as done. The whole run holds
// the TransferLock: while another transfer runs it throws
// TransferError::Busy before the warning. Returns completed true once the
// run has been reported as done.
ExportResult ExportSchoolData(shell::TransferContext& context);

// The seven steps, each one usable on its own when the tables it reads exist.
void ExportSubjects(shell::TransferContext& context);
void ExportTeachers(shell::TransferContext& context);
void ExportRooms(shell::TransferContext& context);
void ExportStudents(shell::TransferContext& context);
void ExportCourseSubjectHours(shell::TransferContext& context);
void ExportGroupsAndCourses(shell::TransferContext& context);
void ExportTeachingLoad(shell::TransferContext& context);

}  // namespace exporting
