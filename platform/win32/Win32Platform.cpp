// The process's platform object, and the spooler, registry and service-control families.
#include <cstddef>
#include <cstdio>
#include <type_traits>
#include <utility>

#include "platform/win32/Win32Conversions.h"

namespace zenthar::win32 {

using namespace detail;
using platform::Call;
using platform::Dword;
using platform::Handle;
using platform::Long;

namespace {

// The spooler's client library is not one of Windows' KnownDLLs: imported at load time, a
// WINSPOOL.DRV lying beside the program would be loaded in its place before the program runs.
// So nothing is imported from it; its functions are looked up once, from the system
// directory's file, when the platform is made (before anything turns WOW64 redirection off).
constexpr const char* kSpoolerLibrary = "winspool.drv";

enum class Spool : std::size_t {
    EnumPrintersA,
    GetPrinterDriverDirectoryA,
    AddPrinterDriverA,
    AddPrinterA,
    OpenPrinterA,
    ClosePrinter,
    SetPrinterDataA,
    GetPrinterDataA,
    EnumMonitorsA,
    AddMonitorA,
    DeletePrintProcessorA,
    EnumPortsA,
    SetPrinterA,
    GetPrinterA,
    DeletePrinter,
    EnumPrinterDriversA,
    DeletePrinterDriverExA,
    DeleteMonitorA,
};
constexpr const char* kSpoolNames[] = {
    "EnumPrintersA",
    "GetPrinterDriverDirectoryA",
    "AddPrinterDriverA",
    "AddPrinterA",
    "OpenPrinterA",
    "ClosePrinter",
    "SetPrinterDataA",
    "GetPrinterDataA",
    "EnumMonitorsA",
    "AddMonitorA",
    "DeletePrintProcessorA",
    "EnumPortsA",
    "SetPrinterA",
    "GetPrinterA",
    "DeletePrinter",
    "EnumPrinterDriversA",
    "DeletePrinterDriverExA",
    "DeleteMonitorA",
};
constexpr std::size_t kSpoolCount = sizeof kSpoolNames / sizeof kSpoolNames[0];
static_assert(kSpoolCount == static_cast<std::size_t>(Spool::DeleteMonitorA) + 1, "a name for each function");

struct SpoolerTable {
    HMODULE library = nullptr;
    DWORD loadError = 0;
    FARPROC functions[kSpoolCount] = {};
};

// LoadLibraryExA looking in the system directory only; where the system does not know that
// flag (87: Windows 7 and older without the loader update), the system directory's full path.
HMODULE LoadFromSystemDirectory(const char* name, DWORD& error)
{
    HMODULE library = ::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    error = ::GetLastError();
    if (library || error != ERROR_INVALID_PARAMETER) return library;
    char path[MAX_PATH];
    const UINT length = ::GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        error = length == 0 ? ::GetLastError() : ERROR_FILENAME_EXCED_RANGE;
        return nullptr;
    }
    const int written = std::snprintf(path + length, MAX_PATH - length, "\\%s", name);
    if (written < 0 || static_cast<UINT>(written) >= MAX_PATH - length) {
        error = ERROR_FILENAME_EXCED_RANGE;
        return nullptr;
    }
    library = ::LoadLibraryA(path);
    error = ::GetLastError();
    return library;
}

const SpoolerTable& SpoolerExports()
{
    static const SpoolerTable table = [] {
        SpoolerTable loaded;
        loaded.library = LoadFromSystemDirectory(kSpoolerLibrary, loaded.loadError);
        if (loaded.library)
            for (std::size_t i = 0; i < kSpoolCount; ++i)
                loaded.functions[i] = ::GetProcAddress(loaded.library, kSpoolNames[i]);
        return loaded;
    }();
    return table;
}

// A status call (printer data) answers with its error instead of setting the last error.
struct ErrorAsStatus {};

// Calls the spooler's function as `Function`; without it (no library, no such export) the
// call fails with the loader's error, as the import would have.
template <typename Function, typename Failure, typename... Args>
auto CallSpooler(Spool which, Failure failure, Args... args)
{
    using Result = decltype(std::declval<Function>()(args...));
    const SpoolerTable& table = SpoolerExports();
    const FARPROC address = table.functions[static_cast<std::size_t>(which)];
    if (!address) {
        const DWORD error = table.library ? ERROR_PROC_NOT_FOUND : table.loadError;
        ::SetLastError(error);
        if constexpr (std::is_same_v<Failure, ErrorAsStatus>) return static_cast<Result>(error);
        else return static_cast<Result>(failure);
    }
    return ToFunction<Function>(reinterpret_cast<platform::ProcAddress>(address))(args...);
}

}  // namespace

