#include "core/SpoolerEnumeration.h"

namespace zenthar {

std::vector<ListedPort> ListPorts(platform::Platform& platform)
{
    const auto enumPorts = [&platform](std::uint8_t* buffer, platform::Dword size, platform::Dword* needed,
                                       platform::Dword* returned) {
        return platform.spooler.EnumPortsA(nullptr, 2, buffer, size, needed, returned);
    };
    Enumeration<platform::PortInfo2A> ports;
    ports.Size(enumPorts);
    std::vector<ListedPort> listed;
    if (!ports.Fetch(enumPorts).value) return listed;
    for (const platform::PortInfo2A& record : ports.Records())
        if (record.pPortName) listed.push_back({record.pPortName, record.pMonitorName ? record.pMonitorName : ""});
    return listed;
}

}  // namespace zenthar
