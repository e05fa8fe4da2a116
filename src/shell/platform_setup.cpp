#include "shell/platform_setup.h"

#include "platform/drive_mapping.h"
#include "platform/locale_settings.h"
#include "tables/files.h"

namespace shell {

void InstallPathMapping() { tables::SetPathMapper(platform::MapFixedPath); }

void SetUpPlatform(const std::string& drive_c_override) {
  platform::SetDriveCOverride(drive_c_override);
  InstallPathMapping();
  tables::SetDecimalSeparator(platform::UserDecimalSeparator());
}

}  // namespace shell
