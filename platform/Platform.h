// The Windows services the installer calls, one interface per family of calls.
//
// Each function has the shape of the Windows call it stands for (same name, same arguments in
// the same order, same records), so that a step of the installer reads one to one against the
// call it makes. Each returns Call<T>: the call's own result and the last-error number taken
// right after it. Two implementations exist: platform/win32 forwards to Windows, platform/sim
// is a simulated machine for the native tests.
//
// Functions that Windows only offers through a run-time lookup (GetNativeSystemInfo,
// GetProductInfo, Wow64DisableWow64FsRedirection and its revert, the spooler's default-printer exports, the
// four device-setup functions) are called through Invoke* with the ProcAddress that
// Modules::GetProcAddress returned, exactly as the program would call the pointer.
#pragma once

#include "platform/Types.h"

namespace zenthar::platform {

class Spooler {
public:
    virtual ~Spooler() = default;
    virtual Call<bool> EnumPrintersA(Dword flags, const char* name, Dword level, std::uint8_t* buffer, Dword bufferSize,
                                     Dword* needed, Dword* returned) = 0;
    virtual Call<bool> GetPrinterDriverDirectoryA(const char* server, const char* environment, Dword level,
                                                  std::uint8_t* buffer, Dword bufferSize, Dword* needed) = 0;
    // Level 3 only: `info` is a DriverInfo3A.
    virtual Call<bool> AddPrinterDriverA(const char* server, Dword level, const void* info) = 0;
    // Level 2 only: `info` is a PrinterInfo2A. Returns the new printer's handle, or kNoHandle.
    virtual Call<Handle> AddPrinterA(const char* server, Dword level, const void* info) = 0;
    virtual Call<bool> OpenPrinterA(const char* printerName, Handle* printer, const PrinterDefaultsA* defaults) = 0;
    virtual Call<bool> ClosePrinter(Handle printer) = 0;
    // Returns the status (0 on success) as Windows does.
    virtual Call<Dword> SetPrinterDataA(Handle printer, const char* valueName, Dword type, const std::uint8_t* data,
                                        Dword size) = 0;
    virtual Call<Dword> GetPrinterDataA(Handle printer, const char* valueName, Dword* type, std::uint8_t* data,
                                        Dword size, Dword* needed) = 0;
    virtual Call<bool> EnumMonitorsA(const char* server, Dword level, std::uint8_t* buffer, Dword bufferSize,
                                     Dword* needed, Dword* returned) = 0;
    // Level 2 only: `info` is a MonitorInfo2A.
    virtual Call<bool> AddMonitorA(const char* server, Dword level, const void* info) = 0;
    virtual Call<bool> DeletePrintProcessorA(const char* server, const char* environment,
                                             const char* printProcessorName) = 0;
    virtual Call<bool> EnumPortsA(const char* server, Dword level, std::uint8_t* buffer, Dword bufferSize,
                                  Dword* needed, Dword* returned) = 0;
    // The spooler library's set-default-printer export (ordinal 202, or SetDefaultPrinterA).
    virtual Call<bool> InvokeSetDefaultPrinter(ProcAddress function, const char* printerName) = 0;
    // The spooler library's GetDefaultPrinterA: `size` is the buffer's length in, the length
    // with the terminating zero out (also when the buffer is too small).
    virtual Call<bool> InvokeGetDefaultPrinter(ProcAddress function, char* buffer, Dword* size) = 0;
    // Level 2 only: the buffer receives a PrinterInfo2A with its strings behind it.
    virtual Call<bool> GetPrinterA(Handle printer, Dword level, std::uint8_t* buffer, Dword bufferSize,
                                   Dword* needed) = 0;
    // Level 2 only (`info` is a PrinterInfo2A, command 0): the printer takes the record's
    // settings, its port among them. The handle needs PRINTER_ACCESS_ADMINISTER.
    virtual Call<bool> SetPrinterA(Handle printer, Dword level, const void* info, Dword command) = 0;
    // The handle needs DELETE access (PRINTER_ALL_ACCESS has it); it stays open for ClosePrinter.
    virtual Call<bool> DeletePrinter(Handle printer) = 0;
    // Levels 1 (DriverInfo1A) and 2 (DriverInfo2A); no environment: the caller's default one.
    virtual Call<bool> EnumPrinterDriversA(const char* server, const char* environment, Dword level,
                                           std::uint8_t* buffer, Dword bufferSize, Dword* needed, Dword* returned) = 0;
    virtual Call<bool> DeletePrinterDriverExA(const char* server, const char* environment, const char* driverName,
                                              Dword deleteFlag, Dword versionFlag) = 0;
    virtual Call<bool> DeleteMonitorA(const char* server, const char* environment, const char* monitorName) = 0;
};

class Registry {
public:
    virtual ~Registry() = default;
    virtual Call<Long> RegOpenKeyExA(RegKey key, const char* subKey, Dword options, Dword access, RegKey* result) = 0;
    virtual Call<Long> RegCreateKeyExA(RegKey key, const char* subKey, Dword reserved, const char* keyClass,
                                       Dword options, Dword access, const void* security, RegKey* result,
                                       Dword* disposition) = 0;
    virtual Call<Long> RegSetValueExA(RegKey key, const char* valueName, Dword reserved, Dword type,
                                      const std::uint8_t* data, Dword size) = 0;
    virtual Call<Long> RegQueryValueExA(RegKey key, const char* valueName, Dword* reserved, Dword* type,
                                        std::uint8_t* data, Dword* size) = 0;
    virtual Call<Long> RegEnumValueA(RegKey key, Dword index, char* valueName, Dword* valueNameLength, Dword* reserved,
                                     Dword* type, std::uint8_t* data, Dword* size) = 0;
    // The parts of RegQueryInfoKeyA the installer and its tests use; any pointer may be null.
    virtual Call<Long> RegQueryInfoKeyA(RegKey key, char* keyClass, Dword* keyClassLength, Dword* subKeys,
                                        Dword* values) = 0;
    virtual Call<Long> RegDeleteKeyA(RegKey key, const char* subKey) = 0;
    virtual Call<Long> RegDeleteValueA(RegKey key, const char* valueName) = 0;
    virtual Call<Long> RegCloseKey(RegKey key) = 0;
};

class Services {
public:
    virtual ~Services() = default;
    virtual Call<Handle> OpenSCManagerA(const char* machine, const char* database, Dword access) = 0;
    virtual Call<Handle> OpenServiceA(Handle manager, const char* serviceName, Dword access) = 0;
    virtual Call<bool> QueryServiceStatus(Handle service, ServiceStatus* status) = 0;
    virtual Call<bool> StartServiceA(Handle service, Dword argumentCount, const char** arguments) = 0;
    virtual Call<bool> CloseServiceHandle(Handle handle) = 0;
};

class Processes {
public:
    virtual ~Processes() = default;
    virtual Call<bool> CreateProcessA(const char* applicationName, char* commandLine, const void* processAttributes,
                                      const void* threadAttributes, bool inheritHandles, Dword creationFlags,
                                      const void* environment, const char* currentDirectory,
                                      const StartupInfoA* startupInfo, ProcessInformation* processInformation) = 0;
    virtual Call<bool> GetExitCodeProcess(Handle process, Dword* exitCode) = 0;
    virtual Call<bool> TerminateProcess(Handle process, Dword exitCode) = 0;
};

// Kernel objects: handles, events, waits and threads.
class Kernel {
public:
    virtual ~Kernel() = default;
    virtual Call<bool> CloseHandle(Handle handle) = 0;
    virtual Call<Handle> CreateEventA(const void* security, bool manualReset, bool initialState, const char* name) = 0;
    virtual Call<bool> SetEvent(Handle event) = 0;
    virtual Call<bool> ResetEvent(Handle event) = 0;
    virtual Call<Dword> WaitForSingleObject(Handle handle, Dword milliseconds) = 0;
    virtual Call<Handle> CreateThread(const void* security, std::size_t stackSize, ThreadStartRoutine start,
                                      void* parameter, Dword creationFlags, Dword* threadId) = 0;
    // A mutex of that name that existed already is opened (error 183) and not taken.
    virtual Call<Handle> CreateMutexA(const void* security, bool initialOwner, const char* name) = 0;
    virtual Call<bool> ReleaseMutex(Handle mutex) = 0;
};

class Files {
public:
    virtual ~Files() = default;
    virtual Call<bool> CopyFileA(const char* existingFile, const char* newFile, bool failIfExists) = 0;
    virtual Call<bool> DeleteFileA(const char* path) = 0;
    virtual Call<bool> CreateDirectoryA(const char* path, const void* security) = 0;
    // The C runtime's _rmdir: 0 on success, -1 on failure.
    virtual Call<int> RemoveDirectory(const char* path) = 0;
    virtual Call<bool> SetCurrentDirectoryA(const char* path) = 0;
    virtual Call<Dword> GetCurrentDirectoryA(Dword bufferLength, char* buffer) = 0;
    virtual Call<Dword> GetSystemDirectoryA(char* buffer, Dword size) = 0;
    virtual Call<Dword> GetFileAttributesA(const char* path) = 0;
    // The full path of `path` from the current directory, without looking at the disk;
    // `filePart` may be null.
    virtual Call<Dword> GetFullPathNameA(const char* path, Dword size, char* buffer, char** filePart) = 0;
    virtual Call<bool> InvokeWow64DisableWow64FsRedirection(ProcAddress function, void** oldValue) = 0;
    // Puts back what the disabling call saved in `oldValue`.
    virtual Call<bool> InvokeWow64RevertWow64FsRedirection(ProcAddress function, void* oldValue) = 0;
};

// Files and devices opened with CreateFileA, including the USB printer's overlapped I/O.
class DeviceIo {
public:
    virtual ~DeviceIo() = default;
    virtual Call<Handle> CreateFileA(const char* path, Dword access, Dword shareMode, const void* security,
                                     Dword creationDisposition, Dword flags, Handle templateFile) = 0;
    virtual Call<bool> WriteFile(Handle file, const void* buffer, Dword bytesToWrite, Dword* bytesWritten,
                                 Overlapped* overlapped) = 0;
    virtual Call<bool> ReadFile(Handle file, void* buffer, Dword bytesToRead, Dword* bytesRead,
                                Overlapped* overlapped) = 0;
    virtual Call<bool> GetOverlappedResult(Handle file, Overlapped* overlapped, Dword* bytesTransferred, bool wait) = 0;
    virtual Call<bool> CancelIo(Handle file) = 0;
    virtual Call<bool> ClearCommError(Handle file, Dword* errors, ComStat* status) = 0;
    virtual Call<bool> PurgeComm(Handle file, Dword flags) = 0;
    virtual Call<bool> GetFileInformationByHandle(Handle file, ByHandleFileInformation* information) = 0;
    // Cuts the file at the handle's position.
    virtual Call<bool> SetEndOfFile(Handle file) = 0;
    // kernel32's GetFinalPathNameByHandleA (Vista and later): the path the handle's file has
    // once every link on the way is followed, "\\?\" first; the length, or the size needed.
    virtual Call<Dword> InvokeGetFinalPathNameByHandleA(ProcAddress function, Handle file, char* buffer, Dword size,
                                                        Dword flags) = 0;
};

class SystemInformation {
public:
    virtual ~SystemInformation() = default;
    // Fills the basic or the extended record, as its dwOSVersionInfoSize says.
    virtual Call<bool> GetVersionExA(OsVersionInfoExA* info) = 0;
    virtual void InvokeGetNativeSystemInfo(ProcAddress function, SystemInfo* info) = 0;
    virtual void GetSystemInfo(SystemInfo* info) = 0;
    virtual Call<bool> InvokeGetProductInfo(ProcAddress function, Dword osMajor, Dword osMinor, Dword spMajor,
                                            Dword spMinor, Dword* productType) = 0;
    virtual Call<int> GetSystemMetrics(int index) = 0;
    // IsWow64Process for this process (its pseudo-handle): whether it is a 32-bit program
    // on a 64-bit Windows.
    virtual Call<bool> InvokeIsWow64Process(ProcAddress function, bool* wow64) = 0;
    // IsWow64Process2 for this process (Windows 10 and later): the machine the process is
    // built for (0 when it runs without WOW64) and the machine's own, as IMAGE_FILE_MACHINE_*
    // values. Unlike GetNativeSystemInfo it tells an Arm PC from the x64 one it emulates.
    virtual Call<bool> InvokeIsWow64Process2(ProcAddress function, Word* processMachine, Word* nativeMachine) = 0;
};

class Modules {
public:
    virtual ~Modules() = default;
    virtual Call<ModuleHandle> GetModuleHandleA(const char* name) = 0;
    virtual Call<ModuleHandle> GetModuleHandleW(const char16_t* name) = 0;
    virtual Call<ModuleHandle> LoadLibraryA(const char* name) = 0;
    // `file` is reserved (0); `flags` 0 or LOAD_LIBRARY_SEARCH_SYSTEM32.
    virtual Call<ModuleHandle> LoadLibraryExA(const char* name, Handle file, Dword flags) = 0;
    virtual Call<bool> FreeLibrary(ModuleHandle module) = 0;
    virtual Call<ProcAddress> GetProcAddress(ModuleHandle module, const char* name) = 0;
    virtual Call<ProcAddress> GetProcAddressByOrdinal(ModuleHandle module, Word ordinal) = 0;
    // The path of the module's file; module 0 is the program itself.
    virtual Call<Dword> GetModuleFileNameA(ModuleHandle module, char* buffer, Dword size) = 0;
};

// SETUPAPI.DLL, reached only through the addresses resolved from the loaded library.
class DeviceSetup {
public:
    virtual ~DeviceSetup() = default;
    virtual Call<Handle> InvokeSetupDiGetClassDevsA(ProcAddress function, const Guid* classGuid, const char* enumerator,
                                                    Handle parentWindow, Dword flags) = 0;
    virtual Call<bool> InvokeSetupDiEnumDeviceInterfaces(ProcAddress function, Handle deviceInfoSet,
                                                         void* deviceInfoData, const Guid* classGuid, Dword memberIndex,
                                                         SpDeviceInterfaceData* interfaceData) = 0;
    virtual Call<bool> InvokeSetupDiGetDeviceInterfaceDetailA(ProcAddress function, Handle deviceInfoSet,
                                                              SpDeviceInterfaceData* interfaceData,
                                                              SpDeviceInterfaceDetailDataA* detail, Dword detailSize,
                                                              Dword* requiredSize, void* deviceInfoData) = 0;
    virtual Call<bool> InvokeSetupDiDestroyDeviceInfoList(ProcAddress function, Handle deviceInfoSet) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual void Sleep(Dword milliseconds) = 0;
    virtual Dword GetTickCount() = 0;
};

class Debug {
public:
    virtual ~Debug() = default;
    virtual void OutputDebugStringA(const char* text) = 0;
};

class Environment {
public:
    virtual ~Environment() = default;
    // As GetEnvironmentVariableA: the length copied, or the size needed when `size` is too
    // small, or 0 with error 203 when the variable is not set.
    virtual Call<Dword> GetEnvironmentVariableA(const char* name, char* buffer, Dword size) = 0;
};

// File security and the program's own account (ADVAPI32). Descriptors, SIDs and ACLs are
// Windows' bytes (platform/SecurityRecords.h reads and writes them).
class Security {
public:
    virtual ~Security() = default;
    // A self-relative descriptor with the parts `requestedInformation` asks for. `lengthNeeded`
    // is the size it takes; a buffer too small fails with 122.
    virtual Call<bool> GetFileSecurityA(const char* fileName, Dword requestedInformation, std::uint8_t* descriptor,
                                        Dword length, Dword* lengthNeeded) = 0;
    // Returns the status (0 on success), as Windows does. `owner` and `group` are SIDs, `dacl`
    // and `sacl` ACLs; inheritable entries of the new DACL reach everything below.
    virtual Call<Dword> SetNamedSecurityInfoA(const char* objectName, Dword objectType, Dword securityInfo,
                                              const std::uint8_t* owner, const std::uint8_t* group,
                                              const std::uint8_t* dacl, const std::uint8_t* sacl) = 0;
    // ADVAPI32's TreeResetNamedSecurityInfoA (Vista and later), without a progress function:
    // as SetNamedSecurityInfoA on the object, and everything below it reset to inherit from it.
    virtual Call<Dword> InvokeTreeResetNamedSecurityInfoA(ProcAddress function, const char* objectName,
                                                          Dword objectType, Dword securityInfo,
                                                          const std::uint8_t* owner, const std::uint8_t* group,
                                                          const std::uint8_t* dacl, const std::uint8_t* sacl,
                                                          bool keepExplicit) = 0;
    // The token of this process.
    virtual Call<bool> OpenProcessToken(Dword desiredAccess, Handle* token) = 0;
    // TokenUser only: a SidAndAttributes record, its SID behind it.
    virtual Call<bool> GetTokenInformation(Handle token, Dword informationClass, std::uint8_t* buffer, Dword length,
                                           Dword* returnLength) = 0;
};

// Everything the installer may call, handed to it once at start-up.
struct Platform {
    Spooler& spooler;
    Registry& registry;
    Services& services;
    Processes& processes;
    Kernel& kernel;
    Files& files;
    DeviceIo& io;
    SystemInformation& system;
    Modules& modules;
    DeviceSetup& setup;
    Clock& clock;
    Debug& debug;
    Environment& environment;
    Security& security;
};

}  // namespace zenthar::platform
