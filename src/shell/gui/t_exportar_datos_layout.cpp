// The transfer window's layout: panels, controls, fonts, colours and tab
// order, in pixels as the window was designed (96 dots per inch).

#include <QApplication>
#include <QComboBox>
#include <QFont>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <algorithm>

#include "platform/drive_mapping.h"
#include "platform/version.h"
#include "shell/gui/t_exportar_datos.h"

namespace shell_gui {
namespace {

constexpr int kClientWidth = 599;
constexpr int kClientHeight = 267;
constexpr int kUpperHeight = 117;

// Point sizes as the designer's 96-dpi pixels, so texts fit as designed
// whatever the screen's resolution.
QFont DesignFont(const char* family, int points, bool bold) {
  QFont font(QString::fromLatin1(family));
  font.setPixelSize((points * 96 + 36) / 72);
  font.setBold(bold);
  return font;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  palette.setColor(QPalette::Text, colour);
  palette.setColor(QPalette::ButtonText, colour);
  widget->setPalette(palette);
}

QLabel* MakeLabel(QWidget* panel, const char* utf8, int left, int top,
                  QFont font, const QColor& colour) {
  auto* label = new QLabel(QString::fromUtf8(utf8), panel);
  label->setFont(font);
  SetTextColour(label, colour);
  label->move(left, top);
  label->adjustSize();
  return label;
}

void WrapIn(QLabel* label, int width, int height) {
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setGeometry(label->x(), label->y(), width, height);
}

// Widens an editable box leftwards, keeping its right edge, until its
// longest item fits the edit field beside the arrow (a line edit keeps two
// pixels each side and one for the cursor), never over `label`.
void FitLongestItem(QComboBox* box, const QLabel* label) {
  box->ensurePolished();
  int widest = 0;
  for (int i = 0; i < box->count(); ++i) {
    widest = std::max(widest,
                      box->fontMetrics().horizontalAdvance(box->itemText(i)));
  }
  QStyleOptionComboBox option;
  option.initFrom(box);
  option.editable = true;
  option.rect = QRect(QPoint(0, 0), box->size());
  const int field = box->style()
                        ->subControlRect(QStyle::CC_ComboBox, &option,
                                         QStyle::SC_ComboBoxEditField, box)
                        .width();
  const int missing = widest + 5 - field;
  if (missing <= 0) return;
  const int left =
      std::max(box->x() - missing, label->geometry().right() + 1 + 4);
  box->setGeometry(left, box->y(), box->geometry().right() + 1 - left,
                   box->height());
}

QPushButton* MakeButton(QWidget* panel, const char* text,
                        QStyle::StandardPixmap picture, QRect geometry) {
  auto* button = new QPushButton(QString::fromUtf8(text), panel);
  if (picture != QStyle::SP_CustomBase) {
    button->setIcon(panel->style()->standardIcon(picture));
  }
  button->setGeometry(geometry);
  return button;
}

}  // namespace

void TExportarDatos::BuildLayout() {
  // Arial and MS Sans Serif are missing on most free systems; Liberation
  // Sans has Arial's metrics.
  QFont::insertSubstitution("Arial", "Liberation Sans");
  QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
  setWindowTitle(QStringLiteral("Exportar e importar datos "));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(kClientWidth, kClientHeight);
  setFont(DesignFont("MS Sans Serif", 8, false));
  Draw3D1 = new GradientPanel(QColor(0xC2CDFE), QColor(0xCFF2FE),
                              QColor(0xCCD8E6), this);
  Draw3D1->setGeometry(0, kClientHeight - 150, kClientWidth, 150);
  Draw3D2 = new GradientPanel(QColor(0xF9D37D), QColor(0xFFFFFF),
                              QColor(0xFFEEDD), this);
  Draw3D2->setGeometry(0, 0, kClientWidth - 300, kUpperHeight);
  Draw3D3 = new GradientPanel(QColor(0xF9D37D), QColor(0xFFFFFF),
                              QColor(0xFFEEDD), this);
  Draw3D3->setGeometry(kClientWidth - 300, 0, 300, kUpperHeight);
  BuildBottomPanel();
  BuildExportPanel();
  BuildImportPanel();
  SetTabOrder();
}

void TExportarDatos::BuildBottomPanel() {
  const QFont arial8 = DesignFont("Arial", 8, false);
  const QFont arial8_bold = DesignFont("Arial", 8, true);
  Label1 = MakeLabel(Draw3D1, "Carpeta en la que se encuentran los datos de GC",
                     14, 3, arial8, Qt::blue);
  Label2 = MakeLabel(Draw3D1, "Código del centro", 303, 3, arial8, Qt::blue);
  EdNuevoDir = new QLineEdit(Draw3D1);
  EdNuevoDir->setGeometry(14, 18, 220, 22);
  EdNuevoDir->setFont(arial8_bold);
  SetTextColour(EdNuevoDir, Qt::black);
  ListaDirectorios = new FolderList(Draw3D1);
  ListaDirectorios->setGeometry(14, 41, 220, 83);
  ListaDirectorios->setFont(arial8_bold);
  ListaUnidades = new QComboBox(Draw3D1);
  ListaUnidades->setGeometry(13, 125, 222, 20);
  ListaUnidades->setFont(arial8_bold);
  for (const std::string& root : platform::DriveRoots()) {
    // "c:" as the classic drive list writes drives; "/" for the native root.
    QString shown = QString::fromStdString(root);
    if (root.size() == 3 && root[1] == ':') shown = shown.left(2).toLower();
    ListaUnidades->addItem(shown, QString::fromStdString(root));
  }
  CBCentro = new QComboBox(Draw3D1);
  CBCentro->setEditable(false);
  CBCentro->setGeometry(304, 17, 145, 21);
  BClose = MakeButton(Draw3D1, "&Salir", QStyle::SP_DialogCloseButton,
                      QRect(304, 51, 89, 25));
  Button1 = MakeButton(Draw3D1, "F1 AYUDA", QStyle::SP_CustomBase,
                       QRect(310, 81, 75, 21));
  Label7 = MakeLabel(Draw3D1, platform::VersionBanner(), 301, 130, arial8_bold,
                     Qt::red);
  WrapIn(Label7, 293, 150 - 130);
}

void TExportarDatos::BuildExportPanel() {
  Label8 = MakeLabel(Draw3D2,
                     "UTILIDAD TRANSFERENCIA DE DATOS                "
                     "ZELMAR<->QUENDRIX",
                     23, 3, DesignFont("Arial", 10, true), Qt::blue);
  WrapIn(Label8, 257, 34);
  Label3 = MakeLabel(Draw3D2,
                     "Exportar datos desde GC hacia Quendrix (Generador de "
                     "horarios y organizador de grupos)",
                     2, 34, DesignFont("Arial", 9, true), Qt::black);
  WrapIn(Label3, 296, 36);
  const QFont sans8_bold = DesignFont("MS Sans Serif", 8, true);
  Label9 = MakeLabel(Draw3D2, "Recoger Textos Asignaturas en:", 6, 71,
                     sans8_bold, Qt::red);
  ComboBoxValCast = new QComboBox(Draw3D2);
  ComboBoxValCast->setEditable(true);
  ComboBoxValCast->setGeometry(193, 66, 93, 21);
  ComboBoxValCast->setFont(sans8_bold);
  QPalette palette = ComboBoxValCast->palette();
  palette.setColor(QPalette::Base, Qt::white);
  palette.setColor(QPalette::Text, Qt::black);
  ComboBoxValCast->setPalette(palette);
  ComboBoxValCast->addItem(QString::fromUtf8("VALENCIÁ"));
  ComboBoxValCast->addItem(QStringLiteral("CASTELLANO"));
  ComboBoxValCast->setCurrentText(QString::fromUtf8("VALENCIÁ"));
  FitLongestItem(ComboBoxValCast, Label9);
  BExportar = MakeButton(Draw3D2, "Aceptar", QStyle::SP_DialogApplyButton,
                         QRect(71, 90, 89, 25));
}

void TExportarDatos::BuildImportPanel() {
  Label4 = MakeLabel(Draw3D3, "Importar datos desde Quendrix (hacia GC)", 6, 0,
                     DesignFont("Arial", 10, true), Qt::black);
  WrapIn(Label4, 281, 25);
  const QFont arial9_bold = DesignFont("Arial", 9, true);
  Label5 = MakeLabel(Draw3D3,
                     "ATENCIÓN. Debería efectuar una copia de seguridad de los "
                     "datos de GC, antes de lanzar este proceso.",
                     9, 17, arial9_bold, Qt::red);
  WrapIn(Label5, 275, 48);
  BImportar = MakeButton(Draw3D3, "Aceptar", QStyle::SP_DialogApplyButton,
                         QRect(92, 57, 89, 25));
  Label6 = MakeLabel(Draw3D3,
                     "ATENCIÓN. Es necesario reorganizar los archivos de GC "
                     "después de efectuar este proceso.",
                     9, 86, arial9_bold, Qt::red);
  WrapIn(Label6, 281, 65);
}

void TExportarDatos::SetTabOrder() {
  QWidget* const order[] = {EdNuevoDir, ListaDirectorios, ListaUnidades,
                            CBCentro,   BClose,           Button1,
                            BExportar,  ComboBoxValCast,  BImportar};
  for (size_t i = 0; i + 1 < std::size(order); ++i) {
    setTabOrder(order[i], order[i + 1]);
  }
  for (QLabel* label : findChildren<QLabel*>()) {
    label->setFocusPolicy(Qt::NoFocus);
  }
}

}  // namespace shell_gui
