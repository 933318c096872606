// The run without windows as the command line asks for it: its options, read and checked
// before anything is done, the usage text, and the exit codes that say how a run ended.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/CodePageTable.h"
#include "core/ExitCodes.h"
#include "core/FixedText.h"
#include "install/Reconciliation.h"

namespace zenthar {

// What the code means, as the log's last line says it; a check's 0 has a meaning of its own.
const char* ExitCodeMeaning(ExitCode code, bool check = false);
// The log's last line: "result: 0 installed (or everything chosen existed already)".
std::string ResultLine(ExitCode code, bool check);

struct QuietOptions : WantedPrinters {
    bool check = false;  // only say whether the machine is as the other options ask
    std::string logPath;
};

struct ReadOptions {
    QuietOptions options;
    std::string error;  // empty: the options are good
};

// Reads the arguments of a quiet run (the "/quiet" word among them). The log path is taken
// even when something else is wrong, so the usage can be written there.
ReadOptions ReadQuietOptions(const std::vector<std::string>& arguments);

// The options and exit codes, as the usage message box and the log show them.
std::string UsageText();

// True when the only argument is "/?".
bool AsksUsage(const std::vector<std::string>& arguments);

}  // namespace zenthar
