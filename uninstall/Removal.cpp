#include "uninstall/Removal.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "connection/NetworkPort.h"
#include "core/FixedText.h"
#include "core/Owners.h"
#include "core/SpoolerEnumeration.h"
#include "core/SystemFiles.h"
#include "install/DriverFileSets.h"
#include "platform/Constants.h"
#include "spooler/PortMonitor.h"
#include "spooler/UninstallEntry.h"
#include "uninstall/MachineReads.h"
#include "uninstall/RemovalTexts.h"

namespace zenthar::uninstall {

namespace {

using platform::Dword;

// The environment argument of the spooler's calls for a driver part.
const char* EnvironmentOf(const Part& part)
{
    return part.where.empty() ? nullptr : part.where.c_str();
}

Outcome Removed(const Part& part)
{
    return {part, std::nullopt};
}
Outcome Left(const Part& part, Dword error, std::string detail)
{
    return {part, NotRemoved{error, std::move(detail)}};
}
Outcome CallFailed(const Part& part, Dword error, const char* call)
{
    return Left(part, error != 0 ? error : platform::ERROR_GEN_FAILURE, std::string(call) + " failed");
}
Outcome CallFailed(const Part& part, const Failure& failure)
{
    return CallFailed(part, failure.error, failure.call);
}

Outcome RemovePrinter(platform::Platform& platform, const Part& part)
{
    auto& spooler = platform.spooler;
    platform::PrinterDefaultsA defaults{nullptr, nullptr, platform::PRINTER_ALL_ACCESS};
    const auto opened = OpenPrinter(spooler, part.name.c_str(), &defaults);
    if (!opened) {
        // Gone already: what the removal was for holds.
        if (opened.Failed().error == platform::ERROR_INVALID_PRINTER_NAME) return Removed(part);
        return CallFailed(part, opened.Failed());
    }
    const platform::Handle printer = opened->Get();

    const auto record = ReadPrinterRecord(spooler, printer);
    if (!record) return CallFailed(part, record.Failed());
    const platform::PrinterInfo2A& info = record->Info();
    // Waiting documents are the user's: the printer stays until they are printed or removed.
    if (info.cJobs > 0) return Left(part, platform::ERROR_PRINTER_HAS_JOBS_QUEUED, JobsWaiting(info.cJobs));

    const auto deleted = spooler.DeletePrinter(printer);
    if (!deleted.value) return CallFailed(part, deleted.error, "DeletePrinter");
    return Removed(part);
}

// The copies the installer left in the driver directory, from which the spooler took the
// driver's files. No registered driver uses them; a missing one is no failure.
Outcome RemoveStagedFiles(platform::Platform& platform, const Part& part)
{
    const auto folder = ReadDriverFolder(platform, part.where);
    if (!folder) return CallFailed(part, folder.Failed());
    if (folder->empty())
        return Left(part, platform::ERROR_PATH_NOT_FOUND, "the spooler gave no usable driver folder for its copies");
    Outcome outcome = Removed(part);
    for (const std::string_view name : DriverDirectoryFileNames()) {
        const std::string path = *folder + "\\" + std::string(name);
        const auto deleted = platform.files.DeleteFileA(path.c_str());
        if (!deleted.value && deleted.error != platform::ERROR_FILE_NOT_FOUND &&
            deleted.error != platform::ERROR_PATH_NOT_FOUND && outcome.Removed())
            outcome = Left(part, deleted.error, "DeleteFileA failed on its copy " + Quoted(path));
    }
    return outcome;
}

// What leaves the part where it is because a printer (of ours that stayed, or any) still
// needs it, or because the printers cannot be read to know; none when it is free to go.
template <typename UsersOf>
std::optional<Outcome> StillNeeded(platform::Platform& platform, const Part& part, UsersOf usersOf, Dword inUse)
{
    const auto printers = ReadPrinters(platform);
    if (!printers) return CallFailed(part, printers.Failed());
    const auto users = usersOf(*printers, part.name, Among::AllPrinters);
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
            deleted.error != platform::ERROR_PATH_NOT_FOUND && outcome.Removed())
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

// A key below HKLM deleted; one that is gone already is as good.
Outcome RemoveKey(platform::Platform& platform, const Part& part, const std::string& key)
{
    const auto deleted = platform.registry.RegDeleteKeyA(platform::kHkeyLocalMachine, key.c_str());
    const Dword status = static_cast<Dword>(deleted.value);
    if (status != 0 && status != platform::ERROR_FILE_NOT_FOUND) return CallFailed(part, status, "RegDeleteKeyA");
    return Removed(part);
}

Outcome RemovePort(platform::Platform& platform, const Part& part)
{
    if (auto kept = StillNeeded(platform, part, UsersOfPort, platform::ERROR_BUSY)) return *kept;
    return RemoveKey(platform, part, PortKey(part.name));
}

// The monitor's libraries by their names in the native system folder, for an installation
// that kept no record of them.
Outcome RemoveMonitorLibraries(platform::Platform& platform, const Part& part)
{
    Outcome outcome = Removed(part);
    for (const char* library : kPortMonitorLibraries) {
        const std::string path = SystemFile(platform, library);
        if (path.empty()) continue;
        const auto deleted = platform.files.DeleteFileA(path.c_str());
        if (!deleted.value && deleted.error != platform::ERROR_FILE_NOT_FOUND && outcome.Removed())
            outcome = Left(part, deleted.error, "DeleteFileA failed on its library " + Quoted(path));
    }
    return outcome;
}

Outcome RemoveMonitor(platform::Platform& platform, const Part& part)
{
    const auto printers = ReadPrinters(platform);
    if (!printers) return CallFailed(part, printers.Failed());
    const auto monitor = ReadMonitor(platform);
    if (!monitor) return CallFailed(part, monitor.Failed());
    for (const auto& port : monitor->ports) {
        const auto users = UsersOfPort(*printers, port, Among::AllPrinters);
        if (!users.empty()) return Left(part, platform::ERROR_PRINT_MONITOR_IN_USE, PortUsedBy(port, users.front()));
    }
    if (monitor->registered && part.unregister) {
        const auto deleted = platform.spooler.DeleteMonitorA(nullptr, nullptr, kPortMonitorName);
        if (!deleted.value && deleted.error != platform::ERROR_UNKNOWN_PRINT_MONITOR)
            return CallFailed(part, deleted.error, "DeleteMonitorA");
    }
    const NativeSystemFolders native(platform);
    if (part.recordedFiles) return RemoveRecordedFiles(platform, part, "its library");
    return RemoveMonitorLibraries(platform, part);
}

// What of a record is still on the machine. The spooler's lists are each read once, when first
// needed; what cannot be read counts as there.
class MachineNow {
public:
    MachineNow(platform::Platform& platform, const std::string& environment)
        : platform(platform), environment(environment)
    {}

