// A simulated Windows machine for the native tests.
//
// SimMachine implements every interface of platform/Platform.h against an in-memory model of
// one machine: spooler, registry, services, processes, files, modules, device setup, the USB
// printer, a virtual clock, debugger output and environment. It answers as Windows documents,
// with Windows' error numbers, so the installer's code runs unchanged against it.
//
// How a test uses it:
//   SimMachine machine(Profiles::Windows7x64());
//   machine.AddFile("C:\\NORVA Orbix Printer 4.X\\Win8\\KVUSBMON.dll", "monitor");
//   machine.FailNext("AddPrinterA", 1796);
//   RunInstaller(machine.platform());
//   EXPECT_TRUE(machine.FindPrinter("NORVA MTR333"));
//
// Arranging and inspecting: the functions below `platform()` read and change the machine
// directly. They bypass fault injection and the call log, and they see files and registry keys
// as they lie on the machine's disk: no WOW64 redirection is applied (name the SysWOW64 folder
// or the Wow6432Node key yourself to look at what a 32-bit program wrote).
//
// Threads: every entry point may be called from any thread. Pauses and time-outs run on the
// virtual clock, so a half-minute search costs no real time:
//  - an INFINITE wait blocks for real until any thread (one started through
//    Kernel::CreateThread, or a test's own) sets the object;
//  - a wait with a time-out ends early only through threads started with CreateThread (their
//    pauses move the clock too); while none of them runs, its time-out passes at once.
// A pause on a thread started with CreateThread also yields one real millisecond, so a worker
// that polls cannot spin flat out.
//
// Windows behaviours worth knowing: the spooler's calls fail with 1722 while the "Spooler"
// service is not running; a 32-bit program on a 64-bit profile sees WOW64 file and registry
// redirection, while the spooler (a native process) looks at the real System32; a Standard
// TCP/IP port exists for the spooler once its registry key is there and the spooler (re)starts;
// service handles need SERVICE_QUERY_STATUS / SERVICE_START, registry handles KEY_QUERY_VALUE /
// KEY_SET_VALUE / KEY_CREATE_SUB_KEY, printer data PRINTER_ACCESS_ADMINISTER, as on Windows.
// Files found by name are found where Windows looks first: CreateProcessA looks for a program
// named without a folder in the program's own folder, then the current directory, the system
// and the Windows directory; the interpreter looks for a command in its current directory
// first; the loader takes a KnownDLL from the system directory and any other library from
// the program's folder first. What ran and what was loaded is in ProcessRecord::program and
// commandFile, and in LibraryFilesLoaded().
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Constants.h"
#include "platform/Platform.h"
#include "platform/SecurityRecords.h"

namespace zenthar::sim {

using platform::Dword;
using platform::Handle;
using platform::RegKey;
using platform::Word;

// ---------------------------------------------------------------------------------------------
// Machine profiles: what version, processor and optional exports a machine has.

// What a default profile reports: Windows 8's build, a Professional edition.
inline constexpr Dword kWindows8Build = 9200;
inline constexpr Dword kProductProfessional = 0x30;  // PRODUCT_PROFESSIONAL
// The hint a service pending for good gives by default.
inline constexpr Dword kPendingWaitHint = 2000;

struct MachineProfile {
    std::string name = "Windows 10 x64";

    // The version record (GetVersionExA).
    Dword platformId = 2;  // VER_PLATFORM_WIN32_NT
    Dword majorVersion = 6;
    Dword minorVersion = 2;
    Dword buildNumber = kWindows8Build;
    std::string servicePack;  // szCSDVersion
    Word servicePackMajor = 0;
    Word servicePackMinor = 0;
    Word suiteMask = 0x0100;                  // VER_SUITE_SINGLEUSERTS
    std::uint8_t productType = 1;             // VER_NT_WORKSTATION
    bool refusesExtendedVersionInfo = false;  // GetVersionExA(156 bytes) fails with 87

