// A printer of one of our names as the spooler has it now, read so that a run given the same
// choices again can tell what is already as asked and change only what is not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Failure.h"
#include "platform/Platform.h"

namespace zenthar {

struct InstalledPrinter {
    bool ours = false;  // its driver is the driver of its own name, as the installer makes it
    std::string driver;
    std::string port;  // as the spooler lists it (several ports separated by commas)
    // The code page in its settings record; none when the record is missing or too short.
    std::optional<std::uint32_t> codePage;
};

// No printer of that name fails as OpenPrinterA with ERROR_INVALID_PRINTER_NAME.
Result<InstalledPrinter> ReadInstalledPrinter(platform::Platform& platform, const char* name);

// Puts the printer on `port` through its own record, everything else as it was.
Status MovePrinterToPort(platform::Platform& platform, const char* name, const char* port);

// The ports the spooler lists for the monitor of that name.
std::vector<std::string> PortsOfMonitor(platform::Platform& platform, const char* monitorName);

}  // namespace zenthar
