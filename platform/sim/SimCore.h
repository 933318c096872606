// The simulated machine's state, shared by the interface implementations.
//
// One mutex guards everything: the machine is small, and a single lock keeps the worker
// thread of the USB channel and the UI thread from ever seeing half-done changes. Every
// function here expects the caller to hold it (`Core::Lock`).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/Constants.h"
#include "platform/sim/SimMachine.h"

namespace zenthar::sim::detail {

using namespace zenthar::platform;

// ---- Text helpers -----------------------------------------------------------------------

std::string Upper(std::string_view text);
bool SameText(std::string_view a, std::string_view b);  // letter case ignored
bool StartsWithText(std::string_view text, std::string_view prefix);  // letter case ignored
bool ContainsText(std::string_view text, std::string_view part);      // letter case ignored
std::string TextOf(const char* text);  // null reads as empty
std::vector<std::string> SplitPath(std::string_view path);  // on '\', empty parts dropped

// ---- Files ------------------------------------------------------------------------------

struct FsEntry {
    std::string path;  // as spelled when created, e.g. "C:\Windows\System32"
    bool directory = false;
    std::vector<std::uint8_t> bytes;
};

// ---- Registry ---------------------------------------------------------------------------

struct RegNode {
    std::string name;
    std::string keyClass;
    std::vector<std::shared_ptr<RegNode>> children;
    std::vector<SimMachine::RegistryValue> values;
    RegNode* parent = nullptr;
    bool deleted = false;
    bool isControlSetLink = false;  // HKLM\SYSTEM\CurrentControlSet
    bool isHklmSoftware = false;    // where the 32-bit view branches into Wow6432Node

    std::shared_ptr<RegNode> Child(std::string_view childName) const;
    SimMachine::RegistryValue* Value(std::string_view valueName);
};

struct RegHandle {
    std::shared_ptr<RegNode> node;
    bool view32 = false;
    Dword access = 0;
};

// ---- Spooler ----------------------------------------------------------------------------

struct MonitorLibrary {
    std::vector<std::string> ports;
    bool isMonitor = true;
};

// ---- Services and processes -------------------------------------------------------------

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
    Dword value = 0;  // exit code, or the creation error
};

// ---- USB --------------------------------------------------------------------------------

struct UsbDevice {
    std::string path;
    bool present = true;
    unsigned attemptsBeforeBack = 0;  // while unplugged
    unsigned generation = 0;          // handles of an older generation are dead
    UsbWriteBehaviour behaviour;
    std::deque<UsbWriteBehaviour> queued;
    std::vector<std::vector<std::uint8_t>> writes;
    std::size_t writeAttempts = 0;
    std::deque<std::uint8_t> readable;
    bool commSupported = false;
};

struct PendingIo {
    Overlapped* overlapped = nullptr;
    bool isWrite = true;
    std::vector<std::uint8_t> bytes;  // a write's data
    std::uint8_t* readBuffer = nullptr;
    Dword readSize = 0;
    std::uint64_t completesAt = 0;  // virtual ms; kNeverTime: not by time
    bool done = false;
    Dword result = 0;  // error, 0 on success
    Dword transferred = 0;
};
inline constexpr std::uint64_t kNeverTime = ~std::uint64_t{0};
// The first handle the machine hands out; Windows' first handles of a process are as small.
inline constexpr Handle kFirstHandle = 0x104;
inline constexpr unsigned kNeverBack = ~0u;

// ---- Kernel objects ---------------------------------------------------------------------

enum class HandleKind { Event, Thread, Process, File, Device, Printer, PrintServer, ServiceManager, Service, DeviceInfoSet };

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
    // files
    std::string fileKey;
    Dword access = 0;
    Dword share = 0;
    bool overlappedIo = false;
    std::uint64_t position = 0;
    // devices
    std::shared_ptr<UsbDevice> device;
    unsigned generation = 0;
    std::vector<std::shared_ptr<PendingIo>> pending;
    // printers and services
    std::string name;
    // device information sets
    std::vector<std::string> devicePaths;
};

// ---- Modules ----------------------------------------------------------------------------

enum class Export {
    GetNativeSystemInfo,
    GetProductInfo,
    Wow64DisableWow64FsRedirection,
    IsWow64Process,
    GetVersionExA,
    SetDefaultPrinterA,
    SetupDiGetClassDevsA,
    SetupDiEnumDeviceInterfaces,
    SetupDiGetDeviceInterfaceDetailA,
    SetupDiDestroyDeviceInfoList,
};

struct LoadedModule {
    std::string name;  // lower case file name, e.g. "setupapi.dll"
    unsigned references = 0;
    bool pinned = false;  // imported by the program: never unloaded
};

// ---- The core ---------------------------------------------------------------------------

struct Fault {
    std::string function;
    Dword error = 0;
    unsigned countdown = 1;  // fails when it reaches 1; 0 with `always`
    bool always = false;
};

class Core {
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

    // Files. Resolve gives the upper-case key of a path as the program sees it, after the
    // current directory and WOW64 redirection; `redirect` false gives the disk's own view.
    std::string Absolute(std::string_view path) const;  // normalised, spelled as given
    std::string Redirected(const std::string& absolute) const;
    std::string Key(std::string_view path, bool redirect) const { return Upper(redirect ? Redirected(Absolute(path)) : Absolute(path)); }
    FsEntry* FindEntry(const std::string& key);
    const FsEntry* FindEntry(const std::string& key) const;
    static std::string ParentKey(const std::string& key);  // empty for a drive root
    bool IsDirectory(const std::string& key) const;
    void MakeDirectories(const std::string& absolute);
    void PutFile(const std::string& absolute, std::vector<std::uint8_t> bytes);
    void RemoveTree(const std::string& key);
    bool FileOpenBlocking(const std::string& key) const;  // open without delete sharing
    bool RedirectionActiveForThisThread() const;
    std::string SystemDirectory() const;
    std::string WindowsDirectory() const { return profile.windowsDirectory; }

