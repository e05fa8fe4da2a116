#include "export/export_run.h"

#include <exception>

#include "export/export_report.h"
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

// The steps in their fixed order. A failed run still leaves its report,
// marked incomplete, before the error goes on to the caller.
void RunSteps(shell::TransferContext& context) {
  void (*const kSteps[])(shell::TransferContext&) = {
      ExportSubjects,    ExportTeachers,           ExportRooms,
      ExportStudents,    ExportCourseSubjectHours, ExportGroupsAndCourses,
      ExportTeachingLoad};
  const bool reporting = context.report.Gathering();
  context.report.Clear();
  int started = 0;
  try {
    for (auto step : kSteps) {
      ++started;
      step(context);
    }
  } catch (const std::exception& error) {
    if (reporting) WriteExportReport(context, started, error.what());
    throw;
  }
  if (reporting) WriteExportReport(context, started, "");
}

}  // namespace

ExportResult ExportSchoolData(shell::TransferContext& context) {
  const shell::TransferLock lock(context.ui(), context.files());
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
  return {true};
}

}  // namespace exporting
