#include "shell/gui/t_exportar_datos.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

#include "platform/drive_mapping.h"
#include "shell/platform_setup.h"
#include "support/dbf_bytes.h"
#include "support/faulty_file_system.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "tables/table_error.h"

namespace shell_gui {
namespace {

namespace fs = std::filesystem;

QApplication& App() {
  static int argc = 1;
  static char name[] = "shell_gui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

class WindowTest : public testing::Test {
 protected:
  void SetUp() override {
    App();
    platform::SetDriveCOverride(drive_.path().string());
    fs::create_directories(drive_.path() / "GC");
    fs::create_directories(start_.path());
    old_cwd_ = fs::current_path();
    fs::current_path(start_.path());
  }
  void TearDown() override {
    fs::current_path(old_cwd_);
    platform::SetDriveCOverride("");
  }
  void WriteCentro(const std::string& folder,
                   const std::vector<std::string>& codes) {
    std::vector<std::vector<std::string>> rows;
    for (const auto& code : codes) rows.push_back({code});
    drive_.Write(folder + "/centro.dbf",
                 testing_support::DbfBytes({{"CODCEN", 'C', 8}}, rows));
  }
  std::unique_ptr<TExportarDatos> Make(const QStringList& args) {
    TransferHooks hooks;
    hooks.ui = &ui_;
    hooks.host.exists = [](quintptr h) { return h != 0xdead; };
    hooks.host.embed = [this](QWidget*, quintptr h) { embedded_in_ = h; };
    hooks.write_transformed_flag = [this](int flag) {
      if (!flag_error_.empty()) throw std::runtime_error(flag_error_);
      flags_written_.push_back(flag);
    };
    hooks.export_run = [this](shell::TransferContext& c) { export_run_(c); };
    return std::make_unique<TExportarDatos>(args, std::move(hooks));
  }
  std::vector<std::string> Centres(TExportarDatos& w) {
    std::vector<std::string> out;
    for (int i = 0; i < w.CBCentro->count(); ++i) {
      out.push_back(w.CBCentro->itemText(i).toStdString());
    }
    return out;
  }

  testing_support::TempDir drive_{"tqv-gui-drive"};
  testing_support::TempDir start_{"tqv-gui-start"};
  fs::path old_cwd_;
  testing_support::ScriptedUi ui_;
  quintptr embedded_in_ = 0;
  std::vector<int> flags_written_;
  std::string flag_error_;
  std::function<void(shell::TransferContext&)> export_run_ =
      [](shell::TransferContext&) {};
};

TEST_F(WindowTest, LayoutAsDesigned) {
  auto w = Make({});
  EXPECT_EQ(w->windowTitle(), QStringLiteral("Exportar e importar datos "));
  EXPECT_EQ(w->size(), QSize(599, 267));
  EXPECT_EQ(w->minimumSize(), w->maximumSize());
  const struct {
    QWidget* widget;
    QWidget* panel;
    QRect geometry;
  } kPlaces[] = {
      {w->Draw3D1, w.get(), {0, 117, 599, 150}},
      {w->Draw3D2, w.get(), {0, 0, 299, 117}},
      {w->Draw3D3, w.get(), {299, 0, 300, 117}},
      {w->EdNuevoDir, w->Draw3D1, {14, 18, 220, 22}},
      {w->ListaDirectorios, w->Draw3D1, {14, 41, 220, 83}},
      {w->ListaUnidades, w->Draw3D1, {13, 125, 222, 20}},
      {w->CBCentro, w->Draw3D1, {304, 17, 145, 21}},
      {w->BClose, w->Draw3D1, {304, 51, 89, 25}},
      {w->Button1, w->Draw3D1, {310, 81, 75, 21}},
      {w->Label8, w->Draw3D2, {23, 3, 257, 34}},
      {w->Label3, w->Draw3D2, {2, 34, 296, 36}},
      {w->BExportar, w->Draw3D2, {71, 90, 89, 25}},
      {w->Label4, w->Draw3D3, {6, 0, 281, 25}},
      {w->Label5, w->Draw3D3, {9, 17, 275, 48}},
      {w->BImportar, w->Draw3D3, {92, 57, 89, 25}},
      {w->Label6, w->Draw3D3, {9, 86, 281, 65}},
  };
  for (const auto& p : kPlaces) {
    EXPECT_EQ(p.widget->parentWidget(), p.panel)
        << p.widget->metaObject()->className();
    EXPECT_EQ(p.widget->geometry(), p.geometry)
        << p.widget->metaObject()->className() << " at " << p.geometry.x()
        << "," << p.geometry.y();
  }
  const struct {
    QLabel* label;
    QPoint place;
    const char* text;
  } kTexts[] = {
      {w->Label1, {14, 3}, "Carpeta en la que se encuentran los datos de GC"},
      {w->Label2, {303, 3}, "Código del centro"},
      {w->Label9, {6, 71}, "Recoger Textos Asignaturas en:"},
      {w->Label8,
       {23, 3},
       "UTILIDAD TRANSFERENCIA DE DATOS                ZELMAR<->QUENDRIX"},
      {w->Label4, {6, 0}, "Importar datos desde Quendrix (hacia GC)"},
      {w->Label6,
       {9, 86},
       "ATENCIÓN. Es necesario reorganizar los archivos de GC después de "
       "efectuar este proceso."},
  };
  for (const auto& t : kTexts) {
    EXPECT_EQ(t.label->text(), QString::fromUtf8(t.text));
    EXPECT_EQ(t.label->pos(), t.place) << t.text;
  }
  EXPECT_EQ(w->BClose->text(), QStringLiteral("&Salir"));
  EXPECT_EQ(w->Button1->text(), QStringLiteral("F1 AYUDA"));
  EXPECT_EQ(w->BExportar->text(), QStringLiteral("Aceptar"));
  EXPECT_FALSE(w->CBCentro->isEditable());
  EXPECT_TRUE(w->ComboBoxValCast->isEditable());
  EXPECT_EQ(w->ComboBoxValCast->currentText(), QString::fromUtf8("VALENCIÁ"));
  EXPECT_EQ(w->ComboBoxValCast->itemText(1), QStringLiteral("CASTELLANO"));
  // The language box keeps its place's right edge and widens to the left
  // until "CASTELLANO" fits its edit field, clear of the label before it.
  QComboBox* language = w->ComboBoxValCast;
  EXPECT_EQ(language->parentWidget(), w->Draw3D2);
  EXPECT_EQ(language->geometry().right(), 193 + 93 - 1);
  EXPECT_EQ(language->y(), 66);
  EXPECT_EQ(language->height(), 21);
  EXPECT_GT(language->x(), w->Label9->geometry().right());
  language->setCurrentIndex(1);
  w->show();
  QApplication::processEvents();
  const QLineEdit* field = language->lineEdit();
  // A line edit keeps two pixels each side, and one for the cursor.
  EXPECT_GE(field->width() - 5,
            field->fontMetrics().horizontalAdvance("CASTELLANO"));
  EXPECT_EQ(w->ListaUnidades->itemText(0), QStringLiteral("c:"));
}

TEST_F(WindowTest, TabOrderRunsThroughThePanels) {
  auto w = Make({});
  w->show();
  QApplication::setActiveWindow(w.get());
  QWidget* const expected[] = {
      w->EdNuevoDir, w->ListaDirectorios, w->ListaUnidades, w->CBCentro,
      w->BClose,     w->Button1,          w->BExportar,     w->ComboBoxValCast,
      w->BImportar,  w->EdNuevoDir};
  w->EdNuevoDir->setFocus();
  for (size_t i = 0; i + 1 < std::size(expected); ++i) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    // An editable combo box takes the focus through its line edit.
    EXPECT_TRUE(focus == expected[i] || focus->parentWidget() == expected[i])
        << i << " " << focus->metaObject()->className();
    QTest::keyClick(focus, Qt::Key_Tab);
  }
}

struct ArgumentCase {
  const char* name;
  QStringList args;
  bool embedded;
  bool export_panel;
  bool import_panel;
  int upper_width;  // of the panel that shows alone; 0 when both show
  const char* error;
};

class ArgumentTest : public WindowTest,
                     public testing::WithParamInterface<ArgumentCase> {};

TEST_P(ArgumentTest, SelectsModeAndPanels) {
  const ArgumentCase& c = GetParam();
  WriteCentro("GC", {"46000001"});
  auto w = Make(c.args);
  EXPECT_EQ(w->context().Embedded(), c.embedded);
  EXPECT_EQ(embedded_in_ != 0, c.embedded);
  EXPECT_EQ(!w->Draw3D2->isHidden(), c.export_panel);
  EXPECT_EQ(!w->Draw3D3->isHidden(), c.import_panel);
  if (c.upper_width != 0) {
    QWidget* alone = c.export_panel ? w->Draw3D2 : w->Draw3D3;
    EXPECT_EQ(alone->geometry(), QRect(0, 0, c.upper_width, 117));
  }
  EXPECT_EQ(ui_.Errors(), c.error == nullptr
                              ? std::vector<std::string>{}
                              : std::vector<std::string>{c.error});
  w->close();
  EXPECT_EQ(flags_written_,
            c.embedded ? std::vector<int>{0} : std::vector<int>{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ArgumentTest,
    testing::Values(
        ArgumentCase{"None", {}, false, true, true, 0, nullptr},
        ArgumentCase{"One", {"exportar"}, false, true, true, 0, nullptr},
        ArgumentCase{
            "Three", {"exportar", "1A", "x"}, false, true, true, 0, nullptr},
        ArgumentCase{"MixedCaseExport",
                     {"Exportar", "1a2B"},
                     true,
                     true,
                     false,
                     599,
                     nullptr},
        ArgumentCase{
            "Import", {"IMPORTAR", "1a2b"}, true, false, true, 599, nullptr},
        ArgumentCase{"OtherWordKeepsBoth",
                     {"ambos", "1a2b"},
                     true,
                     true,
                     true,
                     0,
                     nullptr},
        ArgumentCase{"NotHex",
                     {"exportar", "0x1A"},
                     false,
                     true,
                     true,
                     0,
                     "'$0x1A' no es un valor entero válido"},
        ArgumentCase{"EmptyHandle",
                     {"exportar", ""},
                     false,
                     true,
                     true,
                     0,
                     "'$' no es un valor entero válido"},
        ArgumentCase{"TooLong",
                     {"exportar", "123456789"},
                     false,
                     true,
                     true,
                     0,
                     "'$123456789' no es un valor entero válido"},
        ArgumentCase{"NoSuchWindow",
                     {"exportar", "DEAD"},
                     false,
                     true,
                     true,
                     0,
                     "No existe la ventana '$DEAD'; la utilidad se abre "
                     "sola"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, BadHandleSkipsTheRefreshAndTheCentreList) {
  WriteCentro("GC", {"46000001"});
  auto w = Make({"exportar", "xyz"});
  EXPECT_EQ(w->CBCentro->count(), 0);
  EXPECT_FALSE(fs::exists(drive_.path() / "QTEMP" / "VALENCIA"));
}

TEST_F(WindowTest, MissingHostStillStartsStandAloneWithCentres) {
  WriteCentro("GC", {"46000001"});
  auto w = Make({"importar", "dead"});
  EXPECT_EQ(Centres(*w), std::vector<std::string>{"46000001"});
  EXPECT_FALSE(w->Draw3D2->isHidden());
}

TEST_F(WindowTest, StartFillsCentresInStoredOrderFromCGc) {
  WriteCentro("GC", {"46019999", "03001111", "46019999"});
  drive_.Write("GC/aulas.dbf", "aulas");
  auto w = Make({});
  EXPECT_EQ(Centres(*w),
            (std::vector<std::string>{"46019999", "03001111", "46019999"}));
  EXPECT_EQ(w->CBCentro->currentIndex(), 0);
  EXPECT_EQ(w->EdNuevoDir->text(), QStringLiteral("C:\\GC"));
  EXPECT_EQ(w->context().admin_folder, "C:\\GC");
  EXPECT_EQ(drive_.Read("QTEMP/VALENCIA/aulas.dbf"), "aulas");
  EXPECT_TRUE(ui_.Errors().empty());
}

TEST_F(WindowTest, MissingGcLeavesFolderAndCentresEmpty) {
  fs::remove_all(drive_.path() / "GC");
  auto w = Make({});
  EXPECT_EQ(ui_.Errors(),
            std::vector<std::string>{"Nombre de archivo inválido"});
  EXPECT_EQ(w->EdNuevoDir->text(), QString());
  EXPECT_EQ(w->CBCentro->count(), 0);
  EXPECT_EQ(w->ListaDirectorios->Directory(), start_.path().string());
}

TEST_F(WindowTest, MissingCentreTableIsShownAndListStaysEmpty) {
  auto w = Make({});
  ASSERT_EQ(ui_.Errors().size(), 1u);
  EXPECT_EQ(w->CBCentro->count(), 0);
  EXPECT_EQ(w->EdNuevoDir->text(), QStringLiteral("C:\\GC"));
}

TEST_F(WindowTest, OpeningAnotherFolderRefreshesButKeepsTheCentres) {
  WriteCentro("GC", {"46000001"});
  fs::create_directories(drive_.path() / "GC" / "Vacia");
  auto w = Make({});
  ASSERT_TRUE(fs::exists(drive_.path() / "QTEMP" / "VALENCIA" / "centro.dbf"));
  w->ListaDirectorios->SetDirectory("C:\\GC\\vacia");  // fires the change
  EXPECT_EQ(w->EdNuevoDir->text(), QStringLiteral("C:\\GC\\Vacia"));
  EXPECT_FALSE(fs::exists(drive_.path() / "QTEMP" / "VALENCIA" / "centro.dbf"));
  EXPECT_EQ(Centres(*w), std::vector<std::string>{"46000001"});
  // Opening the folder that is already current fires nothing.
  fs::create_directories(drive_.path() / "QTEMP" / "VALENCIA");
  drive_.Write("QTEMP/VALENCIA/centro.dbf", "x");
  w->ListaDirectorios->SetDirectory("C:\\GC\\Vacia");
  EXPECT_TRUE(fs::exists(drive_.path() / "QTEMP" / "VALENCIA" / "centro.dbf"));
}

TEST_F(WindowTest, RunErrorsReachTheErrorBoxAndButtonsStay) {
  WriteCentro("GC", {"46000001"});
  auto w = Make({});
  export_run_ = [](shell::TransferContext& c) {
    c.ui().SetBusyCursor(true);
    throw tables::TableError::NotAnInteger("4,5x");
  };
  w->ComboBoxValCast->setCurrentText(QStringLiteral("CASTELLANO"));
  w->BExportar->click();
  EXPECT_EQ(ui_.Errors(),
            std::vector<std::string>{"'4,5x' no es un valor entero válido"});
  EXPECT_FALSE(ui_.busy());
  EXPECT_EQ(w->context().language_text, "CASTELLANO");
  EXPECT_EQ(w->context().centre_code, "46000001");
  EXPECT_TRUE(w->BExportar->isEnabled());
}

TEST_F(WindowTest, FailedFlagWriteKeepsTheEmbeddedWindowOpen) {
  WriteCentro("GC", {"46000001"});
  auto w = Make({"exportar", "1a"});
  w->show();
  flag_error_ = "Unable to write to /x/Quendrix.ini";
  EXPECT_FALSE(w->close());
  EXPECT_EQ(ui_.Errors().back(), "Unable to write to /x/Quendrix.ini");
  flag_error_.clear();
  w->context().transformed = 1;
  EXPECT_TRUE(w->close());
  EXPECT_EQ(flags_written_, std::vector<int>{1});
}

}  // namespace
}  // namespace shell_gui

namespace shell_gui {
namespace {

TEST_F(WindowTest, DriveListMovesTheFolderListAndBack) {
  WriteCentro("GC", {"46000001"});
  fs::create_directories(drive_.path() / "GC" / "b");
  fs::create_directories(drive_.path() / "GC" / "A");
  auto w = Make({});
  // The tree: the drive, the chain down to the folder, then its subfolders.
  QTreeWidgetItem* top = w->ListaDirectorios->topLevelItem(0);
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->text(0), QStringLiteral("C:\\"));
  ASSERT_EQ(top->childCount(), 1);
  QTreeWidgetItem* gc = top->child(0);
  EXPECT_EQ(gc->text(0), QStringLiteral("GC"));
  EXPECT_EQ(w->ListaDirectorios->currentItem(), gc);
  ASSERT_EQ(gc->childCount(), 2);
  EXPECT_EQ(gc->child(0)->text(0), QStringLiteral("A"));
  EXPECT_EQ(gc->child(1)->text(0), QStringLiteral("b"));

  emit w->ListaUnidades->activated(w->ListaUnidades->findData("/"));
  EXPECT_EQ(w->ListaDirectorios->Directory(), "/");
  EXPECT_EQ(w->EdNuevoDir->text(), QStringLiteral("/"));
  EXPECT_EQ(w->context().admin_folder, "/");
  emit w->ListaUnidades->activated(w->ListaUnidades->findData("C:\\"));
  EXPECT_EQ(w->ListaDirectorios->Directory(), "C:\\GC");
  EXPECT_EQ(w->ListaUnidades->currentText(), QStringLiteral("c:"));
  EXPECT_TRUE(ui_.Errors().empty());
}

}  // namespace
}  // namespace shell_gui
