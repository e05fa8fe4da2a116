#pragma once

// Qt's own texts (the edit boxes' right-click menus, the standard buttons
// and dialogs) in Spanish, as the rest of the program.

#include <QCoreApplication>

namespace shell_gui {

// Installs Qt's Spanish translations, from Qt's translations folder
// (Debian's qt6-translations-l10n) or a "translations" folder beside the
// program. False when neither holds them: Qt's texts stay in English.
bool LoadQtSpanishTranslations(QCoreApplication& app);

}  // namespace shell_gui
