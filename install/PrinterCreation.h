// Creates the printer of one row on the chosen port.
#pragma once

#include "core/InstallSession.h"
#include "core/Notice.h"
#include "core/Owners.h"
#include "platform/Platform.h"

namespace zenthar {
inline constexpr const char* kUsbMonitorPortName = "USBPOS0";

// The port a printer goes on: the monitor's USB port (or the system USB port the search
// found, when the monitor is not used), the network port, or the port the user chose.
const char* PrinterPortFor(const InstallSession& session, const char* portName, const char* networkPortName,
                           const char* usbPortName);

// Creates the local printer `name` with the driver of the same name on `port`. A port the
// spooler does not know moves the printer to COM1: with a message; any failure shows
// "Failure to AddPrinter GetLastError()=%d".
struct CreatedPrinter {
    PrinterOwner printer;  // empty when no printer was made
    bool onFallbackPort = false;

    explicit operator bool() const { return printer.IsOpen(); }
};

CreatedPrinter CreatePrinter(platform::Platform& platform, const char* name, const char* port,
                             const NoticeSink& notices);

}  // namespace zenthar
