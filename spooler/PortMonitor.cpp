#include "spooler/PortMonitor.h"

#include <cstring>
#include <vector>

#include "core/FixedText.h"
#include "core/InstallSession.h"
#include "core/InstallationRecord.h"
#include "core/SpoolerEnumeration.h"
#include "core/SystemFiles.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"

namespace zenthar {

namespace {

constexpr const char* kInstallerFolder = "C:\\NORVA Orbix Printer 4.X";
char kMonitorName[] = "KVPOS Port Monitor";
char kMonitorLibrary[] = "KVUSBMON.dll";

const char* MonitorSourceFormat(Processor processor)
{
    switch (processor) {
    case Processor::X86: return "%s\\Win8\\%s";
    case Processor::X64: return "%s\\Win64\\x64\\%s";
    case Processor::Itanium: return "%s\\Win64\\Itanium\\%s";
    default: return nullptr;
    }
}

}  // namespace

bool IsPortMonitorInstalled(platform::Platform& platform)
{
    const auto enumMonitors = [&platform](std::uint8_t* buffer, platform::Dword size, platform::Dword* needed,
                                          platform::Dword* returned) {
        return platform.spooler.EnumMonitorsA(nullptr, 2, buffer, size, needed, returned);
    };
    Enumeration<platform::MonitorInfo2A> monitors;
    monitors.Size(enumMonitors);
    // Asked even with nothing to fetch into: the debugger output gives the spooler's answer.
    const auto listed = monitors.Fetch(enumMonitors, EmptyFetch::Make);
    platform.debug.OutputDebugStringA(
        resources::Text(listed.value ? resources::Words::EnumMonitorsSucceeded : resources::Words::EnumMonitorsFailed));

    bool installed = false;
    for (const platform::MonitorInfo2A& monitor : monitors.Records()) {
        if (monitor.pName != nullptr && std::strcmp(monitor.pName, kPortMonitorName) == 0) installed = true;
    }
    return installed;
}

void InstallPortMonitor(platform::Platform& platform, Processor processor)
{
    auto& files = platform.files;
    files.SetCurrentDirectoryA(kInstallerFolder);
    char sourceRoot[platform::MAX_PATH] = {};
    const auto rootLength = files.GetCurrentDirectoryA(sizeof sourceRoot, sourceRoot).value;
    char systemDirectory[platform::MAX_PATH] = {};
    const auto systemLength = files.GetSystemDirectoryA(systemDirectory, sizeof systemDirectory).value;
    // A folder that could not be read whole would leave paths from the drive's root: the
    // libraries are then not copied, as if the copy had failed, and the registration below
    // finds whatever the system directory already holds.
    const bool foldersKnown = rootLength != 0 && rootLength < sizeof sourceRoot && systemLength != 0 &&
                              systemLength < sizeof systemDirectory;

    // A library that was there before is another installation's: it is replaced, but never
    // recorded, so that the uninstaller leaves it.
    std::vector<MadeThing> made;
    if (const char* sourceFormat = MonitorSourceFormat(processor)) {
        if (processor != Processor::X86) DisableFsRedirection(platform);
        for (const char* library : kPortMonitorLibraries) {
            char source[platform::MAX_PATH];
            char destination[platform::MAX_PATH];
            if (!foldersKnown || !FormatWhole(source, sourceFormat, sourceRoot, library) ||
                !FormatWhole(destination, "%s\\%s", systemDirectory, library))
                continue;
            const auto before = files.GetFileAttributesA(destination);
            const bool absent =
                before.value == platform::INVALID_FILE_ATTRIBUTES &&
                (before.error == platform::ERROR_FILE_NOT_FOUND || before.error == platform::ERROR_PATH_NOT_FOUND);
            if (files.CopyFileA(source, destination, false).value && absent)
                made.push_back({Made::MonitorLibrary, destination});
        }
    }

    platform::MonitorInfo2A info{kMonitorName, nullptr, kMonitorLibrary};
    const auto added = platform.spooler.AddMonitorA(nullptr, 2, &info);
    platform.debug.OutputDebugStringA(
        resources::Text(added.value ? resources::Words::AddMonitorSucceeded : resources::Words::AddMonitorFailed));
    if (added.value) made.push_back({Made::Monitor, kMonitorName});
    Record(platform, made);
}

}  // namespace zenthar
