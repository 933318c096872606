#pragma once
#include <string>
#include <vector>

#include "core/ExitCodes.h"
#include "platform/Platform.h"

namespace zenthar::uninstall {

// The whole windowless run: arguments are what follows the program's name, already split
// (core/CommandLine.h SplitArguments).
UninstallerExit RunQuietUninstall(platform::Platform& platform, const std::vector<std::string>& arguments);

}  // namespace zenthar::uninstall
