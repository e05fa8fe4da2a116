// What the utility's boxes and Qt's own texts look like to the user: every
// box answers with "Aceptar", a long information box stands in the middle
// of the screen, and Qt's menus speak Spanish.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <memory>

#include "shell/gui/qt_translations.h"
#include "shell/gui/qt_user_interface.h"

namespace shell_gui {
namespace {

QApplication& App() {
  if (auto* running = qobject_cast<QApplication*>(QCoreApplication::instance()))
    return *running;
  static int argc = 1;
  static char name[] = "shell_gui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

struct SeenBox {
  QRect frame;
  QStringList buttons;
};

// Shows `show`'s box and answers it, keeping where it stood and its buttons.
SeenBox Answer(const std::function<void()>& show) {
  SeenBox seen;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen.frame = box->frameGeometry();
    for (QAbstractButton* button : box->buttons())
      seen.buttons << button->text();
    box->buttons().front()->click();
  });
  answer.start(5);
  show();
  return seen;
}

TEST(BoxesTest, InformationStandsInTheMiddleOfTheScreenAndErrorsAnswerAceptar) {
  App();
  QWidget window;
  window.setGeometry(10, 10, 300, 200);
  window.show();
  QtUserInterface ui(&window, [](bool) {});
  const std::string long_text =
      "La duración de este Proceso dependerá del número de alumnos, grupos y "
      "profesores del centro, y puede llegar a varios minutos en los centros "
      "más grandes. Mientras dure, no apague el ordenador ni cierre esta "
      "ventana. Cuando termine, se le avisará con un mensaje.";
  const SeenBox information = Answer([&] { ui.ShowMessage(long_text); });
  const QPoint middle =
      QGuiApplication::primaryScreen()->availableGeometry().center();
  EXPECT_LE((information.frame.center() - middle).manhattanLength(), 2)
      << information.frame.center().x() << ","
      << information.frame.center().y();
  EXPECT_EQ(information.buttons, QStringList{"Aceptar"});

  const SeenBox error =
      Answer([&] { ui.ShowError("No se encuentra la tabla"); });
  EXPECT_EQ(error.buttons, QStringList{"Aceptar"});
}

TEST(QtTextsTest, EditMenusAreInSpanish) {
  ASSERT_TRUE(LoadQtSpanishTranslations(App()));
  QLineEdit edit("texto");
  std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  QStringList texts;
  for (QAction* action : menu->actions()) {
    if (!action->isSeparator())
      texts << action->text().remove('&').section('\t', 0, 0);
  }
  EXPECT_TRUE(texts.contains("Copiar")) << texts.join(", ").toStdString();
  EXPECT_TRUE(texts.contains("Pegar")) << texts.join(", ").toStdString();
  EXPECT_FALSE(texts.contains("Copy")) << texts.join(", ").toStdString();
}

}  // namespace
}  // namespace shell_gui
