// The installation record: what the installer made, written as it makes it, so that the
// uninstaller removes exactly that and a run stopped half-way still leaves a true account.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/Failure.h"
#include "platform/Platform.h"

namespace zenthar {

// Below HKLM, in the registry view the uninstall entry is in. One REG_SZ value per thing:
// its name is the kind and the thing ("Port: IP_10.1.2.3"), its data the thing alone. A value
// per thing lets each step add what it made without reading what the others wrote.
inline constexpr const char* kRecordKey = "Software\\NORVA\\Orbix Printer 4.64";

enum class Made {
    Printer,         // a printer AddPrinterA made
    Driver,          // a driver that was not registered before the run
    DriverCopy,      // a file copied into the spooler's driver folder (full path)
    Port,            // a TCP/IP port key RegCreateKeyExA created new
    Monitor,         // the port monitor, when AddMonitorA registered it
    MonitorLibrary,  // a monitor library that was not in the system folder (full path)
};

struct MadeThing {
    Made kind = Made::Printer;
    std::string name;
    bool operator==(const MadeThing&) const = default;
};

// Adds the things to the record in one opening of its key. A failure reaches the debugger
// output only: the record serves the uninstaller, and no step of the installation waits on it.
void Record(platform::Platform& platform, const std::vector<MadeThing>& things);

// The record at `keyPath` below HKLM; none when there is none, or it cannot be opened.
std::optional<std::vector<MadeThing>> ReadInstallationRecord(platform::Platform& platform, const std::string& keyPath);

// Takes the things out of the record; a failure names the first that could not be taken out.
Status Forget(platform::Platform& platform, const std::string& keyPath, const std::vector<MadeThing>& things);

// Deletes the record's key, and its parent when nothing else is in it; it works when the record
// is gone (or never was).
Status DeleteRecord(platform::Platform& platform, const std::string& keyPath);

}  // namespace zenthar
