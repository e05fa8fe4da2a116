#include "import/import_run.h"

#include <exception>
#include <memory>

#include "import/import_messages.h"
#include "import/period_times.h"
#include "import/solution_check.h"
#include "import/solution_transfer.h"
#include "import/teacher_identity.h"
#include "import/timetable_files.h"
#include "import/week_page.h"
#include "shell/transfer_lock.h"
#include "tables/files.h"

namespace importing {
namespace {

// The busy cursor for the run's lifetime. A run that ends with an error
// still gets the default cursor back.
class BusyCursor {
 public:
  explicit BusyCursor(shell::UserInterface& ui) : ui_(ui) {
    ui_.SetBusyCursor(true);
  }
  ~BusyCursor() {
    if (busy_) ui_.SetBusyCursor(false);
  }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  // Someone else has set the default cursor already.
  void Dismiss() { busy_ = false; }
  // Sets the default cursor now, as the run's own ends do.
  void Release() {
    busy_ = false;
    ui_.SetBusyCursor(false);
  }

 private:
  shell::UserInterface& ui_;
  bool busy_ = true;
};

std::unique_ptr<tables::Table> OpenAsigvalt(platform::FileSystem& files) {
  auto asigvalt = std::make_unique<tables::Table>(files);
  asigvalt->SetTableName(kAsigvaltPath);
  asigvalt->SetIndexName("CODVALEN");
  asigvalt->Open();
  return asigvalt;
}

void ConfirmPeriodTimes(shell::TransferContext& context, PeriodTimes& times) {
  times.ReadFromLhortipo(context.wwTableLhortipo, context.centre_code);
  times.WritePlantilla(context.files());
  context.ui().ShowPeriodTimesWindow();
  context.ui().SetBusyCursor(true);
  times.ReadBackPlantilla(context.files());
}

// Rebuilds the working copy's timetables from the solution, after checking
// the solution strictly; returns the rows appended. Each row read goes to
// `notes` too, when given.
ImportResult RebuildTimetables(shell::TransferContext& context,
                               tables::Table& proft, tables::Table& asigvalt,
                               const PeriodTimes& times, SolutionNotes* notes) {
  tables::Table& horprof = context.wwTableHorProf;
  tables::Table& horgrup = context.wwTableHorGrup;
  tables::Table& soluc = context.wwTableSoluc;
  // The solution is opened and checked first; a failure to open it is
  // reported where it always was, after other centres' rows are kept.
  std::exception_ptr soluc_error;
  try {
    soluc.Close();
    CheckSolutionFile(context.files().NativePath(kSolutionPath));
    soluc.Open();
    CheckSolutionRows(soluc);
  } catch (const SolutionError&) {
    // A damaged solution stops the run before anything is emptied. It is
    // closed first, so that the timetabling program can write it again
    // while the window stays open (Windows keeps an open file from others).
    soluc.Close();
    throw;
  } catch (...) {
    soluc_error = std::current_exception();
  }
  SolutionTransfer transfer({soluc, proft, asigvalt, horprof, horgrup}, times,
                            context.centre_code);
  transfer.SetNotes(notes);
  KeepOtherCentreRows(horprof, context.centre_code);
  KeepOtherCentreRows(horgrup, context.centre_code);
  horprof.Open();
  horgrup.Open();
  if (soluc_error) std::rethrow_exception(soluc_error);
  transfer.Run();
  horprof.Close();
  soluc.Close();
  horgrup.Close();
  return {true, transfer.horprof_rows(), transfer.horgrup_rows()};
}

// The final message: the fixed text, and for a solution without lessons a
// second line that says so, since the timetables are then left without the
// centre's lessons.
std::string FinishedText(const ImportResult& result) {
  if (result.lessons > 0) return kProcessFinished;
  return std::string(kProcessFinished) + "\n" + kNoLessonsImported;
}

}  // namespace

ImportResult ImportTimetables(shell::TransferContext& context) {
  const shell::TransferLock lock(context.ui(), context.files());
  shell::UserInterface& ui = context.ui();
  ui.ShowMessage(kDurationWarning);
  BusyCursor busy(ui);
  context.report.Clear();
  platform::FileSystem& files = context.files();
  if (!files.Exists(files.NativePath(shell::kWorkingCopyFolder))) {
    tables::ForceDirectories(files, shell::kWorkingCopyFolder);
  }
  const std::string admin_folder = context.admin_folder;
  if (!files.Exists(files.NativePath(kSolutionPath))) {
    ui.ShowMessage(kSolutionMissing);
    busy.Release();
    if (context.Embedded()) {
      context.transformed = 0;
      ui.CloseWindow();
    }
    return {};
  }
  BringTimetablesIn(context, admin_folder);
  std::unique_ptr<tables::Table> proft = CheckTeacherIdentities(context);
  if (!proft) {
    busy.Dismiss();  // the check has set the default cursor
    return {};
  }
  std::unique_ptr<tables::Table> asigvalt = OpenAsigvalt(files);
  PeriodTimes times;
  ConfirmPeriodTimes(context, times);
  SolutionNotes notes(context.report, times);
  const bool reporting = context.report.Gathering();
  const ImportResult result = RebuildTimetables(
      context, *proft, *asigvalt, times, reporting ? &notes : nullptr);
  ReplaceAdminTimetables(files, admin_folder);
  if (reporting)
    WriteWeekPage(context, notes, times, *proft, result.lessons,
                  result.group_rows);
  busy.Release();
  context.transformed = 1;
  ui.ShowMessage(FinishedText(result));
  ui.SetRunButtonsEnabled(false);
  if (context.Embedded()) ui.CloseWindow();
  return result;
}

}  // namespace importing
