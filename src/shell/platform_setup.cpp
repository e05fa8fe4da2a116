#include "shell/platform_setup.h"

#include "platform/drive_mapping.h"
#include "platform/locale_settings.h"
#include "tables/files.h"

namespace shell {

void SetUpPlatform(const std::string& drive_c_override) {
  platform::SetDriveCOverride(drive_c_override);
  tables::SetDecimalSeparator(platform::UserDecimalSeparator());
}

}  // namespace shell
