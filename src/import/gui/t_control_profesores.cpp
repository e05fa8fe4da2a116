#include "import/gui/t_control_profesores.h"

namespace importing_gui {
namespace {

ControlWindowLayout ProfesoresLayout() {
  ControlWindowLayout layout;
  layout.caption = "Control de Profesores";
  layout.client_size = QSize(726, 499);
  layout.panel = QRect(0, 1, 726, 496);
  layout.title = "CONTROL DEL D.N.I DE LOS PROFESORES";
  layout.title_rect = QRect(9, 20, 202, 32);
  layout.navigator_rect = QRect(236, 29, 275, 24);
  layout.grid_rect = QRect(9, 56, 504, 433);
  layout.incidence = "INCIDENCIAS EN EL TRASPASO";
  layout.incidence_rect = QRect(521, 66, 190, 13);
  layout.explanation = QString::fromUtf8(
      "Se ha detectado que existe algún Profesor sin D.N.I. Para poder "
      "realizar correctamente la integración del Horario en ZELMAR, deberán "
      "asignarlo en esta rejilla. Los Profesores deberán estar creados "
      "previamente en ZELMAR, con los mismos D.N.I's.");
  layout.explanation_rect = QRect(517, 91, 201, 104);
  layout.close_rect = QRect(584, 216, 75, 25);
  layout.frozen_columns = 3;
  layout.columns = {{"ABREV", 4, "ABREV"},
                    {"NOMBRE", 40, "NOMBRE"},
                    {"DEPART", 12, "DEPARTAMENTO"},
                    {"DNI", 10, "DNI"}};
  return layout;
}

std::unique_ptr<tables::Table> ProftTable(platform::FileSystem& files) {
  auto table = std::make_unique<tables::Table>(files, "wwTableProft");
  table->SetDatabaseName("C:\\QTEMP");
  table->SetTableName("proft.dbf");
  return table;
}

}  // namespace

TControlProfesores::TControlProfesores(QWidget* owner,
                                       platform::FileSystem& files)
    : ControlWindow(ProfesoresLayout(), ProftTable(files), owner) {}

void ShowTControlProfesores(QWidget* owner, platform::FileSystem& files) {
  TControlProfesores window(owner, files);
  window.exec();
}

}  // namespace importing_gui
