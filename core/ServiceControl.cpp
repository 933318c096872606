#include "core/ServiceControl.h"

#include "core/FixedText.h"
#include "core/Owners.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"

namespace zenthar {

namespace {

// How long one wait of the start loop lasts: a tenth of the service's hint, kept between one
// and ten seconds.
platform::Dword StartWait(platform::Dword waitHint)
{
    constexpr platform::Dword kShortest = 1000;
    constexpr platform::Dword kLongest = 10000;
    const platform::Dword wait = waitHint / 10;
    if (wait < kShortest) return kShortest;
    if (wait > kLongest) return kLongest;
    return wait;
}

// A service whose check point keeps growing is still given up after this long.
constexpr platform::Dword kLongestStart = 180000;

// What a command that could not be started fails as.
constexpr const char* kStartCall = "CreateProcessA";
// The interpreter as the command line names it when COMSPEC is not set, and its file.
constexpr const char* kInterpreterName = "CMD.EXE";
constexpr const char* kInterpreterFileName = "cmd.exe";

}  // namespace

Status QueryService(platform::Platform& platform, const char* serviceName)
{
    auto& services = platform.services;
    const auto manager =
        OwnService(services, kOpenManager, services.OpenSCManagerA(nullptr, nullptr, platform::SC_MANAGER_ALL_ACCESS));
    PASS_UP(manager);
    const auto service = OwnService(services, kOpenService,
                                    services.OpenServiceA(manager->Get(), serviceName, platform::SERVICE_ALL_ACCESS));
    PASS_UP(service);
    platform::ServiceStatus status{};
    const auto queried = services.QueryServiceStatus(service->Get(), &status);
    if (!queried.value) return Failure{kQueryStatus, queried.error};
    return Done{};
}

bool StartServiceAndWait(platform::Platform& platform, const char* serviceName)
{
    auto& services = platform.services;
    const auto manager =
        OwnService(services, kOpenManager, services.OpenSCManagerA(nullptr, nullptr, platform::SC_MANAGER_ALL_ACCESS));
    if (!manager) return false;
    auto opened = OwnService(services, kOpenService,
                             services.OpenServiceA(manager->Get(), serviceName, platform::SERVICE_ALL_ACCESS));
    if (!opened) return false;
    ServiceOwner& serviceOwner = *opened;
    const platform::Handle service = serviceOwner.Get();

    bool running = false;
    const auto started = services.StartServiceA(service, 0, nullptr);
    platform::ServiceStatus status{};
    if (!started.value) {
        running = started.error == platform::ERROR_SERVICE_ALREADY_RUNNING;
    } else if (services.QueryServiceStatus(service, &status).value) {
        const platform::Dword firstWait = platform.clock.GetTickCount();
        platform::Dword waitStart = firstWait;
        platform::Dword lastCheckPoint = status.dwCheckPoint;
        while (status.dwCurrentState == platform::SERVICE_START_PENDING &&
               platform.clock.GetTickCount() - firstWait <= kLongestStart) {
            platform.clock.Sleep(StartWait(status.dwWaitHint));
            if (!services.QueryServiceStatus(service, &status).value) break;
            if (status.dwCheckPoint > lastCheckPoint) {
                platform.debug.OutputDebugStringA(resources::Text(resources::Words::ServiceStarting));
                waitStart = platform.clock.GetTickCount();
                lastCheckPoint = status.dwCheckPoint;
            } else if (platform.clock.GetTickCount() - waitStart > status.dwWaitHint) {
                break;
            }
        }
        // A service handle that would not close counts as a failed start.
        const auto closed = serviceOwner.Close();
        return closed.value && status.dwCurrentState == platform::SERVICE_RUNNING;
    }
    return running;
}

namespace {

// A path that names its drive or share, so that nothing about where the program was started
// from changes what it means.
bool AbsolutePath(const char* path)
{
    const bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) && path[1] == ':' &&
                       path[2] == '\\';
    return drive || (path[0] == '\\' && path[1] == '\\');
}

// The interpreter the command line names is started from a full path: COMSPEC where it names
// a file that exists, otherwise the system directory's own; never one looked up by name,
// which Windows would look for in the program's folder first.
bool InterpreterFile(platform::Platform& platform, const char* comspec, const char* systemDirectory, char (&file)[4096])
{
    if (*comspec && AbsolutePath(comspec)) {
        const auto attributes = platform.files.GetFileAttributesA(comspec);
        if (attributes.value != platform::INVALID_FILE_ATTRIBUTES &&
            (attributes.value & platform::FILE_ATTRIBUTE_DIRECTORY) == 0)
            return CopyText(file, comspec);
    }
    return FormatWhole(file, "%s\\%s", systemDirectory, kInterpreterFileName);
}

}  // namespace

