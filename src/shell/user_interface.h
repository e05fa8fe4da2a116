#pragma once

// The only way the runs reach the person. The transfer window implements it
// with Qt, `transquendra` on the terminal, and tests with a script of answers.
// Run code never touches a widget.

#include <string>

namespace shell {

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // A modal information box captioned "TransQuendraValencia" with one button
  // "Aceptar"; returns when the person closes it.
  virtual void ShowMessage(const std::string& text) = 0;
  // The standard error box (the caller has not added the final full stop).
  virtual void ShowError(const std::string& text) = 0;
  // The application-wide busy cursor on or off.
  virtual void SetBusyCursor(bool busy) = 0;
  // Enables or disables both action buttons (export and import).
  virtual void SetRunButtonsEnabled(bool enabled) = 0;
  // Closes the transfer window (which ends the program).
  virtual void CloseWindow() = 0;
  // Shows the teacher identity control window on C:\QTEMP\PROFT.DBF, modally.
  virtual void ShowTeacherIdentityWindow() = 0;
  // Shows the period-times control window on PLANTILLA.DBF, modally.
  virtual void ShowPeriodTimesWindow() = 0;
};

// The standard error box's text: a full stop is appended when the last
// character sorts after "." (a letter or a digit).
std::string ErrorBoxText(const std::string& text);

}  // namespace shell
