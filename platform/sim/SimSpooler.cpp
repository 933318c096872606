// The print spooler: its drivers, printers, monitors and ports, and the spooler calls on them.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>

#include "platform/sim/SimBackends.h"

namespace zenthar::sim::detail {

namespace {

constexpr Dword PRINTER_ENUM_DEFAULT = 0x1;
constexpr Dword PRINTER_ENUM_NAME = 0x8;
constexpr Dword PRINTER_ENUM_ICON8 = 0x00800000;
constexpr Dword PRINTER_ATTRIBUTE_LOCAL = 0x40;
constexpr Dword PRINTER_ATTRIBUTE_DEFAULT = 0x4;
constexpr Dword PRINTER_ACCESS_ADMINISTER = 0x4;
constexpr Dword PRINTER_ACCESS_USE = 0x8;
constexpr Dword PORT_TYPE_WRITE = 0x1;
constexpr Dword PORT_TYPE_READ = 0x2;
constexpr std::size_t kMaxPrinterName = 220;
// A multi-string longer than this has lost its terminator.
constexpr std::size_t kMaxMultiString = 64 * 1024;

const char* const kInvalidPrinterNameCharacters = "\\,!";
const char* const kPortDescriptions[][2] = {{"Local Port", "Local Port"},
                                            {"Standard TCP/IP Port", "Standard TCP/IP Port"}};

using Strings = std::vector<std::optional<std::string>>;

std::optional<std::string> Optional(const std::string& text)
{
    if (text.empty()) return std::nullopt;
    return text;
}

// Fills an enumeration the way the spooler does: the records first, then their strings, every
// pointer aiming into the caller's buffer. With too small a buffer only the size is given.
template <class Record>
Call<bool> Pack(const std::vector<Strings>& items,
                const std::function<Record(std::size_t, const std::vector<char*>&)>& make, std::uint8_t* buffer,
                Dword bufferSize, Dword* needed, Dword* returned)
{
    if (!needed || !returned) return Failed(false, kRpcNullRefPointer);
    std::size_t total = sizeof(Record) * items.size();
    for (const auto& strings : items)
        for (const auto& text : strings)
            if (text) total += text->size() + 1;
    *needed = static_cast<Dword>(total);
    *returned = 0;
    if (items.empty()) return Ok(true);
    if (!buffer && bufferSize > 0) return Failed(false, kErrorInvalidUserBuffer);
    if (bufferSize < total) return Failed(false, ERROR_INSUFFICIENT_BUFFER);
    std::size_t at = sizeof(Record) * items.size();
    for (std::size_t i = 0; i < items.size(); ++i) {
        std::vector<char*> pointers;
        for (const auto& text : items[i]) {
            if (!text) {
                pointers.push_back(nullptr);
                continue;
            }
            char* place = reinterpret_cast<char*>(buffer + at);
            std::memcpy(place, text->c_str(), text->size() + 1);
            at += text->size() + 1;
            pointers.push_back(place);
        }
        const Record record = make(i, pointers);
        std::memcpy(buffer + i * sizeof(Record), &record, sizeof(Record));
    }
    *returned = static_cast<Dword>(items.size());
    return Ok(true);
}

bool LocalServer(const char* server)
{
    return !server || !*server;
}

std::string NativeEnvironment(const MachineProfile& profile)
{
    if (profile.Is9x()) return "Windows 4.0";
    if (profile.nativeArchitecture == PROCESSOR_ARCHITECTURE_AMD64) return "Windows x64";
    if (profile.nativeArchitecture == PROCESSOR_ARCHITECTURE_IA64) return "Windows IA64";
    return "Windows NT x86";
}

std::string BaseName(const std::string& path)
{
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<std::string> ReadMultiString(const char* text)
{
    std::vector<std::string> names;
    if (!text) return names;
    std::size_t at = 0;
    while (at < kMaxMultiString && text[at]) {
        const std::size_t length = std::strlen(text + at);
        names.emplace_back(text + at, length);
        at += length + 1;
    }
    return names;
}

std::vector<std::string> SplitPorts(const std::string& ports)
{
    std::vector<std::string> names;
    std::string current;
    for (char c : ports + ",") {
        if (c == ',') {
            while (!current.empty() && current.front() == ' ') current.erase(current.begin());
            while (!current.empty() && current.back() == ' ') current.pop_back();
            if (!current.empty()) names.push_back(current);
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    return names;
}

Strings PrinterStrings(const SimPrinter& p)
{
    return {p.name,
            Optional(p.shareName),
            p.portName,
            p.driverName,
            Optional(p.comment),
            Optional(p.location),
            Optional(p.sepFile),
            p.printProcessor,
            p.datatype,
            Optional(p.parameters)};
}

// A level-2 record whose strings (in the order of PrinterStrings) are already in place.
PrinterInfo2A PrinterRecord(const SimPrinter& p, const std::vector<char*>& s, const std::string& defaultPrinter)
{
    PrinterInfo2A record{};
    record.pPrinterName = s[0];
    record.pShareName = s[1];
    record.pPortName = s[2];
    record.pDriverName = s[3];
    record.pComment = s[4];
    record.pLocation = s[5];
    record.pSepFile = s[6];
    record.pPrintProcessor = s[7];
    record.pDatatype = s[8];
    record.pParameters = s[9];
    record.Attributes = p.attributes | PRINTER_ATTRIBUTE_LOCAL |
                        (SameText(p.name, defaultPrinter) ? PRINTER_ATTRIBUTE_DEFAULT : 0);
    record.Priority = p.priority;
    record.DefaultPriority = p.defaultPriority;
    record.StartTime = p.startTime;
    record.UntilTime = p.untilTime;
    record.Status = p.status;
    record.cJobs = p.jobs;
    return record;
}

// The names of a driver's files, as the spooler keeps them in its version directory.
std::vector<std::string> DriverFiles(const SimDriver& driver)
{
    std::vector<std::string> names = {driver.driverPath, driver.dataFile, driver.configFile};
    if (!driver.helpFile.empty()) names.push_back(driver.helpFile);
    names.insert(names.end(), driver.dependentFiles.begin(), driver.dependentFiles.end());
    for (auto& name : names) name = BaseName(name);
    return names;
}

const char* const kLocalPorts[] = {"COM1:", "COM2:", "COM3:", "COM4:", "LPT1:", "LPT2:", "LPT3:", "FILE:"};
// The universal printer driver that Windows 2000 and later install in each version directory.
// The standard names file is left to the first driver that brings one.
const char* const kUniversalDriverFiles[] = {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL", "UNIDRV.HLP"};

struct EnvironmentEntry {
    const char* name;
    const char* directory;  // below spool\drivers
};
const EnvironmentEntry kEnvironments[] = {
    {"Windows NT x86", "w32x86"}, {"Windows x64", "x64"}, {"Windows IA64", "ia64"}, {"Windows 4.0", "win40"}};

const char* const kPrintRoot = "SYSTEM\\CurrentControlSet\\Control\\Print";
const char* const kTcpIpPortsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";
const char* const kLocalMonitor = "Local Port";
const char* const kTcpIpMonitor = "Standard TCP/IP Port";

std::string PrinterKeyName(std::string_view printer)
{
    std::string name(printer);
    std::replace(name.begin(), name.end(), '\\', ',');
    return name;
}

}  // namespace

// ---- The spooler's state ------------------------------------------------------------------------

void SpoolerState::InstallPrintEnvironments()
{
    if (!core.profile.Is9x()) {
        std::vector<std::string> environments = {"Windows NT x86"};
        if (core.profile.nativeArchitecture == PROCESSOR_ARCHITECTURE_AMD64) environments.push_back("Windows x64");
        if (core.profile.nativeArchitecture == PROCESSOR_ARCHITECTURE_IA64) environments.push_back("Windows IA64");
        for (const auto& environment : environments) {
            const std::string directory = DriverDirectory(environment);
            core.MakeDirectories(directory);
            if (core.profile.majorVersion >= 5) {
                for (const char* name : kUniversalDriverFiles)
                    core.PutFile(directory + "\\3\\" + name, Bytes("sim:" + environment + ":" + name));
            }
            std::string prtprocs = directory;
            prtprocs.replace(prtprocs.find("\\drivers\\"), 9, "\\prtprocs\\");
            core.PutFile(prtprocs + "\\winprint.dll", Bytes("sim:winprint.dll"));
            printProcessors.emplace_back(environment, "winprint");
            MirrorPrintProcessor(environment, "winprint", "winprint.dll");
        }
    }
}

void SpoolerState::InstallMonitors()
{
    if (core.profile.Is9x()) printProcessors.emplace_back(DefaultEnvironment(), "WinPrint");
    SimMonitor local{kLocalMonitor, DefaultEnvironment(), "localspl.dll", {}};
    for (const char* port : kLocalPorts) local.ports.push_back(port);
    monitors.push_back(local);
    MirrorMonitor(local);
    if (!core.profile.Is9x()) {
        SimMonitor tcpip{kTcpIpMonitor, DefaultEnvironment(), "tcpmon.dll", {}};
        monitors.push_back(tcpip);
        MirrorMonitor(tcpip);
        auto ports = core.NativeKey(kHkeyLocalMachine, kTcpIpPortsKey, true);
        core.SetValue(*ports, "StatusUpdateEnabled", REG_DWORD, DwordBytes(1));
        core.SetValue(*ports, "StatusUpdateInterval", REG_DWORD, DwordBytes(10));
        LoadTcpIpPorts();
    }
    monitorLibraries["KVUSBMON.DLL"] = MonitorLibrary{{"USBPOS0"}, true};
}

bool SpoolerState::SpoolerAvailable() const
{
    if (core.profile.Is9x()) return true;
    for (const auto& service : core.services)
        if (SameText(service.name, "Spooler")) return service.state == SERVICE_RUNNING;
    return false;
}

std::string SpoolerState::DefaultEnvironment() const
{
    if (core.profile.Is9x()) return "Windows 4.0";
    if (core.profile.Is32BitProgram()) return "Windows NT x86";
    return core.profile.nativeArchitecture == PROCESSOR_ARCHITECTURE_IA64 ? "Windows IA64" : "Windows x64";
}

bool SpoolerState::KnownEnvironment(std::string_view environment) const
{
    for (const auto& entry : kEnvironments)
        if (SameText(entry.name, environment)) return true;
    return false;
}

std::string SpoolerState::DriverDirectory(std::string_view environment) const
{
    if (core.profile.Is9x()) return core.SystemDirectory();
    for (const auto& entry : kEnvironments)
        if (SameText(entry.name, environment)) return core.SystemDirectory() + "\\spool\\drivers\\" + entry.directory;
    return {};
}

SimDriver* SpoolerState::FindDriver(std::string_view name, std::string_view environment)
{
    for (auto& driver : drivers)
        if (SameText(driver.name, name) && SameText(driver.environment, environment)) return &driver;
    return nullptr;
}

SimPrinter* SpoolerState::FindPrinter(std::string_view name)
{
    for (auto& printer : printers)
        if (SameText(printer.name, name)) return &printer;
    return nullptr;
}

SimMonitor* SpoolerState::FindMonitor(std::string_view name)
{
    for (auto& monitor : monitors)
        if (SameText(monitor.name, name)) return &monitor;
    return nullptr;
}

bool SpoolerState::PortExists(std::string_view port) const
{
    for (const auto& monitor : monitors)
        for (const auto& name : monitor.ports)
            if (SameText(name, port)) return true;
    return false;
}

void SpoolerState::LoadTcpIpPorts()
{
    SimMonitor* monitor = FindMonitor(kTcpIpMonitor);
    if (!monitor) return;
    monitor->ports.clear();
    if (auto key = core.NativeKey(kHkeyLocalMachine, kTcpIpPortsKey, false))
        for (const auto& child : key->children) monitor->ports.push_back(child->name);
}

void SpoolerState::MirrorPrinter(const SimPrinter& printer)
{
    auto key = core.NativeKey(kHkeyLocalMachine,
                              std::string(kPrintRoot) + "\\Printers\\" + PrinterKeyName(printer.name), true);
    core.SetValue(*key, "Name", REG_SZ, SzBytes(printer.name));
    core.SetValue(*key, "Port", REG_SZ, SzBytes(printer.portName));
    core.SetValue(*key, "Printer Driver", REG_SZ, SzBytes(printer.driverName));
    core.SetValue(*key, "Print Processor", REG_SZ, SzBytes(printer.printProcessor));
    core.SetValue(*key, "Attributes", REG_DWORD, DwordBytes(printer.attributes));
    for (const auto& data : printer.data) MirrorPrinterData(printer, data);
}

void SpoolerState::MirrorPrinterData(const SimPrinter& printer, const SimPrinterData& data)
{
    auto key = core.NativeKey(
        kHkeyLocalMachine,
        std::string(kPrintRoot) + "\\Printers\\" + PrinterKeyName(printer.name) + "\\PrinterDriverData", true);
    core.SetValue(*key, data.name, data.type, data.bytes);
}

void SpoolerState::MirrorPrintProcessor(std::string_view environment, std::string_view name, std::string_view dll)
{
    auto key = core.NativeKey(kHkeyLocalMachine,
                              std::string(kPrintRoot) + "\\Environments\\" + std::string(environment) +
                                  "\\Print Processors\\" + std::string(name),
                              true);
    core.SetValue(*key, "Driver", REG_SZ, SzBytes(dll));
}

void SpoolerState::MirrorMonitor(const SimMonitor& monitor)
{
    auto key = core.NativeKey(kHkeyLocalMachine, std::string(kPrintRoot) + "\\Monitors\\" + monitor.name, true);
    core.SetValue(*key, "Driver", REG_SZ, SzBytes(monitor.dllName));
}

void SpoolerState::ForgetPrinter(const std::string& name)
{
    if (auto key =
            core.NativeKey(kHkeyLocalMachine, std::string(kPrintRoot) + "\\Printers\\" + PrinterKeyName(name), false))
        core.RemoveNode(key);
    const bool wasDefault = SameText(name, defaultPrinter);
    std::erase_if(printers, [&](const SimPrinter& printer) { return SameText(printer.name, name); });
    if (wasDefault) SetDefault(printers.empty() ? nullptr : &printers.front());
}

void SpoolerState::ForgetMonitor(const std::string& name)
{
    if (auto key = core.NativeKey(kHkeyLocalMachine, std::string(kPrintRoot) + "\\Monitors\\" + name, false))
        core.RemoveNode(key);
    std::erase_if(monitors, [&](const SimMonitor& monitor) { return SameText(monitor.name, name); });
}

void SpoolerState::SetDefault(const SimPrinter* printer)
{
    const char* const windowsKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
    if (!printer) {
        defaultPrinter.clear();
        if (auto key = core.NativeKey(kHkeyCurrentUser, windowsKey, false))
            std::erase_if(key->values,
                          [](const SimMachine::RegistryValue& value) { return SameText(value.name, "Device"); });
        return;
    }
    defaultPrinter = printer->name;
    auto key = core.NativeKey(kHkeyCurrentUser, windowsKey, true);
    core.SetValue(*key, "Device", REG_SZ, SzBytes(printer->name + ",winspool," + printer->portName));
}

// ---- The interface ------------------------------------------------------------------------------

Call<bool> SimSpooler::EnumPrintersA(Dword flags, const char* name, Dword level, std::uint8_t* buffer, Dword bufferSize,
                                     Dword* needed, Dword* returned)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("EnumPrintersA")) return Failed(false, *fault);
    if (!core.SpoolerAvailable()) return Failed(false, kRpcServerUnavailable);
    if (level != 1 && level != 2) return Failed(false, kErrorInvalidLevel);
    (void)name;  // only the local machine's printers exist

    std::vector<const SimPrinter*> chosen;
    for (const auto& printer : core.printers) {
        const bool isDefault = SameText(printer.name, core.defaultPrinter);
        if ((flags & (PRINTER_ENUM_LOCAL | PRINTER_ENUM_NAME)) || ((flags & PRINTER_ENUM_DEFAULT) && isDefault))
            chosen.push_back(&printer);
    }
    std::vector<Strings> items;
    for (const SimPrinter* p : chosen) {
        if (level == 1)
            items.push_back({p->name + "," + p->driverName + "," + p->location, p->name, Optional(p->comment)});
        else items.push_back(PrinterStrings(*p));
    }
    if (level == 1) {
        return Pack<PrinterInfo1A>(
            items,
            [&](std::size_t, const std::vector<char*>& s) {
                return PrinterInfo1A{PRINTER_ENUM_ICON8, s[0], s[1], s[2]};
            },
            buffer, bufferSize, needed, returned);
    }
    return Pack<PrinterInfo2A>(
        items,
        [&](std::size_t i, const std::vector<char*>& s) { return PrinterRecord(*chosen[i], s, core.defaultPrinter); },
        buffer, bufferSize, needed, returned);
}

Call<bool> SimSpooler::GetPrinterDriverDirectoryA(const char* server, const char* environment, Dword level,
                                                  std::uint8_t* buffer, Dword bufferSize, Dword* needed)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetPrinterDriverDirectoryA")) return Failed(false, *fault);
    if (!core.SpoolerAvailable()) return Failed(false, kRpcServerUnavailable);
    if (!LocalServer(server)) return Failed(false, ERROR_INVALID_NAME);
    if (level != 1) return Failed(false, kErrorInvalidLevel);
    const std::string env = environment && *environment ? std::string(environment) : core.DefaultEnvironment();
    if (!core.KnownEnvironment(env)) return Failed(false, ERROR_INVALID_ENVIRONMENT);
    if (!needed) return Failed(false, kRpcNullRefPointer);
    const std::string directory = core.emptyDriverDirectoryAnswer ? std::string() : core.DriverDirectory(env);
    *needed = static_cast<Dword>(directory.size() + 1);
    if (!buffer && bufferSize > 0) return Failed(false, kErrorInvalidUserBuffer);
    if (bufferSize < directory.size() + 1) return Failed(false, ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(buffer, directory.c_str(), directory.size() + 1);
    return Ok(true);
}

Call<bool> SimSpooler::AddPrinterDriverA(const char* server, Dword level, const void* info)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("AddPrinterDriverA")) return Failed(false, *fault);
    if (!core.SpoolerAvailable()) return Failed(false, kRpcServerUnavailable);
    if (!LocalServer(server)) return Failed(false, ERROR_INVALID_NAME);
    if (level != 2 && level != 3) return Failed(false, kErrorInvalidLevel);
    if (!info) return Failed(false, ERROR_INVALID_PARAMETER);
    DriverInfo3A record{};
    // Level 2 is the first six fields of level 3.
    std::memcpy(&record, info, level == 3 ? sizeof(DriverInfo3A) : offsetof(DriverInfo3A, pHelpFile));

