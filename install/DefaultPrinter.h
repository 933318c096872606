// Making a printer the default printer through the spooler library's exports, and telling
// whether it took: the export's result, then the name the library gives back.
#pragma once

#include <string>

#include "core/Failure.h"
#include "platform/Platform.h"

namespace zenthar {

// The default belongs to the user the program runs as, not to the machine. A spooler that
// answers yes while another printer stays the default fails as SetDefaultPrinterA with
// ERROR_INVALID_PRINTER_NAME.
Status MakeDefaultPrinter(platform::Platform& platform, const char* printerName);

// The default printer's name, empty when there is none. A spooler library without the export
// fails as that export with ERROR_PROC_NOT_FOUND.
Result<std::string> ReadDefaultPrinter(platform::Platform& platform);

}  // namespace zenthar
