// The simulated services (the spooler's among them) and the processes the program starts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "platform/sim/SimText.h"

namespace zenthar::sim::detail {

class Core;

struct Service {
    std::string name;
    Dword state = SERVICE_STOPPED;
    ServiceStartScript script;
    unsigned readsSinceStart = 0;
    Dword checkPoint = 0;
    Dword waitHint = 0;
};

struct CommandRule {
    std::string pattern;
    bool failCreation = false;
    bool neverEnds = false;  // waits for an answer that nobody gives, until it is terminated
    Dword value = 0;         // exit code, or the creation error
};

// The services' and processes' state. A service that reaches its state can change the rest of
// the machine (a starting spooler reads its ports again), so it knows the machine.
class ServiceState {
public:
    explicit ServiceState(Core& core) : core(core) {}

    Service* FindService(std::string_view name);
    void AddService(std::string_view name, Dword state);
    // Applies a start request; returns 0 or the error StartServiceA gives.
    Dword StartService(Service& service);
    void ReadServiceStatus(Service& service);
    void ServiceReachedState(Service& service);

    std::vector<Service> services;
    std::vector<CommandRule> commandRules;
    std::vector<ProcessRecord> processes;
    Dword nextProcessId = 0x1000;

private:
    Core& core;
};

class SimServices final : public Services {
public:
    explicit SimServices(Core& core) : core(core) {}
    Call<Handle> OpenSCManagerA(const char* machine, const char* database, Dword access) override;
    Call<Handle> OpenServiceA(Handle manager, const char* serviceName, Dword access) override;
    Call<bool> QueryServiceStatus(Handle service, ServiceStatus* status) override;
    Call<bool> StartServiceA(Handle service, Dword argumentCount, const char** arguments) override;
    Call<bool> CloseServiceHandle(Handle handle) override;

private:
    Core& core;
};

class SimProcesses final : public Processes {
public:
    explicit SimProcesses(Core& core) : core(core) {}
    Call<bool> CreateProcessA(const char* applicationName, char* commandLine, const void* processAttributes,
                              const void* threadAttributes, bool inheritHandles, Dword creationFlags,
                              const void* environment, const char* currentDirectory, const StartupInfoA* startupInfo,
                              ProcessInformation* processInformation) override;
    Call<bool> GetExitCodeProcess(Handle process, Dword* exitCode) override;
    Call<bool> TerminateProcess(Handle process, Dword exitCode) override;

private:
    Core& core;
};

}  // namespace zenthar::sim::detail
