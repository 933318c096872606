#include "platform/sim/SimCore.h"

#include <cstdio>

#include "platform/sim/SimSecurity.h"

namespace zenthar::sim::detail {

// ---- Construction: a freshly installed machine of the profile -------------------------------

Core::Core(MachineProfile machineProfile)
    : DiskState(*this), SpoolerState(*this), ServiceState(*this), DeviceState(*this), ModuleState(*this),
      profile(std::move(machineProfile))
{
    // In this order: the spooler's folders and keys go into the disk and the registry.
    InstallSystemFiles();
    InstallDefaultSecurity(*this);
    InstallSkeleton(profile.Is64BitSystem());
    if (profile.hasSpoolerService) AddService("Spooler", SERVICE_RUNNING);
    if (profile.hasLpdService) AddService("LPDSVC", SERVICE_RUNNING);
    InstallPrintEnvironments();
    InstallMonitors();
    InstallPinnedLibraries();
    InstallVariables(profile);
}

// ---- Calls, faults, misuse ------------------------------------------------------------------------

std::optional<Dword> Core::Enter(std::string_view function)
{
    const std::size_t index = callLog.size();
    callLog.emplace_back(function);
    if (auto it = callNumberFaults.find(index); it != callNumberFaults.end()) {
        const Dword error = it->second;
        callNumberFaults.erase(it);
        return error;
    }
    // Every armed fault counts this call, whichever of them fires.
    std::optional<Dword> error;
    for (auto it = faults.begin(); it != faults.end();) {
        if (it->function != function) {
            ++it;
            continue;
        }
        if (it->always) {
            if (!error) error = it->error;
            ++it;
        } else if (it->countdown <= 1) {
            if (!error) error = it->error;
            it = faults.erase(it);
        } else {
            --it->countdown;
            ++it;
        }
    }
    return error;
}

void Core::Misuse(std::string text)
{
    std::fprintf(stderr, "SimMachine: %s\n", text.c_str());
    misuses.push_back(std::move(text));
}

// ---- Handles ------------------------------------------------------------------------------------

Handle Core::NewHandle(HandleEntry entry)
{
    const Handle handle = nextHandle;
    nextHandle += 4;
    handles.emplace(handle, std::move(entry));
    return handle;
}

HandleEntry* Core::FindHandle(Handle handle, std::initializer_list<HandleKind> kinds)
{
    auto it = handles.find(handle);
    if (it == handles.end()) return nullptr;
    for (HandleKind kind : kinds)
        if (it->second.kind == kind) return &it->second;
    return nullptr;
}

void Core::CloseHandleEntry(Handle handle)
{
    auto it = handles.find(handle);
    if (it == handles.end()) return;
    HandleEntry& entry = it->second;
    // Closing a handle ends its outstanding requests, as Windows cancels them.
    for (auto& io : entry.pending)
        if (!io->done) CompleteIo(entry, *io, ERROR_OPERATION_ABORTED);
    entry.pending.clear();
    handles.erase(it);
    Changed();
}

void Core::AdvanceClock(std::uint64_t milliseconds)
{
    now += milliseconds;
    SettleIo();
    Changed();
}

}  // namespace zenthar::sim::detail
