// Removes the family's old print processor after a failed installation run.
#pragma once

#include <cstdint>

#include "core/InstallSession.h"
#include "core/Notice.h"
#include "platform/Platform.h"

namespace zenthar {

// Deletes the print processor "VXTHM4PP": its spooler registration, its registry key under
// the x86 environment and its two files. Only files that cannot be deleted are reported, one
// message each.
void RemovePrintProcessor(platform::Platform& platform, OsFamily osFamily, const NoticeSink& notices);

}  // namespace zenthar