    // Processors. `nativeArchitecture` is what GetNativeSystemInfo reports;
    // `systemInfoArchitecture` what GetSystemInfo reports to the program (0 for a 32-bit
    // program under WOW64). `wow64`: the program is 32-bit and the system 64-bit.
    Word nativeArchitecture = 9;      // PROCESSOR_ARCHITECTURE_AMD64
    Word systemInfoArchitecture = 0;  // PROCESSOR_ARCHITECTURE_INTEL
    bool wow64 = true;
    Dword numberOfProcessors = 2;

    int serverR2Metric = 0;                        // GetSystemMetrics(SM_SERVERR2)
    Dword productInfoType = kProductProfessional;  // GetProductInfo

    // Run-time exports that older systems lack.
    bool hasGetNativeSystemInfo = true;
    bool hasGetProductInfo = true;
    bool hasWow64FsRedirectionExport = true;  // kernel32's Wow64DisableWow64FsRedirection
    bool hasSetDefaultPrinterExport = true;   // winspool.drv ordinal 202 / SetDefaultPrinterA
    bool hasIsWow64ProcessExport = true;      // kernel32's IsWow64Process
    bool hasIsWow64Process2Export = true;     // kernel32's IsWow64Process2 (Windows 10 and later)
    // What IsWow64Process2 names as the machine's own: an Arm PC answers Arm64 while
    // GetNativeSystemInfo answers for the x64 machine it emulates (nativeArchitecture).
    Word nativeMachine = platform::IMAGE_FILE_MACHINE_AMD64;
    bool hasGetFinalPathNameByHandle = true;  // kernel32's GetFinalPathNameByHandleA
    // LoadLibraryExA takes LOAD_LIBRARY_SEARCH_SYSTEM32; without it the flag fails with 87.
    bool supportsLoadLibrarySearchFlags = true;

    std::string windowsDirectory = "C:\\Windows";
    // What GetModuleFileNameA gives for the program itself.
    std::string programPath = "C:\\NORVA Orbix Printer 4.X\\zenthar.exe";
    bool hasSpoolerService = true;
    bool hasLpdService = false;
    // The account the program runs as, and the owner its token gives what it creates: an
    // elevated administrator's files belong to Administrators. Under the Windows Installer
    // both are SYSTEM ("S-1-5-18").
    std::string accountSid = "S-1-5-21-1-2-3-500";
    std::string defaultOwnerSid = "S-1-5-32-544";

