#include "uninstall/Removal.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "connection/NetworkPort.h"
#include "core/FixedText.h"
#include "core/Owners.h"
#include "core/ServiceControl.h"
#include "core/SpoolerEnumeration.h"
#include "core/SystemFiles.h"
#include "core/TwinHandover.h"
#include "install/DriverFileSets.h"
#include "install/NameTables.h"
#include "platform/Constants.h"
#include "spooler/PortMonitor.h"
#include "spooler/Uninstall.h"

namespace zenthar::uninstall {

namespace {

using platform::Dword;

// What the installer's entry is called when its display name cannot be read.
constexpr const char* kEntryName = "NORVA Orbix Printer 4.64";
// What a 32-bit installer left on a 64-bit Windows, as the 64-bit program finds it: the
// driver under the 32-bit environment, the entry in the 32-bit registry view.
constexpr const char* kEnvironment32 = "Windows NT x86";
constexpr const char* kSoftwarePrefix = "Software\\";
constexpr const char* kView32Prefix = "Software\\Wow6432Node\\";
constexpr const char* kNoRecord = "installed before this version kept a record of what it made";

// The environment argument of the spooler's calls for a driver part.
const char* EnvironmentOf(const Part& part) { return part.where.empty() ? nullptr : part.where.c_str(); }

// The spooler's names compare without regard to case (SameWordNoCase); only the names the
// installer gives its own printers and drivers are compared exactly, as its existing-printer
// scan does.

std::string Text(const char* text) { return text ? std::string(text) : std::string(); }

bool OurName(std::string_view name)
{
    for (const NameTable* table : {&kModelTable, &kCloneTable})
        for (int i = 0; i < table->count; ++i)
            if (name == (*table)[i]) return true;
    return false;
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
        if (first != std::string::npos) ports.push_back(current.substr(first, current.find_last_not_of(' ') - first + 1));
        current.clear();
    }
    return ports;
}

struct PrinterSeen {
    std::string name;
    std::string driver;
    std::vector<std::string> ports;
    bool ours = false;
};

// One enumeration read whole: the size, then the records. false with the failing call's
// error when the spooler did not answer.
template <typename Record, typename EnumCall>
bool ReadAll(Enumeration<Record>& list, EnumCall call, Dword* error)
{
    const auto sized = list.Size(call);
    if (!sized.value && sized.error != platform::ERROR_INSUFFICIENT_BUFFER) {
        *error = sized.error;
        return false;
    }
    if (list.Needed() == 0) return true;
    const auto fetched = list.Fetch(call);
    if (!fetched.value) {
        *error = fetched.error != 0 ? fetched.error : platform::ERROR_NOT_ENOUGH_MEMORY;
        return false;
    }
    return true;
}

std::optional<std::vector<PrinterSeen>> ReadPrinters(platform::Platform& platform, Dword* error)
{
    Enumeration<platform::PrinterInfo2A> list;
    const auto call = [&platform](std::uint8_t* buffer, Dword size, Dword* needed, Dword* returned) {
        return platform.spooler.EnumPrintersA(platform::PRINTER_ENUM_LOCAL, nullptr, 2, buffer, size, needed, returned);
    };
    if (!ReadAll(list, call, error)) return std::nullopt;
    std::vector<PrinterSeen> printers;
    for (const auto& record : list.Records()) {
        PrinterSeen printer{Text(record.pPrinterName), Text(record.pDriverName), PortsOf(Text(record.pPortName))};
        printer.ours = OurName(printer.name) && printer.name == printer.driver;
        printers.push_back(std::move(printer));
    }
    return printers;
}

// The names of the printers that use the driver, or stand on the port.
std::vector<std::string> UsersOfDriver(const std::vector<PrinterSeen>& printers, std::string_view driver,
                                       bool oursToo)
{
    std::vector<std::string> users;
    for (const auto& printer : printers)
        if ((oursToo || !printer.ours) && SameWordNoCase(printer.driver, driver)) users.push_back(printer.name);
    return users;
}

std::vector<std::string> UsersOfPort(const std::vector<PrinterSeen>& printers, std::string_view port, bool oursToo)
{
    std::vector<std::string> users;
    for (const auto& printer : printers) {
        if (!oursToo && printer.ours) continue;
        for (const auto& each : printer.ports)
            if (SameWordNoCase(each, port)) {
                users.push_back(printer.name);
                break;
            }
    }
    return users;
}

std::optional<std::vector<std::string>> ReadDriverNames(platform::Platform& platform, const char* environment,
                                                        Dword* error)
{
    Enumeration<platform::DriverInfo1A> list;
    const auto call = [&platform, environment](std::uint8_t* buffer, Dword size, Dword* needed, Dword* returned) {
        return platform.spooler.EnumPrinterDriversA(nullptr, environment, 1, buffer, size, needed, returned);
    };
    if (!ReadAll(list, call, error)) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& record : list.Records()) names.push_back(Text(record.pName));
    return names;
}

