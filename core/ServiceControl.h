// The service-control calls the start-up check and the network port share: the print
// spooler's status and start, and the hidden command runner.
#pragma once

#include <cstdint>
#include <string>

#include "core/Failure.h"
#include "platform/Platform.h"

namespace zenthar {

// The calls of the status query, as its failure names them.
inline constexpr const char* kOpenManager = "OpenSCManagerA";
inline constexpr const char* kOpenService = "OpenServiceA";
inline constexpr const char* kQueryStatus = "QueryServiceStatus";

// Whether the service's status could be read, or the first of its calls that failed.
Status QueryService(platform::Platform& platform, const char* serviceName);

// Starts the service and waits while it makes progress, three minutes at the most. True when
// it runs (or already ran).
bool StartServiceAndWait(platform::Platform& platform, const char* serviceName);

// How long a command may take before it is ended: a "net stop" that waits for an answer on its
// hidden console would otherwise hold the program for ever.
inline constexpr platform::Dword kCommandTimeLimit = 60000;

struct CommandEnd {
    platform::Dword exitCode = 0;
    // It had not ended within kCommandTimeLimit and was terminated.
    bool ended = true;
};

// Runs "<COMSPEC> /c <command> <argument>" hidden and waits for it, kCommandTimeLimit at most.
// A command that could not be started fails as CreateProcessA (206 when the command line would
// not fit its 4096-character buffer) or as the call that kept it from being started.
Result<CommandEnd> RunCommand(platform::Platform& platform, const char* command, const char* argument);

// What the user is told of a command that was ended, e.g.
// "\"net stop spooler\" did not end within 60 seconds and was stopped".
std::string CommandNotEndedText(const char* command, const char* argument);

}  // namespace zenthar