    bool Is9x() const { return platformId == 1; }
    bool Is64BitSystem() const { return nativeArchitecture != 0; }
    // The program runs as a 32-bit program (on a 32-bit system, or under WOW64).
    bool Is32BitProgram() const { return !Is64BitSystem() || wow64; }
};

// One factory per Windows family the installer knows. Each returns a plain record: change any
// field afterwards for odd cases.
namespace Profiles {
MachineProfile Windows95();
MachineProfile Windows98();
MachineProfile WindowsMe();
MachineProfile NT351();
MachineProfile NT4();
MachineProfile Windows2000();
MachineProfile WindowsXP();
MachineProfile WindowsXPx64();  // NT 5.2 workstation, AMD64
MachineProfile Windows2003();
MachineProfile Windows2003R2();
MachineProfile WindowsVista();
MachineProfile Windows2008();
MachineProfile Windows2008Itanium();  // NT 6.0 server on IA64, product info 15
MachineProfile Windows7();
MachineProfile Windows7x64();
MachineProfile Windows2008R2();
MachineProfile Windows8x64();
MachineProfile Windows10x64();  // reports 6.2: the program has no supported-OS manifest
MachineProfile Windows10x86();
// Windows 11 on an Arm PC, as an x86 or x64 program sees it through the emulator.
MachineProfile Windows11Arm64();
}  // namespace Profiles

// ---------------------------------------------------------------------------------------------
// Records of the spooler's level-1 enumerations (Types.h has the level-2 ones).

struct PrinterInfo1A {
    Dword Flags;
    char* pDescription;
    char* pName;
    char* pComment;
};

struct PortInfo1A {
    char* pName;
};

struct MonitorInfo1A {
    char* pName;
};

// GUID_DEVINTERFACE_USBPRINT.
inline constexpr platform::Guid kUsbPrintInterfaceClass = {
    0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};

// Errors the machine gives that Constants.h does not name.
inline constexpr Dword kErrorInvalidFunction = 1;
inline constexpr Dword kErrorSharingViolation = 32;
inline constexpr Dword kErrorCallNotImplemented = 120;
inline constexpr Dword kErrorInvalidLevel = 124;
inline constexpr Dword kErrorBadPathname = 161;
inline constexpr Dword kErrorDirectory = 267;
inline constexpr Dword kErrorCantResolveFilename = 1921;
inline constexpr Dword kErrorNoAccess = 998;
inline constexpr Dword kErrorServiceNotActive = 1062;
inline constexpr Dword kErrorInvalidUserBuffer = 1784;
inline constexpr Dword kRpcServerUnavailable = 1722;
inline constexpr Dword kRpcNullRefPointer = 1780;
inline constexpr Dword kNetHelpExitFailure = 2;  // what "net" exits with when it refuses
inline constexpr Dword kCommandNotFoundExitCode = 9009;

// ---------------------------------------------------------------------------------------------
// Spooler state.

struct SimDriver {
    Dword version = 3;
    std::string name;
    std::string environment;  // filled by the machine when empty: the default environment
    std::string driverPath;
    std::string dataFile;
    std::string configFile;
    std::string helpFile;
    std::vector<std::string> dependentFiles;
    std::string monitorName;
    std::string defaultDataType;
};

struct SimPrinterData {
    std::string name;
    Dword type = 0;
    std::vector<std::uint8_t> bytes;
};

struct SimPrinter {
    std::string name;
    std::string shareName;
    std::string portName;
    std::string driverName;
    std::string comment;
    std::string location;
    std::string sepFile;
    std::string printProcessor = "winprint";
    std::string datatype = "RAW";
    std::string parameters;
    Dword attributes = 0;
    Dword priority = 0;
    Dword defaultPriority = 0;
    Dword startTime = 0;
    Dword untilTime = 0;
    Dword status = 0;                  // PRINTER_STATUS_* bits
    Dword jobs = 0;                    // documents waiting in its queue
    std::vector<SimPrinterData> data;  // in the order first stored

    // A copy that stays valid on its own, so machine.FindPrinter(name)->FindData(value) is safe
    // although the printer record is a temporary. Null when there is no such value.
    std::shared_ptr<const SimPrinterData> FindData(std::string_view valueName) const;
};

struct SimMonitor {
    std::string name;
    std::string environment;
    std::string dllName;
    std::vector<std::string> ports;
};

// ---------------------------------------------------------------------------------------------
// Services: how a service answers StartServiceA and the status reads that follow.

struct ServiceStartScript {
    enum class Outcome { Running, Stopped, StaysPending, Fails };
    Outcome outcome = Outcome::Running;
    // Status reads after the start that still show SERVICE_START_PENDING; the read after them
    // shows the outcome's state (never, for StaysPending).
    unsigned pendingReads = 0;
    bool checkPointGrows = true;   // the n-th pending read shows check point n, else always 1
    std::vector<Dword> waitHints;  // per pending read; the last one repeats; empty: 2000
    Dword error = 0;               // Fails: StartServiceA's error; the state does not change

