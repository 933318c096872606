// Kernel objects, the virtual clock, debugger output and the environment block.
#include <chrono>
#include <cstring>

#include "platform/sim/SimBackends.h"

namespace zenthar::sim::detail {

namespace {

bool OnCreatedThread(const Core& core)
{
    for (const auto& thread : core.threads)
        if (!thread->ended && thread->id == std::this_thread::get_id()) return true;
    return false;
}

}  // namespace

// ---- The process ----------------------------------------------------------------------------------

void ProcessState::InstallVariables(const MachineProfile& profile)
{
    const std::string windows = profile.windowsDirectory;
    environment.emplace_back("COMSPEC", profile.Is9x() ? windows + "\\COMMAND.COM" : windows + "\\system32\\cmd.exe");
    environment.emplace_back("windir", windows);
    if (!profile.Is9x()) environment.emplace_back("SystemRoot", windows);
}

// ---- Kernel objects -------------------------------------------------------------------------------

Call<bool> SimKernel::CloseHandle(Handle handle)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("CloseHandle")) return Failed(false, *fault);
    const HandleEntry* entry =
        core.FindHandle(handle, {HandleKind::Event, HandleKind::Thread, HandleKind::Process, HandleKind::File,
                                 HandleKind::Device, HandleKind::Mutex, HandleKind::Token});
    if (!entry) {
        if (core.handles.count(handle))
            core.Misuse("CloseHandle on a handle that only its own close function may close");
        return Failed(false, ERROR_INVALID_HANDLE);
    }
    // Windows would hand it on as abandoned only when the thread ends: until then every other
    // run waits for a program that forgot it.
    if (entry->mutex && entry->mutex->ownedByProgram > 0)
        core.Misuse("CloseHandle on a mutex the program still owns (ReleaseMutex first)");
    core.CloseHandleEntry(handle);
    return Ok(true);
}

Call<Handle> SimKernel::CreateMutexA(const void*, bool initialOwner, const char* name)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("CreateMutexA")) return Failed(kNoHandle, *fault);
    std::shared_ptr<MutexObject> object;
    Dword error = 0;
    if (name) {
        auto& named = core.namedMutexes[Upper(name)];
        if (named) error = ERROR_ALREADY_EXISTS;
        else named = std::make_shared<MutexObject>();
        object = named;
    } else {
        object = std::make_shared<MutexObject>();
    }
    if (initialOwner && error == 0) object->ownedByProgram = 1;
    HandleEntry entry;
    entry.kind = HandleKind::Mutex;
    entry.mutex = object;
    entry.name = name ? name : "";
    return {core.NewHandle(std::move(entry)), error};
}

Call<bool> SimKernel::ReleaseMutex(Handle mutex)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("ReleaseMutex")) return Failed(false, *fault);
    HandleEntry* entry = core.FindHandle(mutex, {HandleKind::Mutex});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    if (entry->mutex->ownedByProgram == 0) return Failed(false, ERROR_NOT_OWNER);
    --entry->mutex->ownedByProgram;
    core.Changed();
    return Ok(true);
}

Call<Handle> SimKernel::CreateEventA(const void*, bool manualReset, bool initialState, const char*)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("CreateEventA")) return Failed(kNoHandle, *fault);
    HandleEntry entry;
    entry.kind = HandleKind::Event;
    entry.event = std::make_shared<EventObject>(EventObject{manualReset, initialState});
    return Ok(core.NewHandle(std::move(entry)));
}

Call<bool> SimKernel::SetEvent(Handle event)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("SetEvent")) return Failed(false, *fault);
    HandleEntry* entry = core.FindHandle(event, {HandleKind::Event});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    entry->event->signalled = true;
    core.Changed();
    return Ok(true);
}

Call<bool> SimKernel::ResetEvent(Handle event)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("ResetEvent")) return Failed(false, *fault);
    HandleEntry* entry = core.FindHandle(event, {HandleKind::Event});
    if (!entry) return Failed(false, ERROR_INVALID_HANDLE);
    entry->event->signalled = false;
    return Ok(true);
}

