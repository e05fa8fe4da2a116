#pragma once

namespace platform {

// The version banner of the transfer window.
const char* VersionBanner();

}  // namespace platform
