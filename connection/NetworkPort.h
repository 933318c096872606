// The Standard TCP/IP port a network printer goes on: named "IP_" and the address, written
// straight into the monitor's configuration in the registry, and made known to the monitor
// by restarting the spooler.
#pragma once

#include <optional>
#include <string>

#include "core/Notice.h"
#include "platform/Platform.h"

namespace zenthar {
// Where the monitor keeps its ports, below HKEY_LOCAL_MACHINE.
inline constexpr const char* kTcpIpPortsKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";

inline constexpr int kAddressTextSize = 32;
// Every network port the installer makes is named this and the address.
inline constexpr const char* kNetworkPortPrefix = "IP_";

// The run's network port, kept by the installation run for the printer creation.
struct NetworkPortFields {
    char networkPortName[32] = {};
    char networkAddress[32] = {};
    char networkPortKey[1024] = {};
};

struct NetworkPortWritten {
    // The key was made, opened and took every value.
    bool allWritten = false;
    // Every restart command ended by itself (true when none was run).
    bool restarted = true;
};

// Names the port after `addressText` (the interface dialog's confirmed address, possibly
// empty), creates its key with the monitor's values and restarts the services. A key that
// cannot be created stops it silently: the printer is then made on the port name all the
// same. Failed value writes and a restart command that had to be stopped are reported through
// `notices`.
NetworkPortWritten CreateNetworkPort(platform::Platform& platform, NetworkPortFields& fields,
                                     const char (&addressText)[kAddressTextSize], const NoticeSink& notices);

// Writes the port's values to `fields.networkPortKey` and restarts the LPD service and the
// spooler.
NetworkPortWritten WriteTcpIpPortValues(platform::Platform& platform, const NetworkPortFields& fields,
                                        const NoticeSink& notices);

// Whether the Standard TCP/IP Port monitor's ports key can be opened for writing.
bool TcpIpMonitorPresent(platform::Platform& platform);

// Stops and starts the LPD service and the spooler, so that the monitor reads its ports from
// the registry again. The commands' exit codes are not looked at: LPD may not exist. A command
// that does not end in its time is stopped and the others still run; the text that says so is
// returned for the first such command, nothing when every one ended.
std::optional<std::string> RestartPortServices(platform::Platform& platform);

}  // namespace zenthar
