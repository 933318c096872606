// File-system helpers of the installation that the port monitor and the driver registration
// both need.
#pragma once

#include "platform/Platform.h"

namespace zenthar {

// Lets this thread see the native system folders from now on (a 32-bit program on 64-bit
// Windows is otherwise redirected to SysWOW64). True also where the system has no redirection.
bool DisableFsRedirection(platform::Platform& platform);

// Puts the system's WBEM copy of FRAMEDYN.dll into the system directory, which the spooler
// needs to register the driver on some systems.
void CopyFrameDyn(platform::Platform& platform);

}  // namespace zenthar
