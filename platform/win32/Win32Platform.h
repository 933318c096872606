// The platform interfaces forwarded one to one to Windows.
//
// Each operation makes the Windows call it is named after with the caller's arguments, and
// reads the thread's last error right after it, before anything else can overwrite it. The
// records of platform/Types.h have the layouts of their Windows counterparts (checked at
// compile time), so they are handed to Windows as they are.
//
// This header stays free of <windows.h>: its macros (RemoveDirectory among them) would
// rename the operations declared here.
#pragma once

#include "platform/Platform.h"

namespace zenthar::win32 {

class Win32Platform final : public platform::Spooler,
                            public platform::Registry,
                            public platform::Services,
                            public platform::Processes,
                            public platform::Kernel,
                            public platform::Files,
                            public platform::DeviceIo,
                            public platform::SystemInformation,
                            public platform::Modules,
                            public platform::DeviceSetup,
                            public platform::Clock,
                            public platform::Debug,
                            public platform::Environment,
                            public platform::Security {
public:
    using Dword = platform::Dword;
    using Word = platform::Word;
    using Long = platform::Long;
    using Handle = platform::Handle;
    using RegKey = platform::RegKey;
    using ModuleHandle = platform::ModuleHandle;
    using ProcAddress = platform::ProcAddress;
    template <class T>
    using Call = platform::Call<T>;

    Win32Platform();
    Win32Platform(const Win32Platform&) = delete;
    Win32Platform& operator=(const Win32Platform&) = delete;

    platform::Platform& Get() { return bundle; }

    // Spooler
    Call<bool> EnumPrintersA(Dword flags, const char* name, Dword level, std::uint8_t* buffer, Dword bufferSize,
                             Dword* needed, Dword* returned) override;
    Call<bool> GetPrinterDriverDirectoryA(const char* server, const char* environment, Dword level,
                                          std::uint8_t* buffer, Dword bufferSize, Dword* needed) override;
    Call<bool> AddPrinterDriverA(const char* server, Dword level, const void* info) override;
    Call<Handle> AddPrinterA(const char* server, Dword level, const void* info) override;
    Call<bool> OpenPrinterA(const char* printerName, Handle* printer,
                            const platform::PrinterDefaultsA* defaults) override;
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
    Call<bool> GetPrinterA(Handle printer, Dword level, std::uint8_t* buffer, Dword bufferSize, Dword* needed) override;
    Call<bool> DeletePrinter(Handle printer) override;
    Call<bool> EnumPrinterDriversA(const char* server, const char* environment, Dword level, std::uint8_t* buffer,
                                   Dword bufferSize, Dword* needed, Dword* returned) override;
    Call<bool> DeletePrinterDriverExA(const char* server, const char* environment, const char* driverName,
                                      Dword deleteFlag, Dword versionFlag) override;
    Call<bool> DeleteMonitorA(const char* server, const char* environment, const char* monitorName) override;

    // Registry
    Call<Long> RegOpenKeyExA(RegKey key, const char* subKey, Dword options, Dword access, RegKey* result) override;
    Call<Long> RegCreateKeyExA(RegKey key, const char* subKey, Dword reserved, const char* keyClass, Dword options,
                               Dword access, const void* security, RegKey* result, Dword* disposition) override;
    Call<Long> RegSetValueExA(RegKey key, const char* valueName, Dword reserved, Dword type, const std::uint8_t* data,
                              Dword size) override;
    Call<Long> RegQueryValueExA(RegKey key, const char* valueName, Dword* reserved, Dword* type, std::uint8_t* data,
                                Dword* size) override;
    Call<Long> RegEnumValueA(RegKey key, Dword index, char* valueName, Dword* valueNameLength, Dword* reserved,
                             Dword* type, std::uint8_t* data, Dword* size) override;
    Call<Long> RegQueryInfoKeyA(RegKey key, char* keyClass, Dword* keyClassLength, Dword* subKeys,
                                Dword* values) override;
    Call<Long> RegDeleteKeyA(RegKey key, const char* subKey) override;
    Call<Long> RegDeleteValueA(RegKey key, const char* valueName) override;
    Call<Long> RegCloseKey(RegKey key) override;

    // Services
    Call<Handle> OpenSCManagerA(const char* machine, const char* database, Dword access) override;
    Call<Handle> OpenServiceA(Handle manager, const char* serviceName, Dword access) override;
    Call<bool> QueryServiceStatus(Handle service, platform::ServiceStatus* status) override;
    Call<bool> StartServiceA(Handle service, Dword argumentCount, const char** arguments) override;
    Call<bool> CloseServiceHandle(Handle handle) override;

    // Processes
    Call<bool> CreateProcessA(const char* applicationName, char* commandLine, const void* processAttributes,
                              const void* threadAttributes, bool inheritHandles, Dword creationFlags,
                              const void* environment, const char* currentDirectory,
                              const platform::StartupInfoA* startupInfo,
                              platform::ProcessInformation* processInformation) override;
    Call<bool> GetExitCodeProcess(Handle process, Dword* exitCode) override;
    Call<bool> TerminateProcess(Handle process, Dword exitCode) override;

    // Kernel
    Call<bool> CloseHandle(Handle handle) override;
    Call<Handle> CreateEventA(const void* security, bool manualReset, bool initialState, const char* name) override;
    Call<bool> SetEvent(Handle event) override;
    Call<bool> ResetEvent(Handle event) override;
    Call<Dword> WaitForSingleObject(Handle handle, Dword milliseconds) override;
    Call<Handle> CreateThread(const void* security, std::size_t stackSize, platform::ThreadStartRoutine start,
                              void* parameter, Dword creationFlags, Dword* threadId) override;
    Call<Handle> CreateMutexA(const void* security, bool initialOwner, const char* name) override;
    Call<bool> ReleaseMutex(Handle mutex) override;

    // Files
    Call<bool> CopyFileA(const char* existingFile, const char* newFile, bool failIfExists) override;
    Call<bool> DeleteFileA(const char* path) override;
    Call<bool> CreateDirectoryA(const char* path, const void* security) override;
    Call<int> RemoveDirectory(const char* path) override;
    Call<bool> SetCurrentDirectoryA(const char* path) override;
    Call<Dword> GetCurrentDirectoryA(Dword bufferLength, char* buffer) override;
    Call<Dword> GetSystemDirectoryA(char* buffer, Dword size) override;
    Call<Dword> GetFileAttributesA(const char* path) override;
    Call<Dword> GetFullPathNameA(const char* path, Dword size, char* buffer, char** filePart) override;
    Call<bool> InvokeWow64DisableWow64FsRedirection(ProcAddress function, void** oldValue) override;
    Call<bool> InvokeWow64RevertWow64FsRedirection(ProcAddress function, void* oldValue) override;

    // DeviceIo
    Call<Handle> CreateFileA(const char* path, Dword access, Dword shareMode, const void* security,
                             Dword creationDisposition, Dword flags, Handle templateFile) override;
    Call<bool> WriteFile(Handle file, const void* buffer, Dword bytesToWrite, Dword* bytesWritten,
                         platform::Overlapped* overlapped) override;
    Call<bool> ReadFile(Handle file, void* buffer, Dword bytesToRead, Dword* bytesRead,
                        platform::Overlapped* overlapped) override;
    Call<bool> GetOverlappedResult(Handle file, platform::Overlapped* overlapped, Dword* bytesTransferred,
                                   bool wait) override;
    Call<bool> CancelIo(Handle file) override;
    Call<bool> ClearCommError(Handle file, Dword* errors, platform::ComStat* status) override;
    Call<bool> PurgeComm(Handle file, Dword flags) override;
    Call<bool> GetFileInformationByHandle(Handle file, platform::ByHandleFileInformation* information) override;
    Call<bool> SetEndOfFile(Handle file) override;
    Call<Dword> InvokeGetFinalPathNameByHandleA(platform::ProcAddress function, Handle file, char* buffer, Dword size,
                                                Dword flags) override;

    // SystemInformation
    Call<bool> GetVersionExA(platform::OsVersionInfoExA* info) override;
    void InvokeGetNativeSystemInfo(ProcAddress function, platform::SystemInfo* info) override;
    void GetSystemInfo(platform::SystemInfo* info) override;
    Call<bool> InvokeGetProductInfo(ProcAddress function, Dword osMajor, Dword osMinor, Dword spMajor, Dword spMinor,
                                    Dword* productType) override;
    Call<int> GetSystemMetrics(int index) override;
    Call<bool> InvokeIsWow64Process(ProcAddress function, bool* wow64) override;
    Call<bool> InvokeIsWow64Process2(ProcAddress function, platform::Word* processMachine,
                                     platform::Word* nativeMachine) override;

    // Modules
    Call<ModuleHandle> GetModuleHandleA(const char* name) override;
    Call<ModuleHandle> GetModuleHandleW(const char16_t* name) override;
    Call<ModuleHandle> LoadLibraryA(const char* name) override;
    Call<ModuleHandle> LoadLibraryExA(const char* name, Handle file, Dword flags) override;
    Call<bool> FreeLibrary(ModuleHandle module) override;
    Call<ProcAddress> GetProcAddress(ModuleHandle module, const char* name) override;
    Call<ProcAddress> GetProcAddressByOrdinal(ModuleHandle module, Word ordinal) override;
    Call<Dword> GetModuleFileNameA(ModuleHandle module, char* buffer, Dword size) override;

    // DeviceSetup
    Call<Handle> InvokeSetupDiGetClassDevsA(ProcAddress function, const platform::Guid* classGuid,
                                            const char* enumerator, Handle parentWindow, Dword flags) override;
    Call<bool> InvokeSetupDiEnumDeviceInterfaces(ProcAddress function, Handle deviceInfoSet, void* deviceInfoData,
                                                 const platform::Guid* classGuid, Dword memberIndex,
                                                 platform::SpDeviceInterfaceData* interfaceData) override;
    Call<bool> InvokeSetupDiGetDeviceInterfaceDetailA(ProcAddress function, Handle deviceInfoSet,
                                                      platform::SpDeviceInterfaceData* interfaceData,
                                                      platform::SpDeviceInterfaceDetailDataA* detail, Dword detailSize,
                                                      Dword* requiredSize, void* deviceInfoData) override;
    Call<bool> InvokeSetupDiDestroyDeviceInfoList(ProcAddress function, Handle deviceInfoSet) override;

    // Clock, Debug, Environment
    void Sleep(Dword milliseconds) override;
    Dword GetTickCount() override;
    void OutputDebugStringA(const char* text) override;
    Call<Dword> GetEnvironmentVariableA(const char* name, char* buffer, Dword size) override;

    // Security (Win32Security.cpp)
    Call<bool> GetFileSecurityA(const char* fileName, Dword requestedInformation, std::uint8_t* descriptor,
                                Dword length, Dword* lengthNeeded) override;
    Call<Dword> SetNamedSecurityInfoA(const char* objectName, Dword objectType, Dword securityInfo,
                                      const std::uint8_t* owner, const std::uint8_t* group, const std::uint8_t* dacl,
                                      const std::uint8_t* sacl) override;
    Call<Dword> InvokeTreeResetNamedSecurityInfoA(ProcAddress function, const char* objectName, Dword objectType,
                                                  Dword securityInfo, const std::uint8_t* owner,
                                                  const std::uint8_t* group, const std::uint8_t* dacl,
                                                  const std::uint8_t* sacl, bool keepExplicit) override;
    Call<bool> OpenProcessToken(Dword desiredAccess, Handle* token) override;
    Call<bool> GetTokenInformation(Handle token, Dword informationClass, std::uint8_t* buffer, Dword length,
                                   Dword* returnLength) override;

private:
    platform::Platform bundle;
};

// The process's one Windows platform.
platform::Platform& platform();

}  // namespace zenthar::win32