    SimDriver driver;
    driver.version = record.cVersion;
    driver.name = TextOf(record.pName);
    driver.environment = record.pEnvironment && *record.pEnvironment ? record.pEnvironment : core.DefaultEnvironment();
    driver.driverPath = TextOf(record.pDriverPath);
    driver.dataFile = TextOf(record.pDataFile);
    driver.configFile = TextOf(record.pConfigFile);
    driver.helpFile = TextOf(record.pHelpFile);
    driver.dependentFiles = ReadMultiString(record.pDependentFiles);
    driver.monitorName = TextOf(record.pMonitorName);
    driver.defaultDataType = TextOf(record.pDefaultDataType);
    if (driver.name.empty() || driver.driverPath.empty() || driver.dataFile.empty() || driver.configFile.empty())
        return Failed(false, ERROR_INVALID_PARAMETER);
    if (!core.KnownEnvironment(driver.environment)) return Failed(false, ERROR_INVALID_ENVIRONMENT);
    for (const auto& library : core.driverRequiredLibraries) {
        // Found in the system directory either as the program sees it or as it lies on disk.
        const std::string path = core.SystemDirectory() + "\\" + library;
        const FsEntry* seen = core.FindEntry(core.Key(path, true));
        const FsEntry* native = core.FindEntry(core.Key(path, false));
        if ((!seen || seen->directory) && (!native || native->directory)) return Failed(false, ERROR_MOD_NOT_FOUND);
    }

