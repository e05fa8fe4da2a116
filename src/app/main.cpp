// TransQuendraValencia: the transfer window.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("TransQuendraValencia");
  QWidget window;
  window.setWindowTitle("Exportar e importar datos ");
  window.show();
  return app.exec();
}
