// Start-up: the program is one modal dialog; when it ends, the program ends. A command line
// with "/quiet" runs the installation without windows instead.
#pragma once

#include <optional>
#include <string_view>

#include "core/ExitCodes.h"
#include "install/ProcessState.h"
#include "platform/Platform.h"

namespace zenthar {

// Shows the main dialog modally on `state`, the program's process-wide state. There is no
// other window loop: every later dialog runs inside this one's.
void RunInstallerApp(platform::Platform& platform, ProcessState& state);

// The program for the text after its name: the installation without windows when it holds
// "/quiet", the usage in a message box for "/?" alone, otherwise (whatever else it holds, as
// shortcuts made for earlier versions may pass) the main dialog. Returns the exit code.
ExitCode RunProgram(platform::Platform& platform, ProcessState& state, std::string_view commandLine);

// The 32-bit program on 64-bit Windows: runs "zenthar64.exe" from its own folder with the same
// command line and gives its exit code. When the twin cannot be started, says so (a message
// box, or the log of a run without windows) and gives exit code 2. Nothing when this program
// does the work itself.
std::optional<int> HandOverToTwin(platform::Platform& platform, std::string_view commandLine);

}  // namespace zenthar
