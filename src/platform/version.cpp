#include "platform/version.h"

namespace platform {

const char* VersionBanner() { return "TransQuendraValencia 0.1 - Equipo TQV"; }

}  // namespace platform
