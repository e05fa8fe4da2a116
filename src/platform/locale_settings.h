#pragma once

namespace platform {

// The decimal separator of the user's number format: GetLocaleInfoEx on
// Windows; elsewhere the numeric category of the environment (LC_ALL,
// LC_NUMERIC, LANG) read through the locale database, without touching the
// process's global locale. '.' when the locale is unknown or not installed.
char UserDecimalSeparator();

}  // namespace platform