Call<Dword> SimKernel::WaitForSingleObject(Handle handle, Dword milliseconds)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("WaitForSingleObject")) return Failed(WAIT_FAILED, *fault);
    HandleEntry* entry = core.FindHandle(handle, {HandleKind::Event, HandleKind::Thread, HandleKind::Process,
                                                  HandleKind::File, HandleKind::Device, HandleKind::Mutex});
    if (!entry) return Failed(WAIT_FAILED, ERROR_INVALID_HANDLE);
    if (entry->kind == HandleKind::Mutex) return WaitForMutex(*entry->mutex, milliseconds);
    // Processes end at once in this machine unless scripted never to; files and devices count
    // as signalled.
    if (entry->kind == HandleKind::Process && entry->running) {
        if (milliseconds == INFINITE) {
            core.Misuse("WaitForSingleObject: a wait without time limit on a process that never ends");
            return Failed(WAIT_FAILED, ERROR_INVALID_HANDLE);
        }
        core.AdvanceClock(milliseconds);
        return Ok(WAIT_TIMEOUT);
    }
    if (entry->kind != HandleKind::Event && entry->kind != HandleKind::Thread) return Ok(WAIT_OBJECT_0);
    auto event = entry->event;
    auto thread = entry->thread;
    auto ready = [&] { return event ? event->signalled : thread->ended; };
    const std::uint64_t deadline = milliseconds == INFINITE ? kNeverTime : core.Now() + milliseconds;
    if (!core.WaitUntil(lock, deadline, ready, "WaitForSingleObject"))
        return milliseconds == INFINITE ? Failed(WAIT_FAILED, ERROR_INVALID_HANDLE) : Ok(WAIT_TIMEOUT);
    if (event && !event->manualReset) event->signalled = false;
    return Ok(WAIT_OBJECT_0);
}

// The other holder lets go at its time (abandoned, if so arranged); the program's own thread
// takes a mutex it owns again at once.
Call<Dword> SimKernel::WaitForMutex(MutexObject& mutex, Dword milliseconds)
{
    if (mutex.heldElsewhere) {
        const std::uint64_t deadline = milliseconds == INFINITE ? kNeverTime : core.Now() + milliseconds;
        if (mutex.releasedAt > deadline) {
            if (milliseconds == INFINITE) {
                core.Misuse("WaitForSingleObject: a wait without time limit on a mutex never released");
                return Failed(WAIT_FAILED, ERROR_INVALID_HANDLE);
            }
            core.AdvanceClock(milliseconds);
            return Ok(WAIT_TIMEOUT);
        }
        if (mutex.releasedAt > core.Now()) core.AdvanceClock(mutex.releasedAt - core.Now());
        mutex.heldElsewhere = false;
        ++mutex.ownedByProgram;
        return Ok(mutex.abandonedElsewhere ? WAIT_ABANDONED : WAIT_OBJECT_0);
    }
    ++mutex.ownedByProgram;
    return Ok(WAIT_OBJECT_0);
}

Call<Handle> SimKernel::CreateThread(const void*, std::size_t, ThreadStartRoutine start, void* parameter, Dword,
                                     Dword* threadId)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("CreateThread")) return Failed(kNoHandle, *fault);
    if (!start) return Failed(kNoHandle, ERROR_INVALID_PARAMETER);
    auto object = std::make_shared<ThreadObject>();
    core.threads.push_back(object);
    ++core.liveThreads;
    Core* machine = &core;
    object->thread = std::thread([machine, object, start, parameter] {
        const Dword exitCode = start(parameter);
        auto threadLock = machine->Lock();
        object->exitCode = exitCode;
        object->ended = true;
        --machine->liveThreads;
        machine->Changed();
    });
    object->id = object->thread.get_id();
    HandleEntry entry;
    entry.kind = HandleKind::Thread;
    entry.thread = object;
    const Handle handle = core.NewHandle(std::move(entry));
    if (threadId) *threadId = static_cast<Dword>(handle);
    return Ok(handle);
}

// ---- Clock ------------------------------------------------------------------------------------

void SimClock::Sleep(Dword milliseconds)
{
    bool created = false;
    {
        auto lock = core.Lock();
        core.Enter("Sleep");
        created = OnCreatedThread(core);
        core.pauses.push_back(Pause{milliseconds, created});
        core.AdvanceClock(milliseconds);
    }
    // A worker that polls with pauses would otherwise spin flat out on virtual time.
    if (created && milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

Dword SimClock::GetTickCount()
{
    auto lock = core.Lock();
    core.Enter("GetTickCount");
    return core.Ticks();
}

// ---- Debugger output and environment -----------------------------------------------------------

void SimDebug::OutputDebugStringA(const char* text)
{
    auto lock = core.Lock();
    core.Enter("OutputDebugStringA");
    if (text) core.debugLines.emplace_back(text);
}

Call<Dword> SimEnvironment::GetEnvironmentVariableA(const char* name, char* buffer, Dword size)
{
    auto lock = core.Lock();
    if (auto fault = core.Enter("GetEnvironmentVariableA")) return Failed(Dword{0}, *fault);
    if (!name) return Failed(Dword{0}, ERROR_ENVVAR_NOT_FOUND);
    for (const auto& [key, value] : core.environment) {
        if (!SameText(key, name)) continue;
        if (!buffer || size <= value.size()) return Ok(static_cast<Dword>(value.size() + 1));
        std::memcpy(buffer, value.c_str(), value.size() + 1);
        return Ok(static_cast<Dword>(value.size()));
    }
    return Failed(Dword{0}, ERROR_ENVVAR_NOT_FOUND);
}

}  // namespace zenthar::sim::detail
