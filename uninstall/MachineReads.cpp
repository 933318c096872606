#include "uninstall/MachineReads.h"

#include "connection/NetworkPort.h"
#include "core/FixedText.h"
#include "core/SpoolerEnumeration.h"
#include "install/NameTables.h"
#include "platform/Constants.h"
#include "spooler/PortMonitor.h"

namespace zenthar::uninstall {

namespace {

using platform::Dword;

std::string Text(const char* text)
{
    return text ? std::string(text) : std::string();
}

// A printer may stand on several ports, listed with commas.
std::vector<std::string> PortsOf(std::string_view list)
{
    std::vector<std::string> ports;
    std::string current;
    for (char c : std::string(list) + ",") {
        if (c != ',') {
            current.push_back(c);
            continue;
        }
        const auto first = current.find_first_not_of(' ');
        if (first != std::string::npos)
            ports.push_back(current.substr(first, current.find_last_not_of(' ') - first + 1));
        current.clear();
    }
    return ports;
}

}  // namespace

bool OurName(std::string_view name)
{
    for (const NameTable* table : {&kModelTable, &kCloneTable})
        for (int i = 0; i < table->count; ++i)
            if (name == (*table)[i]) return true;
    return false;
}

Result<std::vector<PrinterSeen>> ReadPrinters(platform::Platform& platform)
{
    Enumeration<platform::PrinterInfo2A> list;
    const auto call = [&platform](std::uint8_t* buffer, Dword size, Dword* needed, Dword* returned) {
        return platform.spooler.EnumPrintersA(platform::PRINTER_ENUM_LOCAL, nullptr, 2, buffer, size, needed, returned);
    };
    PASS_UP(list.Read(call, "EnumPrintersA"));
    std::vector<PrinterSeen> printers;
    for (const auto& record : list.Records()) {
        PrinterSeen printer{Text(record.pPrinterName), Text(record.pDriverName), PortsOf(Text(record.pPortName))};
        printer.ours = OurName(printer.name) && printer.name == printer.driver;
        printers.push_back(std::move(printer));
    }
    return printers;
}

Result<std::vector<std::string>> ReadDriverNames(platform::Platform& platform, const std::string& environment)
{
    const char* asked = environment.empty() ? nullptr : environment.c_str();
    Enumeration<platform::DriverInfo1A> list;
    const auto call = [&platform, asked](std::uint8_t* buffer, Dword size, Dword* needed, Dword* returned) {
        return platform.spooler.EnumPrinterDriversA(nullptr, asked, 1, buffer, size, needed, returned);
    };
    PASS_UP(list.Read(call, "EnumPrinterDriversA"));
    std::vector<std::string> names;
    for (const auto& record : list.Records()) names.push_back(Text(record.pName));
    return names;
}

Result<MonitorSeen> ReadMonitor(platform::Platform& platform)
{
    MonitorSeen monitor;
    Enumeration<platform::MonitorInfo2A> monitors;
    const auto listMonitors = [&platform](std::uint8_t* buffer, Dword size, Dword* needed, Dword* returned) {
        return platform.spooler.EnumMonitorsA(nullptr, 2, buffer, size, needed, returned);
    };
    PASS_UP(monitors.Read(listMonitors, "EnumMonitorsA"));
    for (const auto& record : monitors.Records())
        if (Text(record.pName) == kPortMonitorName) monitor.registered = true;

    Enumeration<platform::PortInfo2A> ports;
    const auto listPorts = [&platform](std::uint8_t* buffer, Dword size, Dword* needed, Dword* returned) {
        return platform.spooler.EnumPortsA(nullptr, 2, buffer, size, needed, returned);
    };
    PASS_UP(ports.Read(listPorts, "EnumPortsA"));
    for (const auto& record : ports.Records())
        if (Text(record.pMonitorName) == kPortMonitorName) monitor.ports.push_back(Text(record.pPortName));
    return monitor;
}

std::vector<std::string> UsersOfDriver(const std::vector<PrinterSeen>& printers, std::string_view driver, Among among)
{
    std::vector<std::string> users;
    for (const auto& printer : printers)
        if ((among == Among::AllPrinters || !printer.ours) && SameWordNoCase(printer.driver, driver))
            users.push_back(printer.name);
    return users;
}

std::vector<std::string> UsersOfPort(const std::vector<PrinterSeen>& printers, std::string_view port, Among among)
{
    std::vector<std::string> users;
    for (const auto& printer : printers) {
        if (among == Among::OtherPrinters && printer.ours) continue;
        for (const auto& each : printer.ports)
            if (SameWordNoCase(each, port)) {
                users.push_back(printer.name);
                break;
            }
    }
    return users;
}

std::string SystemFolder(platform::Platform& platform)
{
    char directory[platform::MAX_PATH] = {};
    const Dword length = platform.files.GetSystemDirectoryA(directory, sizeof directory).value;
    if (length == 0 || length >= sizeof directory) return {};
    return directory;
}

std::string SystemFile(platform::Platform& platform, const char* name)
{
    const std::string folder = SystemFolder(platform);
    return folder.empty() ? folder : folder + "\\" + name;
}

Result<std::string> ReadDriverFolder(platform::Platform& platform, const std::string& environment)
{
    char directory[256] = {};
    Dword needed = 0;
    const auto found = platform.spooler.GetPrinterDriverDirectoryA(
        nullptr, environment.empty() ? nullptr : environment.c_str(), 1, reinterpret_cast<std::uint8_t*>(directory),
        sizeof directory - 1, &needed);
    if (!found.value) return FailedCall("GetPrinterDriverDirectoryA", found.error, platform::ERROR_GEN_FAILURE);
    // An empty folder would make "\UNIDRV.DLL" of the paths: a file at the drive's root that is
    // not ours. A folder that did not fit its field is not the folder either.
    if (directory[0] == '\0' || needed > sizeof directory - 1) return std::string();
    return std::string(directory);
}

bool PlainlyInside(const std::string& path, const std::string& folder, bool below)
{
    if (folder.empty() || path.size() <= folder.size() + 1 || path[folder.size()] != '\\' ||
        !SameWordNoCase(std::string_view(path).substr(0, folder.size()), folder))
        return false;
    const std::string rest = path.substr(folder.size() + 1);
    if (rest.find_first_of(":/") != std::string::npos || (!below && rest.find('\\') != std::string::npos)) return false;
    std::size_t start = 0;
    for (std::size_t end = 0; end != std::string::npos; start = end + 1) {
        end = rest.find('\\', start);
        const std::string part = rest.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part.empty() || part == "." || part == "..") return false;
    }
    return true;
}

bool FileThere(platform::Platform& platform, const std::string& path)
{
    return !path.empty() && platform.files.GetFileAttributesA(path.c_str()).value != platform::INVALID_FILE_ATTRIBUTES;
}

bool FileGone(platform::Platform& platform, const std::string& path)
{
    const auto found = platform.files.GetFileAttributesA(path.c_str());
    return found.value == platform::INVALID_FILE_ATTRIBUTES &&
           (found.error == platform::ERROR_FILE_NOT_FOUND || found.error == platform::ERROR_PATH_NOT_FOUND);
}

std::string PortKey(const std::string& port)
{
    return std::string(kTcpIpPortsKey) + "\\" + port;
}

}  // namespace zenthar::uninstall