    static ServiceStartScript RunsAtOnce();
    static ServiceStartScript PendingThenRunning(unsigned reads, std::vector<Dword> waitHints = {});
    // Pending for good, with a check point that never moves.
    static ServiceStartScript PendingForever(Dword waitHint = kPendingWaitHint);
    static ServiceStartScript StopsByItself(unsigned pendingReads = 1);
    static ServiceStartScript Fails(Dword error);
};

// ---------------------------------------------------------------------------------------------
// Processes: what CreateProcessA received.

struct ProcessRecord {
    std::string applicationName;  // empty when null
    std::string commandLine;
    std::string currentDirectory;  // empty when null
    // The file that ran, as the program sees its path (empty when none was created), and the
    // one its interpreter ran for the command after "/c" (empty for the interpreter's own
    // commands, or when none was found). A file of the system directory's name found
    // elsewhere first runs instead of it and does nothing the machine knows.
    std::string program;
    std::string commandFile;
    Dword creationFlags = 0;
    bool startupInfoGiven = false;
    Dword startupFlags = 0;
    Word showWindow = 0;
    bool created = false;
    Dword error = 0;          // when not created
    Dword exitCode = 0;       // when created
    bool terminated = false;  // ended by TerminateProcess (exitCode is the one it was given)
};

// ---------------------------------------------------------------------------------------------
// USB printer devices: what one write request does.

struct UsbWriteBehaviour {
    enum class Mode { Accept, Fail, Pending };
    static constexpr Dword kNever = 0xFFFFFFFF;
    Mode mode = Mode::Accept;
    Dword error = platform::ERROR_GEN_FAILURE;  // Fail: WriteFile's error
    // Pending: the request completes once this much virtual time passed (kNever: it only ends
    // by CancelIo, PurgeComm on a device that allows it, unplugging or closing the handle).
    Dword completesAfter = kNever;

    static UsbWriteBehaviour Accept() { return {}; }
    static UsbWriteBehaviour Fail(Dword error) { return {Mode::Fail, error, kNever}; }
    static UsbWriteBehaviour Pending(Dword completesAfter = kNever)
    {
        return {Mode::Pending, platform::ERROR_GEN_FAILURE, completesAfter};
    }
};

// A pause the machine was asked for (Clock::Sleep), with the thread that asked.
struct Pause {
    Dword milliseconds = 0;
    bool fromCreatedThread = false;  // a thread started through Kernel::CreateThread
};

namespace detail {
class Core;
struct Backends;
}  // namespace detail

// ---------------------------------------------------------------------------------------------

class SimMachine {
public:
    explicit SimMachine(MachineProfile profile = Profiles::Windows10x64());
    // Waits for the threads started through CreateThread; one still running after a few
    // seconds is a fault of the code under test, and the program is aborted with a message.
    ~SimMachine();
    SimMachine(const SimMachine&) = delete;
    SimMachine& operator=(const SimMachine&) = delete;

    // The interfaces, as the installer receives them.
    platform::Platform& platform();
    const MachineProfile& profile() const;
    // On a 64-bit profile: whether the program that runs from now on is a 32-bit one under
    // WOW64, as the profiles start, or a 64-bit one (the same machine after an older 32-bit
    // program worked on it, say).
    void SetWow64(bool wow64);

    // --- Fault injection and the call log ------------------------------------------------
    // A call is named by its Windows function name as Platform.h spells it ("AddPrinterA",
    // "RegOpenKeyExA", "SetupDiGetClassDevsA", "GetProcAddress", "RemoveDirectory", ...). The
    // failing call returns that function's failure value (false, kNoHandle, kInvalidHandle,
    // the status of registry and printer-data calls, 0 for counts, WAIT_FAILED, -1 for
    // RemoveDirectory) with `error`. Calls without a failure value (Sleep, GetTickCount,
    // OutputDebugStringA, GetSystemInfo, GetNativeSystemInfo) are logged but never fail.

