#pragma once

// The period-times control window: the import run always shows it, so that
// the user can check and correct the centre's period times in PLANTILLA.

#include <QWidget>

#include "import/gui/control_window.h"
#include "tables/table.h"

namespace importing_gui {

class TControlPlantilla : public ControlWindow {
  Q_OBJECT

 public:
  // Opens C:\QTEMP\Valencia\plantilla shared, with no index selected.
  TControlPlantilla(QWidget* owner, platform::FileSystem& files);

  tables::Table& wwTablePlantilla() { return table(); }

  void PlantiHorDBGridEnter() { ControlWindow::GridEnter(); }
  void PlantiHorDBGridExit() { ControlWindow::GridExit(); }

 protected:
  void GridEnter() override { PlantiHorDBGridEnter(); }
  void GridExit() override { PlantiHorDBGridExit(); }
};

// Creates the window owned by `owner`, shows it modally, destroys it.
void ShowTControlPlantilla(QWidget* owner, platform::FileSystem& files);

}  // namespace importing_gui
