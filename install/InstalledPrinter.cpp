#include "install/InstalledPrinter.h"

#include <algorithm>
#include <cstring>

#include "core/FixedText.h"
#include "core/Owners.h"
#include "core/SpoolerEnumeration.h"
#include "install/DeviceConfigRecord.h"
#include "platform/Constants.h"

namespace zenthar {

namespace {

// Where the code page lies in the settings record, little-endian.
constexpr std::size_t kCodePageOffset = 4;

std::string Text(const char* text)
{
    return text ? std::string(text) : std::string();
}

}  // namespace

Result<InstalledPrinter> ReadInstalledPrinter(platform::Platform& platform, const char* name)
{
    // Read only: the printer's own default access, which any user has.
    const auto opened = OpenPrinter(platform.spooler, name, nullptr);
    PASS_UP(opened);
    const platform::Handle printer = opened->Get();
    const auto level2 = ReadPrinterRecord(platform.spooler, printer);
    PASS_UP(level2);
    const platform::PrinterInfo2A& info = level2->Info();

    InstalledPrinter found;
    found.driver = Text(info.pDriverName);
    found.ours = found.driver == name;
    found.port = Text(info.pPortName);
    std::vector<std::uint8_t> record(kDeviceConfigRecordSize);
    platform::Dword type = 0;
    platform::Dword needed = 0;
    const auto read = [&] {
        return platform.spooler
            .GetPrinterDataA(printer, kDeviceConfigValueName, &type, record.data(),
                             static_cast<platform::Dword>(record.size()), &needed)
            .value;
    };
    platform::Dword status = read();
    // A record far larger than ours is not one to read the code page from.
    if (status == platform::ERROR_MORE_DATA && needed <= 4 * kDeviceConfigRecordSize) {
        record.resize(needed);
        status = read();
    }
    if (status == platform::ERROR_SUCCESS && needed >= kCodePageOffset + 4 && needed <= record.size()) {
        std::uint32_t codePage = 0;
        for (int i = 3; i >= 0; --i) codePage = codePage << 8 | record[kCodePageOffset + i];
        found.codePage = codePage;
    }
    return found;
}

Status MovePrinterToPort(platform::Platform& platform, const char* name, const char* port)
{
    platform::PrinterDefaultsA defaults{nullptr, nullptr, platform::PRINTER_ALL_ACCESS};
    const auto opened = OpenPrinter(platform.spooler, name, &defaults);
    if (!opened) return FailedCall("OpenPrinterA", opened.Failed().error, platform::ERROR_GEN_FAILURE);
    const platform::Handle printer = opened->Get();
    auto level2 = ReadPrinterRecord(platform.spooler, printer);
    PASS_UP(level2);
    platform::PrinterInfo2A& info = level2->Info();
    char portName[256];
    CopyText(portName, port);
    info.pPortName = portName;
    // The security descriptor is the printer's own and stays as it is.
    info.pSecurityDescriptor = nullptr;
    const auto set = platform.spooler.SetPrinterA(printer, 2, &info, 0);
    if (!set.value) return FailedCall("SetPrinterA", set.error, platform::ERROR_GEN_FAILURE);
    return Done{};
}

std::vector<std::string> PortsOfMonitor(platform::Platform& platform, const char* monitorName)
{
    std::vector<std::string> names;
    for (const ListedPort& port : ListPorts(platform))
        if (SameWordNoCase(port.monitor, monitorName)) names.push_back(port.name);
    return names;
}

}  // namespace zenthar
