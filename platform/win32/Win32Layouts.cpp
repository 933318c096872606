// The platform's records are handed to Windows as they are: each must have its Windows
// counterpart's size and field offsets on every target we build.
#include <cstddef>

#include "platform/win32/Win32Conversions.h"

// Only after <windows.h>, which the conversions header brings in as this backend needs it.
#include <setupapi.h>

namespace zenthar::win32 {
namespace {

namespace p = platform;

#define ZENTHAR_SAME_FIELD(Ours, Theirs, ourField, theirField)                                                         \
    static_assert(offsetof(p::Ours, ourField) == offsetof(Theirs, theirField) &&                                       \
                      sizeof(p::Ours::ourField) == sizeof(Theirs::theirField),                                         \
                  #Ours "::" #ourField " is not where Windows has " #theirField)
#define ZENTHAR_SAME(Ours, Theirs, field) ZENTHAR_SAME_FIELD(Ours, Theirs, field, field)
#define ZENTHAR_SAME_SIZE(Ours, Theirs)                                                                                \
    static_assert(sizeof(p::Ours) == sizeof(Theirs), #Ours " is not the size of " #Theirs)

ZENTHAR_SAME_SIZE(PrinterInfo2A, PRINTER_INFO_2A);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, pServerName);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, pPrinterName);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, pShareName);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, pPortName);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, pDriverName);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, pComment);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, pLocation);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, pDevMode);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, pSepFile);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, pPrintProcessor);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, pDatatype);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, pParameters);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, pSecurityDescriptor);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, Attributes);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, Priority);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, DefaultPriority);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, StartTime);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, UntilTime);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, Status);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, cJobs);
ZENTHAR_SAME(PrinterInfo2A, PRINTER_INFO_2A, AveragePPM);

ZENTHAR_SAME_SIZE(DriverInfo3A, DRIVER_INFO_3A);
ZENTHAR_SAME(DriverInfo3A, DRIVER_INFO_3A, cVersion);
ZENTHAR_SAME(DriverInfo3A, DRIVER_INFO_3A, pName);
ZENTHAR_SAME(DriverInfo3A, DRIVER_INFO_3A, pEnvironment);
ZENTHAR_SAME(DriverInfo3A, DRIVER_INFO_3A, pDriverPath);
ZENTHAR_SAME(DriverInfo3A, DRIVER_INFO_3A, pDataFile);
ZENTHAR_SAME(DriverInfo3A, DRIVER_INFO_3A, pConfigFile);
ZENTHAR_SAME(DriverInfo3A, DRIVER_INFO_3A, pHelpFile);
ZENTHAR_SAME(DriverInfo3A, DRIVER_INFO_3A, pDependentFiles);
ZENTHAR_SAME(DriverInfo3A, DRIVER_INFO_3A, pMonitorName);
ZENTHAR_SAME(DriverInfo3A, DRIVER_INFO_3A, pDefaultDataType);

ZENTHAR_SAME_SIZE(DriverInfo1A, DRIVER_INFO_1A);
ZENTHAR_SAME(DriverInfo1A, DRIVER_INFO_1A, pName);
ZENTHAR_SAME_SIZE(DriverInfo2A, DRIVER_INFO_2A);
ZENTHAR_SAME(DriverInfo2A, DRIVER_INFO_2A, cVersion);
ZENTHAR_SAME(DriverInfo2A, DRIVER_INFO_2A, pName);
ZENTHAR_SAME(DriverInfo2A, DRIVER_INFO_2A, pEnvironment);
ZENTHAR_SAME(DriverInfo2A, DRIVER_INFO_2A, pDriverPath);
ZENTHAR_SAME(DriverInfo2A, DRIVER_INFO_2A, pDataFile);
ZENTHAR_SAME(DriverInfo2A, DRIVER_INFO_2A, pConfigFile);

ZENTHAR_SAME_SIZE(MonitorInfo2A, MONITOR_INFO_2A);
ZENTHAR_SAME(MonitorInfo2A, MONITOR_INFO_2A, pName);
ZENTHAR_SAME(MonitorInfo2A, MONITOR_INFO_2A, pEnvironment);
ZENTHAR_SAME(MonitorInfo2A, MONITOR_INFO_2A, pDLLName);

