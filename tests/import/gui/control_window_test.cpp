#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "import/gui/t_control_plantilla.h"
#include "import/gui/t_control_profesores.h"
#include "import/import_fixture.h"
#include "import/period_times.h"
#include "support/faulty_file_system.h"

namespace import_testing {
namespace {

using importing_gui::ControlWindow;
using importing_gui::TableNavigator;
using importing_gui::TControlPlantilla;
using importing_gui::TControlProfesores;

QApplication& App() {
  static int argc = 1;
  static char name[] = "import_gui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

class ControlWindowsTest : public ImportFixture {
 protected:
  void SetUp() override {
    App();
    ImportFixture::SetUp();
    WriteTable("QTEMP/PROFT.DBF", kProft,
               {{"GLJ", "GARCIA LOPEZ, JUAN", "", "MATEMATIQUES", "0"},
                {"PA", "PEREZ ANA", "", "VALENCIA", "22222222"},
                {"GLJ2", "GIL LLOPIS, JOAN", "", "FISICA", ""}});
    importing::PeriodTimes times;
    for (int p = 1; p <= 8; ++p) {
      const std::string hour = (7 + p < 10 ? "0" : "") + std::to_string(7 + p);
      times.Set(p, {hour + ":00", hour + ":55"});
    }
    times.WritePlantilla(testing_support::DriveC());
  }

  // Shows the window and gives it the focus, as exec() would.
  template <typename Window>
  std::unique_ptr<Window> Open() {
    auto window = std::make_unique<Window>(nullptr, testing_support::DriveC());
    window->SetErrorReporter(
        [this](const std::string& text) { errors_.push_back(text); });
    window->show();
    QApplication::setActiveWindow(window.get());
    window->grid()->setFocus();
    QApplication::processEvents();
    return window;
  }

  static std::vector<std::string> Dnis() {
    std::vector<std::string> dnis;
    for (const Values& row : ReadRows("C:\\QTEMP\\PROFT.DBF")) {
      dnis.push_back(row[4]);
    }
    return dnis;
  }

  std::vector<std::string> errors_;
};

struct LayoutCase {
  const char* caption;
  QSize client;
  int frozen;
  QStringList titles;
  QString incidence;
  QRect grid;
  QRect close;
};

TEST_F(ControlWindowsTest, WindowsFollowTheirLayoutTables) {
  auto profes = Open<TControlProfesores>();
  auto plantilla = Open<TControlPlantilla>();
  const std::vector<std::pair<ControlWindow*, LayoutCase>> cases = {
      {profes.get(),
       {"Control de Profesores",
        {726, 499},
        3,
        {"ABREV", "NOMBRE", "DEPARTAMENTO", "DNI"},
        "INCIDENCIAS EN EL TRASPASO",
        {9, 56, 504, 433},
        {584, 216, 75, 25}}},
      {plantilla.get(),
       {"Control de Plantilla Horaria",
        {726, 463},
        1,
        {"HORA", "HORA INICIO CLASE", "HORA FINAL CLASE"},
        "PLANTILLA HORARIA DEL CENTRO",
        {156, 56, 330, 385},
        {576, 312, 75, 25}}},
  };
  for (const auto& [window, c] : cases) {
    EXPECT_EQ(window->windowTitle(), c.caption);
    EXPECT_EQ(window->size(), c.client) << c.caption;
    EXPECT_EQ(window->grid()->frozen_columns(), c.frozen) << c.caption;
    QStringList titles;
    for (int i = 0; i < window->model()->columnCount(); ++i) {
      titles << window->model()
                    ->headerData(i, Qt::Horizontal, Qt::DisplayRole)
                    .toString();
    }
    EXPECT_EQ(titles, c.titles) << c.caption;
    EXPECT_EQ(window->incidence_label()->text(), c.incidence);
    EXPECT_EQ(window->grid()->geometry(), c.grid) << c.caption;
    EXPECT_EQ(window->close_button()->text(), "Salir");
    EXPECT_EQ(window->close_button()->geometry(), c.close) << c.caption;
    EXPECT_EQ(window->navigator()->geometry().size(), QSize(275, 24));
    // The frozen view shows exactly the fixed columns.
    for (int i = 0; i < window->model()->columnCount(); ++i) {
      EXPECT_EQ(window->grid()->frozen_view()->isColumnHidden(i), i >= c.frozen)
          << c.caption << " column " << i;
    }
    EXPECT_TRUE(window->grid()->alternatingRowColors());
    EXPECT_EQ(window->grid()->palette().color(QPalette::AlternateBase),
              QColor(0xCF, 0xD9, 0xFE));
  }
  EXPECT_EQ(profes->model()->rowCount(), 3);
  EXPECT_EQ(plantilla->model()->rowCount(), 20);
}

TEST_F(ControlWindowsTest, ModelsPassTheModelTesterWhileEdited) {
  auto window = Open<TControlProfesores>();
  QAbstractItemModelTester tester(
      window->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
  auto* model = window->model();
  EXPECT_TRUE(model->setData(model->index(0, 3), "11111111", Qt::EditRole));
  window->navigator()->Press(TableNavigator::kNext);
  window->navigator()->Press(TableNavigator::kRefresh);
  EXPECT_EQ(model->data(model->index(0, 3), Qt::DisplayRole).toString(),
            "11111111");
  EXPECT_FALSE(model->index(0, 4).isValid());
  EXPECT_FALSE(model->index(3, 0).isValid());
}

TEST_F(ControlWindowsTest, EnteringTheGridEditsAndSalirStoresTheRow) {
  auto window = Open<TControlProfesores>();
  EXPECT_TRUE(window->model()->Editing());  // ProftDBGridEnter
  auto* model = window->model();
  ASSERT_TRUE(model->setData(model->index(0, 3), "12345678", Qt::EditRole));
  EXPECT_EQ(Dnis()[0], "0");  // not stored yet
  QTest::mouseClick(window->close_button(), Qt::LeftButton);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(Dnis(), (std::vector<std::string>{"12345678", "22222222", ""}));
}

TEST_F(ControlWindowsTest, ClosingByTheTitleBarStoresTheRowToo) {
  auto window = Open<TControlProfesores>();
  auto* model = window->model();
  ASSERT_TRUE(model->setData(model->index(0, 3), "7", Qt::EditRole));
  window->close();
  EXPECT_EQ(Dnis()[0], "7");
}

TEST_F(ControlWindowsTest, MovingToAnotherRowStoresAndCancelDrops) {
  auto window = Open<TControlProfesores>();
  auto* model = window->model();
  ASSERT_TRUE(model->setData(model->index(0, 3), "5", Qt::EditRole));
  window->navigator()->Press(TableNavigator::kLast);
  EXPECT_EQ(model->CurrentRow(), 2);
  EXPECT_EQ(window->grid()->currentIndex().row(), 2);  // the grid follows
  EXPECT_EQ(Dnis()[0], "5");

  ASSERT_TRUE(model->setData(model->index(2, 3), "9", Qt::EditRole));
  window->navigator()->Press(TableNavigator::kCancel);
  EXPECT_FALSE(model->Editing());
  EXPECT_EQ(model->Text(2, 3), "");
  window->grid()->setCurrentIndex(model->index(1, 3));  // a click on row 2
  EXPECT_EQ(Dnis()[2], "");
  EXPECT_EQ(model->CurrentRow(), 1);
}

TEST_F(ControlWindowsTest, ADniThatIsNoWholeNumberIsRefused) {
  auto window = Open<TControlProfesores>();
  auto* model = window->model();
  for (const std::string typed : {"12A", "1.5", "ABC"}) {
    errors_.clear();
    EXPECT_FALSE(model->setData(model->index(0, 3),
                                QString::fromStdString(typed), Qt::EditRole));
    EXPECT_EQ(errors_, (std::vector<std::string>{
                           "'" + typed +
                           "' no es un valor entero válido para el campo "
                           "'DNI'"}));
    EXPECT_TRUE(model->Editing());  // the row stays in edit mode
  }
  // An emptied DNI is stored as empty.
  ASSERT_TRUE(model->setData(model->index(1, 3), "", Qt::EditRole));
  window->navigator()->Press(TableNavigator::kPost);
  EXPECT_EQ(Dnis()[1], "");
}

TEST_F(ControlWindowsTest, EnterMovesToTheNextCell) {
  auto window = Open<TControlPlantilla>();
  auto* grid = window->grid();
  grid->setCurrentIndex(window->model()->index(0, 1));
  QTest::keyClick(grid, Qt::Key_Return);
  EXPECT_EQ(grid->currentIndex(), window->model()->index(0, 2));
  QTest::keyClick(grid, Qt::Key_Enter);
  EXPECT_EQ(grid->currentIndex().row(), 1);
}

TEST_F(ControlWindowsTest, TimesAreLimitedToFiveCharacters) {
  auto window = Open<TControlPlantilla>();
  auto* grid = window->grid();
  const QModelIndex start = window->model()->index(2, 1);
  grid->setCurrentIndex(start);
  grid->edit(start);
  auto* editor = grid->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->maxLength(), 5);
  editor->setText("09:10");
  errors_.clear();
  QTest::keyClick(editor, Qt::Key_Return);  // commits, moves on
  EXPECT_EQ(grid->currentIndex(), window->model()->index(2, 2));
  EXPECT_EQ(window->model()->Text(2, 1), "09:10")
      << (errors_.empty() ? "" : errors_[0]);
  EXPECT_TRUE(window->model()->Editing());
  QTest::mouseClick(window->close_button(), Qt::LeftButton);
  EXPECT_EQ(ReadRows(importing::kPlantillaPath)[2][1], "09:10");
}

TEST_F(ControlWindowsTest, FrozenColumnsStayWhenTheGridScrollsSideways) {
  auto window = Open<TControlProfesores>();
  auto* grid = window->grid();
  grid->SetColumnWidth(3, 900);  // wider than the grid
  const QRect frozen_before = grid->frozen_view()->geometry();
  grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->maximum());
  QApplication::processEvents();
  EXPECT_GT(grid->horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(grid->frozen_view()->geometry(), frozen_before);
  EXPECT_EQ(grid->frozen_view()->width(), grid->FrozenWidth());
}

// The width `text` takes in `font`, broken into lines no wider than `width`.
int LinesNeeded(const QFont& font, const QString& text, int width) {
  const QFontMetrics metrics(font);
  const QRect box =
      metrics.boundingRect(QRect(0, 0, width, 1000), Qt::TextWordWrap, text);
  return (box.height() + metrics.leading()) / metrics.lineSpacing();
}

TEST_F(ControlWindowsTest, NoTitleOrCellIsCut) {
  WriteTable(
      "QTEMP/PROFT.DBF", kProft,
      {{"MMX", "MARTINEZ MARTINEZ, MAXIMILIANO", "", "EDUCACIO FISICA", "0"},
       {"WWWW", "W", "", "MATEMATIQUES", "99999999"}});
  auto profes = Open<TControlProfesores>();
  auto plantilla = Open<TControlPlantilla>();
  for (ControlWindow* window :
       std::vector<ControlWindow*>{profes.get(), plantilla.get()}) {
    auto* grid = window->grid();
    QFont title_font = grid->horizontalHeader()->font();
    title_font.setBold(true);
    const int digit = grid->fontMetrics().horizontalAdvance('0');
    int total = 0;
    for (int c = 0; c < window->model()->columnCount(); ++c) {
      const auto& column = window->model()->columns()[c];
      const int width = grid->columnWidth(c);
      total += width;
      const std::string name = column.title.toStdString();
      // As wide as its width in characters, its cells as Qt measures them,
      // and its title on the header's two lines (inside its margins).
      EXPECT_GE(width, column.width_chars * digit) << name;
      EXPECT_GE(width,
                static_cast<QAbstractItemView*>(grid)->sizeHintForColumn(c))
          << name;
      EXPECT_LE(LinesNeeded(title_font, column.title, width - 12), 2) << name;
    }
    // And every column in view at once, beside the vertical scroll bar.
    EXPECT_LE(total, grid->viewport()->width())
        << window->windowTitle().toStdString();
  }
}

TEST_F(ControlWindowsTest, ARefusedDniKeepsTheTypedTextInEditMode) {
  auto window = std::make_unique<TControlProfesores>(
      nullptr, testing_support::DriveC());  // its own box
  window->show();
  QApplication::setActiveWindow(window.get());
  auto* grid = window->grid();
  const QModelIndex dni = window->model()->index(0, 3);
  grid->setFocus();
  grid->setCurrentIndex(dni);
  grid->edit(dni);
  auto* editor = grid->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  editor->setText("12AB");
  QStringList box_texts;
  QStringList box_buttons;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    box_texts << box->text();
    for (QAbstractButton* button : box->buttons())
      box_buttons << button->text();
    box->buttons().front()->click();
  });
  answer.start(5);
  QTest::keyClick(editor, Qt::Key_Return);
  answer.stop();
  QApplication::processEvents();

