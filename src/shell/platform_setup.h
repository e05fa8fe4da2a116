#pragma once

// Start-up wiring of the platform layer into the table engine.

#include <string>

namespace shell {

// What both programs do at start: the drive-C override (--drive-c; empty
// for none) and the user's decimal separator for the engine's number
// conversions. (Paths reach the mapped drive C through the file system each
// TransferContext hands its tables.)
void SetUpPlatform(const std::string& drive_c_override);

}  // namespace shell
