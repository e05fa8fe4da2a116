#pragma once

// The transfer window: the administration folder, the centre list, the
// subject-name language, and the two action buttons that start the export
// and the import. It owns the transfer context (the twelve table
// components) that both runs share. Event handlers catch errors at their top
// only and show them in the standard error box.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "shell/gui/folder_list.h"
#include "shell/gui/gradient_panel.h"
#include "shell/gui/host_window.h"
#include "shell/gui/qt_user_interface.h"
#include "shell/transfer_context.h"

namespace shell_gui {

// A run started by one of the two buttons; what it returns is of no use to
// the window, which learns everything through its user interface.
using TransferRun = std::function<void(shell::TransferContext&)>;
// A control window over files reached through the context's file system.
using FileWindow = std::function<void(QWidget* owner, platform::FileSystem&)>;

// What the window does not know by itself; src/app wires the real ones.
struct TransferHooks {
  TransferRun export_run;     // exporting::ExportSchoolData
  TransferRun import_run;     // importing::ImportTimetables
  FileWindow teacher_window;  // the teacher identity control window
  FileWindow period_window;   // the period-times control window
  HostWindowOps host = NativeHostWindowOps();
  // Writes the transformed flag on close in embedded mode (Quendrix.ini
  // beside the executable unless replaced).
  std::function<void(int)> write_transformed_flag;
  // A user interface to use instead of the window's own (tests).
  shell::UserInterface* ui = nullptr;
};

class TExportarDatos : public QWidget {
  Q_OBJECT

 public:
  // Builds the window and runs FormCreate with the command-line arguments
  // (without the program name).
  TExportarDatos(const QStringList& arguments, TransferHooks hooks,
                 QWidget* parent = nullptr);
  ~TExportarDatos() override;

  shell::TransferContext& context() { return *context_; }
  shell::UserInterface& ui() { return context_->ui(); }

  // The components, named as the layout names them.
  GradientPanel* Draw3D1;
  GradientPanel* Draw3D2;
  GradientPanel* Draw3D3;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;
  QLabel* Label6;
  QLabel* Label7;
  QLabel* Label8;
  QLabel* Label9;
  QLineEdit* EdNuevoDir;
  FolderList* ListaDirectorios;
  QComboBox* ListaUnidades;
  QComboBox* CBCentro;
  QPushButton* BClose;
  QPushButton* Button1;
  QComboBox* ComboBoxValCast;
  QPushButton* BExportar;
  QPushButton* BImportar;

  // The handlers, public so that tests can run them as the events would.
  void BExportarClick();
  void BImportarClick();
  void BCloseClick();
  void Button1Click();
  // The folder list's change event (errors shown in the error box).
  void ListaDirectoriosChange();

 protected:
  // FormClose: in embedded mode writes the transformed flag; a failure is
  // shown and the window stays open. An accepted close ends the program.
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildLayout();
  void BuildBottomPanel();
  void BuildExportPanel();
  void BuildImportPanel();
  void SetTabOrder();
  void FormCreate(const QStringList& arguments);
  void EnterHost(const QStringList& arguments);
  void FillCentreList();
  // ListaDirectoriosChange without its error box (FormCreate lets the
  // error end its own steps).
  void FolderChanged();
  void DriveChosen(int index);
  void SyncContext();
  void RunHandler(const std::function<void()>& body);

  TransferHooks hooks_;
  std::unique_ptr<QtUserInterface> qt_ui_;
  std::unique_ptr<shell::TransferContext> context_;
  std::map<std::string, std::string> drive_folders_;  // last folder per drive
};

}  // namespace shell_gui
