#include "shell/gui/qt_user_interface.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include "shell/transfer_context.h"

namespace shell_gui {
namespace {

// A message box that can stand in the middle of the screen. Its size is
// only final once it is laid out for showing (a long text is wrapped then),
// so it is placed there, before it reaches the screen.
class MessageBox : public QMessageBox {
 public:
  MessageBox(Icon icon, const std::string& text, bool centred_on_screen,
             QWidget* owner)
      : QMessageBox(icon, QString::fromUtf8(shell::kApplicationTitle),
                    QString::fromStdString(text), NoButton, owner),
        centred_on_screen_(centred_on_screen) {
    addButton(QStringLiteral("Aceptar"), AcceptRole);
  }

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!centred_on_screen_ || screen == nullptr) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }

 private:
  bool centred_on_screen_;
};

void ShowBox(QWidget* owner, QMessageBox::Icon icon, const std::string& text,
             bool centred_on_screen) {
  MessageBox box(icon, text, centred_on_screen, owner);
  box.exec();
}

}  // namespace

QtUserInterface::QtUserInterface(QWidget* window,
                                 std::function<void(bool)> set_buttons)
    : window_(window), set_buttons_(std::move(set_buttons)) {}

QtUserInterface::~QtUserInterface() {
  if (busy_) QApplication::restoreOverrideCursor();
}

void QtUserInterface::SetControlWindows(ControlWindow teachers,
                                        ControlWindow periods) {
  teachers_ = std::move(teachers);
  periods_ = std::move(periods);
}

void QtUserInterface::WithDefaultCursor(const std::function<void()>& modal) {
  if (busy_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  modal();
  if (busy_) QApplication::restoreOverrideCursor();
}

void QtUserInterface::ShowMessage(const std::string& text) {
  WithDefaultCursor(
      [&] { ShowBox(window_, QMessageBox::Information, text, true); });
}

void QtUserInterface::ShowError(const std::string& text) {
  WithDefaultCursor([&] {
    ShowBox(window_, QMessageBox::Critical, shell::ErrorBoxText(text), false);
  });
}

void QtUserInterface::SetBusyCursor(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void QtUserInterface::SetRunButtonsEnabled(bool enabled) {
  if (set_buttons_) set_buttons_(enabled);
}

void QtUserInterface::CloseWindow() {
  if (window_) window_->close();
}

void QtUserInterface::ShowTeacherIdentityWindow() {
  // Wired in src/app/main.cpp by the import side; nothing until then.
  if (teachers_) WithDefaultCursor([&] { teachers_(window_); });
}

void QtUserInterface::ShowPeriodTimesWindow() {
  if (periods_) WithDefaultCursor([&] { periods_(window_); });
}

}  // namespace shell_gui
