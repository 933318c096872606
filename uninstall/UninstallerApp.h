// The uninstaller with windows: what is ours is looked up first; when there is nothing, or
// the spooler cannot be read, a message says so and the program ends. Otherwise the confirmation, then the removal under
// its progress window, then the summary over it.
#pragma once

#include "platform/Platform.h"

namespace zenthar::uninstall {

inline constexpr const char* kNothingFoundText =
    "No NORVA Orbix printer, printer driver, port or port monitor was found on this computer.\n"
    "Nothing was changed.";

int RunUninstallerApp(platform::Platform& platform);

}  // namespace zenthar::uninstall
