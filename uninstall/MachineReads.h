// What is on the machine now, read by the survey and again by the removal, which looks before
// each part whether a printer took it up meanwhile.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Failure.h"
#include "platform/Platform.h"

namespace zenthar::uninstall {

// What the installer's entry is called when its display name cannot be read.
inline constexpr const char* kEntryName = "NORVA Orbix Printer 4.64";
// What a 32-bit installer left on a 64-bit Windows, as the 64-bit program finds it: the
// driver under the 32-bit environment, the entry in the 32-bit registry view.
inline constexpr const char* kEnvironment32 = "Windows NT x86";
inline constexpr const char* kView32Prefix = "Software\\Wow6432Node\\";

// Whether the name is one the installer gives its own printers and drivers. The spooler's
// names compare without regard to case (SameWordNoCase); only these are compared exactly, as
// the installer's existing-printer scan does.
bool OurName(std::string_view name);

struct PrinterSeen {
    std::string name;
    std::string driver;
    std::vector<std::string> ports;
    bool ours = false;
};

Result<std::vector<PrinterSeen>> ReadPrinters(platform::Platform& platform);
// The drivers registered for the environment ("" for this program's own).
Result<std::vector<std::string>> ReadDriverNames(platform::Platform& platform, const std::string& environment);

struct MonitorSeen {
    bool registered = false;
    std::vector<std::string> ports;
};

Result<MonitorSeen> ReadMonitor(platform::Platform& platform);

// Which printers count as users: while planning only those that are not ours, since ours go
// first; while removing every printer, since one of ours that stayed still needs its parts.
enum class Among { OtherPrinters, AllPrinters };

// The names of the printers that use the driver, or stand on the port.
std::vector<std::string> UsersOfDriver(const std::vector<PrinterSeen>& printers, std::string_view driver, Among among);
std::vector<std::string> UsersOfPort(const std::vector<PrinterSeen>& printers, std::string_view port, Among among);

// "<system directory>\<library>", or empty when the folder cannot be read whole.
std::string SystemFile(platform::Platform& platform, const char* name);
// The system directory, or empty when it cannot be read whole.
std::string SystemFolder(platform::Platform& platform);
bool FileThere(platform::Platform& platform, const std::string& path);
// Whether the file is known to be gone; one that cannot be looked at is not.
bool FileGone(platform::Platform& platform, const std::string& path);

// The spooler's driver folder for the environment ("" for this program's own); empty when the
// spooler named no usable folder.
Result<std::string> ReadDriverFolder(platform::Platform& platform, const std::string& environment);

// Whether `path` names something inside `folder` (directly in it, unless `below` allows the
// folders under it too), spelled plainly: no ".." or "." part, no stream, no other root.
bool PlainlyInside(const std::string& path, const std::string& folder, bool below);

// The port's key below HKLM.
std::string PortKey(const std::string& port);

}  // namespace zenthar::uninstall
