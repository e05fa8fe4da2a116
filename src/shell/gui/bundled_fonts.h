#pragma once

// The fonts carried inside the executable (the Windows build carries
// Liberation Sans as the resources ":/fonts/*.ttf"; the Linux build takes
// it from the system and carries none).

#include <QStringList>

namespace shell_gui {

// Registers every font under ":/fonts" and makes Liberation Sans stand in
// for each design face ("Arial", "MS Sans Serif") that the system lacks.
// Returns the design faces that were missing. Call after QApplication.
QStringList RegisterBundledFonts();

}  // namespace shell_gui
