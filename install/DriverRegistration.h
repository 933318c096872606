// Registers one printer driver per installed row, all sharing the copied driver files.
#pragma once

#include <cstdint>

#include "core/InstallSession.h"
#include "core/Notice.h"
#include "platform/Platform.h"

namespace zenthar {
// The driver record for a row: the NT 4 (RASDD) record for x86 NT 4, the universal driver's
// record for everything else. The record's strings are constants of the program, except the
// name, which points at `name`.
platform::DriverInfo3A MakeDriverRecord(Processor processor, OsFamily osFamily, const char* name);

// Registers the driver `name`. A missing module (126) is retried once after FRAMEDYN.dll was
// put in place; any other failure shows "Failure to AddPrinterDriver() GetLastError()=%d",
// over the main window, and returns false.
bool RegisterDriver(platform::Platform& platform, Processor processor, OsFamily osFamily, const char* name,
                    const NoticeSink& notices);

}  // namespace zenthar
