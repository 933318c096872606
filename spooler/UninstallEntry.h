// The entry in the system's list of installed programs.
#pragma once

#include "platform/Platform.h"

namespace zenthar {

inline constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVA Orbix Printer 4.64";

// Writes the uninstall entry once; an entry that exists is left exactly as it is.
void RegisterUninstall(platform::Platform& platform);

}  // namespace zenthar