Win32Platform::Win32Platform()
    : bundle{*this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this}
{
    SpoolerExports();
}

platform::Platform& platform()
{
    static Win32Platform windows;
    return windows.Get();
}

// ---- Spooler

Call<bool> Win32Platform::EnumPrintersA(Dword flags, const char* name, Dword level, std::uint8_t* buffer,
                                        Dword bufferSize, Dword* needed, Dword* returned)
{
    DWORD neededHere = 0;
    DWORD returnedHere = 0;
    const BOOL ok = CallSpooler<decltype(&::EnumPrintersA)>(Spool::EnumPrintersA, FALSE, flags, Writable(name), level,
                                                            buffer, bufferSize, &neededHere, &returnedHere);
    const Call<bool> result = BoolCall(ok);
    if (needed) *needed = neededHere;
    if (returned) *returned = returnedHere;
    return result;
}

Call<bool> Win32Platform::GetPrinterDriverDirectoryA(const char* server, const char* environment, Dword level,
                                                     std::uint8_t* buffer, Dword bufferSize, Dword* needed)
{
    DWORD neededHere = 0;
    const BOOL ok = CallSpooler<decltype(&::GetPrinterDriverDirectoryA)>(Spool::GetPrinterDriverDirectoryA, FALSE,
                                                                         Writable(server), Writable(environment), level,
                                                                         buffer, bufferSize, &neededHere);
    const Call<bool> result = BoolCall(ok);
    if (needed) *needed = neededHere;
    return result;
}

Call<bool> Win32Platform::AddPrinterDriverA(const char* server, Dword level, const void* info)
{
    return BoolCall(CallSpooler<decltype(&::AddPrinterDriverA)>(Spool::AddPrinterDriverA, FALSE, Writable(server),
                                                                level, WritableBytes(info)));
}

Call<Handle> Win32Platform::AddPrinterA(const char* server, Dword level, const void* info)
{
    const HANDLE printer = CallSpooler<decltype(&::AddPrinterA)>(Spool::AddPrinterA, HANDLE{}, Writable(server), level,
                                                                 WritableBytes(info));
    return {FromHandle(printer), ::GetLastError()};
}

Call<bool> Win32Platform::OpenPrinterA(const char* printerName, Handle* printer,
                                       const platform::PrinterDefaultsA* defaults)
{
    HANDLE opened = nullptr;
    const BOOL ok = CallSpooler<decltype(&::OpenPrinterA)>(
        Spool::OpenPrinterA, FALSE, Writable(printerName), &opened,
        reinterpret_cast<LPPRINTER_DEFAULTSA>(const_cast<platform::PrinterDefaultsA*>(defaults)));
    const Call<bool> result = BoolCall(ok);
    if (printer) *printer = FromHandle(opened);
    return result;
}

Call<bool> Win32Platform::ClosePrinter(Handle printer)
{
    return BoolCall(CallSpooler<decltype(&::ClosePrinter)>(Spool::ClosePrinter, FALSE, ToHandle(printer)));
}

Call<Dword> Win32Platform::SetPrinterDataA(Handle printer, const char* valueName, Dword type, const std::uint8_t* data,
                                           Dword size)
{
    const DWORD status = CallSpooler<decltype(&::SetPrinterDataA)>(Spool::SetPrinterDataA, ErrorAsStatus{},
                                                                   ToHandle(printer), Writable(valueName), type,
                                                                   WritableBytes(data), size);
    return {status, status};
}

Call<Dword> Win32Platform::GetPrinterDataA(Handle printer, const char* valueName, Dword* type, std::uint8_t* data,
                                           Dword size, Dword* needed)
{
    DWORD typeHere = 0;
    DWORD neededHere = 0;
    const DWORD status = CallSpooler<decltype(&::GetPrinterDataA)>(Spool::GetPrinterDataA, ErrorAsStatus{},
                                                                   ToHandle(printer), Writable(valueName), &typeHere,
                                                                   data, size, &neededHere);
    if (type) *type = typeHere;
    if (needed) *needed = neededHere;
    return {status, status};
}

Call<bool> Win32Platform::EnumMonitorsA(const char* server, Dword level, std::uint8_t* buffer, Dword bufferSize,
                                        Dword* needed, Dword* returned)
{
    DWORD neededHere = 0;
    DWORD returnedHere = 0;
    const BOOL ok = CallSpooler<decltype(&::EnumMonitorsA)>(Spool::EnumMonitorsA, FALSE, Writable(server), level,
                                                            buffer, bufferSize, &neededHere, &returnedHere);
    const Call<bool> result = BoolCall(ok);
    if (needed) *needed = neededHere;
    if (returned) *returned = returnedHere;
    return result;
}

