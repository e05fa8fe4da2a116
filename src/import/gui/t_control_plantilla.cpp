#include "import/gui/t_control_plantilla.h"

#include "import/period_times.h"

namespace importing_gui {
namespace {

ControlWindowLayout PlantillaLayout() {
  ControlWindowLayout layout;
  layout.caption = "Control de Plantilla Horaria";
  layout.client_size = QSize(726, 463);
  layout.panel = QRect(0, 2, 726, 497);
  layout.title =
      QString::fromUtf8("COMPROBACIÓN DE LA PLANTILLA HORARIA DEL CENTRO");
  layout.title_rect = QRect(9, 12, 151, 64);
  layout.navigator_rect = QRect(180, 29, 275, 24);
  layout.grid_rect = QRect(156, 56, 330, 385);
  layout.incidence = "PLANTILLA HORARIA DEL CENTRO";
  layout.incidence_rect = QRect(505, 57, 210, 13);
  layout.explanation = QString::fromUtf8(
      "Se ha recogido la siguiente Plantilla Horaria desde ZELMAR. "
      "Compruébela y modifique, en caso necesario, las Horas de Inicio y "
      "Final de Clase, en la presente rejilla. Deben ser iguales que la "
      "Plantilla Horaria que estén utilizando en ZELMAR. Una vez adaptada la "
      "Rejilla Horaria, Pulse sobre el Botón Salir.");
  layout.explanation_rect = QRect(504, 91, 209, 130);
  layout.close_rect = QRect(576, 312, 75, 25);
  layout.frozen_columns = 1;
  layout.columns = {{"HORA", 7, "HORA"},
                    {"HORAINI", 20, "HORA INICIO CLASE"},
                    {"HORAFIN", 19, "HORA FINAL CLASE"}};
  return layout;
}

std::unique_ptr<tables::Table> PlantillaTable(platform::FileSystem& files) {
  auto table = std::make_unique<tables::Table>(files, "wwTablePlantilla");
  table->SetDatabaseName(importing::kPlantillaFolder);
  table->SetTableName("plantilla");
  return table;
}

}  // namespace

TControlPlantilla::TControlPlantilla(QWidget* owner,
                                     platform::FileSystem& files)
    : ControlWindow(PlantillaLayout(), PlantillaTable(files), owner) {}

void ShowTControlPlantilla(QWidget* owner, platform::FileSystem& files) {
  TControlPlantilla window(owner, files);
  window.exec();
}

}  // namespace importing_gui
