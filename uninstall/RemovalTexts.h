// The uninstaller's wording, shared by the dialogs, the summary and the log, so that a part or
// a reason reads the same wherever it is shown.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "uninstall/Removal.h"
#include "uninstall/Survey.h"

namespace zenthar::uninstall {

inline constexpr const char* kNothingFoundText =
    "No NORVA Orbix printer, printer driver, port or port monitor was found on this computer.\n"
    "Nothing was changed.";
inline constexpr const char* kNothingFoundLine =
    "Nothing of the NORVA Orbix printer driver was found; nothing was changed.";
inline constexpr const char* kFolderNotLockedLine =
    "Nothing was removed: the installer folder is not safe to use; exit code 3.";
// Why a part found without an installation record stays: it may as well be the administrator's.
inline constexpr const char* kNoRecord = "installed before this version kept a record of what it made";
inline constexpr const char* kEntryKept = "kept while anything else of the driver is left, to run this again";

// Plain-English texts, e.g.
// Describe(part) == "printer \"NORVA MTR333\"",
// Describe(outcome) == "Removed printer \"NORVA MTR333\"" or
//   "Could not remove printer \"NORVA MTR333\": 2 jobs are waiting (error 3009)".
std::string Describe(const Part& part);
std::string Describe(const Outcome& outcome);
// "Could not read the print spooler: EnumPrintersA failed (error 1722)".
std::string DescribeReadFailure(const Failure& failure);

std::string Quoted(const std::string& text);
// A part left on purpose, for the summary and the log: "Left port \"IP_1\": <why>".
std::string LeftLine(const Part& part, const std::string& why);
// A recorded file that is not deleted, since it lies outside `folder` ("the spooler's driver
// folder", "the system folder"), where the installer copies its files.
std::string LeftOutsideLine(const std::string& path, const char* folder);
// Why a part stays: the first of the printers that need it.
std::string StillUsedBy(const std::vector<std::string>& users);
std::string PortUsedBy(const std::string& port, const std::string& printer);
std::string JobsWaiting(platform::Dword count);

// The summary's headline over the rows: all removed (with `leftOnPurpose` rows saying what
// stays and why), or how many parts were not.
std::string SummaryHeadline(const std::vector<Outcome>& outcomes, std::size_t leftOnPurpose);
// The quiet run's last line: "3 removed, 1 could not be removed; exit code 1."
std::string TotalsLine(const std::vector<Outcome>& outcomes, UninstallerExit exitCode);

}  // namespace zenthar::uninstall
