// Making a printer the default printer through the spooler library's exports, and telling
// whether it took: the export's result, then the name the library gives back.
#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"

namespace zenthar {

struct DefaultPrinterResult {
    bool set = false;
    // When not set: the call that failed and its error, or the name read back instead.
    std::string failure;
};

// The default belongs to the user the program runs as, not to the machine.
DefaultPrinterResult MakeDefaultPrinter(platform::Platform& platform, const char* printerName);

struct DefaultPrinterRead {
    // Empty when there is no default printer; none when it cannot be read.
    std::optional<std::string> name;
    // Why it cannot be read (a spooler library without GetDefaultPrinterA among the reasons).
    std::string failure;
};

DefaultPrinterRead ReadDefaultPrinter(platform::Platform& platform);

}  // namespace zenthar
