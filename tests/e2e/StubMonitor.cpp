// A stand-in for the driver package's USB port monitor: just enough of a print monitor for
// the spooler to load it and list its one port, "USBPOS0". The same source builds the user-
// interface library, which the spooler only needs to be able to load.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <cstring>
#include <cwchar>

namespace {

constexpr const wchar_t* kPortName = L"USBPOS0";
constexpr const wchar_t* kMonitorName = L"KVPOS Port Monitor";
constexpr const wchar_t* kDescription = L"USB printer port";

DWORD TextBytes(const wchar_t* text)
{
    return static_cast<DWORD>((std::wcslen(text) + 1) * sizeof(wchar_t));
}

// Strings go to the end of the caller's buffer, the records to its start, as the spooler's
// own monitors lay them out.
wchar_t* PlaceText(BYTE*& end, const wchar_t* text)
{
    const DWORD bytes = TextBytes(text);
    end -= bytes;
    std::memcpy(end, text, bytes);
    return reinterpret_cast<wchar_t*>(end);
}

BOOL WINAPI EnumPorts(HANDLE, LPWSTR, DWORD level, LPBYTE ports, DWORD size, LPDWORD needed, LPDWORD returned)
{
    if (!needed || !returned) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *returned = 0;
    DWORD bytes = 0;
    if (level == 1) {
        bytes = sizeof(PORT_INFO_1W) + TextBytes(kPortName);
    } else if (level == 2) {
        bytes = sizeof(PORT_INFO_2W) + TextBytes(kPortName) + TextBytes(kMonitorName) + TextBytes(kDescription);
    } else {
        SetLastError(ERROR_INVALID_LEVEL);
        return FALSE;
    }
    *needed = bytes;
    if (!ports || size < bytes) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    BYTE* end = ports + size;
    if (level == 1) {
        auto* info = reinterpret_cast<PORT_INFO_1W*>(ports);
        info->pName = PlaceText(end, kPortName);
    } else {
        auto* info = reinterpret_cast<PORT_INFO_2W*>(ports);
        info->pPortName = PlaceText(end, kPortName);
        info->pMonitorName = PlaceText(end, kMonitorName);
        info->pDescription = PlaceText(end, kDescription);
        info->fPortType = PORT_TYPE_WRITE | PORT_TYPE_READ;
        info->Reserved = 0;
    }
    *returned = 1;
    return TRUE;
}

// Jobs sent to the port are accepted and dropped: no printer stands behind it in a test.
BOOL WINAPI OpenPort(HANDLE, LPWSTR, PHANDLE handle)
{
    if (!handle) return FALSE;
    *handle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(1));
    return TRUE;
}

BOOL WINAPI StartDocPort(HANDLE, LPWSTR, DWORD, DWORD, LPBYTE)
{
    return TRUE;
}

BOOL WINAPI WritePort(HANDLE, LPBYTE, DWORD size, LPDWORD written)
{
    if (written) *written = size;
    return TRUE;
}

BOOL WINAPI ReadPort(HANDLE, LPBYTE, DWORD, LPDWORD read)
{
    if (read) *read = 0;
    return TRUE;
}

BOOL WINAPI EndDocPort(HANDLE)
{
    return TRUE;
}
BOOL WINAPI ClosePort(HANDLE)
{
    return TRUE;
}
VOID WINAPI Shutdown(HANDLE) {}

MONITOR2 MakeMonitor()
{
    MONITOR2 monitor{};
    monitor.cbSize = sizeof monitor;
    monitor.pfnEnumPorts = EnumPorts;
    monitor.pfnOpenPort = OpenPort;
    monitor.pfnStartDocPort = StartDocPort;
    monitor.pfnWritePort = WritePort;
    monitor.pfnReadPort = ReadPort;
    monitor.pfnEndDocPort = EndDocPort;
    monitor.pfnClosePort = ClosePort;
    monitor.pfnShutdown = Shutdown;
    return monitor;
}

MONITOR2 monitorTable = MakeMonitor();
MONITORUI monitorUiTable{sizeof(MONITORUI), nullptr, nullptr, nullptr};

}  // namespace

extern "C" {

__declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT, PHANDLE monitor)
{
    if (monitor) *monitor = reinterpret_cast<HANDLE>(&monitorTable);
    return &monitorTable;
}

__declspec(dllexport) PMONITORUI WINAPI InitializePrintMonitorUI()
{
    return &monitorUiTable;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}

}  // extern "C"
