// What the program looks at before anything can be chosen: the print spooler, started if it
// is not running, and the printers that exist already. The main dialog and the run without
// windows both start with these; each shows what they report in its own way.
#pragma once

#include <optional>
#include <vector>

#include "core/Notice.h"
#include "install/NameTables.h"
#include "platform/Platform.h"

namespace zenthar {

enum class SpoolerCheck {
    Running,      // running, or started and running now
    QueryFailed,  // its status could not be read (reported); the program goes on all the same
    NotStarted,   // it could not be started (reported): nothing can be installed
};

// Windows' protected print mode lets the spooler take only Windows' own IPP class driver: no
// printer of ours can be installed while it is on. Set by policy or by the switch in
// Settings; either value at 1 turns it on.
bool ProtectedPrintModeOn(platform::Platform& platform);

// Queries the spooler and starts it when it is not running, waiting while it starts.
SpoolerCheck CheckSpooler(platform::Platform& platform, const NoticeSink& notices);

// The rows among the first `count` of `table` whose printer exists with a driver of the
// same name, in the spooler's order (a row may come twice). nullopt when the spooler could
// not list its printers, which is reported.
std::optional<std::vector<int>> FindInstalledRows(platform::Platform& platform, const NameTable& table, int count,
                                                  const NoticeSink& notices);

}  // namespace zenthar
