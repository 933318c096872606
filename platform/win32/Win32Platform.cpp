// The process's platform object, and the spooler, registry and service-control families.
#include "platform/win32/Win32Conversions.h"

namespace zenthar::win32 {

using namespace detail;
using platform::Call;
using platform::Dword;
using platform::Handle;
using platform::Long;

Win32Platform::Win32Platform()
    : bundle{*this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this, *this}
{}

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
    const BOOL ok = ::EnumPrintersA(flags, Writable(name), level, buffer, bufferSize, &neededHere, &returnedHere);
    const Call<bool> result = BoolCall(ok);
    if (needed) *needed = neededHere;
    if (returned) *returned = returnedHere;
    return result;
}

Call<bool> Win32Platform::GetPrinterDriverDirectoryA(const char* server, const char* environment, Dword level,
                                                     std::uint8_t* buffer, Dword bufferSize, Dword* needed)
{
    DWORD neededHere = 0;
    const BOOL ok =
        ::GetPrinterDriverDirectoryA(Writable(server), Writable(environment), level, buffer, bufferSize, &neededHere);
    const Call<bool> result = BoolCall(ok);
    if (needed) *needed = neededHere;
    return result;
}

Call<bool> Win32Platform::AddPrinterDriverA(const char* server, Dword level, const void* info)
{
    return BoolCall(::AddPrinterDriverA(Writable(server), level, WritableBytes(info)));
}

Call<Handle> Win32Platform::AddPrinterA(const char* server, Dword level, const void* info)
{
    const HANDLE printer = ::AddPrinterA(Writable(server), level, WritableBytes(info));
    return {FromHandle(printer), ::GetLastError()};
}

Call<bool> Win32Platform::OpenPrinterA(const char* printerName, Handle* printer,
                                       const platform::PrinterDefaultsA* defaults)
{
    HANDLE opened = nullptr;
    const BOOL ok =
        ::OpenPrinterA(Writable(printerName), &opened,
                       reinterpret_cast<LPPRINTER_DEFAULTSA>(const_cast<platform::PrinterDefaultsA*>(defaults)));
    const Call<bool> result = BoolCall(ok);
    if (printer) *printer = FromHandle(opened);
    return result;
}

Call<bool> Win32Platform::ClosePrinter(Handle printer)
{
    return BoolCall(::ClosePrinter(ToHandle(printer)));
}

Call<Dword> Win32Platform::SetPrinterDataA(Handle printer, const char* valueName, Dword type, const std::uint8_t* data,
                                           Dword size)
{
    const DWORD status = ::SetPrinterDataA(ToHandle(printer), Writable(valueName), type, WritableBytes(data), size);
    return {status, status};
}

Call<Dword> Win32Platform::GetPrinterDataA(Handle printer, const char* valueName, Dword* type, std::uint8_t* data,
                                           Dword size, Dword* needed)
{
    DWORD typeHere = 0;
    DWORD neededHere = 0;
    const DWORD status = ::GetPrinterDataA(ToHandle(printer), Writable(valueName), &typeHere, data, size, &neededHere);
    if (type) *type = typeHere;
    if (needed) *needed = neededHere;
    return {status, status};
}

Call<bool> Win32Platform::EnumMonitorsA(const char* server, Dword level, std::uint8_t* buffer, Dword bufferSize,
                                        Dword* needed, Dword* returned)
{
    DWORD neededHere = 0;
    DWORD returnedHere = 0;
    const BOOL ok = ::EnumMonitorsA(Writable(server), level, buffer, bufferSize, &neededHere, &returnedHere);
    const Call<bool> result = BoolCall(ok);
    if (needed) *needed = neededHere;
    if (returned) *returned = returnedHere;
    return result;
}

Call<bool> Win32Platform::AddMonitorA(const char* server, Dword level, const void* info)
{
    return BoolCall(::AddMonitorA(Writable(server), level, WritableBytes(info)));
}

Call<bool> Win32Platform::DeletePrintProcessorA(const char* server, const char* environment,
                                                const char* printProcessorName)
{
    return BoolCall(::DeletePrintProcessorA(Writable(server), Writable(environment), Writable(printProcessorName)));
}

Call<bool> Win32Platform::EnumPortsA(const char* server, Dword level, std::uint8_t* buffer, Dword bufferSize,
                                     Dword* needed, Dword* returned)
{
    DWORD neededHere = 0;
    DWORD returnedHere = 0;
    const BOOL ok = ::EnumPortsA(Writable(server), level, buffer, bufferSize, &neededHere, &returnedHere);
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
    return BoolCall(::SetPrinterA(ToHandle(printer), level, static_cast<LPBYTE>(const_cast<void*>(info)), command));
}

Call<bool> Win32Platform::GetPrinterA(Handle printer, Dword level, std::uint8_t* buffer, Dword bufferSize,
                                      Dword* needed)
{
    DWORD neededHere = 0;
    const BOOL ok = ::GetPrinterA(ToHandle(printer), level, buffer, bufferSize, &neededHere);
    const Call<bool> result = BoolCall(ok);
    if (needed) *needed = neededHere;
    return result;
}

Call<bool> Win32Platform::DeletePrinter(Handle printer)
{
    return BoolCall(::DeletePrinter(ToHandle(printer)));
}

Call<bool> Win32Platform::EnumPrinterDriversA(const char* server, const char* environment, Dword level,
                                              std::uint8_t* buffer, Dword bufferSize, Dword* needed, Dword* returned)
{
    DWORD neededHere = 0;
    DWORD returnedHere = 0;
    const BOOL ok = ::EnumPrinterDriversA(Writable(server), Writable(environment), level, buffer, bufferSize,
                                          &neededHere, &returnedHere);
    const Call<bool> result = BoolCall(ok);
    if (needed) *needed = neededHere;
    if (returned) *returned = returnedHere;
    return result;
}

Call<bool> Win32Platform::DeletePrinterDriverExA(const char* server, const char* environment, const char* driverName,
                                                 Dword deleteFlag, Dword versionFlag)
{
    return BoolCall(::DeletePrinterDriverExA(Writable(server), Writable(environment), Writable(driverName), deleteFlag,
                                             versionFlag));
}

Call<bool> Win32Platform::DeleteMonitorA(const char* server, const char* environment, const char* monitorName)
{
    return BoolCall(::DeleteMonitorA(Writable(server), Writable(environment), Writable(monitorName)));
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
