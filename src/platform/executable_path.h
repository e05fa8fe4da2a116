#pragma once

#include <string>

namespace platform {

// The native folder that holds the running executable, without a trailing
// separator; the current folder when it cannot be found.
std::string ExecutableFolder();

}  // namespace platform
