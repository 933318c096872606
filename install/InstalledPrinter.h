// A printer of one of our names as the spooler has it now, read so that a run given the same
// choices again can tell what is already as asked and change only what is not.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace zenthar {

struct InstalledPrinter {
    bool ours = false;  // its driver is the driver of its own name, as the installer makes it
    std::string driver;
    std::string port;   // as the spooler lists it (several ports separated by commas)
    // The code page in its settings record; none when the record is missing or too short.
    std::optional<std::uint32_t> codePage;
};

// nullopt when there is no printer of that name or it cannot be read (`error` then says why:
// ERROR_INVALID_PRINTER_NAME for no printer).
std::optional<InstalledPrinter> ReadInstalledPrinter(platform::Platform& platform, const char* name,
                                                     platform::Dword* error = nullptr);

// Puts the printer on `port` through its own record, everything else as it was. 0, or the
// failing call's error with the call's name in `failedCall`.
platform::Dword MovePrinterToPort(platform::Platform& platform, const char* name, const char* port,
                                  const char** failedCall);

// The ports the spooler lists for the monitor of that name.
std::vector<std::string> PortsOfMonitor(platform::Platform& platform, const char* monitorName);

}  // namespace zenthar
