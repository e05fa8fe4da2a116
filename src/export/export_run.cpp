#include "export/export_run.h"

#include "shell/transfer_lock.h"

namespace exporting {
namespace {

// The busy cursor for the length of the steps; set back on every way out,
// an error included.
class BusyCursor {
 public:
  explicit BusyCursor(shell::UserInterface& ui) : ui_(ui) {
    ui_.SetBusyCursor(true);
  }
  ~BusyCursor() { ui_.SetBusyCursor(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  shell::UserInterface& ui_;
};

void RunSteps(shell::TransferContext& context) {
  ExportSubjects(context);
  ExportTeachers(context);
  ExportRooms(context);
  ExportStudents(context);
  ExportCourseSubjectHours(context);
  ExportGroupsAndCourses(context);
  ExportTeachingLoad(context);
}

}  // namespace

void BExportarClick(shell::TransferContext& context) {
  const shell::TransferLock lock(context.ui());
  shell::UserInterface& ui = context.ui();
  ui.ShowMessage(kWarningText);
  {
    BusyCursor busy(ui);
    RunSteps(context);
  }
  // Only a completed run tells the host program that the data was exported.
  context.transformed = 1;
  ui.ShowMessage(kFinishedText);
  ui.SetRunButtonsEnabled(false);
  if (context.Embedded()) ui.CloseWindow();
}

}  // namespace exporting