    // The n-th next call of `function` (1: the very next) fails once. Each armed fault counts
    // the calls from the moment it was armed, also those another fault made fail.
    void FailNext(std::string_view function, Dword error, unsigned nth = 1);
    // Every call of `function` fails from now on.
    void FailAlways(std::string_view function, Dword error);
    // The call with this position in the call log (0: the first call the machine received)
    // fails, whatever it is: run once, read the log, then fail each call in turn.
    void FailCallNumber(std::size_t index, Dword error);
    void ClearFaults();
    // Every platform call received, in order, by name.
    std::vector<std::string> CallLog() const;
    std::size_t CallCount(std::string_view function) const;
    // Things a real Windows would crash on or silently corrupt: a ProcAddress of another
    // function, a function of an unloaded library, a handle of the wrong kind or already
    // closed where Windows cannot report it, a wait that never ended. Empty on a clean run.
    std::vector<std::string> Misuses() const;

    // --- Spooler ------------------------------------------------------------------------
    // Added as they are: no file or port checks.
    void AddDriver(SimDriver driver);
    void AddDriver(std::string_view name);  // version 3, default environment, no files
    void AddPrinter(SimPrinter printer);
    void AddPrinter(std::string_view name, std::string_view portName, std::string_view driverName);
    void AddMonitor(SimMonitor monitor);
    void AddPort(std::string_view monitorName, std::string_view portName);
    void RemovePort(std::string_view portName);
    // Documents waiting in the printer's queue (DeletePrinter then only marks it for deletion).
    void SetPrinterJobs(std::string_view printerName, Dword jobs);
    void RemoveMonitor(std::string_view monitorName);
    void AddPrintProcessor(std::string_view environment, std::string_view name,
                           std::string_view dllName = "winprint.dll");
    // What AddMonitorA finds in a monitor library: the ports it offers, and whether it is a
    // monitor at all (a library that is not fails with 127). Default: "KVUSBMON.dll" offers
    // "USBPOS0"; any other library offers no port.
    void SetMonitorLibrary(std::string_view dllName, std::vector<std::string> ports, bool isMonitor = true);
    // A library AddPrinterDriverA needs in the system directory (as the configuration module
    // of some drivers needs FRAMEDYN.dll): while it is missing there (in the program's view
    // and on disk alike), the registration fails with 126. None by default.
    void RequireSystemLibraryForDrivers(std::string_view fileName);

    std::vector<SimDriver> Drivers() const;
    // In the default environment when `environment` is empty.
    std::optional<SimDriver> FindDriver(std::string_view name, std::string_view environment = {}) const;
    std::vector<SimPrinter> Printers() const;
    std::optional<SimPrinter> FindPrinter(std::string_view name) const;
    std::vector<SimMonitor> Monitors() const;
    std::vector<std::string> Ports() const;
    std::vector<std::string> PrintProcessors(std::string_view environment) const;
    std::string DefaultPrinter() const;
    void SetDefaultPrinter(std::string_view printerName);
    // "Windows NT x86" for a 32-bit program on NT, "Windows x64" / "Windows IA64" for a
    // native 64-bit one, "Windows 4.0" on 9x.
    std::string DefaultEnvironment() const;
    std::string DriverDirectory(std::string_view environment = {}) const;
    // A broken spooler: GetPrinterDriverDirectoryA succeeds with an empty folder name.
    void AnswerEmptyDriverDirectory(bool empty);

    // --- Registry -----------------------------------------------------------------------
    // `root` is kHkeyLocalMachine or kHkeyCurrentUser; `path` is below it. Missing keys on the
    // path are created. "CurrentControlSet" leads to the current control set (001 unless
    // changed), as on Windows.
    void CreateRegistryKey(RegKey root, std::string_view path, std::string_view keyClass = {});
    void SetRegistryValue(RegKey root, std::string_view path, std::string_view valueName, Dword type,
                          std::vector<std::uint8_t> bytes);
    // REG_SZ with its terminating zero counted, as the installer stores text.
    void SetRegistryString(RegKey root, std::string_view path, std::string_view valueName, std::string_view text);
    void SetRegistryDword(RegKey root, std::string_view path, std::string_view valueName, Dword value);
    // Removes the key with everything below it (nothing when it does not exist).
    void DeleteRegistryKey(RegKey root, std::string_view path);
    bool RegistryKeyExists(RegKey root, std::string_view path) const;
    struct RegistryValue {
        std::string name;
        Dword type = 0;
        std::vector<std::uint8_t> bytes;
    };
    std::optional<RegistryValue> FindRegistryValue(RegKey root, std::string_view path,
                                                   std::string_view valueName) const;
    std::vector<RegistryValue> RegistryValues(RegKey root, std::string_view path) const;
    std::vector<std::string> RegistrySubkeys(RegKey root, std::string_view path) const;
    std::optional<std::string> RegistryKeyClass(RegKey root, std::string_view path) const;
    void SetCurrentControlSet(int number);

