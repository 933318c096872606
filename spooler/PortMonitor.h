// The installer's own USB port monitor.
#pragma once

#include <cstdint>

#include "core/InstallSession.h"
#include "platform/Platform.h"

namespace zenthar {

inline constexpr const char* kPortMonitorName = "KVPOS Port Monitor";
// The monitor and its user-interface part, copied into the system directory.
inline constexpr const char* kPortMonitorLibraries[] = {"KVUSBMON.dll", "KVUSBMONUI.dll"};

// Whether a monitor of exactly that name is registered with the spooler.
bool IsPortMonitorInstalled(platform::Platform& platform);

// Copies the monitor's two libraries for `processor` into the system directory and registers
// the monitor. Failures only reach the debugger output.
void InstallPortMonitor(platform::Platform& platform, Processor processor);

}  // namespace zenthar
