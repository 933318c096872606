// Start-up: the program is one modal dialog; when it ends, the program ends.
#pragma once

#include "install/ProcessState.h"
#include "platform/Platform.h"

namespace zenthar {

// Shows the main dialog modally on `state`, the program's process-wide state. There is no
// other window loop: every later dialog runs inside this one's.
void RunInstallerApp(platform::Platform& platform, ProcessState& state);

}  // namespace zenthar