    // --- Services and processes -----------------------------------------------------------
    void AddService(std::string_view name, Dword state = platform::SERVICE_STOPPED);
    void RemoveService(std::string_view name);
    void SetServiceState(std::string_view name, Dword state);
    // Empty when the service does not exist.
    std::optional<Dword> ServiceState(std::string_view name) const;
    void ScriptServiceStart(std::string_view name, ServiceStartScript script);

    // The first rule (most recently added first) whose pattern occurs in the command line
    // (letter case ignored) decides: its exit code, or CreateProcessA failing with its error.
    // A matching rule replaces the built-in behaviour of "net start/stop".
    void ScriptCommand(std::string_view pattern, Dword exitCode);
    void FailCommand(std::string_view pattern, Dword error);
    // The command starts and never ends by itself (a prompt nobody answers): a wait on it with
    // a time-out passes that time, a wait without one is a misuse, TerminateProcess ends it.
    void HangCommand(std::string_view pattern);
    std::vector<ProcessRecord> Processes() const;

    // --- Files --------------------------------------------------------------------------
    // Absolute paths, or relative to the current directory; missing folders are created.
    void AddFile(std::string_view path, std::string_view contents);
    void AddFile(std::string_view path, std::vector<std::uint8_t> contents);
    void AddDirectory(std::string_view path);
    // A symbolic link or junction at `path` (replacing what was there) to `target`, a folder
    // when the target is one: what a local user can make in a folder open to them.
    void AddReparsePoint(std::string_view path, std::string_view target);
    // A second name for an existing file: writes through either change both.
    void AddHardLink(std::string_view path, std::string_view existingFile);
    // Removes a file, or a directory with everything in it.
    void RemovePath(std::string_view path);
    bool FileExists(std::string_view path) const;
    bool DirectoryExists(std::string_view path) const;
    std::optional<std::string> FileContents(std::string_view path) const;
    // Names of the files and folders directly inside, as spelled when created.
    std::vector<std::string> ListDirectory(std::string_view path) const;
    std::string CurrentDirectory() const;
    std::string SystemDirectory() const;
    // The calling thread's WOW64 file-system redirection (only on WOW64 profiles).
    bool FsRedirectionActive() const;
    // Redirection on again for every thread, as a newly started program has it.
    void ResetFsRedirection();
    // File security (not on 9x, which has none): an owner and a DACL per file and folder, SIDs
    // as text. C:\ is as Windows installs it: Administrators and SYSTEM full control, Users
    // read and execute, Authenticated Users Modify on everything made below it (so a new folder
    // there is writable by every user who signs in). Everything else inherits from its folder
    // unless its DACL is protected; what the program or a test makes belongs to the profile's
    // defaultOwnerSid. Aces() is the DACL in effect, explicit entries first, inherited ones
    // flagged kInherited.
    void SetOwner(std::string_view path, std::string_view sid);
    void AddAce(std::string_view path, platform::security::Ace ace);  // an explicit entry, first
    std::string Owner(std::string_view path) const;
    std::vector<platform::security::Ace> Aces(std::string_view path) const;
    bool DaclProtected(std::string_view path) const;

