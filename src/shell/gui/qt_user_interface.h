#pragma once

// The Qt side of the seam: message boxes captioned "TransQuendraValencia",
// the application-wide busy cursor, the transfer window's buttons, and the
// two control windows, which the import side supplies as callbacks.

#include <QPointer>
#include <QWidget>
#include <functional>

#include "shell/user_interface.h"

namespace shell_gui {

// Shows a control window modally, owned by `owner`, and returns when it is
// closed. Supplied by src/app (the import side's windows).
using ControlWindow = std::function<void(QWidget* owner)>;

class QtUserInterface : public shell::UserInterface {
 public:
  // `window` owns the message boxes; `set_buttons` enables or disables the
  // two action buttons.
  QtUserInterface(QWidget* window, std::function<void(bool)> set_buttons);
  ~QtUserInterface() override;

  void SetControlWindows(ControlWindow teachers, ControlWindow periods);

  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void SetBusyCursor(bool busy) override;
  void SetRunButtonsEnabled(bool enabled) override;
  void CloseWindow() override;
  void ShowTeacherIdentityWindow() override;
  void ShowPeriodTimesWindow() override;

 private:
  // Runs a modal step with the default cursor, then restores the busy one.
  void WithDefaultCursor(const std::function<void()>& modal);

  QPointer<QWidget> window_;
  std::function<void(bool)> set_buttons_;
  ControlWindow teachers_;
  ControlWindow periods_;
  bool busy_ = false;
};

}  // namespace shell_gui
