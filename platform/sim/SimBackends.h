// The platform interfaces as the simulated machine implements them, one class per family.
#pragma once

#include "platform/sim/SimCore.h"

namespace zenthar::sim::detail {

class SimSpooler final : public Spooler {
public:
    explicit SimSpooler(Core& core) : core(core) {}
    Call<bool> EnumPrintersA(Dword flags, const char* name, Dword level, std::uint8_t* buffer, Dword bufferSize,
                             Dword* needed, Dword* returned) override;
    Call<bool> GetPrinterDriverDirectoryA(const char* server, const char* environment, Dword level,
                                          std::uint8_t* buffer, Dword bufferSize, Dword* needed) override;
    Call<bool> AddPrinterDriverA(const char* server, Dword level, const void* info) override;
    Call<Handle> AddPrinterA(const char* server, Dword level, const void* info) override;
    Call<bool> OpenPrinterA(const char* printerName, Handle* printer, const PrinterDefaultsA* defaults) override;
    Call<bool> ClosePrinter(Handle printer) override;
    Call<Dword> SetPrinterDataA(Handle printer, const char* valueName, Dword type, const std::uint8_t* data,
                                Dword size) override;
    Call<Dword> GetPrinterDataA(Handle printer, const char* valueName, Dword* type, std::uint8_t* data, Dword size,
                                Dword* needed) override;
    Call<bool> EnumMonitorsA(const char* server, Dword level, std::uint8_t* buffer, Dword bufferSize, Dword* needed,
                             Dword* returned) override;
    Call<bool> AddMonitorA(const char* server, Dword level, const void* info) override;
    Call<bool> DeletePrintProcessorA(const char* server, const char* environment,
                                     const char* printProcessorName) override;
    Call<bool> EnumPortsA(const char* server, Dword level, std::uint8_t* buffer, Dword bufferSize, Dword* needed,
                          Dword* returned) override;
    Call<bool> InvokeSetDefaultPrinter(ProcAddress function, const char* printerName) override;
    Call<bool> InvokeGetDefaultPrinter(ProcAddress function, char* buffer, Dword* size) override;
    Call<bool> SetPrinterA(Handle printer, Dword level, const void* info, Dword command) override;
    Call<bool> GetPrinterA(Handle printer, Dword level, std::uint8_t* buffer, Dword bufferSize,
                           Dword* needed) override;
    Call<bool> DeletePrinter(Handle printer) override;
    Call<bool> EnumPrinterDriversA(const char* server, const char* environment, Dword level, std::uint8_t* buffer,
                                   Dword bufferSize, Dword* needed, Dword* returned) override;
    Call<bool> DeletePrinterDriverExA(const char* server, const char* environment, const char* driverName,
                                      Dword deleteFlag, Dword versionFlag) override;
    Call<bool> DeleteMonitorA(const char* server, const char* environment, const char* monitorName) override;

private:
    Core& core;
};

class SimRegistry final : public Registry {
public:
    explicit SimRegistry(Core& core) : core(core) {}
    Call<Long> RegOpenKeyExA(RegKey key, const char* subKey, Dword options, Dword access, RegKey* result) override;
    Call<Long> RegCreateKeyExA(RegKey key, const char* subKey, Dword reserved, const char* keyClass, Dword options,
                               Dword access, const void* security, RegKey* result, Dword* disposition) override;
    Call<Long> RegSetValueExA(RegKey key, const char* valueName, Dword reserved, Dword type,
                              const std::uint8_t* data, Dword size) override;
    Call<Long> RegQueryValueExA(RegKey key, const char* valueName, Dword* reserved, Dword* type, std::uint8_t* data,
                                Dword* size) override;
    Call<Long> RegEnumValueA(RegKey key, Dword index, char* valueName, Dword* valueNameLength, Dword* reserved,
                             Dword* type, std::uint8_t* data, Dword* size) override;
    Call<Long> RegQueryInfoKeyA(RegKey key, char* keyClass, Dword* keyClassLength, Dword* subKeys,
                                Dword* values) override;
    Call<Long> RegDeleteKeyA(RegKey key, const char* subKey) override;
    Call<Long> RegDeleteValueA(RegKey key, const char* valueName) override;
    Call<Long> RegCloseKey(RegKey key) override;

private:
    // The handle's key, or null with the status to return.
    RegHandle* Find(RegKey key, Long* status);
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

private:
    Core& core;
};

class SimFiles final : public Files {
public:
    explicit SimFiles(Core& core) : core(core) {}
    Call<bool> CopyFileA(const char* existingFile, const char* newFile, bool failIfExists) override;
    Call<bool> DeleteFileA(const char* path) override;
    Call<bool> CreateDirectoryA(const char* path, const void* security) override;
    Call<int> RemoveDirectory(const char* path) override;
    Call<bool> SetCurrentDirectoryA(const char* path) override;
    Call<Dword> GetCurrentDirectoryA(Dword bufferLength, char* buffer) override;
    Call<Dword> GetSystemDirectoryA(char* buffer, Dword size) override;
    Call<Dword> GetFileAttributesA(const char* path) override;
    Call<bool> InvokeWow64DisableWow64FsRedirection(ProcAddress function, void** oldValue) override;
    Call<bool> InvokeWow64RevertWow64FsRedirection(ProcAddress function, void* oldValue) override;

private:
    Core& core;
};

class SimDeviceIo final : public DeviceIo {
public:
    explicit SimDeviceIo(Core& core) : core(core) {}
    Call<Handle> CreateFileA(const char* path, Dword access, Dword shareMode, const void* security,
                             Dword creationDisposition, Dword flags, Handle templateFile) override;
    Call<bool> WriteFile(Handle file, const void* buffer, Dword bytesToWrite, Dword* bytesWritten,
                         Overlapped* overlapped) override;
    Call<bool> ReadFile(Handle file, void* buffer, Dword bytesToRead, Dword* bytesRead,
                        Overlapped* overlapped) override;
    Call<bool> GetOverlappedResult(Handle file, Overlapped* overlapped, Dword* bytesTransferred, bool wait) override;
    Call<bool> CancelIo(Handle file) override;
    Call<bool> ClearCommError(Handle file, Dword* errors, ComStat* status) override;
    Call<bool> PurgeComm(Handle file, Dword flags) override;

private:
    Call<Handle> OpenDevice(const std::string& path, Dword access, Dword shareMode, Dword flags);
    Call<bool> DeviceWrite(HandleEntry& entry, const std::uint8_t* bytes, Dword count, Dword* written,
                           Overlapped* overlapped, std::unique_lock<std::mutex>& lock);
    Call<bool> DeviceRead(HandleEntry& entry, std::uint8_t* buffer, Dword count, Dword* read,
                          Overlapped* overlapped, std::unique_lock<std::mutex>& lock);
    Core& core;
};

class SimSystemInformation final : public SystemInformation {
public:
    explicit SimSystemInformation(Core& core) : core(core) {}
    Call<bool> GetVersionExA(OsVersionInfoExA* info) override;
    void InvokeGetNativeSystemInfo(ProcAddress function, SystemInfo* info) override;
    void GetSystemInfo(SystemInfo* info) override;
    Call<bool> InvokeGetProductInfo(ProcAddress function, Dword osMajor, Dword osMinor, Dword spMajor, Dword spMinor,
                                    Dword* productType) override;
    Call<int> GetSystemMetrics(int index) override;
    Call<bool> InvokeIsWow64Process(ProcAddress function, bool* wow64) override;

private:
    void Fill(SystemInfo* info, Word architecture) const;
    Core& core;
};

class SimModules final : public Modules {
public:
    explicit SimModules(Core& core) : core(core) {}
    Call<ModuleHandle> GetModuleHandleA(const char* name) override;
    Call<ModuleHandle> GetModuleHandleW(const char16_t* name) override;
    Call<ModuleHandle> LoadLibraryA(const char* name) override;
    Call<bool> FreeLibrary(ModuleHandle module) override;
    Call<ProcAddress> GetProcAddress(ModuleHandle module, const char* name) override;
    Call<ProcAddress> GetProcAddressByOrdinal(ModuleHandle module, Word ordinal) override;
    Call<Dword> GetModuleFileNameA(ModuleHandle module, char* buffer, Dword size) override;

private:
    Call<ModuleHandle> ModuleByName(std::string_view name);
    Call<ProcAddress> Lookup(ModuleHandle module, const char* name, Word ordinal);
    Core& core;
};

class SimDeviceSetup final : public DeviceSetup {
public:
    explicit SimDeviceSetup(Core& core) : core(core) {}
    Call<Handle> InvokeSetupDiGetClassDevsA(ProcAddress function, const Guid* classGuid, const char* enumerator,
                                            Handle parentWindow, Dword flags) override;
    Call<bool> InvokeSetupDiEnumDeviceInterfaces(ProcAddress function, Handle deviceInfoSet, void* deviceInfoData,
                                                 const Guid* classGuid, Dword memberIndex,
                                                 SpDeviceInterfaceData* interfaceData) override;
    Call<bool> InvokeSetupDiGetDeviceInterfaceDetailA(ProcAddress function, Handle deviceInfoSet,
                                                      SpDeviceInterfaceData* interfaceData,
                                                      SpDeviceInterfaceDetailDataA* detail, Dword detailSize,
                                                      Dword* requiredSize, void* deviceInfoData) override;
    Call<bool> InvokeSetupDiDestroyDeviceInfoList(ProcAddress function, Handle deviceInfoSet) override;

private:
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

struct Backends {
    explicit Backends(Core& core)
        : spooler(core), registry(core), services(core), processes(core), kernel(core), files(core), io(core),
          system(core), modules(core), setup(core), clock(core), debug(core), environment(core) {}
    SimSpooler spooler;
    SimRegistry registry;
    SimServices services;
    SimProcesses processes;
    SimKernel kernel;
    SimFiles files;
    SimDeviceIo io;
    SimSystemInformation system;
    SimModules modules;
    SimDeviceSetup setup;
    SimClock clock;
    SimDebug debug;
    SimEnvironment environment;
};

// Results.
template <class T>
Call<T> Ok(T value) {
    return {value, 0};
}
template <class T>
Call<T> Failed(T value, Dword error) {
    return {value, error};
}
inline Call<Long> Status(Dword status) {
    return {static_cast<Long>(status), status};
}

}  // namespace zenthar::sim::detail