Call<bool> Win32Platform::AddMonitorA(const char* server, Dword level, const void* info)
{
    return BoolCall(
        CallSpooler<decltype(&::AddMonitorA)>(Spool::AddMonitorA, FALSE, Writable(server), level, WritableBytes(info)));
}

Call<bool> Win32Platform::DeletePrintProcessorA(const char* server, const char* environment,
                                                const char* printProcessorName)
{
    return BoolCall(CallSpooler<decltype(&::DeletePrintProcessorA)>(
        Spool::DeletePrintProcessorA, FALSE, Writable(server), Writable(environment), Writable(printProcessorName)));
}

Call<bool> Win32Platform::EnumPortsA(const char* server, Dword level, std::uint8_t* buffer, Dword bufferSize,
                                     Dword* needed, Dword* returned)
{
    DWORD neededHere = 0;
    DWORD returnedHere = 0;
    const BOOL ok = CallSpooler<decltype(&::EnumPortsA)>(Spool::EnumPortsA, FALSE, Writable(server), level, buffer,
                                                         bufferSize, &neededHere, &returnedHere);
    const Call<bool> result = BoolCall(ok);
    if (needed) *needed = neededHere;
    if (returned) *returned = returnedHere;
    return result;
}

Call<bool> Win32Platform::InvokeSetDefaultPrinter(platform::ProcAddress function, const char* printerName)
{
    using SetDefaultPrinterFunction = BOOL(WINAPI*)(LPCSTR);
    return BoolCall(ToFunction<SetDefaultPrinterFunction>(function)(printerName));
}

Call<bool> Win32Platform::InvokeGetDefaultPrinter(platform::ProcAddress function, char* buffer, Dword* size)
{
    using GetDefaultPrinterFunction = BOOL(WINAPI*)(LPSTR, LPDWORD);
    DWORD length = size ? *size : 0;
    const Call<bool> result =
        BoolCall(ToFunction<GetDefaultPrinterFunction>(function)(buffer, size ? &length : nullptr));
    if (size) *size = length;
    return result;
}

Call<bool> Win32Platform::SetPrinterA(Handle printer, Dword level, const void* info, Dword command)
{
    return BoolCall(CallSpooler<decltype(&::SetPrinterA)>(Spool::SetPrinterA, FALSE, ToHandle(printer), level,
                                                          static_cast<LPBYTE>(const_cast<void*>(info)), command));
}

Call<bool> Win32Platform::GetPrinterA(Handle printer, Dword level, std::uint8_t* buffer, Dword bufferSize,
                                      Dword* needed)
{
    DWORD neededHere = 0;
    const BOOL ok = CallSpooler<decltype(&::GetPrinterA)>(Spool::GetPrinterA, FALSE, ToHandle(printer), level, buffer,
                                                          bufferSize, &neededHere);
    const Call<bool> result = BoolCall(ok);
    if (needed) *needed = neededHere;
    return result;
}

Call<bool> Win32Platform::DeletePrinter(Handle printer)
{
    return BoolCall(CallSpooler<decltype(&::DeletePrinter)>(Spool::DeletePrinter, FALSE, ToHandle(printer)));
}

Call<bool> Win32Platform::EnumPrinterDriversA(const char* server, const char* environment, Dword level,
                                              std::uint8_t* buffer, Dword bufferSize, Dword* needed, Dword* returned)
{
    DWORD neededHere = 0;
    DWORD returnedHere = 0;
    const BOOL ok = CallSpooler<decltype(&::EnumPrinterDriversA)>(Spool::EnumPrinterDriversA, FALSE, Writable(server),
                                                                  Writable(environment), level, buffer, bufferSize,
                                                                  &neededHere, &returnedHere);
    const Call<bool> result = BoolCall(ok);
    if (needed) *needed = neededHere;
    if (returned) *returned = returnedHere;
    return result;
}

Call<bool> Win32Platform::DeletePrinterDriverExA(const char* server, const char* environment, const char* driverName,
                                                 Dword deleteFlag, Dword versionFlag)
{
    return BoolCall(CallSpooler<decltype(&::DeletePrinterDriverExA)>(Spool::DeletePrinterDriverExA, FALSE,
                                                                     Writable(server), Writable(environment),
                                                                     Writable(driverName), deleteFlag, versionFlag));
}

Call<bool> Win32Platform::DeleteMonitorA(const char* server, const char* environment, const char* monitorName)
{
    return BoolCall(CallSpooler<decltype(&::DeleteMonitorA)>(Spool::DeleteMonitorA, FALSE, Writable(server),
                                                             Writable(environment), Writable(monitorName)));
}

// ---- Registry

