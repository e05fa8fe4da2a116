// TransQuendraValencia: the transfer window.
//
// Start, in this order: the HTML help viewer registers itself, the
// application is initialised, its help file and title are set, the transfer
// window is created (running FormCreate) and becomes the main window, and
// the message loop runs until the window closes.

#include <QApplication>
#include <QStringList>

#include "export/export_run.h"
#include "import/gui/control_window.h"
#include "import/gui/t_control_plantilla.h"
#include "import/gui/t_control_profesores.h"
#include "import/import_run.h"
#include "shell/gui/bundled_fonts.h"
#include "shell/gui/qt_translations.h"
#include "shell/gui/t_exportar_datos.h"
#include "shell/help_registration.h"
#include "shell/help_system.h"
#include "shell/platform_setup.h"
#include "shell/transfer_context.h"

namespace {

shell_gui::TransferHooks Hooks() {
  shell_gui::TransferHooks hooks;
  hooks.export_run = exporting::ExportSchoolData;
  hooks.import_run = importing::ImportTimetables;
  hooks.teacher_window = importing_gui::ShowTControlProfesores;
  hooks.period_window = importing_gui::ShowTControlPlantilla;
  return hooks;
}

}  // namespace

int main(int argc, char** argv) {
  shell::HtmlHelpRegistration html_help;
  QApplication app(argc, argv);
  shell_gui::LoadQtSpanishTranslations(app);
  shell_gui::RegisterBundledFonts();
  shell::SetUpPlatform("");
  shell::SetApplicationHelpFile(shell::kApplicationHelpFile);
  QApplication::setApplicationName(shell::kApplicationTitle);
  importing_gui::SetControlWindowHelp(
      [](int context) { shell::ShowHelpContext(context); });

  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();  // the program
  shell_gui::TExportarDatos window(arguments, Hooks());
  shell::SetHelpOwnerWindow(static_cast<std::uintptr_t>(window.winId()));
  window.show();
  return QApplication::exec();
}
