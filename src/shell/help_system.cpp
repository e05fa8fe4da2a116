// Placeholder until the help viewer lands: requests are ignored, as when the
// help library is missing.
#include "shell/help_system.h"

namespace shell {

void ShowHelpContents() {}
void ShowHelpContext(int) {}

}  // namespace shell
