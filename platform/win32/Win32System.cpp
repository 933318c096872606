// Processes, kernel objects, files, device I/O, system information, modules, device setup,
// clock, debugger output and environment.
#include <direct.h>

#include <cerrno>
#include <memory>

#include "platform/win32/Win32Conversions.h"

namespace zenthar::win32 {

using namespace detail;
using platform::Call;
using platform::Dword;
using platform::Handle;

namespace {

// The platform's thread routine is a plain C++ function; Windows calls its thread routines
// with WINAPI, which is another calling convention on i686. The start passes through this.
struct ThreadStart {
    platform::ThreadStartRoutine start;
    void* parameter;
};

DWORD WINAPI RunThread(LPVOID argument)
{
    const std::unique_ptr<ThreadStart> thread(static_cast<ThreadStart*>(argument));
    return thread->start(thread->parameter);
}

// The C runtime's directory removal says why it failed through errno; the Windows number
// behind it is normally still the last error, and these stand in when it is not.
struct ErrnoMapping {
    int errnoValue;
    DWORD error;
};
constexpr ErrnoMapping kErrnoErrors[] = {
    {ENOENT, ERROR_PATH_NOT_FOUND},    {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},
    {EACCES, ERROR_ACCESS_DENIED},     {EBUSY, ERROR_BUSY},
    {EINVAL, ERROR_INVALID_PARAMETER},
};

DWORD ErrorOfErrno(int value)
{
    for (const ErrnoMapping& mapping : kErrnoErrors) {
        if (mapping.errnoValue == value) return mapping.error;
    }
    return ERROR_GEN_FAILURE;
}

}  // namespace

// ---- Processes

Call<bool> Win32Platform::CreateProcessA(const char* applicationName, char* commandLine, const void* processAttributes,
                                         const void* threadAttributes, bool inheritHandles, Dword creationFlags,
                                         const void* environment, const char* currentDirectory,
                                         const platform::StartupInfoA* startupInfo,
                                         platform::ProcessInformation* processInformation)
{
    return BoolCall(::CreateProcessA(
        applicationName, commandLine, static_cast<LPSECURITY_ATTRIBUTES>(const_cast<void*>(processAttributes)),
        static_cast<LPSECURITY_ATTRIBUTES>(const_cast<void*>(threadAttributes)), inheritHandles ? TRUE : FALSE,
        creationFlags, const_cast<void*>(environment), currentDirectory,
        reinterpret_cast<LPSTARTUPINFOA>(const_cast<platform::StartupInfoA*>(startupInfo)),
        reinterpret_cast<LPPROCESS_INFORMATION>(processInformation)));
}

Call<bool> Win32Platform::GetExitCodeProcess(Handle process, Dword* exitCode)
{
    DWORD code = 0;
    const Call<bool> result = BoolCall(::GetExitCodeProcess(ToHandle(process), &code));
    if (exitCode) *exitCode = code;
    return result;
}

Call<bool> Win32Platform::TerminateProcess(Handle process, Dword exitCode)
{
    return BoolCall(::TerminateProcess(ToHandle(process), exitCode));
}

// ---- Kernel

Call<bool> Win32Platform::CloseHandle(Handle handle)
{
    return BoolCall(::CloseHandle(ToHandle(handle)));
}

Call<Handle> Win32Platform::CreateEventA(const void* security, bool manualReset, bool initialState, const char* name)
{
    const HANDLE event = ::CreateEventA(static_cast<LPSECURITY_ATTRIBUTES>(const_cast<void*>(security)),
                                        manualReset ? TRUE : FALSE, initialState ? TRUE : FALSE, name);
    return {FromHandle(event), ::GetLastError()};
}

Call<bool> Win32Platform::SetEvent(Handle event)
{
    return BoolCall(::SetEvent(ToHandle(event)));
}

Call<bool> Win32Platform::ResetEvent(Handle event)
{
    return BoolCall(::ResetEvent(ToHandle(event)));
}

Call<Dword> Win32Platform::WaitForSingleObject(Handle handle, Dword milliseconds)
{
    const DWORD outcome = ::WaitForSingleObject(ToHandle(handle), milliseconds);
    return {outcome, ::GetLastError()};
}

Call<Handle> Win32Platform::CreateMutexA(const void* security, bool initialOwner, const char* name)
{
    const HANDLE mutex =
        ::CreateMutexA(static_cast<LPSECURITY_ATTRIBUTES>(const_cast<void*>(security)), initialOwner, name);
    return {FromHandle(mutex), ::GetLastError()};
}

Call<bool> Win32Platform::ReleaseMutex(Handle mutex)
{
    return BoolCall(::ReleaseMutex(ToHandle(mutex)));
}

Call<Handle> Win32Platform::CreateThread(const void* security, std::size_t stackSize,
                                         platform::ThreadStartRoutine start, void* parameter, Dword creationFlags,
                                         Dword* threadId)
{
    auto thread = std::make_unique<ThreadStart>(ThreadStart{start, parameter});
    DWORD id = 0;
    const HANDLE handle = ::CreateThread(static_cast<LPSECURITY_ATTRIBUTES>(const_cast<void*>(security)), stackSize,
                                         RunThread, thread.get(), creationFlags, &id);
    const DWORD error = ::GetLastError();
    if (handle != nullptr) thread.release();  // the new thread owns it now
    if (threadId) *threadId = id;
    return {FromHandle(handle), error};
}

// ---- Files

Call<bool> Win32Platform::CopyFileA(const char* existingFile, const char* newFile, bool failIfExists)
{
    return BoolCall(::CopyFileA(existingFile, newFile, failIfExists ? TRUE : FALSE));
}

Call<bool> Win32Platform::DeleteFileA(const char* path)
{
    return BoolCall(::DeleteFileA(path));
}

Call<bool> Win32Platform::CreateDirectoryA(const char* path, const void* security)
{
    return BoolCall(::CreateDirectoryA(path, static_cast<LPSECURITY_ATTRIBUTES>(const_cast<void*>(security))));
}

Call<int> Win32Platform::RemoveDirectory(const char* path)
{
    ::SetLastError(ERROR_SUCCESS);
    errno = 0;
    const int outcome = ::_rmdir(path);
    DWORD error = ::GetLastError();
    if (outcome != 0 && error == ERROR_SUCCESS) error = ErrorOfErrno(errno);
    return {outcome, error};
}

Call<bool> Win32Platform::SetCurrentDirectoryA(const char* path)
{
    return BoolCall(::SetCurrentDirectoryA(path));
}

Call<Dword> Win32Platform::GetCurrentDirectoryA(Dword bufferLength, char* buffer)
{
    const DWORD length = ::GetCurrentDirectoryA(bufferLength, buffer);
    return {length, ::GetLastError()};
}

Call<Dword> Win32Platform::GetSystemDirectoryA(char* buffer, Dword size)
{
    const UINT length = ::GetSystemDirectoryA(buffer, size);
    return {length, ::GetLastError()};
}

Call<Dword> Win32Platform::GetFileAttributesA(const char* path)
{
    const DWORD attributes = ::GetFileAttributesA(path);
    return {attributes, ::GetLastError()};
}

Call<Dword> Win32Platform::GetFullPathNameA(const char* path, Dword size, char* buffer, char** filePart)
{
    const DWORD length = ::GetFullPathNameA(path, size, buffer, filePart);
    return {length, ::GetLastError()};
}

Call<bool> Win32Platform::InvokeWow64DisableWow64FsRedirection(platform::ProcAddress function, void** oldValue)
{
    using DisableRedirectionFunction = BOOL(WINAPI*)(PVOID*);
    return BoolCall(ToFunction<DisableRedirectionFunction>(function)(oldValue));
}

Call<bool> Win32Platform::InvokeWow64RevertWow64FsRedirection(platform::ProcAddress function, void* oldValue)
{
    using RevertRedirectionFunction = BOOL(WINAPI*)(PVOID);
    return BoolCall(ToFunction<RevertRedirectionFunction>(function)(oldValue));
}

// ---- DeviceIo

Call<Handle> Win32Platform::CreateFileA(const char* path, Dword access, Dword shareMode, const void* security,
                                        Dword creationDisposition, Dword flags, Handle templateFile)
{
    const HANDLE file = ::CreateFileA(path, access, shareMode,
                                      static_cast<LPSECURITY_ATTRIBUTES>(const_cast<void*>(security)),
                                      creationDisposition, flags, ToHandle(templateFile));
    return {FromHandle(file), ::GetLastError()};
}

Call<bool> Win32Platform::WriteFile(Handle file, const void* buffer, Dword bytesToWrite, Dword* bytesWritten,
                                    platform::Overlapped* overlapped)
{
    // Without an overlapped record Windows writes the count unconditionally.
    DWORD ignored = 0;
    LPDWORD count = bytesWritten ? reinterpret_cast<LPDWORD>(bytesWritten) : (overlapped ? nullptr : &ignored);
    return BoolCall(
        ::WriteFile(ToHandle(file), buffer, bytesToWrite, count, reinterpret_cast<LPOVERLAPPED>(overlapped)));
}

Call<bool> Win32Platform::ReadFile(Handle file, void* buffer, Dword bytesToRead, Dword* bytesRead,
                                   platform::Overlapped* overlapped)
{
    DWORD ignored = 0;
    LPDWORD count = bytesRead ? reinterpret_cast<LPDWORD>(bytesRead) : (overlapped ? nullptr : &ignored);
    return BoolCall(::ReadFile(ToHandle(file), buffer, bytesToRead, count, reinterpret_cast<LPOVERLAPPED>(overlapped)));
}

Call<bool> Win32Platform::GetOverlappedResult(Handle file, platform::Overlapped* overlapped, Dword* bytesTransferred,
                                              bool wait)
{
    DWORD transferred = 0;
    const Call<bool> result = BoolCall(::GetOverlappedResult(ToHandle(file), reinterpret_cast<LPOVERLAPPED>(overlapped),
                                                             &transferred, wait ? TRUE : FALSE));
    if (bytesTransferred) *bytesTransferred = transferred;
    return result;
}

Call<bool> Win32Platform::CancelIo(Handle file)
{
    return BoolCall(::CancelIo(ToHandle(file)));
}

Call<bool> Win32Platform::ClearCommError(Handle file, Dword* errors, platform::ComStat* status)
{
    return BoolCall(
        ::ClearCommError(ToHandle(file), reinterpret_cast<LPDWORD>(errors), reinterpret_cast<LPCOMSTAT>(status)));
}

Call<bool> Win32Platform::PurgeComm(Handle file, Dword flags)
{
    return BoolCall(::PurgeComm(ToHandle(file), flags));
}

Call<bool> Win32Platform::GetFileInformationByHandle(Handle file, platform::ByHandleFileInformation* information)
{
    return BoolCall(
        ::GetFileInformationByHandle(ToHandle(file), reinterpret_cast<LPBY_HANDLE_FILE_INFORMATION>(information)));
}

Call<bool> Win32Platform::SetEndOfFile(Handle file)
{
    return BoolCall(::SetEndOfFile(ToHandle(file)));
}

Call<Dword> Win32Platform::InvokeGetFinalPathNameByHandleA(platform::ProcAddress function, Handle file, char* buffer,
                                                           Dword size, Dword flags)
{
    using GetFinalPathFunction = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);
    const DWORD length = ToFunction<GetFinalPathFunction>(function)(ToHandle(file), buffer, size, flags);
    return {length, ::GetLastError()};
}