ZENTHAR_SAME_SIZE(PortInfo2A, PORT_INFO_2A);
ZENTHAR_SAME(PortInfo2A, PORT_INFO_2A, pPortName);
ZENTHAR_SAME(PortInfo2A, PORT_INFO_2A, pMonitorName);
ZENTHAR_SAME(PortInfo2A, PORT_INFO_2A, pDescription);
ZENTHAR_SAME(PortInfo2A, PORT_INFO_2A, fPortType);
ZENTHAR_SAME(PortInfo2A, PORT_INFO_2A, Reserved);

ZENTHAR_SAME_SIZE(PrinterDefaultsA, PRINTER_DEFAULTSA);
ZENTHAR_SAME(PrinterDefaultsA, PRINTER_DEFAULTSA, pDatatype);
ZENTHAR_SAME(PrinterDefaultsA, PRINTER_DEFAULTSA, pDevMode);
ZENTHAR_SAME(PrinterDefaultsA, PRINTER_DEFAULTSA, DesiredAccess);

ZENTHAR_SAME_SIZE(ServiceStatus, SERVICE_STATUS);
ZENTHAR_SAME(ServiceStatus, SERVICE_STATUS, dwServiceType);
ZENTHAR_SAME(ServiceStatus, SERVICE_STATUS, dwCurrentState);
ZENTHAR_SAME(ServiceStatus, SERVICE_STATUS, dwControlsAccepted);
ZENTHAR_SAME(ServiceStatus, SERVICE_STATUS, dwWin32ExitCode);
ZENTHAR_SAME(ServiceStatus, SERVICE_STATUS, dwServiceSpecificExitCode);
ZENTHAR_SAME(ServiceStatus, SERVICE_STATUS, dwCheckPoint);
ZENTHAR_SAME(ServiceStatus, SERVICE_STATUS, dwWaitHint);

ZENTHAR_SAME_SIZE(OsVersionInfoExA, OSVERSIONINFOEXA);
static_assert(p::kOsVersionInfoSize == sizeof(OSVERSIONINFOA));
static_assert(p::kOsVersionInfoExSize == sizeof(OSVERSIONINFOEXA));
ZENTHAR_SAME(OsVersionInfoExA, OSVERSIONINFOEXA, dwOSVersionInfoSize);
ZENTHAR_SAME(OsVersionInfoExA, OSVERSIONINFOEXA, dwMajorVersion);
ZENTHAR_SAME(OsVersionInfoExA, OSVERSIONINFOEXA, dwMinorVersion);
ZENTHAR_SAME(OsVersionInfoExA, OSVERSIONINFOEXA, dwBuildNumber);
ZENTHAR_SAME(OsVersionInfoExA, OSVERSIONINFOEXA, dwPlatformId);
ZENTHAR_SAME(OsVersionInfoExA, OSVERSIONINFOEXA, szCSDVersion);
ZENTHAR_SAME(OsVersionInfoExA, OSVERSIONINFOEXA, wServicePackMajor);
ZENTHAR_SAME(OsVersionInfoExA, OSVERSIONINFOEXA, wServicePackMinor);
ZENTHAR_SAME(OsVersionInfoExA, OSVERSIONINFOEXA, wSuiteMask);
ZENTHAR_SAME(OsVersionInfoExA, OSVERSIONINFOEXA, wProductType);
ZENTHAR_SAME(OsVersionInfoExA, OSVERSIONINFOEXA, wReserved);

ZENTHAR_SAME_SIZE(SystemInfo, SYSTEM_INFO);
ZENTHAR_SAME(SystemInfo, SYSTEM_INFO, wProcessorArchitecture);
ZENTHAR_SAME(SystemInfo, SYSTEM_INFO, wReserved);
ZENTHAR_SAME(SystemInfo, SYSTEM_INFO, dwPageSize);
ZENTHAR_SAME(SystemInfo, SYSTEM_INFO, lpMinimumApplicationAddress);
ZENTHAR_SAME(SystemInfo, SYSTEM_INFO, lpMaximumApplicationAddress);
ZENTHAR_SAME(SystemInfo, SYSTEM_INFO, dwActiveProcessorMask);
ZENTHAR_SAME(SystemInfo, SYSTEM_INFO, dwNumberOfProcessors);
ZENTHAR_SAME(SystemInfo, SYSTEM_INFO, dwProcessorType);
ZENTHAR_SAME(SystemInfo, SYSTEM_INFO, dwAllocationGranularity);
ZENTHAR_SAME(SystemInfo, SYSTEM_INFO, wProcessorLevel);
ZENTHAR_SAME(SystemInfo, SYSTEM_INFO, wProcessorRevision);

