// The installer's own USB port monitor, and two file-system helpers of the installation.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace zenthar {

inline constexpr const char* kPortMonitorName = "KVPOS Port Monitor";

// 1 when a monitor of exactly that name is registered with the spooler.
int IsPortMonitorInstalled(platform::Platform& platform);

// Copies the monitor's two libraries for `processor` into the system directory and registers
// the monitor. Failures only reach the debugger output.
void InstallPortMonitor(platform::Platform& platform, std::int32_t processor);

// Lets this thread see the native system folders from now on (a 32-bit program on 64-bit
// Windows is otherwise redirected to SysWOW64). 1 where the system has no redirection.
int DisableFsRedirection(platform::Platform& platform);

// Puts the system's WBEM copy of FRAMEDYN.dll into the system directory, which the spooler
// needs to register the driver on some systems.
void CopyFrameDyn(platform::Platform& platform);

}  // namespace zenthar