// ---- SystemInformation

Call<bool> Win32Platform::GetVersionExA(platform::OsVersionInfoExA* info)
{
    return BoolCall(::GetVersionExA(reinterpret_cast<LPOSVERSIONINFOA>(info)));
}

void Win32Platform::InvokeGetNativeSystemInfo(platform::ProcAddress function, platform::SystemInfo* info)
{
    using GetNativeSystemInfoFunction = void(WINAPI*)(LPSYSTEM_INFO);
    ToFunction<GetNativeSystemInfoFunction>(function)(reinterpret_cast<LPSYSTEM_INFO>(info));
}

void Win32Platform::GetSystemInfo(platform::SystemInfo* info)
{
    ::GetSystemInfo(reinterpret_cast<LPSYSTEM_INFO>(info));
}

Call<bool> Win32Platform::InvokeGetProductInfo(platform::ProcAddress function, Dword osMajor, Dword osMinor,
                                               Dword spMajor, Dword spMinor, Dword* productType)
{
    using GetProductInfoFunction = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, PDWORD);
    return BoolCall(ToFunction<GetProductInfoFunction>(function)(osMajor, osMinor, spMajor, spMinor,
                                                                 reinterpret_cast<PDWORD>(productType)));
}

Call<int> Win32Platform::GetSystemMetrics(int index)
{
    const int value = ::GetSystemMetrics(index);
    return {value, ::GetLastError()};
}