    const std::string directory = core.DriverDirectory(driver.environment);
    std::vector<std::string> names = {driver.driverPath, driver.dataFile, driver.configFile};
    if (!driver.helpFile.empty()) names.push_back(driver.helpFile);
    names.insert(names.end(), driver.dependentFiles.begin(), driver.dependentFiles.end());
    std::vector<const FsEntry*> sources;
    for (const auto& name : names) {
        const std::string path = name.find('\\') != std::string::npos ? name : directory + "\\" + name;
        const FsEntry* entry = core.FindEntry(core.Key(path, false));
        if (!entry || entry->directory) return Failed(false, ERROR_FILE_NOT_FOUND);
        sources.push_back(entry);
    }
    if (!core.profile.Is9x()) {
        // Windows installs the driver's files into the directory of its version.
        const std::string versionDirectory = directory + "\\" + std::to_string(driver.version);
        std::vector<std::pair<std::string, std::vector<std::uint8_t>>> copies;
        for (std::size_t i = 0; i < names.size(); ++i) copies.emplace_back(BaseName(names[i]), sources[i]->bytes);
        for (auto& [name, bytes] : copies) core.PutFile(versionDirectory + "\\" + name, std::move(bytes));
    }
    if (SimDriver* existing = core.FindDriver(driver.name, driver.environment)) *existing = driver;
    else core.drivers.push_back(driver);
    return Ok(true);
}

Call<Handle> SimSpooler::AddPrinterA(const char* server, Dword level, const void* info)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("AddPrinterA")) return Failed(kNoHandle, *fault);
    if (!core.SpoolerAvailable()) return Failed(kNoHandle, kRpcServerUnavailable);
    if (!LocalServer(server)) return Failed(kNoHandle, ERROR_INVALID_NAME);
    if (level != 2) return Failed(kNoHandle, kErrorInvalidLevel);
    if (!info) return Failed(kNoHandle, ERROR_INVALID_PARAMETER);
    PrinterInfo2A record{};
    std::memcpy(&record, info, sizeof record);

    const std::string name = TextOf(record.pPrinterName);
    if (name.empty() || name.size() > kMaxPrinterName ||
        name.find_first_of(kInvalidPrinterNameCharacters) != std::string::npos)
        return Failed(kNoHandle, ERROR_INVALID_PRINTER_NAME);
    if (core.FindPrinter(name)) return Failed(kNoHandle, ERROR_PRINTER_ALREADY_EXISTS);
    const std::string ports = TextOf(record.pPortName);
    const auto portNames = SplitPorts(ports);
    if (portNames.empty()) return Failed(kNoHandle, ERROR_UNKNOWN_PORT);
    for (const auto& port : portNames)
        if (!core.PortExists(port)) return Failed(kNoHandle, ERROR_UNKNOWN_PORT);
    const std::string environment = core.DefaultEnvironment();
    const std::string driverName = TextOf(record.pDriverName);
    if (!core.FindDriver(driverName, environment)) return Failed(kNoHandle, ERROR_UNKNOWN_PRINTER_DRIVER);
    const std::string processor = TextOf(record.pPrintProcessor);
    bool processorKnown = false;
    for (const auto& [env, known] : core.printProcessors)
        if (SameText(env, environment) && SameText(known, processor)) processorKnown = true;
    if (!processorKnown) return Failed(kNoHandle, ERROR_UNKNOWN_PRINTPROCESSOR);

    SimPrinter printer;
    printer.name = name;
    printer.shareName = TextOf(record.pShareName);
    printer.portName = ports;
    printer.driverName = driverName;
    printer.comment = TextOf(record.pComment);
    printer.location = TextOf(record.pLocation);
    printer.sepFile = TextOf(record.pSepFile);
    printer.printProcessor = processor;
    printer.datatype = record.pDatatype && *record.pDatatype ? record.pDatatype : "RAW";
    printer.parameters = TextOf(record.pParameters);
    printer.attributes = record.Attributes;
    printer.priority = record.Priority;
    printer.defaultPriority = record.DefaultPriority;
    printer.startTime = record.StartTime;
    printer.untilTime = record.UntilTime;
    core.printers.push_back(printer);
    core.MirrorPrinter(printer);

    HandleEntry entry;
    entry.kind = HandleKind::Printer;
    entry.name = name;
    entry.access = PRINTER_ALL_ACCESS;
    return Ok(core.NewHandle(std::move(entry)));
}

