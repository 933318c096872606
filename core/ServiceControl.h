// The service-control calls the start-up check and the network port share: the print
// spooler's status and start, and the hidden command runner.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace zenthar {

// How far the status query got: the status was read, or the call that failed.
enum class ServiceQuery { StatusRead, OpenSCManagerFailed, OpenServiceFailed, QueryServiceStatusFailed };

// `lastError` receives the failing call's error number.
ServiceQuery QueryService(platform::Platform& platform, const char* serviceName, platform::Dword* lastError = nullptr);

// Starts the service and waits while it makes progress. True when it runs (or already ran).
bool StartServiceAndWait(platform::Platform& platform, const char* serviceName);

// Runs "<COMSPEC> /c <command> <argument>" hidden and waits for it. Returns the command's
// exit code, or the error number when it could not be started (206 when the command line
// would not fit its 4096-character buffer).
platform::Dword RunCommand(platform::Platform& platform, const char* command, const char* argument);

}  // namespace zenthar
