#include "core/SpoolerEnumeration.h"

#include <algorithm>
#include <cstring>

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

Result<PrinterRecord> ReadPrinterRecord(platform::Spooler& spooler, platform::Handle printer)
{
    PrinterRecord record;
    platform::Dword needed = 0;
    const auto sized = spooler.GetPrinterA(printer, 2, nullptr, 0, &needed);
    if (!sized.value && sized.error != platform::ERROR_INSUFFICIENT_BUFFER) return Failure{"GetPrinterA", sized.error};
    record.buffer.assign(std::max<platform::Dword>(needed, sizeof record.info), 0);
    const auto read = spooler.GetPrinterA(printer, 2, record.buffer.data(),
                                          static_cast<platform::Dword>(record.buffer.size()), &needed);
    if (!read.value) return FailedCall("GetPrinterA", read.error, platform::ERROR_GEN_FAILURE);
    std::memcpy(&record.info, record.buffer.data(), sizeof record.info);
    return record;
}

}  // namespace zenthar
