#pragma once

// Start-up wiring of the platform layer into the table engine.

#include <string>

namespace shell {

// Installs platform::MapFixedPath as the engine's path mapper, so "C:\..."
// paths reach the mapped drive C and every name resolves without regard to
// letter case.
void InstallPathMapping();

// What both programs do at start: the drive-C override (--drive-c; empty
// for none), the path mapping, and the user's decimal separator for the
// engine's number conversions.
void SetUpPlatform(const std::string& drive_c_override);

}  // namespace shell