Call<bool> Win32Platform::InvokeIsWow64Process(platform::ProcAddress function, bool* wow64)
{
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    BOOL answer = FALSE;
    const Call<bool> result = BoolCall(ToFunction<IsWow64ProcessFunction>(function)(::GetCurrentProcess(), &answer));
    if (wow64) *wow64 = answer != FALSE;
    return result;
}

Call<bool> Win32Platform::InvokeIsWow64Process2(platform::ProcAddress function, platform::Word* processMachine,
                                                platform::Word* nativeMachine)
{
    using IsWow64Process2Function = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
    return BoolCall(
        ToFunction<IsWow64Process2Function>(function)(::GetCurrentProcess(), processMachine, nativeMachine));
}

// ---- Modules

Call<platform::ModuleHandle> Win32Platform::GetModuleHandleA(const char* name)
{
    const HMODULE module = ::GetModuleHandleA(name);
    return {reinterpret_cast<platform::ModuleHandle>(module), ::GetLastError()};
}

Call<platform::ModuleHandle> Win32Platform::GetModuleHandleW(const char16_t* name)
{
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");
    const HMODULE module = ::GetModuleHandleW(reinterpret_cast<LPCWSTR>(name));
    return {reinterpret_cast<platform::ModuleHandle>(module), ::GetLastError()};
}

