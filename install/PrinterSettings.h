// Stores a new printer's initial settings record.
#pragma once

#include <cstdint>

#include "core/Notice.h"
#include "platform/Platform.h"

namespace zenthar {
// Writes "TTY DeviceConfig" with the code page `codePage` to the printer `name`. A printer
// that cannot be opened shows "Failure to OpenPrinter GetLastError()=%d Printer Name=%s";
// the store's failure is not shown, only returned.
bool WritePrinterSettings(platform::Platform& platform, const char* name, std::uint32_t codePage,
                          const NoticeSink& notices);

}  // namespace zenthar