Call<Long> Win32Platform::RegOpenKeyExA(platform::RegKey key, const char* subKey, Dword options, Dword access,
                                        platform::RegKey* result)
{
    HKEY opened = nullptr;
    const LONG status = ::RegOpenKeyExA(ToKey(key), subKey, options, access, &opened);
    if (result) *result = reinterpret_cast<platform::RegKey>(opened);
    return StatusCall(status);
}

Call<Long> Win32Platform::RegCreateKeyExA(platform::RegKey key, const char* subKey, Dword reserved,
                                          const char* keyClass, Dword options, Dword access, const void* security,
                                          platform::RegKey* result, Dword* disposition)
{
    HKEY created = nullptr;
    DWORD dispositionHere = 0;
    const LONG status = ::RegCreateKeyExA(ToKey(key), subKey, reserved, Writable(keyClass), options, access,
                                          static_cast<LPSECURITY_ATTRIBUTES>(const_cast<void*>(security)), &created,
                                          &dispositionHere);
    if (result) *result = reinterpret_cast<platform::RegKey>(created);
    if (disposition) *disposition = dispositionHere;
    return StatusCall(status);
}

Call<Long> Win32Platform::RegSetValueExA(platform::RegKey key, const char* valueName, Dword reserved, Dword type,
                                         const std::uint8_t* data, Dword size)
{
    return StatusCall(::RegSetValueExA(ToKey(key), valueName, reserved, type, data, size));
}

Call<Long> Win32Platform::RegQueryValueExA(platform::RegKey key, const char* valueName, Dword* reserved, Dword* type,
                                           std::uint8_t* data, Dword* size)
{
    // DWORD and Dword are both 32-bit unsigned, but not the same type on every target.
    static_assert(sizeof(DWORD) == sizeof(Dword));
    return StatusCall(::RegQueryValueExA(ToKey(key), valueName, reinterpret_cast<LPDWORD>(reserved),
                                         reinterpret_cast<LPDWORD>(type), data, reinterpret_cast<LPDWORD>(size)));
}

Call<Long> Win32Platform::RegEnumValueA(platform::RegKey key, Dword index, char* valueName, Dword* valueNameLength,
                                        Dword* reserved, Dword* type, std::uint8_t* data, Dword* size)
{
    return StatusCall(::RegEnumValueA(ToKey(key), index, valueName, reinterpret_cast<LPDWORD>(valueNameLength),
                                      reinterpret_cast<LPDWORD>(reserved), reinterpret_cast<LPDWORD>(type), data,
                                      reinterpret_cast<LPDWORD>(size)));
}

Call<Long> Win32Platform::RegQueryInfoKeyA(platform::RegKey key, char* keyClass, Dword* keyClassLength, Dword* subKeys,
                                           Dword* values)
{
    return StatusCall(::RegQueryInfoKeyA(ToKey(key), keyClass, reinterpret_cast<LPDWORD>(keyClassLength), nullptr,
                                         reinterpret_cast<LPDWORD>(subKeys), nullptr, nullptr,
                                         reinterpret_cast<LPDWORD>(values), nullptr, nullptr, nullptr, nullptr));
}

Call<Long> Win32Platform::RegDeleteKeyA(platform::RegKey key, const char* subKey)
{
    return StatusCall(::RegDeleteKeyA(ToKey(key), subKey));
}

Call<Long> Win32Platform::RegDeleteValueA(platform::RegKey key, const char* valueName)
{
    return StatusCall(::RegDeleteValueA(ToKey(key), valueName));
}

Call<Long> Win32Platform::RegCloseKey(platform::RegKey key)
{
    return StatusCall(::RegCloseKey(ToKey(key)));
}

// ---- Services

Call<Handle> Win32Platform::OpenSCManagerA(const char* machine, const char* database, Dword access)
{
    const SC_HANDLE manager = ::OpenSCManagerA(machine, database, access);
    return {reinterpret_cast<Handle>(manager), ::GetLastError()};
}

Call<Handle> Win32Platform::OpenServiceA(Handle manager, const char* serviceName, Dword access)
{
    const SC_HANDLE service = ::OpenServiceA(ToService(manager), serviceName, access);
    return {reinterpret_cast<Handle>(service), ::GetLastError()};
}

Call<bool> Win32Platform::QueryServiceStatus(Handle service, platform::ServiceStatus* status)
{
    return BoolCall(::QueryServiceStatus(ToService(service), reinterpret_cast<LPSERVICE_STATUS>(status)));
}

Call<bool> Win32Platform::StartServiceA(Handle service, Dword argumentCount, const char** arguments)
{
    return BoolCall(::StartServiceA(ToService(service), argumentCount, arguments));
}

Call<bool> Win32Platform::CloseServiceHandle(Handle handle)
{
    return BoolCall(::CloseServiceHandle(ToService(handle)));
}

}  // namespace zenthar::win32
