#pragma once

// The application's help system: the F1 key and the button "F1 AYUDA" come
// here, and it hands the request to the registered HTML help viewer.

namespace shell {

// The table of contents of the application's help file.
void ShowHelpContents();
// One help context of the application's help file (the window uses 1).
void ShowHelpContext(int context);

}  // namespace shell
