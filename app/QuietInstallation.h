// The installation without windows, for deployment tools: the choices of the dialogs given
// as options, every message the dialogs would show written to a log instead, and the way the
// run ended given back as the program's exit code.
#pragma once

#include <string>
#include <vector>

#include "app/QuietOptions.h"
#include "install/ProcessState.h"
#include "platform/Platform.h"

namespace zenthar {

// Runs the installation without windows; returns the exit code.
ExitCode RunQuietInstallation(platform::Platform& platform, ProcessState& state,
                              const std::vector<std::string>& arguments);

}  // namespace zenthar
