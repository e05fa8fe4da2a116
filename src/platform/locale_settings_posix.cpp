#include <locale>
#include <stdexcept>

#include "platform/locale_settings.h"

namespace platform {

char UserDecimalSeparator() {
  try {
    // std::locale("") reads the environment's categories; the global C and
    // C++ locales stay "C", so the engine's own number formatting is stable.
    const std::locale user("");
    return std::use_facet<std::numpunct<char>>(user).decimal_point();
  } catch (const std::runtime_error&) {
    return '.';  // the named locale is not installed
  }
}

}  // namespace platform
