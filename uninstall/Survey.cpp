#include "uninstall/Survey.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "connection/NetworkPort.h"
#include "core/FixedText.h"
#include "core/Owners.h"
#include "core/ServiceControl.h"
#include "core/SystemFiles.h"
#include "core/TwinHandover.h"
#include "platform/Constants.h"
#include "spooler/PortMonitor.h"
#include "spooler/UninstallEntry.h"
#include "uninstall/MachineReads.h"
#include "uninstall/RemovalTexts.h"

namespace zenthar::uninstall {

namespace {

using platform::Dword;

constexpr const char* kSoftwarePrefix = "Software\\";

bool KeyThere(platform::Platform& platform, const std::string& path)
{
    return static_cast<bool>(OpenKey(platform.registry, platform::kHkeyLocalMachine, path.c_str(), platform::KEY_READ));
}

// The entry's display name, when the entry is there.
std::optional<std::string> ReadEntry(platform::Platform& platform, const std::string& keyPath)
{
    const auto opened = OpenKey(platform.registry, platform::kHkeyLocalMachine, keyPath.c_str(), platform::KEY_READ);
    if (!opened) return std::nullopt;
    char name[128] = {};
    Dword size = sizeof name - 1;
    Dword type = 0;
    const auto read = platform.registry.RegQueryValueExA(opened->Get(), "DisplayName", nullptr, &type,
                                                         reinterpret_cast<std::uint8_t*>(name), &size);
    if (read.value != 0 || type != platform::REG_SZ || name[0] == '\0') return std::string(kEntryName);
    return std::string(name);
}

// A key of the Software branch as a 64-bit program sees it in the 32-bit registry view.
std::string View32(const std::string& softwareKey)
{
    return kView32Prefix + softwareKey.substr(std::strlen(kSoftwarePrefix));
}

void AddOnce(std::vector<Part>& parts, PartKind kind, const std::string& name, const std::string& where = {})
{
    for (const auto& part : parts)
        if (part.kind == kind && SameWordNoCase(part.name, name) && SameWordNoCase(part.where, where)) return;
    parts.push_back({kind, name, where});
}

// One reading of the machine into a plan. Its steps ask the platform in the order they are
// listed in Make(); what one step leaves on purpose is said before what the next one does.
class Survey {
public:
    explicit Survey(platform::Platform& platform) : platform(platform) {}
    Plan Make();

private:
    Status ReadSpooler();
    void ReadRecords();
    void FindPrinters();
    void FindDrivers();
    void FindCopies();
    void FindRecordedPorts();
    void LeaveUnrecordedPorts();
    void FindMonitor(bool recorded);
    void FindRecordedMonitor(const std::string& sharedPort, const std::vector<std::string>& sharedBy);
    void LeaveUnrecordedMonitor(bool shared);
    void FindEntries();
    void Leave(const Part& part, const std::string& why) { plan.left.push_back(LeftLine(part, why)); }
    void LeaveOutside(RecordFound& record, const MadeThing& thing, const char* folder);