struct MonitorSeen {
    bool registered = false;
    std::vector<std::string> ports;
};

std::optional<MonitorSeen> ReadMonitor(platform::Platform& platform, Dword* error, std::string* failed)
{
    MonitorSeen monitor;
    Enumeration<platform::MonitorInfo2A> monitors;
    const auto listMonitors = [&platform](std::uint8_t* buffer, Dword size, Dword* needed, Dword* returned) {
        return platform.spooler.EnumMonitorsA(nullptr, 2, buffer, size, needed, returned);
    };
    if (!ReadAll(monitors, listMonitors, error)) {
        *failed = "EnumMonitorsA";
        return std::nullopt;
    }
    for (const auto& record : monitors.Records())
        if (Text(record.pName) == kPortMonitorName) monitor.registered = true;

    Enumeration<platform::PortInfo2A> ports;
    const auto listPorts = [&platform](std::uint8_t* buffer, Dword size, Dword* needed, Dword* returned) {
        return platform.spooler.EnumPortsA(nullptr, 2, buffer, size, needed, returned);
    };
    if (!ReadAll(ports, listPorts, error)) {
        *failed = "EnumPortsA";
        return std::nullopt;
    }
    for (const auto& record : ports.Records())
        if (Text(record.pMonitorName) == kPortMonitorName) monitor.ports.push_back(Text(record.pPortName));
    return monitor;
}

