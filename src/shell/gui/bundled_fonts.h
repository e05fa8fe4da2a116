#pragma once

// The fonts carried inside the executable (the Windows build carries
// Liberation Sans as the resources ":/fonts/*.ttf"; the Linux build takes
// it from the system and carries none).

#include <QStringList>

namespace shell_gui {

// Registers every font under ":/fonts" and makes Liberation Sans stand in
// for each design face ("Arial", "MS Sans Serif") and each of the system's
// default faces that the system lacks. Returns the faces that were missing.
// Call after QApplication, before any window is made.
QStringList RegisterBundledFonts();

}  // namespace shell_gui
