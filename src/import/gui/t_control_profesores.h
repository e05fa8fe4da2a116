#pragma once

// The teacher identity control window: the import run shows it when a
// teacher of PROFT has no identity number (DNI), so that the user can type
// the missing numbers straight into PROFT.

#include <QWidget>

#include "import/gui/control_window.h"
#include "tables/table.h"

namespace importing_gui {

class TControlProfesores : public ControlWindow {
  Q_OBJECT

 public:
  // Opens C:\QTEMP\proft.dbf shared, in stored order.
  TControlProfesores(QWidget* owner, platform::FileSystem& files);

  tables::Table& wwTableProft() { return table(); }

  void ProftDBGridEnter() { ControlWindow::GridEnter(); }
  void ProftDBGridExit() { ControlWindow::GridExit(); }

 protected:
  void GridEnter() override { ProftDBGridEnter(); }
  void GridExit() override { ProftDBGridExit(); }
};

// Creates the window owned by `owner`, shows it modally, destroys it.
void ShowTControlProfesores(QWidget* owner, platform::FileSystem& files);

}  // namespace importing_gui