Result<CommandEnd> RunCommand(platform::Platform& platform, const char* command, const char* argument)
{
    char interpreter[4096] = {};
    const auto length = platform.environment.GetEnvironmentVariableA("COMSPEC", interpreter, sizeof interpreter);
    if (length.value >= sizeof interpreter) return Failure{kStartCall, platform::ERROR_FILENAME_EXCED_RANGE};
    const bool comspecSet = length.value != 0;

    char commandLine[4096];
    if (!FormatWhole(commandLine, "%s /c %s %s", comspecSet ? interpreter : kInterpreterName, command, argument))
        return Failure{kStartCall, platform::ERROR_FILENAME_EXCED_RANGE};

    // The command runs in the system directory, where only administrators put files: the
    // interpreter looks for "net" in its current directory before anywhere else.
    char systemDirectory[platform::MAX_PATH] = {};
    const auto system = platform.files.GetSystemDirectoryA(systemDirectory, sizeof systemDirectory);
    if (system.value == 0) return Failure{"GetSystemDirectoryA", system.error};
    if (system.value >= sizeof systemDirectory)
        return Failure{"GetSystemDirectoryA", platform::ERROR_FILENAME_EXCED_RANGE};
    char applicationName[4096];
    if (!InterpreterFile(platform, comspecSet ? interpreter : "", systemDirectory, applicationName))
        return Failure{kStartCall, platform::ERROR_FILENAME_EXCED_RANGE};

    platform::StartupInfoA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = platform::STARTF_USESHOWWINDOW;
    startup.wShowWindow = platform::SW_HIDE;
    platform::ProcessInformation process{};
    const auto created = platform.processes.CreateProcessA(applicationName, commandLine, nullptr, nullptr, false,
                                                           platform::CREATE_NEW_CONSOLE, nullptr, systemDirectory,
                                                           &startup, &process);
    if (!created.value) return Failure{kStartCall, created.error};

    const HandleOwner processOwner(platform.kernel, process.hProcess);
    const HandleOwner threadOwner(platform.kernel, process.hThread);
    const auto waited = platform.kernel.WaitForSingleObject(process.hProcess, kCommandTimeLimit);
    // A wait that failed outright has not waited at all: the exit code is read as before.
    if (waited.value == platform::WAIT_TIMEOUT) {
        // The interpreter goes; what it started may stay behind on its console, but this
        // program is free to go on.
        platform.processes.TerminateProcess(process.hProcess, platform::ERROR_TIMEOUT);
        platform.debug.OutputDebugStringA(resources::Text(resources::Words::CommandStopped));
        return CommandEnd{platform::ERROR_TIMEOUT, false};
    }
    platform::Dword exitCode = 0;
    if (!platform.processes.GetExitCodeProcess(process.hProcess, &exitCode).value) exitCode = 0;
    return CommandEnd{exitCode, true};
}

std::string CommandNotEndedText(const char* command, const char* argument)
{
    return resources::Say(resources::Words::CommandTimedOut, command, argument, kCommandTimeLimit / 1000);
}

}  // namespace zenthar