    // --- Modules --------------------------------------------------------------------------
    // Loading a library of this name (with or without path, letter case ignored) fails with 126.
    void MakeLibraryMissing(std::string_view name);
    // The export is not found by GetProcAddress ("winspool.drv", "SetDefaultPrinterA" removes
    // both the name and ordinal 202).
    void RemoveExport(std::string_view module, std::string_view function);
    // Whether the library is loaded (its reference count above zero).
    bool LibraryLoaded(std::string_view name) const;
    // The file of every library the program had loaded, in order, as the program sees its
    // path ("C:\Windows\System32\winspool.drv", or one found beside the program). A library
    // loaded again while it still is counts once.
    std::vector<std::string> LibraryFilesLoaded() const;

    // --- USB printers ---------------------------------------------------------------------
    // A present USB printer interface with its device path; `portNumber` (when given) is
    // stored as the REG_DWORD "Port Number" of its Device Parameters key.
    void AddUsbPrinter(std::string_view devicePath, std::optional<Dword> portNumber = 1);
    // Any type and size for odd cases; an empty optional removes the value.
    void SetUsbPortNumberValue(std::string_view devicePath, std::optional<RegistryValue> value);
    // The Device Parameters key path below HKLM for a device path.
    static std::string UsbDeviceParametersKey(std::string_view devicePath);
    // Present or not (not present: not enumerated, cannot be opened, its handles are dead).
    void SetUsbPresent(std::string_view devicePath, bool present);
    // Unplugged now (open handles die, writes fail with 1167); it comes back after this many
    // attempts to find or open it (device enumerations and CreateFileA calls on its path).
    void UnplugUsb(std::string_view devicePath, unsigned attemptsBeforeBack);
    void SetUsbWriteBehaviour(std::string_view devicePath, UsbWriteBehaviour behaviour);
    // Behaviours for the next write requests, one each, before the default applies again.
    void QueueUsbWriteBehaviours(std::string_view devicePath, std::vector<UsbWriteBehaviour> behaviours);
    // Bytes the printer sends; a pending read completes at once.
    void QueueUsbRead(std::string_view devicePath, std::vector<std::uint8_t> bytes);
    // ClearCommError and PurgeComm fail with 1 on a printer, which is not a serial device,
    // unless allowed here.
    void SetUsbCommFunctionsSupported(std::string_view devicePath, bool supported);
    // Every write the printer received in full, one entry per request, in order.
    std::vector<std::vector<std::uint8_t>> UsbWrites(std::string_view devicePath) const;
    // Every WriteFile request made to the device, including failed ones.
    std::size_t UsbWriteAttempts(std::string_view devicePath) const;
    // Handles open on the device now.
    std::size_t UsbOpenHandles(std::string_view devicePath) const;

    // --- Clock, debugger output, environment --------------------------------------------
    Dword TickCount() const;
    void SetTickCount(Dword ticks);
    // Pauses of threads the program did not start through CreateThread (the UI thread).
    std::vector<Dword> Pauses() const;
    std::vector<Pause> AllPauses() const;
    std::vector<std::string> DebugOutput() const;
    void SetEnvironmentVariable(std::string_view name, std::string_view value);
    void RemoveEnvironmentVariable(std::string_view name);

    // --- Kernel ---------------------------------------------------------------------------
    // Another process holds the named mutex; it lets go after `releasedAfter` milliseconds of
    // virtual time (never when not given), abandoning it rather than releasing when so told.
    void HoldMutexElsewhere(std::string_view name, std::optional<Dword> releasedAfter = std::nullopt,
                            bool abandoned = false);
    // Whether the program's process owns the named mutex now.
    bool ProgramOwnsMutex(std::string_view name) const;
    // Kernel, spooler, service and device-set handles open now (registry keys not counted).
    std::size_t OpenHandleCount() const;
    std::size_t OpenRegistryKeyCount() const;

private:
    std::unique_ptr<detail::Core> core;
    std::unique_ptr<detail::Backends> backends;
    std::unique_ptr<platform::Platform> platformRefs;
};

}  // namespace zenthar::sim