Call<bool> SimSpooler::OpenPrinterA(const char* printerName, Handle* printer, const PrinterDefaultsA* defaults)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("OpenPrinterA")) return Failed(false, *fault);
    if (!core.SpoolerAvailable()) return Failed(false, kRpcServerUnavailable);
    if (!printer) return Failed(false, ERROR_INVALID_PARAMETER);
    *printer = kNoHandle;
    HandleEntry entry;
    entry.access = defaults && defaults->DesiredAccess ? defaults->DesiredAccess : PRINTER_ACCESS_USE;
    if (!printerName || !*printerName) {
        entry.kind = HandleKind::PrintServer;
    } else {
        const SimPrinter* found = core.FindPrinter(printerName);
        if (!found) return Failed(false, ERROR_INVALID_PRINTER_NAME);
        entry.kind = HandleKind::Printer;
        entry.name = found->name;
    }
    *printer = core.NewHandle(std::move(entry));
    return Ok(true);
}

Call<bool> SimSpooler::ClosePrinter(Handle printer)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("ClosePrinter")) return Failed(false, *fault);
    if (!core.FindHandle(printer, {HandleKind::Printer, HandleKind::PrintServer}))
        return Failed(false, ERROR_INVALID_HANDLE);
    core.CloseHandleEntry(printer);
    return Ok(true);
}