    platform::Platform& platform;
    bool program64 = false;
    std::vector<PrinterSeen> printers;
    std::vector<std::pair<std::string, std::string>> drivers;  // environment, name
    MonitorSeen monitor;
    Plan plan;
    std::vector<Part> parts;
};

Plan Survey::Make()
{
    StartServiceAndWait(platform, "spooler");
    if (const Status read = ReadSpooler(); !read) {
        plan.readFailure = read.Failed();
        return std::move(plan);
    }
    ReadRecords();
    FindPrinters();
    FindDrivers();
    FindCopies();
    const bool recorded = !plan.records.empty();
    if (recorded) {
        FindRecordedPorts();
    } else {
        LeaveUnrecordedPorts();
    }
    FindMonitor(recorded);
    FindEntries();
    // Printers first, then what they stood on; the order the parts must go in.
    std::stable_sort(parts.begin(), parts.end(),
                     [](const Part& a, const Part& b) { return static_cast<int>(a.kind) < static_cast<int>(b.kind); });
    plan.parts = std::move(parts);
    return std::move(plan);
}

Status Survey::ReadSpooler()
{
    auto printersRead = ReadPrinters(platform);
    if (!printersRead) return printersRead.Failed();
    printers = std::move(*printersRead);
    // A 64-bit program also finds what a 32-bit installer filed under the 32-bit environment
    // and in the 32-bit registry view.
    program64 = RunsAs64BitProgram(platform);
    std::vector<std::string> environments = {""};
    if (program64) environments.push_back(kEnvironment32);
    for (const auto& environment : environments) {
        const auto names = ReadDriverNames(platform, environment);
        if (!names) return names.Failed();
        for (const auto& name : *names) drivers.emplace_back(environment, name);
    }
    auto monitorRead = ReadMonitor(platform);
    if (!monitorRead) return monitorRead.Failed();
    monitor = std::move(*monitorRead);
    return Done{};
}

void Survey::ReadRecords()
{
    std::vector<std::string> keys = {kRecordKey};
    if (program64) keys.push_back(View32(kRecordKey));
    for (const auto& key : keys) {
        if (auto things = ReadInstallationRecord(platform, key)) {
            const std::string environment = key == kRecordKey ? std::string() : std::string(kEnvironment32);
            plan.records.push_back({key, environment, std::move(*things), {}});
        }
    }
}

void Survey::FindPrinters()
{
    for (const auto& printer : printers)
        if (printer.ours) AddOnce(parts, PartKind::Printer, printer.name);
    // A printer we made that was given another driver since is the administrator's now.
    for (auto& record : plan.records)
        for (const auto& thing : record.things) {
            if (thing.kind != Made::Printer) continue;
            const auto printer = std::find_if(printers.begin(), printers.end(), [&](const PrinterSeen& each) {
                return SameWordNoCase(each.name, thing.name);
            });
            if (printer == printers.end() || printer->ours) continue;
            Leave({PartKind::Printer, printer->name}, "it uses the driver " + Quoted(printer->driver) + " now");
            record.handedOver.push_back(thing);
        }
}

// A driver, port or monitor that another printer relies on is that printer's now.
void Survey::FindDrivers()
{
    for (const auto& [environment, driver] : drivers)
        if (OurName(driver) && UsersOfDriver(printers, driver, Among::OtherPrinters).empty())
            AddOnce(parts, PartKind::Driver, driver, environment);
    for (auto& record : plan.records)
        for (const auto& thing : record.things) {
            if (thing.kind != Made::Driver) continue;
            const bool there = std::any_of(drivers.begin(), drivers.end(), [&](const auto& each) {
                return each.first == record.environment && SameWordNoCase(each.second, thing.name);
            });
            if (!there) continue;
            const auto users = UsersOfDriver(printers, thing.name, Among::OtherPrinters);
            if (users.empty()) {
                AddOnce(parts, PartKind::Driver, thing.name, record.environment);
            } else {
                Leave({PartKind::Driver, thing.name, record.environment}, StillUsedBy(users));
                record.handedOver.push_back(thing);
            }
        }
}

// The record is only trusted to name files where the installer puts them: anything else is
// named in the summary and left, and taken out of the record, since it is not ours to delete.
void Survey::LeaveOutside(RecordFound& record, const MadeThing& thing, const char* folder)
{
    plan.left.push_back(LeftOutsideLine(thing.name, folder));
    record.handedOver.push_back(thing);
}

void Survey::FindCopies()
{
    for (auto& record : plan.records) {
        Part copies{PartKind::Copies, {}, record.environment};
        // Unread until a copy is there; one that cannot be read holds nothing.
        std::optional<std::string> folder;
        for (const auto& thing : record.things) {
            if (thing.kind != Made::DriverCopy || !FileThere(platform, thing.name)) continue;
            if (!folder) {
                const auto read = ReadDriverFolder(platform, record.environment);
                folder = read ? *read : std::string();
            }
            if (PlainlyInside(thing.name, *folder, true)) copies.files.push_back(thing.name);
            else LeaveOutside(record, thing, "the spooler's driver folder");
        }
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
}

void Survey::FindRecordedPorts()
{
    for (auto& record : plan.records)
        for (const auto& thing : record.things) {
            if (thing.kind != Made::Port || !KeyThere(platform, PortKey(thing.name))) continue;
            const auto users = UsersOfPort(printers, thing.name, Among::OtherPrinters);
            if (users.empty()) {
                AddOnce(parts, PartKind::Port, thing.name);
            } else {
                Leave({PartKind::Port, thing.name, {}}, StillUsedBy(users));
                record.handedOver.push_back(thing);
            }
        }
}

// Without a record a port of our printer may as well be one the administrator made.
void Survey::LeaveUnrecordedPorts()
{
    std::vector<std::string> ports;
    for (const auto& printer : printers) {
        if (!printer.ours) continue;
        for (const auto& port : printer.ports)
            if (port.rfind(kNetworkPortPrefix, 0) == 0 && UsersOfPort(printers, port, Among::OtherPrinters).empty() &&
                KeyThere(platform, PortKey(port)) &&
                std::none_of(ports.begin(), ports.end(), [&](const auto& each) { return SameWordNoCase(each, port); }))
                ports.push_back(port);
    }
    for (const auto& port : ports) Leave({PartKind::Port, port, {}}, kNoRecord);
}

void Survey::FindMonitor(bool recorded)
{
    std::string sharedPort;
    std::vector<std::string> sharedBy;
    for (const auto& port : monitor.ports) {
        const auto users = UsersOfPort(printers, port, Among::OtherPrinters);
        if (!users.empty() && sharedBy.empty()) {
            sharedPort = port;
            sharedBy = users;
        }
    }
    if (recorded) {
        FindRecordedMonitor(sharedPort, sharedBy);
    } else {
        LeaveUnrecordedMonitor(!sharedBy.empty());
    }
}

void Survey::FindRecordedMonitor(const std::string& sharedPort, const std::vector<std::string>& sharedBy)
{
    Part ours{PartKind::Monitor, kPortMonitorName, {}};
    ours.recordedFiles = true;
    ours.unregister = false;
    std::vector<std::pair<RecordFound*, MadeThing>> recordedThings;
    {
        const NativeSystemFolders native(platform);
        std::optional<std::string> system;
        for (auto& record : plan.records)
            for (const auto& thing : record.things) {
                if (thing.kind == Made::Monitor) {
                    ours.unregister = true;
                    recordedThings.emplace_back(&record, thing);
                }
                if (thing.kind != Made::MonitorLibrary || !FileThere(platform, thing.name)) continue;
                if (!system) system = SystemFolder(platform);
                if (!PlainlyInside(thing.name, *system, false)) {
                    LeaveOutside(record, thing, "the system folder");
                    continue;
                }
                ours.files.push_back(thing.name);
                recordedThings.emplace_back(&record, thing);
            }
    }
    // Libraries we copied under a monitor registered before us are that monitor's now.
    const bool handOver = !sharedBy.empty() || (!ours.unregister && monitor.registered);
    if (handOver) {
        if (!sharedBy.empty() && !recordedThings.empty())
            Leave({PartKind::Monitor, kPortMonitorName, {}}, PortUsedBy(sharedPort, sharedBy.front()));
        for (auto& [record, thing] : recordedThings) record->handedOver.push_back(thing);
    } else if ((ours.unregister && monitor.registered) || !ours.files.empty()) {
        parts.push_back(std::move(ours));
    }
}

void Survey::LeaveUnrecordedMonitor(bool shared)
{
    bool librariesThere = false;
    {
        // The installer put the monitor's libraries in the native system folder.
        const NativeSystemFolders native(platform);
        for (const char* library : kPortMonitorLibraries)
            librariesThere = librariesThere || FileThere(platform, SystemFile(platform, library));
    }
    if (!shared && (monitor.registered || librariesThere)) Leave({PartKind::Monitor, kPortMonitorName, {}}, kNoRecord);
}

void Survey::FindEntries()
{
    std::vector<std::string> entryKeys = {kUninstallKey};
    if (program64) entryKeys.push_back(View32(kUninstallKey));
    for (const auto& key : entryKeys)
        if (const auto entry = ReadEntry(platform, key)) AddOnce(parts, PartKind::Entry, *entry, key);
}

}  // namespace

Plan FindOurs(platform::Platform& platform)
{
    return Survey(platform).Make();
}

}  // namespace zenthar::uninstall
