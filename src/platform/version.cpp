#include "platform/version.h"

namespace platform {

const char* VersionBanner() {
  return "TransQuendraValencia 0.1 - utilidad de transferencia ZELMAR-Quendrix";
}

}  // namespace platform