    // Registry.
    std::shared_ptr<RegNode> RootNode(RegKey root) const;
    // Walks `path` from `node`; creates missing keys when `create`.
    std::shared_ptr<RegNode> Walk(std::shared_ptr<RegNode> node, std::string_view path, bool view32, bool create,
                                  bool* created = nullptr, std::string_view newClass = {});
    std::shared_ptr<RegNode> NativeKey(RegKey root, std::string_view path, bool create);
    void SetValue(RegNode& node, std::string_view name, Dword type, std::vector<std::uint8_t> bytes);
    void RemoveNode(const std::shared_ptr<RegNode>& node);

    // Spooler.
    bool SpoolerAvailable() const;
    std::string DefaultEnvironment() const;
    bool KnownEnvironment(std::string_view environment) const;
    std::string DriverDirectory(std::string_view environment) const;
    SimDriver* FindDriver(std::string_view name, std::string_view environment);
    SimPrinter* FindPrinter(std::string_view name);
    SimMonitor* FindMonitor(std::string_view name);
    bool PortExists(std::string_view port) const;
    void LoadTcpIpPorts();  // what the Standard TCP/IP Port monitor reads when the spooler starts
    void MirrorPrinter(const SimPrinter& printer);
    void MirrorPrinterData(const SimPrinter& printer, const SimPrinterData& data);
    void MirrorPrintProcessor(std::string_view environment, std::string_view name, std::string_view dll);
    void MirrorMonitor(const SimMonitor& monitor);
    // What the spooler forgets when a printer or a monitor goes: its registry key, and for the
    // default printer the default itself, which passes to the first printer left (or none).
    void ForgetPrinter(const std::string& name);
    void ForgetMonitor(const std::string& name);
    void SetDefault(const SimPrinter* printer);

    // Services.
    Service* FindService(std::string_view name);
    void AddService(std::string_view name, Dword state);
    // Applies a start request; returns 0 or the error StartServiceA gives.
    Dword StartService(Service& service);
    void ReadServiceStatus(Service& service);
    void ServiceReachedState(Service& service);

    // Modules.
    ModuleHandle ModuleBase(std::size_t slot) const { return 0x10000000u + static_cast<ModuleHandle>(slot) * 0x100000u; }
    bool ExportAvailable(std::size_t exportIndex) const;
    static bool LibraryKnown(std::string_view fileName);
    // Checks that `address` is the export `expected` of a loaded module.
    bool CheckProc(ProcAddress address, Export expected, const char* caller);

    // USB.
    std::shared_ptr<UsbDevice> FindDevice(std::string_view path) const;
    bool CountAttempt(UsbDevice& device);  // an unplugged device one step closer to back
    void SettleIo();  // completes pending requests whose time has come
    void CompleteIo(HandleEntry& entry, PendingIo& io, Dword result);

    // State (guarded by `mutex`).
    MachineProfile profile;
    mutable std::mutex mutex;
    std::condition_variable changedCondition;

    std::vector<std::string> callLog;
    std::vector<Fault> faults;
    std::map<std::size_t, Dword> callNumberFaults;
    std::vector<std::string> misuses;

    std::map<Handle, HandleEntry> handles;
    Handle nextHandle = kFirstHandle;
    std::vector<std::shared_ptr<ThreadObject>> threads;
    std::size_t liveThreads = 0;
    bool shuttingDown = false;  // the machine is being destroyed: waits give up

    std::uint64_t now = 0;
    Dword tickBase = 0x00100000;
    std::vector<Pause> pauses;
    std::vector<std::string> debugLines;
    std::vector<std::pair<std::string, std::string>> environment;

    std::map<std::string, FsEntry> files;  // by upper-case absolute path
    std::string currentDirectory = "C:\\";
    std::set<std::thread::id> redirectionOff;

    std::shared_ptr<RegNode> hklm;
    std::shared_ptr<RegNode> hkcu;
    std::map<RegKey, RegHandle> regHandles;
    RegKey nextRegKey = 0x100;
    int currentControlSet = 1;

    std::vector<SimDriver> drivers;
    std::vector<SimPrinter> printers;
    std::vector<SimMonitor> monitors;
    std::vector<std::pair<std::string, std::string>> printProcessors;  // environment, name
    std::string defaultPrinter;
    std::map<std::string, MonitorLibrary> monitorLibraries;  // by upper-case file name
    std::vector<std::string> driverRequiredLibraries;

    std::vector<Service> services;
    std::vector<CommandRule> commandRules;
    std::vector<ProcessRecord> processes;
    Dword nextProcessId = 0x1000;

    std::vector<LoadedModule> modules;  // slot = index; references 0 = not loaded
    std::set<std::string> missingLibraries;  // upper-case file names
    std::set<std::pair<std::string, std::string>> removedExports;  // upper-case module, function

    std::vector<std::shared_ptr<UsbDevice>> devices;
};

// The data of the Windows machine: exports, known libraries, default files and keys.
struct ExportEntry {
    const char* module;
    const char* function;
    Word ordinal;  // 0: by name only
    Export id;
};
extern const std::vector<ExportEntry> kExports;
inline constexpr ProcAddress kProcBase = 0x7F000000u;

template <class Ready>
bool Core::WaitUntil(std::unique_lock<std::mutex>& lock, std::uint64_t deadline, Ready ready, const char* what) {
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
