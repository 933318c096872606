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

// The printer's level-2 record with its strings, in a buffer that keeps them; 0, or the error
// when it cannot be read.
platform::Dword ReadRecord(platform::Platform& platform, platform::Handle printer, std::vector<std::uint8_t>& buffer,
                           platform::PrinterInfo2A& info)
{
    platform::Dword needed = 0;
    const auto sized = platform.spooler.GetPrinterA(printer, 2, nullptr, 0, &needed);
    if (!sized.value && sized.error != platform::ERROR_INSUFFICIENT_BUFFER) return sized.error;
    buffer.assign(std::max<platform::Dword>(needed, sizeof info), 0);
    const auto read =
        platform.spooler.GetPrinterA(printer, 2, buffer.data(), static_cast<platform::Dword>(buffer.size()), &needed);
    if (!read.value) return read.error != 0 ? read.error : platform::ERROR_GEN_FAILURE;
    std::memcpy(&info, buffer.data(), sizeof info);
    return 0;
}

std::string Text(const char* text)
{
    return text ? std::string(text) : std::string();
}

}  // namespace

InstalledPrinterRead ReadInstalledPrinter(platform::Platform& platform, const char* name)
{
    // Read only: the printer's own default access, which any user has.
    const auto opened = OpenPrinter(platform.spooler, name, nullptr);
    if (!opened) return {std::nullopt, opened.error};
    const platform::Handle printer = opened.owner.Get();
    std::vector<std::uint8_t> buffer;
    platform::PrinterInfo2A info{};
    if (const platform::Dword failure = ReadRecord(platform, printer, buffer, info)) return {std::nullopt, failure};

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
    return {found};
}

PrinterMoved MovePrinterToPort(platform::Platform& platform, const char* name, const char* port)
{
    platform::PrinterDefaultsA defaults{nullptr, nullptr, platform::PRINTER_ALL_ACCESS};
    const auto opened = OpenPrinter(platform.spooler, name, &defaults);
    if (!opened) return {opened.error != 0 ? opened.error : platform::ERROR_GEN_FAILURE, "OpenPrinterA"};
    const platform::Handle printer = opened.owner.Get();
    std::vector<std::uint8_t> buffer;
    platform::PrinterInfo2A info{};
    if (const platform::Dword error = ReadRecord(platform, printer, buffer, info)) return {error, "GetPrinterA"};
    char portName[256];
    CopyText(portName, port);
    info.pPortName = portName;
    // The security descriptor is the printer's own and stays as it is.
    info.pSecurityDescriptor = nullptr;
    const auto set = platform.spooler.SetPrinterA(printer, 2, &info, 0);
    if (!set.value) return {set.error != 0 ? set.error : platform::ERROR_GEN_FAILURE, "SetPrinterA"};
    return {};
}

std::vector<std::string> PortsOfMonitor(platform::Platform& platform, const char* monitorName)
{
    std::vector<std::string> names;
    for (const ListedPort& port : ListPorts(platform))
        if (SameWordNoCase(port.monitor, monitorName)) names.push_back(port.name);
    return names;
}

}  // namespace zenthar
