#include "shell/gui/bundled_fonts.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>

namespace shell_gui {

QStringList RegisterBundledFonts() {
  const QDir fonts(QStringLiteral(":/fonts"));
  for (const QString& name : fonts.entryList({QStringLiteral("*.ttf")})) {
    QFontDatabase::addApplicationFont(fonts.filePath(name));
  }
  QStringList faces{QStringLiteral("Arial"), QStringLiteral("MS Sans Serif")};
#ifdef Q_OS_WIN
  // The system's own faces for dialogs and message boxes can be missing as
  // well (a fresh Wine names faces it does not have), and Qt would then
  // fall back to a serif face in the boxes. On Linux the default faces are
  // fontconfig's aliases, which the database does not list: left alone.
  for (const char* kind : {"QMessageBoxLabel", "QLabel", "QPushButton"}) {
    const QString family = QApplication::font(kind).family();
    if (!faces.contains(family)) faces << family;
  }
  if (!faces.contains(QApplication::font().family())) {
    faces << QApplication::font().family();
  }
#endif
  QStringList missing;
  for (const QString& family : faces) {
    if (family.isEmpty() || QFontDatabase::hasFamily(family)) continue;
    // A substitute is only used when the family itself is not found.
    QFont::insertSubstitution(family, QStringLiteral("Liberation Sans"));
    missing << family;
  }
  return missing;
}

}  // namespace shell_gui