ZENTHAR_SAME_SIZE(Guid, GUID);
ZENTHAR_SAME(Guid, GUID, Data1);
ZENTHAR_SAME(Guid, GUID, Data2);
ZENTHAR_SAME(Guid, GUID, Data3);
ZENTHAR_SAME(Guid, GUID, Data4);

ZENTHAR_SAME_SIZE(SpDeviceInterfaceData, SP_DEVICE_INTERFACE_DATA);
ZENTHAR_SAME(SpDeviceInterfaceData, SP_DEVICE_INTERFACE_DATA, cbSize);
ZENTHAR_SAME(SpDeviceInterfaceData, SP_DEVICE_INTERFACE_DATA, InterfaceClassGuid);
ZENTHAR_SAME(SpDeviceInterfaceData, SP_DEVICE_INTERFACE_DATA, Flags);
ZENTHAR_SAME(SpDeviceInterfaceData, SP_DEVICE_INTERFACE_DATA, Reserved);

// Windows packs the detail record to one byte on i686, so only its fixed part is compared;
// the caller's cbSize (kDeviceInterfaceDetailFixedSize) is the size Windows declares.
ZENTHAR_SAME(SpDeviceInterfaceDetailDataA, SP_DEVICE_INTERFACE_DETAIL_DATA_A, cbSize);
ZENTHAR_SAME(SpDeviceInterfaceDetailDataA, SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
static_assert(p::kDeviceInterfaceDetailFixedSize == sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A));

ZENTHAR_SAME_SIZE(Overlapped, OVERLAPPED);
ZENTHAR_SAME(Overlapped, OVERLAPPED, Internal);
ZENTHAR_SAME(Overlapped, OVERLAPPED, InternalHigh);
ZENTHAR_SAME(Overlapped, OVERLAPPED, Offset);
ZENTHAR_SAME(Overlapped, OVERLAPPED, OffsetHigh);
ZENTHAR_SAME(Overlapped, OVERLAPPED, hEvent);

// COMSTAT's first DWORD holds its bit fields, which offsetof cannot name.
ZENTHAR_SAME_SIZE(ComStat, COMSTAT);
ZENTHAR_SAME(ComStat, COMSTAT, cbInQue);
ZENTHAR_SAME(ComStat, COMSTAT, cbOutQue);

ZENTHAR_SAME_SIZE(StartupInfoA, STARTUPINFOA);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, cb);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, lpReserved);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, lpDesktop);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, lpTitle);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, dwX);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, dwY);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, dwXSize);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, dwYSize);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, dwXCountChars);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, dwYCountChars);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, dwFillAttribute);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, dwFlags);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, wShowWindow);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, cbReserved2);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, lpReserved2);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, hStdInput);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, hStdOutput);
ZENTHAR_SAME(StartupInfoA, STARTUPINFOA, hStdError);

ZENTHAR_SAME_SIZE(ProcessInformation, PROCESS_INFORMATION);
ZENTHAR_SAME(ProcessInformation, PROCESS_INFORMATION, hProcess);
ZENTHAR_SAME(ProcessInformation, PROCESS_INFORMATION, hThread);
ZENTHAR_SAME(ProcessInformation, PROCESS_INFORMATION, dwProcessId);
ZENTHAR_SAME(ProcessInformation, PROCESS_INFORMATION, dwThreadId);

ZENTHAR_SAME_SIZE(ByHandleFileInformation, BY_HANDLE_FILE_INFORMATION);
ZENTHAR_SAME(ByHandleFileInformation, BY_HANDLE_FILE_INFORMATION, dwFileAttributes);
ZENTHAR_SAME(ByHandleFileInformation, BY_HANDLE_FILE_INFORMATION, dwVolumeSerialNumber);
ZENTHAR_SAME(ByHandleFileInformation, BY_HANDLE_FILE_INFORMATION, nFileSizeLow);
ZENTHAR_SAME(ByHandleFileInformation, BY_HANDLE_FILE_INFORMATION, nNumberOfLinks);
ZENTHAR_SAME(ByHandleFileInformation, BY_HANDLE_FILE_INFORMATION, nFileIndexLow);

// Handles travel by value in integers of pointer width.
static_assert(sizeof(p::Handle) == sizeof(HANDLE) && sizeof(p::RegKey) == sizeof(HKEY) &&
              sizeof(p::ModuleHandle) == sizeof(HMODULE) && sizeof(p::ProcAddress) == sizeof(FARPROC));
static_assert(sizeof(p::Dword) == sizeof(DWORD) && sizeof(p::Long) == sizeof(LONG));

}  // namespace
}  // namespace zenthar::win32