    bool Has(const MadeThing& thing);

private:
    bool HasPrinter(const std::string& name);
    bool HasDriver(const std::string& name);

    platform::Platform& platform;
    const std::string& environment;
    std::optional<Result<std::vector<PrinterSeen>>> printers;
    std::optional<Result<std::vector<std::string>>> drivers;
};

bool MachineNow::Has(const MadeThing& thing)
{
    switch (thing.kind) {
    case Made::Printer: return HasPrinter(thing.name);
    case Made::Driver: return HasDriver(thing.name);
    case Made::DriverCopy: return !FileGone(platform, thing.name);
    case Made::MonitorLibrary: {
        const NativeSystemFolders native(platform);
        return !FileGone(platform, thing.name);
    }
    case Made::Port: {
        const auto opened =
            OpenKey(platform.registry, platform::kHkeyLocalMachine, PortKey(thing.name).c_str(), platform::KEY_READ);
        return opened || opened.Failed().error != platform::ERROR_FILE_NOT_FOUND;
    }
    case Made::Monitor: {
        const auto monitor = ReadMonitor(platform);
        return !monitor || monitor->registered;
    }
    }
    return true;
}

bool MachineNow::HasPrinter(const std::string& name)
{
    if (!printers) printers = ReadPrinters(platform);
    const auto& read = *printers;
    return !read || std::any_of(read->begin(), read->end(),
                                [&](const PrinterSeen& each) { return SameWordNoCase(each.name, name); });
}

bool MachineNow::HasDriver(const std::string& name)
{
    if (!drivers) drivers = ReadDriverNames(platform, environment);
    const auto& read = *drivers;
    return !read ||
           std::any_of(read->begin(), read->end(), [&](const std::string& each) { return SameWordNoCase(each, name); });
}

// Takes out of the record what is gone and what was left to others; a record left empty goes.
// An outcome for the entry when the record could not be brought up to date or deleted.
std::optional<Outcome> SettleRecord(platform::Platform& platform, const RecordFound& record, const Part& entry)
{
    std::vector<MadeThing> gone = record.handedOver;
    std::size_t kept = 0;
    MachineNow now(platform, record.environment);
    for (const MadeThing& thing : record.things) {
        if (std::find(gone.begin(), gone.end(), thing) != gone.end()) continue;
        if (now.Has(thing)) {
            ++kept;
        } else {
            gone.push_back(thing);
        }
    }
    // The summary names the values' deletion, also when the record's key would not open.
    if (const Status forgotten = Forget(platform, record.key, gone); !forgotten)
        return CallFailed(entry, forgotten.Failed().error, "RegDeleteValueA");
    if (kept != 0) return std::nullopt;
    // Written since the plan was made (an installation running meanwhile): kept.
    const auto written = ReadInstallationRecord(platform, record.key);
    if (written && !written->empty()) return std::nullopt;
    if (const Status deleted = DeleteRecord(platform, record.key); !deleted) return CallFailed(entry, deleted.Failed());
    return std::nullopt;
}

// Every record settled; the first failure, if any, is the entry's.
std::optional<Outcome> SettleRecords(platform::Platform& platform, const Plan& plan, const Part& entry)
{
    std::optional<Outcome> failure;
    for (const RecordFound& record : plan.records) {
        auto failed = SettleRecord(platform, record, entry);
        if (failed && !failure) failure = std::move(failed);
    }
    return failure;
}

bool RecordsGone(platform::Platform& platform, const Plan& plan)
{
    return std::none_of(plan.records.begin(), plan.records.end(), [&](const RecordFound& record) {
        return ReadInstallationRecord(platform, record.key).has_value();
    });
}

template <typename Alike>
bool NoneLaterAlike(const Plan& plan, std::size_t index, Alike alike)
{
    for (std::size_t i = index + 1; i < plan.parts.size(); ++i)
        if (alike(plan.parts[index], plan.parts[i])) return false;
    return true;
}

// Whether no later part is of the same kind.
bool LastOfKind(const Plan& plan, std::size_t index)
{
    return NoneLaterAlike(plan, index, [](const Part& part, const Part& later) { return later.kind == part.kind; });
}

// Whether no later part is of the same kind and lies in the same place.
bool LastOfKindInItsPlace(const Plan& plan, std::size_t index)
{
    return NoneLaterAlike(plan, index, [](const Part& part, const Part& later) {
        return later.kind == part.kind && SameWordNoCase(later.where, part.where);
    });
}

// One removal of a plan, part after part; what a part needs to know of those before it (a
// port removed, the records settled) is kept here.
class Removal {
public:
    Removal(platform::Platform& platform, const Plan& plan, RemovalView& view)
        : platform(platform), plan(plan), view(view)
    {}

