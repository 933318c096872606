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

// The printer's level-2 record with its strings, in a buffer that keeps them; false with the
// error when it cannot be read.
bool ReadRecord(platform::Platform& platform, platform::Handle printer, std::vector<std::uint8_t>& buffer,
                platform::PrinterInfo2A& info, platform::Dword* error)
{
    platform::Dword needed = 0;
    const auto sized = platform.spooler.GetPrinterA(printer, 2, nullptr, 0, &needed);
    if (!sized.value && sized.error != platform::ERROR_INSUFFICIENT_BUFFER) {
        *error = sized.error;
        return false;
    }
    buffer.assign(std::max<platform::Dword>(needed, sizeof info), 0);
    const auto read = platform.spooler.GetPrinterA(printer, 2, buffer.data(), static_cast<platform::Dword>(buffer.size()),
                                                   &needed);
    if (!read.value) {
        *error = read.error != 0 ? read.error : platform::ERROR_GEN_FAILURE;
        return false;
    }
    std::memcpy(&info, buffer.data(), sizeof info);
    return true;
}

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

}  // namespace

std::optional<InstalledPrinter> ReadInstalledPrinter(platform::Platform& platform, const char* name,
                                                     platform::Dword* error)
{
    platform::Dword ignored = 0;
    platform::Dword& failure = error ? *error : ignored;
    // Read only: the printer's own default access, which any user has.
    platform::Handle printer = platform::kNoHandle;
    const auto opened = platform.spooler.OpenPrinterA(name, &printer, nullptr);
    if (!opened.value) {
        failure = opened.error;
        return std::nullopt;
    }
    const PrinterOwner owner(platform.spooler, printer);
    std::vector<std::uint8_t> buffer;
    platform::PrinterInfo2A info{};
    if (!ReadRecord(platform, printer, buffer, info, &failure)) return std::nullopt;

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

platform::Dword MovePrinterToPort(platform::Platform& platform, const char* name, const char* port,
                                  const char** failedCall)
{
    platform::PrinterDefaultsA defaults{nullptr, nullptr, platform::PRINTER_ALL_ACCESS};
    platform::Handle printer = platform::kNoHandle;
    const auto opened = platform.spooler.OpenPrinterA(name, &printer, &defaults);
    if (!opened.value) {
        *failedCall = "OpenPrinterA";
        return opened.error != 0 ? opened.error : platform::ERROR_GEN_FAILURE;
    }
    const PrinterOwner owner(platform.spooler, printer);
    std::vector<std::uint8_t> buffer;
    platform::PrinterInfo2A info{};
    platform::Dword error = 0;
    if (!ReadRecord(platform, printer, buffer, info, &error)) {
        *failedCall = "GetPrinterA";
        return error;
    }
    char portName[256];
    CopyText(portName, port);
    info.pPortName = portName;
    // The security descriptor is the printer's own and stays as it is.
    info.pSecurityDescriptor = nullptr;
    const auto set = platform.spooler.SetPrinterA(printer, 2, &info, 0);
    if (!set.value) {
        *failedCall = "SetPrinterA";
        return set.error != 0 ? set.error : platform::ERROR_GEN_FAILURE;
    }
    return 0;
}

std::vector<std::string> PortsOfMonitor(platform::Platform& platform, const char* monitorName)
{
    std::vector<std::string> names;
    for (const ListedPort& port : ListPorts(platform))
        if (SameWordNoCase(port.monitor, monitorName)) names.push_back(port.name);
    return names;
}

}  // namespace zenthar
