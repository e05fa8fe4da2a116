#include "shell/gui/qt_translations.h"

#include <QLibraryInfo>
#include <QTranslator>

namespace shell_gui {

bool LoadQtSpanishTranslations(QCoreApplication& app) {
  static QTranslator* translator = nullptr;
  if (translator != nullptr) return true;
  auto* loaded = new QTranslator(&app);
  for (const QString& folder :
       {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QCoreApplication::applicationDirPath() + "/translations",
        // The Windows build carries them inside the executable.
        QStringLiteral(":/translations")}) {
    if (loaded->load(QStringLiteral("qtbase_es"), folder)) {
      QCoreApplication::installTranslator(loaded);
      translator = loaded;
      return true;
    }
  }
  delete loaded;
  return false;
}

}  // namespace shell_gui
