// The simulated machine as a whole: what its parts share, and the parts themselves.
//
// Each subsystem keeps its state and operations in its own files (SimFiles, SimRegistry,
// SimSpooler, SimServices, SimDevices, SimSystem, SimKernel); Core is all of them at once, so
// an interface reaches any part of the machine through the one Core it was given, and a part
// reaches another through the Core it belongs to.
//
// One mutex guards everything: the machine is small, and a single lock keeps the worker
// thread of the USB channel and the UI thread from ever seeing half-done changes. Every
// function of Core and of its parts expects the caller to hold it (`Core::Lock`).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/Constants.h"
#include "platform/sim/SimDevices.h"
#include "platform/sim/SimFiles.h"
#include "platform/sim/SimKernel.h"
#include "platform/sim/SimMachine.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimServices.h"
#include "platform/sim/SimSpooler.h"
#include "platform/sim/SimSystem.h"
#include "platform/sim/SimText.h"

namespace zenthar::sim::detail {

using namespace zenthar::platform;

inline constexpr std::uint64_t kNeverTime = ~std::uint64_t{0};
// The first handle the machine hands out; Windows' first handles of a process are as small.
inline constexpr Handle kFirstHandle = 0x104;

// ---- Kernel objects ---------------------------------------------------------------------

enum class HandleKind {
    Event,
    Thread,
    Process,
    File,
    Device,
    Printer,
    PrintServer,
    ServiceManager,
    Service,
    DeviceInfoSet,
    Mutex,
    Token
};

// A named mutex of the machine, shared by every process that opens it; this model knows the
// program's own process and "another" one a test arranges.
struct MutexObject {
    unsigned ownedByProgram = 0;  // times the program's thread took it without releasing
    bool heldElsewhere = false;
    std::uint64_t releasedAt = ~std::uint64_t{0};  // virtual time the other holder lets go
    bool abandonedElsewhere = false;               // the other holder ends without releasing
};

struct EventObject {
    bool manualReset = true;
    bool signalled = false;
};

struct ThreadObject {
    bool ended = false;
    Dword exitCode = STILL_ACTIVE;
    std::thread thread;
    std::thread::id id;
};

struct HandleEntry {
    HandleKind kind = HandleKind::Event;
    std::shared_ptr<EventObject> event;
    std::shared_ptr<ThreadObject> thread;
    Dword exitCode = 0;  // processes
    bool running = false;
    std::size_t processRecord = 0;  // its entry in Core::processes
    // files
    std::string fileKey;
    Dword access = 0;
    Dword share = 0;
    bool overlappedIo = false;
    std::uint64_t position = 0;
    // mutexes
    std::shared_ptr<MutexObject> mutex;
    // devices
    std::shared_ptr<UsbDevice> device;
    unsigned generation = 0;
    std::vector<std::shared_ptr<PendingIo>> pending;
    // printers and services
    std::string name;
    // device information sets
    std::vector<std::string> devicePaths;
};

struct Fault {
    std::string function;
    Dword error = 0;
    unsigned countdown = 1;  // fails when it reaches 1; 0 with `always`
    bool always = false;
};

// The machine: its parts, and what they share (the lock, the calls' log and faults, the
// handles, threads and the clock).
class Core : public DiskState,
             public RegistryState,
             public SpoolerState,
             public ServiceState,
             public DeviceState,
             public ModuleState,
             public ProcessState {
public:
    explicit Core(MachineProfile profile);

    std::unique_lock<std::mutex> Lock() const { return std::unique_lock<std::mutex>(mutex); }

    // Logs the call and returns the error of a fault that hits it.
    std::optional<Dword> Enter(std::string_view function);
    void Misuse(std::string text);

    // Handles.
    Handle NewHandle(HandleEntry entry);
    HandleEntry* FindHandle(Handle handle, std::initializer_list<HandleKind> kinds);
    void CloseHandleEntry(Handle handle);

    // Waiting. Waits on the condition variable until `ready` holds; `deadline` is virtual
    // time (kNeverTime: none). Returns true when ready, false on the deadline. The virtual
    // clock moves to the deadline when no started thread could still change anything.
    template <class Ready>
    bool WaitUntil(std::unique_lock<std::mutex>& lock, std::uint64_t deadline, Ready ready, const char* what);
    void Changed() { changedCondition.notify_all(); }
    void AdvanceClock(std::uint64_t milliseconds);
    std::uint64_t Now() const { return now; }
    Dword Ticks() const { return static_cast<Dword>(tickBase + now); }

    // State (guarded by `mutex`).
    MachineProfile profile;
    mutable std::mutex mutex;
    std::condition_variable changedCondition;

    std::vector<std::string> callLog;
    std::vector<Fault> faults;
    std::map<std::size_t, Dword> callNumberFaults;
    std::vector<std::string> misuses;

    std::map<Handle, HandleEntry> handles;
    std::map<std::string, std::shared_ptr<MutexObject>> namedMutexes;  // by upper-case name
    Handle nextHandle = kFirstHandle;
    std::vector<std::shared_ptr<ThreadObject>> threads;
    std::size_t liveThreads = 0;
    bool shuttingDown = false;  // the machine is being destroyed: waits give up

    std::uint64_t now = 0;
    Dword tickBase = 0x00100000;
    std::vector<Pause> pauses;
};

template <class Ready>
bool Core::WaitUntil(std::unique_lock<std::mutex>& lock, std::uint64_t deadline, Ready ready, const char* what)
{
    using namespace std::chrono_literals;
    const auto started = std::chrono::steady_clock::now();
    auto lastChange = started;
    std::uint64_t seenNow = now;
    for (;;) {
        if (ready()) return true;
        if (shuttingDown) return false;
        if (deadline != kNeverTime && now >= deadline) return false;
        bool selfIsCreated = false;
        for (const auto& t : threads)
            if (!t->ended && t->id == std::this_thread::get_id()) selfIsCreated = true;
        const std::size_t others = liveThreads - (selfIsCreated ? 1 : 0);
        if (deadline != kNeverTime && others == 0) {
            // Nobody else can make it ready: the time-out simply passes.
            AdvanceClock(deadline - now);
            return ready();
        }
        changedCondition.wait_for(lock, 2ms);
        if (now != seenNow) {
            seenNow = now;
            lastChange = std::chrono::steady_clock::now();
        }
        const auto idle = std::chrono::steady_clock::now() - lastChange;
        if (deadline != kNeverTime && idle > 2s) {
            AdvanceClock(deadline - now);
            return ready();
        }
        if (deadline == kNeverTime && idle > 30s) {
            Misuse(std::string(what) + ": a wait without time limit never ended");
            return false;
        }
    }
}

}  // namespace zenthar::sim::detail
