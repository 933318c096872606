// The uninstaller with windows: what is ours is looked up first; when there is nothing, or
// the spooler cannot be read, a message says so and the program ends. Otherwise the confirmation, then the removal
// under its progress window, then the summary over it.
#pragma once

#include <optional>
#include <string_view>

#include "core/ExitCodes.h"
#include "platform/Platform.h"

namespace zenthar::uninstall {

UninstallerExit RunUninstallerApp(platform::Platform& platform);

// The 32-bit program on 64-bit Windows: runs "DriverOrbixUninstaller64.exe" from its own folder
// with the same arguments and gives its exit code, whatever number that is; NothingTried, after
// saying so, when it cannot be started. Nothing when this program does the work itself.
std::optional<UninstallerExit> HandOverToTwin(platform::Platform& platform, std::string_view arguments);

}  // namespace zenthar::uninstall
