// The Standard TCP/IP port a network printer goes on: named "IP_" and the address, written
// straight into the monitor's configuration in the registry, and made known to the monitor
// by restarting the spooler.
#pragma once

#include "core/Notice.h"
#include "platform/Platform.h"

namespace zenthar {
// Where the monitor keeps its ports, below HKEY_LOCAL_MACHINE.
inline constexpr const char* kTcpIpPortsKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";

inline constexpr int kAddressTextSize = 32;
// Every network port the installer makes is named this and the address.
inline constexpr const char* kNetworkPortPrefix = "IP_";

// The run's network port, kept by the main dialog for the printer creation.
struct NetworkPortFields {
    char networkPortName[32] = {};
    char networkAddress[32] = {};
    char networkPortKey[1024] = {};
};

// Names the port after `addressText` (the interface dialog's confirmed address, possibly
// empty), creates its key with the monitor's values and restarts the services. A key that
// cannot be created stops it silently: the printer is then made on the port name all the
// same. Failed value writes are reported through `notices`. true: the key and every value
// were written.
bool CreateNetworkPort(platform::Platform& platform, NetworkPortFields& fields,
                       const char (&addressText)[kAddressTextSize], const NoticeSink& notices);

// Writes the port's values to `fields.networkPortKey` and restarts the LPD service and the
// spooler. `allWritten` (when given) tells whether the key opened and took every value.
void WriteTcpIpPortValues(platform::Platform& platform, const NetworkPortFields& fields, const NoticeSink& notices,
                          bool* allWritten = nullptr);

// What the address dialog warns of when the monitor's ports key cannot be opened for writing.
inline constexpr const char* kTcpIpMonitorMissing =
    "Standard TCP/IP Port not installed\nPlease Install Standard TCP/IP Port";
// Whether the Standard TCP/IP Port monitor's ports key can be opened for writing.
bool TcpIpMonitorPresent(platform::Platform& platform);

// Stops and starts the LPD service and the spooler, so that the monitor reads its ports from
// the registry again. The commands' results are not looked at: LPD may not exist.
void RestartPortServices(platform::Platform& platform);

}  // namespace zenthar
