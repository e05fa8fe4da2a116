#include "shell/gui/t_exportar_datos.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QShortcut>
#include <QSignalBlocker>
#include <cctype>

#include "platform/ini_file.h"
#include "shell/centre_list.h"
#include "shell/help_system.h"
#include "shell/working_copy.h"
#include "tables/table_error.h"

namespace shell_gui {
namespace {

// The host's handle: hexadecimal digits without a prefix, as "$" + text
// converts to a 32-bit integer. Throws "'$%s' no es un valor entero válido".
quintptr ParseHandle(const QString& text) {
  const std::string digits = text.toStdString();
  bool ok = !digits.empty() && digits.size() <= 8;
  for (char c : digits) ok = ok && std::isxdigit(static_cast<unsigned char>(c));
  if (!ok) throw tables::TableError::NotAnInteger("$" + digits);
  return static_cast<quintptr>(std::stoul(digits, nullptr, 16));
}

}  // namespace

TExportarDatos::TExportarDatos(const QStringList& arguments,
                               TransferHooks hooks, QWidget* parent)
    : QWidget(parent), hooks_(std::move(hooks)) {
  BuildLayout();
  shell::UserInterface* chosen_ui = hooks_.ui;
  if (chosen_ui == nullptr) {
    qt_ui_ = std::make_unique<QtUserInterface>(this, [this](bool enabled) {
      BExportar->setEnabled(enabled);
      BImportar->setEnabled(enabled);
    });
    chosen_ui = qt_ui_.get();
  }
  if (!hooks_.write_transformed_flag) {
    hooks_.write_transformed_flag = platform::WriteTransformedFlag;
  }
  context_ = std::make_unique<shell::TransferContext>(chosen_ui);
  if (qt_ui_ != nullptr) {
    auto bound = [this](const FileWindow& window) -> ControlWindow {
      if (!window) return nullptr;
      return
          [this, window](QWidget* owner) { window(owner, context_->files()); };
    };
    qt_ui_->SetControlWindows(bound(hooks_.teacher_window),
                              bound(hooks_.period_window));
  }
  connect(BExportar, &QPushButton::clicked, this, [this] { BExportarClick(); });
  connect(BImportar, &QPushButton::clicked, this, [this] { BImportarClick(); });
  connect(BClose, &QPushButton::clicked, this, [this] { BCloseClick(); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(ListaDirectorios, &FolderList::directoryChanged, this,
          [this] { ListaDirectoriosChange(); });
  connect(ListaDirectorios, &FolderList::openFailed, this,
          [this](const QString& text) { ui().ShowError(text.toStdString()); });
  connect(ListaUnidades, &QComboBox::activated, this,
          [this](int index) { DriveChosen(index); });
  // F1 anywhere in the window: help context 1.
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  f1->setContext(Qt::WindowShortcut);
  connect(f1, &QShortcut::activated, this, [] { shell::ShowHelpContext(1); });
  FormCreate(arguments);
}

TExportarDatos::~TExportarDatos() = default;

void TExportarDatos::FormCreate(const QStringList& arguments) {
  context_->transformed = 0;
  try {
    if (arguments.size() == 2) EnterHost(arguments);
    SyncContext();
    shell::RefreshWorkingCopy(*context_);
    const std::string before = ListaDirectorios->Directory();
    {
      // The change runs below without its own error box, so that an error
      // ends the remaining steps of FormCreate.
      const QSignalBlocker blocker(ListaDirectorios);
      ListaDirectorios->SetDirectory(shell::kDefaultAdminFolder);
    }
    if (ListaDirectorios->Directory() != before) FolderChanged();
    EdNuevoDir->setText(QString::fromStdString(ListaDirectorios->Directory()));
    FillCentreList();
  } catch (const std::exception& e) {
    ui().ShowError(e.what());
  }
}

void TExportarDatos::EnterHost(const QStringList& arguments) {
  const quintptr handle = ParseHandle(arguments[1]);
  if (!hooks_.host.exists || !hooks_.host.exists(handle)) {
    // Not a window: stand-alone, said once, and the start-up goes on.
    ui().ShowError(
        HostWindowError::NotFound(arguments[1].toStdString()).what());
    return;
  }
  hooks_.host.embed(this, handle);
  context_->embedded_mode = 2;
  if (hooks_.host.watch) {
    hooks_.host.watch(handle, [this] { close(); });
  }
  const QString panel = arguments[0].toLower();
  if (panel == QStringLiteral("importar")) {
    Draw3D2->hide();
    Draw3D3->setGeometry(0, 0, width(), Draw3D3->height());
  } else if (panel == QStringLiteral("exportar")) {
    Draw3D3->hide();
    Draw3D2->setGeometry(0, 0, width(), Draw3D2->height());
  }
}

void TExportarDatos::FillCentreList() {
  for (const std::string& code : shell::ReadCentreCodes(*context_)) {
    CBCentro->addItem(QString::fromStdString(code));
  }
  if (CBCentro->count() > 0) CBCentro->setCurrentIndex(0);
}

void TExportarDatos::FolderChanged() {
  const std::string folder = ListaDirectorios->Directory();
  drive_folders_[ListaDirectorios->DriveRoot()] = folder;
  {
    const QSignalBlocker blocker(ListaUnidades);
    const int index = ListaUnidades->findData(
        QString::fromStdString(ListaDirectorios->DriveRoot()));
    if (index >= 0) ListaUnidades->setCurrentIndex(index);
  }
  EdNuevoDir->setText(QString::fromStdString(folder));
  SyncContext();
  shell::RefreshWorkingCopy(*context_);
}

void TExportarDatos::ListaDirectoriosChange() {
  RunHandler([this] { FolderChanged(); });
}

void TExportarDatos::DriveChosen(int index) {
  RunHandler([this, index] {
    const std::string root =
        ListaUnidades->itemData(index).toString().toStdString();
    const auto last = drive_folders_.find(root);
    ListaDirectorios->SetDirectory(last != drive_folders_.end() ? last->second
                                                                : root);
  });
}

void TExportarDatos::SyncContext() {
  context_->admin_folder = ListaDirectorios->Directory();
  context_->centre_code = CBCentro->currentText().toStdString();
  context_->language_text = ComboBoxValCast->currentText().toStdString();
}

void TExportarDatos::RunHandler(const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& e) {
    ui().SetBusyCursor(false);  // a run that failed leaves no hourglass
    ui().ShowError(e.what());
  }
}

void TExportarDatos::BExportarClick() {
  RunHandler([this] {
    SyncContext();
    if (hooks_.export_run) hooks_.export_run(*context_);
  });
}

void TExportarDatos::BImportarClick() {
  RunHandler([this] {
    SyncContext();
    if (hooks_.import_run) hooks_.import_run(*context_);
  });
}

void TExportarDatos::BCloseClick() { close(); }

void TExportarDatos::Button1Click() {
  RunHandler([] { shell::ShowHelpContents(); });
}

void TExportarDatos::closeEvent(QCloseEvent* event) {
  if (context_->Embedded()) {
    try {
      hooks_.write_transformed_flag(context_->transformed);
    } catch (const std::exception& e) {
      ui().ShowError(e.what());
      event->ignore();
      return;
    }
  }
  event->accept();
  // After embedding, quit() can hang and lastWindowClosed never comes.
  QCoreApplication::exit(0);
}

}  // namespace shell_gui
