// The whole export run in the transfer window (offscreen), with the real Qt
// message boxes answered by the test: buttons after a completed and a failed
// run, the cursor, and the flag that an embedded window leaves in
// Quendrix.ini when it closes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "export/export_run.h"
#include "platform/drive_mapping.h"
#include "platform/ini_file.h"
#include "shell/gui/t_exportar_datos.h"
#include "shell/platform_setup.h"
#include "support/faulty_file_system.h"
#include "support/temp_dir.h"

namespace shell_gui {
namespace {

namespace fs = std::filesystem;

QApplication& App() {
  if (auto* running = qobject_cast<QApplication*>(QCoreApplication::instance()))
    return *running;
  static int argc = 1;
  static char name[] = "shell_gui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// Answers every message box that comes up while it lives by pressing its
// only button, and keeps what each box said.
class BoxAnswerer {
 public:
  struct Box {
    QMessageBox::Icon icon;
    std::string text;
  };

  BoxAnswerer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      boxes.push_back({box->icon(), box->text().toStdString()});
      box->buttons().front()->click();
    });
    timer_.start(5);
  }

  std::vector<Box> boxes;

 private:
  QTimer timer_;
};

// Closing the window ends the program (QCoreApplication::exit), after which
// every nested event loop, a message box's included, returns at once. A
// short main loop of its own clears that, so the next case can show boxes.
void ClearExitRequest() {
  QTimer::singleShot(0, [] { QCoreApplication::quit(); });
  QCoreApplication::exec();
}

class ExportWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    App();
    // The folder list makes the chosen folder the process's current one.
    old_cwd_ = fs::current_path();
    platform::SetDriveCOverride(drive_.path().string());
    const std::string generate =
        "/usr/bin/python3 " TQV_SOURCE_DIR "/tools/sample_school.py '" +
        (drive_.path() / "GC").string() + "' --size small >/dev/null";
    ASSERT_EQ(std::system(generate.c_str()), 0);
  }
  void TearDown() override {
    ClearExitRequest();
    fs::current_path(old_cwd_);
    platform::SetDriveCOverride("");
  }

  std::unique_ptr<TExportarDatos> Make(const QStringList& args) {
    TransferHooks hooks;
    hooks.export_run = exporting::ExportSchoolData;
    hooks.host.exists = [](quintptr) { return true; };
    hooks.host.embed = [](QWidget*, quintptr) {};
    hooks.write_transformed_flag = [this](int flag) {
      platform::WriteProfileString(ini_path_, "Transformadores", "Transformado",
                                   std::to_string(flag));
    };
    return std::make_unique<TExportarDatos>(args, std::move(hooks));
  }

  std::string Ini() {
    std::ifstream in(ini_path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path old_cwd_;
  testing_support::TempDir drive_{"tqv-export-window"};
  testing_support::TempDir ini_folder_{"tqv-export-ini"};
  const std::string ini_path_ = ini_folder_.File("Quendrix.ini");
};

TEST_F(ExportWindowTest, CompletedAndFailedRunsStandAloneAndEmbedded) {
  const struct {
    bool embedded;
    bool fail;
  } kCases[] = {{false, false}, {false, true}, {true, false}, {true, true}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.embedded ? "embedded" : "stand-alone") +
                 (c.fail ? ", failed" : ", completed"));
    ClearExitRequest();
    fs::remove(ini_path_);
    auto w = Make(c.embedded ? QStringList{"exportar", "1a"} : QStringList{});
    w->show();
    if (c.fail) {
      // The working copy loses a table that the fourth step needs.
      fs::remove(drive_.path() / "QTEMP" / "VALENCIA" / "alumnos.dbf");
    }
    std::vector<BoxAnswerer::Box> boxes;
    {
      BoxAnswerer answerer;
      w->BExportar->click();
      boxes = answerer.boxes;
    }
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Information);
    EXPECT_EQ(boxes[0].text, exporting::kWarningText);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    if (c.fail) {
      EXPECT_EQ(boxes[1].icon, QMessageBox::Critical);
      EXPECT_TRUE(w->BExportar->isEnabled());
      EXPECT_TRUE(w->BImportar->isEnabled());
      EXPECT_TRUE(w->isVisible());
      EXPECT_EQ(w->context().transformed, 0);
      if (c.embedded) {
        EXPECT_TRUE(w->close());
        EXPECT_EQ(Ini(), "[Transformadores]\r\nTransformado=0\r\n");
      }
    } else {
      EXPECT_EQ(boxes[1].icon, QMessageBox::Information);
      EXPECT_EQ(boxes[1].text, exporting::kFinishedText);
      EXPECT_FALSE(w->BExportar->isEnabled());
      EXPECT_FALSE(w->BImportar->isEnabled());
      EXPECT_EQ(w->context().transformed, 1);
      // Embedded, the run closes the window, which stores the flag.
      EXPECT_EQ(w->isVisible(), !c.embedded);
      EXPECT_EQ(Ini(),
                c.embedded ? "[Transformadores]\r\nTransformado=1\r\n" : "");
      EXPECT_TRUE(fs::exists(drive_.path() / "QTEMP" / "ASIGT.DBF"));
    }
  }
}

}  // namespace
}  // namespace shell_gui
