// The simulated kernel's calls on events and threads, the virtual clock's, debugger output and
// the program's environment block. Kernel objects, handles and the clock themselves are shared
// by every part of the machine and live in SimCore.h.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "platform/sim/SimText.h"

namespace zenthar::sim::detail {

class Core;
struct MutexObject;

// What the program's process holds apart from the kernel objects.
struct ProcessState {
    // The variables Windows of the profile sets for every process.
    void InstallVariables(const MachineProfile& profile);

    std::vector<std::string> debugLines;
    std::vector<std::pair<std::string, std::string>> environment;
};

class SimKernel final : public Kernel {
public:
    explicit SimKernel(Core& core) : core(core) {}
    Call<bool> CloseHandle(Handle handle) override;
    Call<Handle> CreateEventA(const void* security, bool manualReset, bool initialState, const char* name) override;
    Call<bool> SetEvent(Handle event) override;
    Call<bool> ResetEvent(Handle event) override;
    Call<Dword> WaitForSingleObject(Handle handle, Dword milliseconds) override;
    Call<Handle> CreateThread(const void* security, std::size_t stackSize, ThreadStartRoutine start, void* parameter,
                              Dword creationFlags, Dword* threadId) override;
    Call<Handle> CreateMutexA(const void* security, bool initialOwner, const char* name) override;
    Call<bool> ReleaseMutex(Handle mutex) override;

private:
    Call<Dword> WaitForMutex(MutexObject& mutex, Dword milliseconds);

    Core& core;
};

class SimClock final : public Clock {
public:
    explicit SimClock(Core& core) : core(core) {}
    void Sleep(Dword milliseconds) override;
    Dword GetTickCount() override;

private:
    Core& core;
};

class SimDebug final : public Debug {
public:
    explicit SimDebug(Core& core) : core(core) {}
    void OutputDebugStringA(const char* text) override;

private:
    Core& core;
};

class SimEnvironment final : public Environment {
public:
    explicit SimEnvironment(Core& core) : core(core) {}
    Call<Dword> GetEnvironmentVariableA(const char* name, char* buffer, Dword size) override;

private:
    Core& core;
};

}  // namespace zenthar::sim::detail
