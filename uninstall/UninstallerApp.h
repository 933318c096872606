// The uninstaller with windows: what is ours is looked up first; when there is nothing, or
// the spooler cannot be read, a message says so and the program ends. Otherwise the confirmation, then the removal under
// its progress window, then the summary over it.
#pragma once

#include "platform/Platform.h"

namespace zenthar::uninstall {

// Exit codes of the run with windows; 0 and 1 mean what they mean for the windowless run.
inline constexpr int kExitRemoved = 0;        // everything removed, or nothing to remove
inline constexpr int kExitNotAllRemoved = 1;  // at least one part is still there, or unread
inline constexpr int kExitCancelled = 2;      // the user said no: nothing was changed

inline constexpr const char* kNothingFoundText =
    "No NORVA Orbix printer, printer driver, port or port monitor was found on this computer.\n"
    "Nothing was changed.";

int RunUninstallerApp(platform::Platform& platform);

}  // namespace zenthar::uninstall