  EXPECT_EQ(box_texts,
            QStringList{QString::fromUtf8(
                "'12AB' no es un valor entero válido para el campo 'DNI'")});
  EXPECT_EQ(box_buttons, QStringList{"Aceptar"});
  editor = grid->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr) << "the editor was closed";
  EXPECT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->text(), "12AB");
  EXPECT_EQ(grid->currentIndex(), dni);
  EXPECT_TRUE(window->model()->Editing());
  // Mended, the number goes in as usual.
  editor->setText("12345678");
  QTest::keyClick(editor, Qt::Key_Return);
  QTest::mouseClick(window->close_button(), Qt::LeftButton);
  EXPECT_EQ(Dnis()[0], "12345678");
}

double Luminance(const QColor& colour) {
  const auto channel = [](double value) {
    return value <= 0.04045 ? value / 12.92
                            : std::pow((value + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
         0.0722 * channel(colour.blueF());
}

// The contrast ratio of the Web Content Accessibility Guidelines.
double Contrast(const QColor& a, const QColor& b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(ControlWindowsTest, TitlesAreReadableOnTheirGradient) {
  auto profes = Open<TControlProfesores>();
  auto plantilla = Open<TControlPlantilla>();
  for (ControlWindow* window :
       std::vector<ControlWindow*>{profes.get(), plantilla.get()}) {
    QLabel* title = window->title_label();
    const QColor ink = title->palette().color(QPalette::WindowText);
    // The panel's own painting behind the title, without its children.
    QImage behind(title->size(), QImage::Format_RGB32);
    title->parentWidget()->render(&behind, QPoint(), QRegion(title->geometry()),
                                  QWidget::DrawWindowBackground);
    double worst = 100;
    for (int y = 0; y < behind.height(); ++y) {
      for (int x = 0; x < behind.width(); ++x)
        worst = std::min(worst, Contrast(ink, behind.pixelColor(x, y)));
    }
    EXPECT_GE(worst, 4.5) << window->windowTitle().toStdString();
  }
}

// Not a check: writes the screenshots kept in docs/screenshots when
// TQV_SCREENSHOT_DIR names a folder.
TEST_F(ControlWindowsTest, Screenshots) {
  const char* folder = std::getenv("TQV_SCREENSHOT_DIR");
  if (folder == nullptr) GTEST_SKIP() << "TQV_SCREENSHOT_DIR not set";
  auto profes = Open<TControlProfesores>();
  QApplication::processEvents();
  profes->grab().save(QString(folder) + "/control_profesores.png");
  auto plantilla = Open<TControlPlantilla>();
  QApplication::processEvents();
  plantilla->grab().save(QString(folder) + "/control_plantilla.png");
}

}  // namespace
}  // namespace import_testing
