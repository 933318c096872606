// Which Windows family and processor the installation is for.
#pragma once

#include <cstdint>

#include "core/InstallSession.h"
#include "platform/Platform.h"

namespace zenthar {

// Sets the session's osFamily and processor from the version record and the processor
// information. A system the table does not know leaves the family as it was; a failed
// version query changes nothing.
void DetectPlatform(platform::Platform& platform, InstallSession& session);

// Whether the machine itself is an Arm PC, whichever processor this program is built for and
// emulated as. Systems before Windows 10's IsWow64Process2 have no Arm side.
bool RunsOnArmPc(platform::Platform& platform);

// What every connection choice starts from, with windows or without: the family and processor
// detected, and USB printers put on the port monitor's port.
void PrepareConnectionSession(platform::Platform& platform, InstallSession& session);

// The kind of port a port name stands for: by its first characters, COM, LPT, USB or the six
// characters "TCP/IP"; anything else is treated as a COM port.
PortKind ClassifyPort(const char* portName);

}  // namespace zenthar
