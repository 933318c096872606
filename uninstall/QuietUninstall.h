#pragma once
#include <string>
#include <vector>
#include "platform/Platform.h"

namespace zenthar::uninstall {

// The whole windowless run: arguments are what follows the program's name, already split
// (core/CommandLine.h SplitArguments). Returns the process exit code.
int RunQuietUninstall(platform::Platform& platform, const std::vector<std::string>& arguments);

}  // namespace zenthar::uninstall