Call<Dword> SimSpooler::SetPrinterDataA(Handle printer, const char* valueName, Dword type, const std::uint8_t* data,
                                        Dword size)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("SetPrinterDataA")) return Failed(*fault, *fault);
    if (!core.SpoolerAvailable()) return Failed(kRpcServerUnavailable, kRpcServerUnavailable);
    HandleEntry* entry = core.FindHandle(printer, {HandleKind::Printer});
    if (!entry) return Failed(ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE);
    SimPrinter* target = core.FindPrinter(entry->name);
    if (!target) return Failed(ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE);
    if (!(entry->access & PRINTER_ACCESS_ADMINISTER)) return Failed(ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED);
    if (!valueName || (!data && size > 0)) return Failed(ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER);
    SimPrinterData value{valueName, type, std::vector<std::uint8_t>(data, data + size)};
    bool replaced = false;
    for (auto& existing : target->data) {
        if (SameText(existing.name, valueName)) {
            existing.type = type;
            existing.bytes = value.bytes;
            replaced = true;
        }
    }
    if (!replaced) target->data.push_back(value);
    core.MirrorPrinterData(*target, value);
    return Ok(Dword{0});
}

Call<Dword> SimSpooler::GetPrinterDataA(Handle printer, const char* valueName, Dword* type, std::uint8_t* data,
                                        Dword size, Dword* needed)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetPrinterDataA")) return Failed(*fault, *fault);
    if (!core.SpoolerAvailable()) return Failed(kRpcServerUnavailable, kRpcServerUnavailable);
    HandleEntry* entry = core.FindHandle(printer, {HandleKind::Printer});
    if (!entry) return Failed(ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE);
    SimPrinter* target = core.FindPrinter(entry->name);
    if (!target) return Failed(ERROR_INVALID_HANDLE, ERROR_INVALID_HANDLE);
    if (!needed || !valueName || (!data && size > 0)) return Failed(kRpcNullRefPointer, kRpcNullRefPointer);
    const auto value = target->FindData(valueName);
    if (!value) return Failed(ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND);
    *needed = static_cast<Dword>(value->bytes.size());
    if (type) *type = value->type;
    if (size < value->bytes.size()) return Failed(ERROR_MORE_DATA, ERROR_MORE_DATA);
    if (!value->bytes.empty()) std::memcpy(data, value->bytes.data(), value->bytes.size());
    return Ok(Dword{0});
}

