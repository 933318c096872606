// Start-up: the program is one modal dialog; when it ends, the program ends. A command line
// with "/quiet" runs the installation without windows instead.
#pragma once

#include <string_view>

#include "install/ProcessState.h"
#include "platform/Platform.h"

namespace zenthar {

// Shows the main dialog modally on `state`, the program's process-wide state. There is no
// other window loop: every later dialog runs inside this one's.
void RunInstallerApp(platform::Platform& platform, ProcessState& state);

// The program for the text after its name: the installation without windows when it holds
// "/quiet", the usage in a message box for "/?" alone, otherwise (whatever else it holds, as
// shortcuts made for earlier versions may pass) the main dialog. Returns the exit code.
int RunProgram(platform::Platform& platform, ProcessState& state, std::string_view commandLine);

}  // namespace zenthar