// "<system directory>\<library>", or empty when the folder cannot be read whole.
std::string SystemFile(platform::Platform& platform, const char* name)
{
    char directory[platform::MAX_PATH] = {};
    const Dword length = platform.files.GetSystemDirectoryA(directory, sizeof directory).value;
    if (length == 0 || length >= sizeof directory) return {};
    return std::string(directory) + "\\" + name;
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

std::string PortKey(const std::string& port) { return std::string(kTcpIpPortsKey) + "\\" + port; }

bool KeyThere(platform::Platform& platform, const std::string& path)
{
    platform::RegKey key = 0;
    if (platform.registry.RegOpenKeyExA(platform::kHkeyLocalMachine, path.c_str(), 0, platform::KEY_READ, &key).value !=
        0)
        return false;
    platform.registry.RegCloseKey(key);
    return true;
}

// The entry's display name, when the entry is there.
std::optional<std::string> ReadEntry(platform::Platform& platform, const std::string& keyPath)
{
    platform::RegKey key = 0;
    if (platform.registry.RegOpenKeyExA(platform::kHkeyLocalMachine, keyPath.c_str(), 0, platform::KEY_READ, &key)
            .value != 0)
        return std::nullopt;
    const KeyOwner owner(platform.registry, key);
    char name[128] = {};
    Dword size = sizeof name - 1;
    Dword type = 0;
    const auto read = platform.registry.RegQueryValueExA(key, "DisplayName", nullptr, &type,
                                                         reinterpret_cast<std::uint8_t*>(name), &size);
    if (read.value != 0 || type != platform::REG_SZ || name[0] == '\0') return std::string(kEntryName);
    return std::string(name);
}

// A key of the Software branch as a 64-bit program sees it in the 32-bit registry view.
std::string View32(const std::string& softwareKey)
{
    return kView32Prefix + softwareKey.substr(std::strlen(kSoftwarePrefix));
}

std::vector<std::string> RecordKeys(bool program64)
{
    std::vector<std::string> keys = {kRecordKey};
    if (program64) keys.push_back(View32(kRecordKey));
    return keys;
}

void AddOnce(std::vector<Part>& parts, PartKind kind, const std::string& name, const std::string& where = {})
{
    for (const auto& part : parts)
        if (part.kind == kind && SameWordNoCase(part.name, name) && SameWordNoCase(part.where, where)) return;
    parts.push_back({kind, name, where});
}

// ---- Removal, one part at a time ------------------------------------------------------------

Outcome Removed(const Part& part) { return {part, 0, {}}; }
Outcome Left(const Part& part, Dword error, std::string detail) { return {part, error, std::move(detail)}; }
Outcome CallFailed(const Part& part, Dword error, const char* call)
{
    return Left(part, error != 0 ? error : platform::ERROR_GEN_FAILURE, std::string(call) + " failed");
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string StillUsedBy(const std::vector<std::string>& users)
{
    return "printer " + Quoted(users.front()) + " still uses it";
}

Outcome RemovePrinter(platform::Platform& platform, const Part& part)
{
    auto& spooler = platform.spooler;
    platform::PrinterDefaultsA defaults{nullptr, nullptr, platform::PRINTER_ALL_ACCESS};
    platform::Handle printer = platform::kNoHandle;
    const auto opened = spooler.OpenPrinterA(part.name.c_str(), &printer, &defaults);
    if (!opened.value) {
        // Gone already: what the removal was for holds.
        if (opened.error == platform::ERROR_INVALID_PRINTER_NAME) return Removed(part);
        return CallFailed(part, opened.error, "OpenPrinterA");
    }
    const PrinterOwner owner(spooler, printer);

    Dword needed = 0;
    const auto sized = spooler.GetPrinterA(printer, 2, nullptr, 0, &needed);
    if (!sized.value && sized.error != platform::ERROR_INSUFFICIENT_BUFFER)
        return CallFailed(part, sized.error, "GetPrinterA");
    std::vector<std::uint8_t> buffer(std::max<Dword>(needed, sizeof(platform::PrinterInfo2A)));
    const auto read = spooler.GetPrinterA(printer, 2, buffer.data(), static_cast<Dword>(buffer.size()), &needed);
    if (!read.value) return CallFailed(part, read.error, "GetPrinterA");
    platform::PrinterInfo2A info{};
    std::memcpy(&info, buffer.data(), sizeof info);
    // Waiting documents are the user's: the printer stays until they are printed or removed.
    if (info.cJobs > 0) {
        const std::string count = std::to_string(info.cJobs);
        return Left(part, platform::ERROR_PRINTER_HAS_JOBS_QUEUED,
                    info.cJobs == 1 ? "1 job is waiting" : count + " jobs are waiting");
    }

    const auto deleted = spooler.DeletePrinter(printer);
    if (!deleted.value) return CallFailed(part, deleted.error, "DeletePrinter");
    return Removed(part);
}

// The copies the installer left in the driver directory, from which the spooler took the
// driver's files. No registered driver uses them; a missing one is no failure.
Outcome RemoveStagedFiles(platform::Platform& platform, const Part& part)
{
    char directory[256] = {};
    Dword needed = 0;
    const auto found = platform.spooler.GetPrinterDriverDirectoryA(
        nullptr, EnvironmentOf(part), 1, reinterpret_cast<std::uint8_t*>(directory), sizeof directory - 1, &needed);
    if (!found.value) return CallFailed(part, found.error, "GetPrinterDriverDirectoryA");
    // An empty folder would make "\UNIDRV.DLL" of the paths: a file at the drive's root that is
    // not ours. A folder that did not fit its field is not the folder either.
    if (directory[0] == '\0' || needed > sizeof directory - 1)
        return Left(part, platform::ERROR_PATH_NOT_FOUND, "the spooler gave no usable driver folder for its copies");
    Outcome outcome = Removed(part);
    for (const std::string_view name : DriverDirectoryFileNames()) {
        const std::string path = std::string(directory) + "\\" + std::string(name);
        const auto deleted = platform.files.DeleteFileA(path.c_str());
        if (!deleted.value && deleted.error != platform::ERROR_FILE_NOT_FOUND &&
            deleted.error != platform::ERROR_PATH_NOT_FOUND && outcome.error == 0)
            outcome = Left(part, deleted.error, "DeleteFileA failed on its copy " + Quoted(path));
    }
    return outcome;
}

// What leaves the part where it is because a printer (of ours that stayed, or any) still
// needs it, or because the printers cannot be read to know; none when it is free to go.
template <typename UsersOf>
std::optional<Outcome> StillNeeded(platform::Platform& platform, const Part& part, UsersOf usersOf, Dword inUse)
{
    Dword error = 0;
    const auto printers = ReadPrinters(platform, &error);
    if (!printers) return CallFailed(part, error, "EnumPrintersA");
    const auto users = usersOf(*printers, part.name, true);
    if (!users.empty()) return Left(part, inUse, StillUsedBy(users));
    return std::nullopt;
}

// The recorded copies: they are the installation's whatever their names, and the spooler's
// answer about its folder plays no part.
Outcome RemoveRecordedFiles(platform::Platform& platform, const Part& part, const char* what)
{
    Outcome outcome = Removed(part);
    for (const std::string& path : part.files) {
        const auto deleted = platform.files.DeleteFileA(path.c_str());
        if (!deleted.value && deleted.error != platform::ERROR_FILE_NOT_FOUND &&
            deleted.error != platform::ERROR_PATH_NOT_FOUND && outcome.error == 0)
            outcome = Left(part, deleted.error, "DeleteFileA failed on " + std::string(what) + " " + Quoted(path));
    }
    return outcome;
}

Outcome RemoveDriver(platform::Platform& platform, const Part& part)
{
    // The spooler refuses a driver in use; asking first keeps a spooler that would not from
    // taking it away under a printer.
    if (auto kept = StillNeeded(platform, part, UsersOfDriver, platform::ERROR_PRINTER_DRIVER_IN_USE)) return *kept;
    auto deleted = platform.spooler.DeletePrinterDriverExA(nullptr, EnvironmentOf(part), part.name.c_str(),
                                                           platform::DPD_DELETE_UNUSED_FILES, 0);
    // A spooler that takes no delete flags refuses the call as a whole: the driver then goes
    // alone and its files stay. Nothing uses it, as checked above.
    if (!deleted.value && deleted.error == platform::ERROR_INVALID_PARAMETER)
        deleted = platform.spooler.DeletePrinterDriverExA(nullptr, EnvironmentOf(part), part.name.c_str(), 0, 0);
    if (!deleted.value && deleted.error != platform::ERROR_UNKNOWN_PRINTER_DRIVER)
        return CallFailed(part, deleted.error, "DeletePrinterDriverExA");
    return Removed(part);
}

Outcome RemovePort(platform::Platform& platform, const Part& part)
{
    if (auto kept = StillNeeded(platform, part, UsersOfPort, platform::ERROR_BUSY)) return *kept;
    const auto deleted = platform.registry.RegDeleteKeyA(platform::kHkeyLocalMachine, PortKey(part.name).c_str());
    const Dword status = static_cast<Dword>(deleted.value);
    if (status != 0 && status != platform::ERROR_FILE_NOT_FOUND) return CallFailed(part, status, "RegDeleteKeyA");
    return Removed(part);
}

Outcome RemoveMonitor(platform::Platform& platform, const Part& part)
{
    Dword error = 0;
    const auto printers = ReadPrinters(platform, &error);
    if (!printers) return CallFailed(part, error, "EnumPrintersA");
    std::string failed;
    const auto monitor = ReadMonitor(platform, &error, &failed);
    if (!monitor) return CallFailed(part, error, failed.c_str());
    for (const auto& port : monitor->ports) {
        const auto users = UsersOfPort(*printers, port, true);
        if (!users.empty())
            return Left(part, platform::ERROR_PRINT_MONITOR_IN_USE,
                        "its port " + Quoted(port) + " is used by printer " + Quoted(users.front()));
    }
    if (monitor->registered && part.unregister) {
        const auto deleted = platform.spooler.DeleteMonitorA(nullptr, nullptr, kPortMonitorName);
        if (!deleted.value && deleted.error != platform::ERROR_UNKNOWN_PRINT_MONITOR)
            return CallFailed(part, deleted.error, "DeleteMonitorA");
    }
    const NativeSystemFolders native(platform);
    if (part.recordedFiles) return RemoveRecordedFiles(platform, part, "its library");
    Outcome outcome = Removed(part);
    for (const char* library : kPortMonitorLibraries) {
        const std::string path = SystemFile(platform, library);
        if (path.empty()) continue;
        const auto deleted = platform.files.DeleteFileA(path.c_str());
        if (!deleted.value && deleted.error != platform::ERROR_FILE_NOT_FOUND && outcome.error == 0)
            outcome = Left(part, deleted.error, "DeleteFileA failed on its library " + Quoted(path));
    }
    return outcome;
}

Outcome RemoveEntry(platform::Platform& platform, const Part& part, bool allRemoved)
{
    // With anything of ours left, the entry is how the administrator runs this again.
    if (!allRemoved)
        return Left(part, platform::ERROR_BUSY, "kept while anything else of the driver is left, to run this again");
    const std::string key = part.where.empty() ? std::string(kUninstallKey) : part.where;
    const auto deleted = platform.registry.RegDeleteKeyA(platform::kHkeyLocalMachine, key.c_str());
    const Dword status = static_cast<Dword>(deleted.value);
    if (status != 0 && status != platform::ERROR_FILE_NOT_FOUND) return CallFailed(part, status, "RegDeleteKeyA");
    return Removed(part);
}

// The spooler's lists, each read once when first needed by the record's update.
struct SpoolerNow {
    bool printersRead = false;
    std::optional<std::vector<PrinterSeen>> printers;
    bool driversRead = false;
    std::optional<std::vector<std::string>> drivers;
};

// Whether a recorded thing is still on the machine; what cannot be read counts as there.
bool StillThere(platform::Platform& platform, const RecordFound& record, const MadeThing& thing, SpoolerNow& now)
{
    Dword error = 0;
    switch (thing.kind) {
    case Made::Printer: {
        if (!now.printersRead) now.printers = ReadPrinters(platform, &error);
        now.printersRead = true;
        const auto& printers = now.printers;
        return !printers || std::any_of(printers->begin(), printers->end(), [&](const PrinterSeen& each) {
            return SameWordNoCase(each.name, thing.name);
        });
    }
    case Made::Driver: {
        if (!now.driversRead)
            now.drivers = ReadDriverNames(platform, record.environment.empty() ? nullptr : record.environment.c_str(), &error);
        now.driversRead = true;
        const auto& names = now.drivers;
        return !names || std::any_of(names->begin(), names->end(),
                                     [&](const std::string& each) { return SameWordNoCase(each, thing.name); });
    }
    case Made::DriverCopy: return !FileGone(platform, thing.name);
    case Made::MonitorLibrary: {
        const NativeSystemFolders native(platform);
        return !FileGone(platform, thing.name);
    }
    case Made::Port: {
        platform::RegKey key = 0;
        const auto opened = platform.registry.RegOpenKeyExA(platform::kHkeyLocalMachine, PortKey(thing.name).c_str(), 0,
                                                            platform::KEY_READ, &key);
        if (opened.value == 0) platform.registry.RegCloseKey(key);
        return opened.value != static_cast<platform::Long>(platform::ERROR_FILE_NOT_FOUND);
    }
    case Made::Monitor: {
        std::string failed;
        const auto monitor = ReadMonitor(platform, &error, &failed);
        return !monitor || monitor->registered;
    }
    }
    return true;
}

// Takes out of each record what is gone and what was left to others; a record left empty goes.
// An outcome for the entry when a record could not be brought up to date or deleted.
std::optional<Outcome> SettleRecords(platform::Platform& platform, const Plan& plan, const Part& entry)
{
    std::optional<Outcome> failure;
    for (const RecordFound& record : plan.records) {
        std::vector<MadeThing> gone = record.handedOver;
        std::size_t kept = 0;
        SpoolerNow spooler;
        for (const MadeThing& thing : record.things) {
            if (std::find(gone.begin(), gone.end(), thing) != gone.end()) continue;
            if (StillThere(platform, record, thing, spooler)) {
                ++kept;
            } else {
                gone.push_back(thing);
            }
        }
        if (const Dword error = Forget(platform, record.key, gone); error != 0) {
            if (!failure) failure = CallFailed(entry, error, "RegDeleteValueA");
            continue;
        }
        if (kept != 0) continue;
        // Written since the plan was made (an installation running meanwhile): kept.
        const auto now = ReadRecord(platform, record.key);
        if (now && !now->empty()) continue;
        if (const Dword error = DeleteRecord(platform, record.key); error != 0 && !failure)
            failure = CallFailed(entry, error, "RegDeleteKeyA");
    }
    return failure;
}

bool RecordsGone(platform::Platform& platform, const Plan& plan)
{
    return std::none_of(plan.records.begin(), plan.records.end(),
                        [&](const RecordFound& record) { return ReadRecord(platform, record.key).has_value(); });
}

// Whether no later part is of the same kind (and, with `samePlace`, lies in the same place).
bool LastOfKind(const Plan& plan, std::size_t index, bool samePlace = false)
{
    const Part& part = plan.parts[index];
    for (std::size_t i = index + 1; i < plan.parts.size(); ++i)
        if (plan.parts[i].kind == part.kind && (!samePlace || SameWordNoCase(plan.parts[i].where, part.where)))
            return false;
    return true;
}

}  // namespace

Plan FindOurs(platform::Platform& platform)
{
    Plan plan;
    StartServiceAndWait(platform, "spooler");

    const auto printers = ReadPrinters(platform, &plan.readError);
    if (!printers) {
        plan.failedRead = "EnumPrintersA";
        return plan;
    }
    // A 64-bit program also finds what a 32-bit installer filed under the 32-bit environment
    // and in the 32-bit registry view.
    const bool program64 = RunsAs64BitProgram(platform);
    std::vector<std::string> environments = {""};
    if (program64) environments.push_back(kEnvironment32);
    std::vector<std::pair<std::string, std::string>> drivers;  // environment, name
    for (const auto& environment : environments) {
        const auto names = ReadDriverNames(platform, environment.empty() ? nullptr : environment.c_str(), &plan.readError);
        if (!names) {
            plan.failedRead = "EnumPrinterDriversA";
            return plan;
        }
        for (const auto& name : *names) drivers.emplace_back(environment, name);
    }
    const auto monitor = ReadMonitor(platform, &plan.readError, &plan.failedRead);
    if (!monitor) return plan;

    for (const auto& key : RecordKeys(program64)) {
        if (auto things = ReadRecord(platform, key))
            plan.records.push_back({key, key == kRecordKey ? std::string() : std::string(kEnvironment32), std::move(*things), {}});
    }
    const bool recorded = !plan.records.empty();
    const auto leave = [&plan](const Part& part, const std::string& why) {
        plan.left.push_back("Left " + Describe(part) + ": " + why);
    };

    std::vector<Part> parts;
    for (const auto& printer : *printers)
        if (printer.ours) AddOnce(parts, PartKind::Printer, printer.name);
    // A printer we made that was given another driver since is the administrator's now.
    for (auto& record : plan.records)
        for (const auto& thing : record.things) {
            if (thing.kind != Made::Printer) continue;
            const auto printer = std::find_if(printers->begin(), printers->end(),
                                              [&](const PrinterSeen& each) { return SameWordNoCase(each.name, thing.name); });
            if (printer == printers->end() || printer->ours) continue;
            leave({PartKind::Printer, printer->name}, "it uses the driver " + Quoted(printer->driver) + " now");
            record.handedOver.push_back(thing);
        }

    // A driver, port or monitor that another printer relies on is that printer's now.
    for (const auto& [environment, driver] : drivers)
        if (OurName(driver) && UsersOfDriver(*printers, driver, false).empty())
            AddOnce(parts, PartKind::Driver, driver, environment);
    for (auto& record : plan.records)
        for (const auto& thing : record.things) {
            if (thing.kind != Made::Driver) continue;
            const bool there = std::any_of(drivers.begin(), drivers.end(), [&](const auto& each) {
                return each.first == record.environment && SameWordNoCase(each.second, thing.name);
            });
            if (!there) continue;
            const auto users = UsersOfDriver(*printers, thing.name, false);
            if (users.empty()) {
                AddOnce(parts, PartKind::Driver, thing.name, record.environment);
            } else {
                leave({PartKind::Driver, thing.name, record.environment}, StillUsedBy(users));
                record.handedOver.push_back(thing);
            }
        }

    for (const auto& record : plan.records) {
        Part copies{PartKind::Copies, {}, record.environment};
        for (const auto& thing : record.things)
            if (thing.kind == Made::DriverCopy && FileThere(platform, thing.name)) copies.files.push_back(thing.name);
        if (copies.files.empty()) continue;
        // They go with the last driver of their environment, as they always have; alone only
        // when the drivers are gone and the copies stayed.
        const auto driver = std::find_if(parts.rbegin(), parts.rend(), [&](const Part& each) {
            return each.kind == PartKind::Driver && SameWordNoCase(each.where, record.environment);
        });
        if (driver != parts.rend()) {
            driver->files.insert(driver->files.end(), copies.files.begin(), copies.files.end());
            continue;
        }
        copies.name = copies.files.front().substr(0, copies.files.front().rfind('\\'));
        parts.push_back(std::move(copies));
    }

    if (recorded) {
        for (auto& record : plan.records)
            for (const auto& thing : record.things) {
                if (thing.kind != Made::Port || !KeyThere(platform, PortKey(thing.name))) continue;
                const auto users = UsersOfPort(*printers, thing.name, false);
                if (users.empty()) {
                    AddOnce(parts, PartKind::Port, thing.name);
                } else {
                    leave({PartKind::Port, thing.name, {}}, StillUsedBy(users));
                    record.handedOver.push_back(thing);
                }
            }
    } else {
        // Without a record a port of our printer may as well be one the administrator made.
        std::vector<std::string> ports;
        for (const auto& printer : *printers) {
            if (!printer.ours) continue;
            for (const auto& port : printer.ports)
                if (port.rfind(kNetworkPortPrefix, 0) == 0 && UsersOfPort(*printers, port, false).empty() &&
                    KeyThere(platform, PortKey(port)) &&
                    std::none_of(ports.begin(), ports.end(), [&](const auto& each) { return SameWordNoCase(each, port); }))
                    ports.push_back(port);
        }
        for (const auto& port : ports) leave({PartKind::Port, port, {}}, kNoRecord);
    }

    std::string sharedPort;
    std::vector<std::string> sharedBy;
    for (const auto& port : monitor->ports) {
        const auto users = UsersOfPort(*printers, port, false);
        if (!users.empty() && sharedBy.empty()) {
            sharedPort = port;
            sharedBy = users;
        }
    }
    const Part monitorPart{PartKind::Monitor, kPortMonitorName, {}};
    if (recorded) {
        Part ours = monitorPart;
        ours.recordedFiles = true;
        ours.unregister = false;
        std::vector<std::pair<RecordFound*, MadeThing>> recordedThings;
        {
            const NativeSystemFolders native(platform);
            for (auto& record : plan.records)
                for (const auto& thing : record.things) {
                    if (thing.kind == Made::Monitor) {
                        ours.unregister = true;
                        recordedThings.emplace_back(&record, thing);
                    }
                    if (thing.kind == Made::MonitorLibrary && FileThere(platform, thing.name)) {
                        ours.files.push_back(thing.name);
                        recordedThings.emplace_back(&record, thing);
                    }
                }
        }
        // Libraries we copied under a monitor registered before us are that monitor's now.
        const bool handOver = !sharedBy.empty() || (!ours.unregister && monitor->registered);
        if (handOver) {
            if (!sharedBy.empty() && !recordedThings.empty())
                leave(monitorPart, "its port " + Quoted(sharedPort) + " is used by printer " + Quoted(sharedBy.front()));
            for (auto& [record, thing] : recordedThings) record->handedOver.push_back(thing);
        } else if ((ours.unregister && monitor->registered) || !ours.files.empty()) {
            parts.push_back(std::move(ours));
        }
    } else {
        bool librariesThere = false;
        {
            // The installer put the monitor's libraries in the native system folder.
            const NativeSystemFolders native(platform);
            for (const char* library : kPortMonitorLibraries)
                librariesThere = librariesThere || FileThere(platform, SystemFile(platform, library));
        }
        if (sharedBy.empty() && (monitor->registered || librariesThere)) leave(monitorPart, kNoRecord);
    }

    std::vector<std::string> entryKeys = {kUninstallKey};
    if (program64) entryKeys.push_back(View32(kUninstallKey));
    for (const auto& key : entryKeys)
        if (const auto entry = ReadEntry(platform, key)) AddOnce(parts, PartKind::Entry, *entry, key);

    // Printers first, then what they stood on; the order the parts must go in.
    std::stable_sort(parts.begin(), parts.end(),
                     [](const Part& a, const Part& b) { return static_cast<int>(a.kind) < static_cast<int>(b.kind); });
    plan.parts = std::move(parts);
    return plan;
}

std::vector<Outcome> RemoveOurs(platform::Platform& platform, const Plan& plan, RemovalView& view)
{
    std::vector<Outcome> outcomes;
    const std::size_t count = plan.parts.size();
    bool portRemoved = false;
    bool settled = false;
    for (std::size_t i = 0; i < count; ++i) {
        const Part& part = plan.parts[i];
        view.Removing(part, static_cast<int>(i * 100 / count));
        Outcome outcome;
        switch (part.kind) {
        case PartKind::Printer: outcome = RemovePrinter(platform, part); break;
        case PartKind::Driver:
            outcome = RemoveDriver(platform, part);
            // An installation that kept a record names its copies in it.
            if (outcome.error == 0 && LastOfKind(plan, i, true))
                outcome = plan.records.empty() ? RemoveStagedFiles(platform, part)
                                               : RemoveRecordedFiles(platform, part, "its copy");
            break;
        case PartKind::Copies: outcome = RemoveRecordedFiles(platform, part, "its copy"); break;
        case PartKind::Port:
            outcome = RemovePort(platform, part);
            portRemoved = portRemoved || outcome.error == 0;
            // The monitor forgets its ports when it reads the registry again.
            if (portRemoved && LastOfKind(plan, i)) {
                const std::string notEnded = RestartPortServices(platform);
                if (!notEnded.empty() && outcome.error == 0) outcome = Left(part, platform::ERROR_TIMEOUT, notEnded);
            }
            break;
        case PartKind::Monitor: outcome = RemoveMonitor(platform, part); break;
        case PartKind::Entry: {
            if (!settled) {
                settled = true;
                if (auto failed = SettleRecords(platform, plan, part)) {
                    outcome = *failed;
                    break;
                }
            }
            const bool allRemoved =
                std::all_of(outcomes.begin(), outcomes.end(), [](const Outcome& each) { return each.error == 0; }) &&
                RecordsGone(platform, plan);
            outcome = RemoveEntry(platform, part, allRemoved);
            break;
        }
        }
        view.Removed(outcome);
        outcomes.push_back(std::move(outcome));
    }
    // Without an entry the records are still brought up to date.
    if (!settled && !plan.records.empty()) SettleRecords(platform, plan, Part{PartKind::Entry, kEntryName, {}});
    return outcomes;
}

std::string Describe(const Part& part)
{
    const char* kind = "";
    switch (part.kind) {
    case PartKind::Printer: kind = "printer"; break;
    case PartKind::Driver: kind = "driver"; break;
    case PartKind::Copies: kind = "driver file copies in"; break;
    case PartKind::Port: kind = "port"; break;
    case PartKind::Monitor: kind = "port monitor"; break;
    case PartKind::Entry: kind = "uninstall entry"; break;
    }
    std::string text = std::string(kind) + " " + Quoted(part.name);
    if (part.kind == PartKind::Driver && !part.where.empty()) text += " (" + part.where + ")";
    if (part.kind == PartKind::Entry && part.where.rfind(kView32Prefix, 0) == 0) text += " (32-bit registry view)";
    return text;
}

std::string Describe(const Outcome& outcome)
{
    if (outcome.error == 0) return "Removed " + Describe(outcome.part);
    return "Could not remove " + Describe(outcome.part) + ": " + outcome.detail + " (error " +
           std::to_string(outcome.error) + ")";
}

std::string DescribeReadFailure(const Plan& plan)
{
    if (plan.readError == 0) return {};
    return "Could not read the print spooler: " + plan.failedRead + " failed (error " + std::to_string(plan.readError) +
           ")";
}

int ExitCodeOf(const std::vector<Outcome>& outcomes)
{
    for (const Outcome& outcome : outcomes)
        if (outcome.error != 0) return kExitNotAllRemoved;
    return kExitRemoved;
}

}  // namespace zenthar::uninstall