Call<platform::ModuleHandle> Win32Platform::LoadLibraryA(const char* name)
{
    const HMODULE module = ::LoadLibraryA(name);
    return {reinterpret_cast<platform::ModuleHandle>(module), ::GetLastError()};
}

Call<platform::ModuleHandle> Win32Platform::LoadLibraryExA(const char* name, platform::Handle file, Dword flags)
{
    const HMODULE module = ::LoadLibraryExA(name, ToHandle(file), flags);
    return {reinterpret_cast<platform::ModuleHandle>(module), ::GetLastError()};
}

Call<bool> Win32Platform::FreeLibrary(platform::ModuleHandle module)
{
    return BoolCall(::FreeLibrary(ToModule(module)));
}

Call<platform::ProcAddress> Win32Platform::GetProcAddress(platform::ModuleHandle module, const char* name)
{
    const FARPROC address = ::GetProcAddress(ToModule(module), name);
    return {reinterpret_cast<platform::ProcAddress>(address), ::GetLastError()};
}

Call<platform::ProcAddress> Win32Platform::GetProcAddressByOrdinal(platform::ModuleHandle module,
                                                                   platform::Word ordinal)
{
    const FARPROC address = ::GetProcAddress(ToModule(module), MAKEINTRESOURCEA(ordinal));
    return {reinterpret_cast<platform::ProcAddress>(address), ::GetLastError()};
}

Call<Dword> Win32Platform::GetModuleFileNameA(platform::ModuleHandle module, char* buffer, Dword size)
{
    const DWORD length = ::GetModuleFileNameA(ToModule(module), buffer, size);
    return {length, ::GetLastError()};
}

// ---- DeviceSetup: SETUPAPI's types are the platform's records (checked with the others).

Call<Handle> Win32Platform::InvokeSetupDiGetClassDevsA(platform::ProcAddress function, const platform::Guid* classGuid,
                                                       const char* enumerator, Handle parentWindow, Dword flags)
{
    using GetClassDevsFunction = HANDLE(WINAPI*)(const GUID*, PCSTR, HWND, DWORD);
    const HANDLE set = ToFunction<GetClassDevsFunction>(function)(reinterpret_cast<const GUID*>(classGuid), enumerator,
                                                                  reinterpret_cast<HWND>(parentWindow), flags);
    return {FromHandle(set), ::GetLastError()};
}

Call<bool> Win32Platform::InvokeSetupDiEnumDeviceInterfaces(platform::ProcAddress function, Handle deviceInfoSet,
                                                            void* deviceInfoData, const platform::Guid* classGuid,
                                                            Dword memberIndex,
                                                            platform::SpDeviceInterfaceData* interfaceData)
{
    using EnumInterfacesFunction = BOOL(WINAPI*)(HANDLE, void*, const GUID*, DWORD, void*);
    return BoolCall(ToFunction<EnumInterfacesFunction>(function)(
        ToHandle(deviceInfoSet), deviceInfoData, reinterpret_cast<const GUID*>(classGuid), memberIndex, interfaceData));
}

Call<bool> Win32Platform::InvokeSetupDiGetDeviceInterfaceDetailA(platform::ProcAddress function, Handle deviceInfoSet,
                                                                 platform::SpDeviceInterfaceData* interfaceData,
                                                                 platform::SpDeviceInterfaceDetailDataA* detail,
                                                                 Dword detailSize, Dword* requiredSize,
                                                                 void* deviceInfoData)
{
    using InterfaceDetailFunction = BOOL(WINAPI*)(HANDLE, void*, void*, DWORD, PDWORD, void*);
    return BoolCall(ToFunction<InterfaceDetailFunction>(function)(ToHandle(deviceInfoSet), interfaceData, detail,
                                                                  detailSize, reinterpret_cast<PDWORD>(requiredSize),
                                                                  deviceInfoData));
}

Call<bool> Win32Platform::InvokeSetupDiDestroyDeviceInfoList(platform::ProcAddress function, Handle deviceInfoSet)
{
    using DestroyListFunction = BOOL(WINAPI*)(HANDLE);
    return BoolCall(ToFunction<DestroyListFunction>(function)(ToHandle(deviceInfoSet)));
}

// ---- Clock, Debug, Environment

void Win32Platform::Sleep(Dword milliseconds)
{
    ::Sleep(milliseconds);
}

Dword Win32Platform::GetTickCount()
{
    return ::GetTickCount();
}

void Win32Platform::OutputDebugStringA(const char* text)
{
    ::OutputDebugStringA(text);
}

Call<Dword> Win32Platform::GetEnvironmentVariableA(const char* name, char* buffer, Dword size)
{
    const DWORD length = ::GetEnvironmentVariableA(name, buffer, size);
    return {length, ::GetLastError()};
}

}  // namespace zenthar::win32
