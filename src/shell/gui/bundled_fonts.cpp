#include "shell/gui/bundled_fonts.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>

namespace shell_gui {

QStringList RegisterBundledFonts() {
  const QDir fonts(QStringLiteral(":/fonts"));
  for (const QString& name : fonts.entryList({QStringLiteral("*.ttf")})) {
    QFontDatabase::addApplicationFont(fonts.filePath(name));
  }
  QStringList missing;
  for (const char* face : {"Arial", "MS Sans Serif"}) {
    const QString family = QString::fromLatin1(face);
    if (QFontDatabase::hasFamily(family)) continue;
    // A substitute is only used when the family itself is not found.
    QFont::insertSubstitution(family, QStringLiteral("Liberation Sans"));
    missing << family;
  }
  return missing;
}

}  // namespace shell_gui
