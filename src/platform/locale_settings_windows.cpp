#include <windows.h>

#include "platform/locale_settings.h"

namespace platform {

char UserDecimalSeparator() {
  wchar_t buffer[8] = {};
  const int n =
      GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8);
  if (n >= 2 && buffer[0] > 0 && buffer[0] < 128) {
    return static_cast<char>(buffer[0]);
  }
  return '.';
}

}  // namespace platform