    std::vector<Outcome> Run();

private:
    Outcome RemovePart(std::size_t index);
    Outcome RemoveDriverAndCopies(std::size_t index);
    Outcome RemovePortAndRestart(std::size_t index);
    Outcome RemoveEntry(const Part& part);

    platform::Platform& platform;
    const Plan& plan;
    RemovalView& view;
    std::vector<Outcome> outcomes;
    bool portRemoved = false;
    bool settled = false;
};

std::vector<Outcome> Removal::Run()
{
    const std::size_t count = plan.parts.size();
    for (std::size_t i = 0; i < count; ++i) {
        view.Removing(plan.parts[i], static_cast<int>(i * 100 / count));
        Outcome outcome = RemovePart(i);
        view.Removed(outcome);
        outcomes.push_back(std::move(outcome));
    }
    // Without an entry the records are still brought up to date.
    if (!settled && !plan.records.empty()) SettleRecords(platform, plan, Part{PartKind::Entry, kEntryName, {}});
    return std::move(outcomes);
}

Outcome Removal::RemovePart(std::size_t index)
{
    const Part& part = plan.parts[index];
    switch (part.kind) {
    case PartKind::Printer: return RemovePrinter(platform, part);
    case PartKind::Driver: return RemoveDriverAndCopies(index);
    case PartKind::Copies: return RemoveRecordedFiles(platform, part, "its copy");
    case PartKind::Port: return RemovePortAndRestart(index);
    case PartKind::Monitor: return RemoveMonitor(platform, part);
    case PartKind::Entry: return RemoveEntry(part);
    }
    return Removed(part);
}

Outcome Removal::RemoveDriverAndCopies(std::size_t index)
{
    const Part& part = plan.parts[index];
    Outcome outcome = RemoveDriver(platform, part);
    if (!outcome.Removed() || !LastOfKindInItsPlace(plan, index)) return outcome;
    // An installation that kept a record names its copies in it.
    return plan.records.empty() ? RemoveStagedFiles(platform, part) : RemoveRecordedFiles(platform, part, "its copy");
}

Outcome Removal::RemovePortAndRestart(std::size_t index)
{
    const Part& part = plan.parts[index];
    Outcome outcome = RemovePort(platform, part);
    portRemoved = portRemoved || outcome.Removed();
    // The monitor forgets its ports when it reads the registry again.
    if (portRemoved && LastOfKind(plan, index)) {
        const auto notEnded = RestartPortServices(platform);
        if (notEnded && outcome.Removed()) outcome = Left(part, platform::ERROR_TIMEOUT, *notEnded);
    }
    return outcome;
}

Outcome Removal::RemoveEntry(const Part& part)
{
    if (!settled) {
        settled = true;
        if (auto failed = SettleRecords(platform, plan, part)) return *failed;
    }
    const bool allRemoved =
        std::all_of(outcomes.begin(), outcomes.end(), [](const Outcome& each) { return each.Removed(); }) &&
        RecordsGone(platform, plan);
    // With anything of ours left, the entry is how the administrator runs this again.
    if (!allRemoved) return Left(part, platform::ERROR_BUSY, kEntryKept);
    return RemoveKey(platform, part, part.where.empty() ? std::string(kUninstallKey) : part.where);
}

}  // namespace

std::vector<Outcome> RemoveOurs(platform::Platform& platform, const Plan& plan, RemovalView& view)
{
    return Removal(platform, plan, view).Run();
}

UninstallerExit ExitCodeOf(const std::vector<Outcome>& outcomes)
{
    for (const Outcome& outcome : outcomes)
        if (!outcome.Removed()) return UninstallerExit::NotAllRemoved;
    return UninstallerExit::Removed;
}

}  // namespace zenthar::uninstall