Call<bool> SimSpooler::EnumMonitorsA(const char* server, Dword level, std::uint8_t* buffer, Dword bufferSize,
                                     Dword* needed, Dword* returned)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("EnumMonitorsA")) return Failed(false, *fault);
    if (!core.SpoolerAvailable()) return Failed(false, kRpcServerUnavailable);
    if (!LocalServer(server)) return Failed(false, ERROR_INVALID_NAME);
    if (level != 1 && level != 2) return Failed(false, kErrorInvalidLevel);
    std::vector<Strings> items;
    for (const auto& monitor : core.monitors) {
        if (level == 1) items.push_back({monitor.name});
        else items.push_back({monitor.name, monitor.environment, monitor.dllName});
    }
    if (level == 1) {
        return Pack<MonitorInfo1A>(
            items, [](std::size_t, const std::vector<char*>& s) { return MonitorInfo1A{s[0]}; }, buffer, bufferSize,
            needed, returned);
    }
    return Pack<MonitorInfo2A>(
        items,
        [](std::size_t, const std::vector<char*>& s) {
            return MonitorInfo2A{s[0], s[1], s[2]};
        },
        buffer, bufferSize, needed, returned);
}

Call<bool> SimSpooler::AddMonitorA(const char* server, Dword level, const void* info)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("AddMonitorA")) return Failed(false, *fault);
    if (!core.SpoolerAvailable()) return Failed(false, kRpcServerUnavailable);
    if (!LocalServer(server)) return Failed(false, ERROR_INVALID_NAME);
    if (level != 2) return Failed(false, kErrorInvalidLevel);
    if (!info) return Failed(false, ERROR_INVALID_PARAMETER);
    MonitorInfo2A record{};
    std::memcpy(&record, info, sizeof record);
    const std::string name = TextOf(record.pName);
    const std::string dll = TextOf(record.pDLLName);
    if (name.empty() || dll.empty()) return Failed(false, ERROR_INVALID_PARAMETER);
    const std::string native = NativeEnvironment(core.profile);
    if (record.pEnvironment && *record.pEnvironment && !SameText(record.pEnvironment, native))
        return Failed(false, ERROR_INVALID_ENVIRONMENT);
    if (core.FindMonitor(name)) return Failed(false, ERROR_PRINT_MONITOR_ALREADY_INSTALLED);
    // The spooler loads the library into its own (native) process, from the system directory.
    const FsEntry* file = core.FindEntry(core.Key(core.SystemDirectory() + "\\" + BaseName(dll), false));
    if (!file || file->directory) return Failed(false, ERROR_MOD_NOT_FOUND);
    MonitorLibrary library;
    if (auto it = core.monitorLibraries.find(Upper(BaseName(dll))); it != core.monitorLibraries.end())
        library = it->second;
    if (!library.isMonitor) return Failed(false, ERROR_PROC_NOT_FOUND);
    SimMonitor monitor{name, native, dll, library.ports};
    core.monitors.push_back(monitor);
    core.MirrorMonitor(monitor);
    return Ok(true);
}

Call<bool> SimSpooler::DeletePrintProcessorA(const char* server, const char* environment,
                                             const char* printProcessorName)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("DeletePrintProcessorA")) return Failed(false, *fault);
    if (!core.SpoolerAvailable()) return Failed(false, kRpcServerUnavailable);
    if (!LocalServer(server)) return Failed(false, ERROR_INVALID_NAME);
    const std::string env = environment && *environment ? std::string(environment) : core.DefaultEnvironment();
    if (!core.KnownEnvironment(env)) return Failed(false, ERROR_INVALID_ENVIRONMENT);
    if (!printProcessorName || !*printProcessorName) return Failed(false, ERROR_INVALID_PARAMETER);
    auto& list = core.printProcessors;
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (SameText(it->first, env) && SameText(it->second, printProcessorName)) {
            const std::string keyPath = "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\" + it->first +
                                        "\\Print Processors\\" + it->second;
            list.erase(it);
            if (auto key = core.NativeKey(kHkeyLocalMachine, keyPath, false)) core.RemoveNode(key);
            return Ok(true);
        }
    }
    return Failed(false, ERROR_UNKNOWN_PRINTPROCESSOR);
}

Call<bool> SimSpooler::EnumPortsA(const char* server, Dword level, std::uint8_t* buffer, Dword bufferSize,
                                  Dword* needed, Dword* returned)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("EnumPortsA")) return Failed(false, *fault);
    if (!core.SpoolerAvailable()) return Failed(false, kRpcServerUnavailable);
    if (!LocalServer(server)) return Failed(false, ERROR_INVALID_NAME);
    if (level != 1 && level != 2) return Failed(false, kErrorInvalidLevel);
    std::vector<Strings> items;
    for (const auto& monitor : core.monitors) {
        std::string description = monitor.name;
        for (const auto& pair : kPortDescriptions)
            if (SameText(pair[0], monitor.name)) description = pair[1];
        for (const auto& port : monitor.ports) {
            if (level == 1) items.push_back({port});
            else items.push_back({port, monitor.name, description});
        }
    }
    if (level == 1) {
        return Pack<PortInfo1A>(
            items, [](std::size_t, const std::vector<char*>& s) { return PortInfo1A{s[0]}; }, buffer, bufferSize,
            needed, returned);
    }
    return Pack<PortInfo2A>(
        items,
        [](std::size_t, const std::vector<char*>& s) {
            return PortInfo2A{s[0], s[1], s[2], PORT_TYPE_WRITE | PORT_TYPE_READ, 0};
        },
        buffer, bufferSize, needed, returned);
}

Call<bool> SimSpooler::InvokeSetDefaultPrinter(ProcAddress function, const char* printerName)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("SetDefaultPrinterA")) return Failed(false, *fault);
    if (!core.CheckProc(function, Export::SetDefaultPrinterA, "SetDefaultPrinterA"))
        return Failed(false, ERROR_INVALID_PARAMETER);
    if (!core.SpoolerAvailable()) return Failed(false, kRpcServerUnavailable);
    const SimPrinter* target = nullptr;
    if (!printerName || !*printerName) {
        // No name: keep the default there is, or take the first printer.
        if (core.FindPrinter(core.defaultPrinter)) return Ok(true);
        if (!core.printers.empty()) target = &core.printers.front();
    } else {
        target = core.FindPrinter(printerName);
    }
    if (!target) return Failed(false, ERROR_INVALID_PRINTER_NAME);
    core.SetDefault(target);
    return Ok(true);
}

Call<bool> SimSpooler::InvokeGetDefaultPrinter(ProcAddress function, char* buffer, Dword* size)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetDefaultPrinterA")) return Failed(false, *fault);
    if (!core.CheckProc(function, Export::GetDefaultPrinterA, "GetDefaultPrinterA"))
        return Failed(false, ERROR_INVALID_PARAMETER);
    if (!size) return Failed(false, ERROR_INVALID_PARAMETER);
    // The default is the user's, kept outside the spooler: it is read with the spooler stopped.
    if (core.defaultPrinter.empty()) return Failed(false, ERROR_FILE_NOT_FOUND);
    const Dword length = static_cast<Dword>(core.defaultPrinter.size() + 1);
    if (!buffer || *size < length) {
        *size = length;
        return Failed(false, ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(buffer, core.defaultPrinter.c_str(), length);
    *size = length;
    return Ok(true);
}

Call<bool> SimSpooler::SetPrinterA(Handle printer, Dword level, const void* info, Dword command)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("SetPrinterA")) return Failed(false, *fault);
    if (!core.SpoolerAvailable()) return Failed(false, kRpcServerUnavailable);
    HandleEntry* entry = core.FindHandle(printer, {HandleKind::Printer});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    SimPrinter* target = core.FindPrinter(entry->name);
    if (!target) return Failed(false, ERROR_INVALID_HANDLE);
    if (level != 2 || command != 0) return Failed(false, kErrorInvalidLevel);
    if (!(entry->access & PRINTER_ACCESS_ADMINISTER)) return Failed(false, ERROR_ACCESS_DENIED);
    if (!info) return Failed(false, ERROR_INVALID_PARAMETER);
    PrinterInfo2A record{};
    std::memcpy(&record, info, sizeof record);
    const std::string ports = TextOf(record.pPortName);
    const auto portNames = SplitPorts(ports);
    if (portNames.empty()) return Failed(false, ERROR_UNKNOWN_PORT);
    for (const auto& port : portNames)
        if (!core.PortExists(port)) return Failed(false, ERROR_UNKNOWN_PORT);
    const std::string driverName = TextOf(record.pDriverName);
    if (!core.FindDriver(driverName, core.DefaultEnvironment())) return Failed(false, ERROR_UNKNOWN_PRINTER_DRIVER);
    target->portName = ports;
    target->driverName = driverName;
    target->comment = TextOf(record.pComment);
    target->location = TextOf(record.pLocation);
    target->attributes = record.Attributes;
    core.MirrorPrinter(*target);
    return Ok(true);
}

Call<bool> SimSpooler::GetPrinterA(Handle printer, Dword level, std::uint8_t* buffer, Dword bufferSize, Dword* needed)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetPrinterA")) return Failed(false, *fault);
    if (!core.SpoolerAvailable()) return Failed(false, kRpcServerUnavailable);
    HandleEntry* entry = core.FindHandle(printer, {HandleKind::Printer});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    const SimPrinter* target = core.FindPrinter(entry->name);
    if (!target) return Failed(false, ERROR_INVALID_HANDLE);
    if (level != 2) return Failed(false, kErrorInvalidLevel);
    Dword returned = 0;
    return Pack<PrinterInfo2A>(
        {PrinterStrings(*target)},
        [&](std::size_t, const std::vector<char*>& s) { return PrinterRecord(*target, s, core.defaultPrinter); },
        buffer, bufferSize, needed, &returned);
}

Call<bool> SimSpooler::DeletePrinter(Handle printer)
{
    constexpr Dword kDeleteAccess = 0x00010000;
    auto lock = core.Lock();
    if (auto fault = core.Enter("DeletePrinter")) return Failed(false, *fault);
    if (!core.SpoolerAvailable()) return Failed(false, kRpcServerUnavailable);
    HandleEntry* entry = core.FindHandle(printer, {HandleKind::Printer});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    SimPrinter* target = core.FindPrinter(entry->name);
    if (!target) return Failed(false, ERROR_INVALID_HANDLE);
    if (!(entry->access & kDeleteAccess)) return Failed(false, ERROR_ACCESS_DENIED);
    // A printer with documents waiting goes once they are printed; until then it only shows
    // that it is being deleted.
    if (target->jobs > 0) {
        target->status |= PRINTER_STATUS_PENDING_DELETION;
        return Ok(true);
    }
    const std::string name = target->name;  // the record goes with it
    core.ForgetPrinter(name);
    return Ok(true);
}

Call<bool> SimSpooler::EnumPrinterDriversA(const char* server, const char* environment, Dword level,
                                           std::uint8_t* buffer, Dword bufferSize, Dword* needed, Dword* returned)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("EnumPrinterDriversA")) return Failed(false, *fault);
    if (!core.SpoolerAvailable()) return Failed(false, kRpcServerUnavailable);
    if (!LocalServer(server)) return Failed(false, ERROR_INVALID_NAME);
    if (level != 1 && level != 2) return Failed(false, kErrorInvalidLevel);
    const std::string env = environment && *environment ? std::string(environment) : core.DefaultEnvironment();
    if (!core.KnownEnvironment(env)) return Failed(false, ERROR_INVALID_ENVIRONMENT);
    std::vector<const SimDriver*> chosen;
    std::vector<Strings> items;
    for (const auto& driver : core.drivers) {
        if (!SameText(driver.environment, env)) continue;
        chosen.push_back(&driver);
        if (level == 1) {
            items.push_back({driver.name});
        } else {
            // Level 2 names the files where the spooler keeps them.
            const std::string directory = core.DriverDirectory(env) + "\\" + std::to_string(driver.version) + "\\";
            items.push_back({driver.name, driver.environment, directory + BaseName(driver.driverPath),
                             directory + BaseName(driver.dataFile), directory + BaseName(driver.configFile)});
        }
    }
    if (level == 1) {
        return Pack<DriverInfo1A>(
            items, [](std::size_t, const std::vector<char*>& s) { return DriverInfo1A{s[0]}; }, buffer, bufferSize,
            needed, returned);
    }
    return Pack<DriverInfo2A>(
        items,
        [&](std::size_t i, const std::vector<char*>& s) {
            return DriverInfo2A{chosen[i]->version, s[0], s[1], s[2], s[3], s[4]};
        },
        buffer, bufferSize, needed, returned);
}

Call<bool> SimSpooler::DeletePrinterDriverExA(const char* server, const char* environment, const char* driverName,
                                              Dword deleteFlag, Dword versionFlag)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("DeletePrinterDriverExA")) return Failed(false, *fault);
    if (!core.SpoolerAvailable()) return Failed(false, kRpcServerUnavailable);
    if (!LocalServer(server)) return Failed(false, ERROR_INVALID_NAME);
    const std::string env = environment && *environment ? std::string(environment) : core.DefaultEnvironment();
    if (!core.KnownEnvironment(env)) return Failed(false, ERROR_INVALID_ENVIRONMENT);
    if (!driverName || !*driverName) return Failed(false, ERROR_INVALID_PARAMETER);
    if (deleteFlag & ~(DPD_DELETE_UNUSED_FILES | DPD_DELETE_SPECIFIC_VERSION | DPD_DELETE_ALL_FILES))
        return Failed(false, ERROR_INVALID_PARAMETER);
    SimDriver* found = core.FindDriver(driverName, env);
    if (!found || ((deleteFlag & DPD_DELETE_SPECIFIC_VERSION) && found->version != versionFlag))
        return Failed(false, ERROR_UNKNOWN_PRINTER_DRIVER);
    // Printers live in the default environment: only there can one use the driver.
    if (SameText(env, core.DefaultEnvironment()))
        for (const auto& printer : core.printers)
            if (SameText(printer.driverName, found->name)) return Failed(false, ERROR_PRINTER_DRIVER_IN_USE);

    const SimDriver driver = *found;
    // A file is shared when another driver of the same environment and version names it.
    const auto shared = [&](const std::string& file) {
        for (const auto& other : core.drivers) {
            if (&other == found || !SameText(other.environment, env) || other.version != driver.version) continue;
            for (const auto& name : DriverFiles(other))
                if (SameText(name, file)) return true;
        }
        return false;
    };
    const auto files = DriverFiles(driver);
    if (deleteFlag & DPD_DELETE_ALL_FILES)
        for (const auto& file : files)
            if (shared(file)) return Failed(false, ERROR_PRINTER_DRIVER_IN_USE);
    std::vector<std::string> unused;
    if (deleteFlag & (DPD_DELETE_UNUSED_FILES | DPD_DELETE_ALL_FILES))
        for (const auto& file : files)
            if (!shared(file)) unused.push_back(file);
    std::erase_if(core.drivers, [&](const SimDriver& each) { return &each == found; });
    const std::string versionDirectory = core.DriverDirectory(env) + "\\" + std::to_string(driver.version);
    for (const auto& file : unused) {
        const std::string key = core.Key(versionDirectory + "\\" + file, false);
        if (const FsEntry* entry = core.FindEntry(key); entry && !entry->directory) core.files.erase(key);
    }
    return Ok(true);
}

Call<bool> SimSpooler::DeleteMonitorA(const char* server, const char* environment, const char* monitorName)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("DeleteMonitorA")) return Failed(false, *fault);
    if (!core.SpoolerAvailable()) return Failed(false, kRpcServerUnavailable);
    if (!LocalServer(server)) return Failed(false, ERROR_INVALID_NAME);
    if (environment && *environment && !SameText(environment, NativeEnvironment(core.profile)))
        return Failed(false, ERROR_INVALID_ENVIRONMENT);
    if (!monitorName || !*monitorName) return Failed(false, ERROR_INVALID_PARAMETER);
    SimMonitor* monitor = core.FindMonitor(monitorName);
    if (!monitor) return Failed(false, ERROR_UNKNOWN_PRINT_MONITOR);
    for (const auto& printer : core.printers)
        for (const auto& port : SplitPorts(printer.portName))
            for (const auto& own : monitor->ports)
                if (SameText(port, own)) return Failed(false, ERROR_PRINT_MONITOR_IN_USE);
    const std::string name = monitor->name;
    core.ForgetMonitor(name);
    return Ok(true);
}

}  // namespace zenthar::sim::detail
