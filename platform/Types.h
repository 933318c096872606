// Plain mirrors of the Windows types the installer passes to the system.
//
// The system's own code never includes <windows.h>; it talks to these records instead.
// Every record below has the same layout as its Windows counterpart (the "A" variant), so
// the win32 backend hands them to Windows unchanged and the simulated machine fills them
// exactly as Windows would (records first, their strings packed behind them).
#pragma once

#include <cstddef>
#include <cstdint>

namespace zenthar::platform {

using Dword = std::uint32_t;
using Word = std::uint16_t;
using Long = std::int32_t;
using UintPtr = std::uintptr_t;

// Opaque kernel, spooler and service handles. 0 is "none"; CreateFileA and
// SetupDiGetClassDevsA report failure with kInvalidHandle instead.
using Handle = UintPtr;
inline constexpr Handle kNoHandle = 0;
inline constexpr Handle kInvalidHandle = ~Handle{0};

using RegKey = UintPtr;
inline constexpr RegKey kHkeyCurrentUser = 0x80000001u;
inline constexpr RegKey kHkeyLocalMachine = 0x80000002u;

using ModuleHandle = UintPtr;
using ProcAddress = UintPtr;

// The outcome of one platform call: what the call returned, and the thread's last-error
// number read immediately after it. Registry calls return their status in `value` and
// leave `error` equal to it when they fail.
template <class T>
struct Call {
    T value{};
    Dword error = 0;
};

struct PrinterInfo2A {
    char* pServerName;
    char* pPrinterName;
    char* pShareName;
    char* pPortName;
    char* pDriverName;
    char* pComment;
    char* pLocation;
    void* pDevMode;
    char* pSepFile;
    char* pPrintProcessor;
    char* pDatatype;
    char* pParameters;
    void* pSecurityDescriptor;
    Dword Attributes;
    Dword Priority;
    Dword DefaultPriority;
    Dword StartTime;
    Dword UntilTime;
    Dword Status;
    Dword cJobs;
    Dword AveragePPM;
};

struct DriverInfo3A {
    Dword cVersion;
    char* pName;
    char* pEnvironment;
    char* pDriverPath;
    char* pDataFile;
    char* pConfigFile;
    char* pHelpFile;
    char* pDependentFiles;  // multi-string: each name ends in a zero, the list in a second one
    char* pMonitorName;
    char* pDefaultDataType;
};

struct DriverInfo1A {
    char* pName;
};

struct DriverInfo2A {
    Dword cVersion;
    char* pName;
    char* pEnvironment;
    char* pDriverPath;
    char* pDataFile;
    char* pConfigFile;
};

struct MonitorInfo2A {
    char* pName;
    char* pEnvironment;
    char* pDLLName;
};

struct PortInfo2A {
    char* pPortName;
    char* pMonitorName;
    char* pDescription;
    Dword fPortType;
    Dword Reserved;
};

struct PrinterDefaultsA {
    char* pDatatype;
    void* pDevMode;
    Dword DesiredAccess;
};

struct ServiceStatus {
    Dword dwServiceType;
    Dword dwCurrentState;
    Dword dwControlsAccepted;
    Dword dwWin32ExitCode;
    Dword dwServiceSpecificExitCode;
    Dword dwCheckPoint;
    Dword dwWaitHint;
};

// OSVERSIONINFOEXA. The basic OSVERSIONINFOA is its first 148 bytes; the caller says which
// one it passes through dwOSVersionInfoSize.
struct OsVersionInfoExA {
    Dword dwOSVersionInfoSize;
    Dword dwMajorVersion;
    Dword dwMinorVersion;
    Dword dwBuildNumber;
    Dword dwPlatformId;
    char szCSDVersion[128];
    Word wServicePackMajor;
    Word wServicePackMinor;
    Word wSuiteMask;
    std::uint8_t wProductType;
    std::uint8_t wReserved;
};
inline constexpr Dword kOsVersionInfoSize = 148;
inline constexpr Dword kOsVersionInfoExSize = 156;

struct SystemInfo {
    Word wProcessorArchitecture;
    Word wReserved;
    Dword dwPageSize;
    void* lpMinimumApplicationAddress;
    void* lpMaximumApplicationAddress;
    UintPtr dwActiveProcessorMask;
    Dword dwNumberOfProcessors;
    Dword dwProcessorType;
    Dword dwAllocationGranularity;
    Word wProcessorLevel;
    Word wProcessorRevision;
};

struct Guid {
    Dword Data1;
    Word Data2;
    Word Data3;
    std::uint8_t Data4[8];
};

struct SpDeviceInterfaceData {
    Dword cbSize;
    Guid InterfaceClassGuid;
    Dword Flags;
    UintPtr Reserved;
};

// SP_DEVICE_INTERFACE_DETAIL_DATA_A: its declared size (the value its cbSize must hold) is
// 5 on 32-bit Windows, where the header packs it to one byte, and 8 on 64-bit Windows.
struct SpDeviceInterfaceDetailDataA {
    Dword cbSize;
    char DevicePath[1];
};
inline constexpr Dword kDeviceInterfaceDetailFixedSize = sizeof(void*) == 8 ? 8 : 5;

struct Overlapped {
    UintPtr Internal;
    UintPtr InternalHigh;
    Dword Offset;
    Dword OffsetHigh;
    Handle hEvent;
};

struct ComStat {
    Dword flags;  // the bit fields of COMSTAT
    Dword cbInQue;
    Dword cbOutQue;
};

struct StartupInfoA {
    Dword cb;
    char* lpReserved;
    char* lpDesktop;
    char* lpTitle;
    Dword dwX;
    Dword dwY;
    Dword dwXSize;
    Dword dwYSize;
    Dword dwXCountChars;
    Dword dwYCountChars;
    Dword dwFillAttribute;
    Dword dwFlags;
    Word wShowWindow;
    Word cbReserved2;
    std::uint8_t* lpReserved2;
    Handle hStdInput;
    Handle hStdOutput;
    Handle hStdError;
};

struct FileTime {
    Dword dwLowDateTime;
    Dword dwHighDateTime;
};

struct ByHandleFileInformation {
    Dword dwFileAttributes;
    FileTime ftCreationTime;
    FileTime ftLastAccessTime;
    FileTime ftLastWriteTime;
    Dword dwVolumeSerialNumber;
    Dword nFileSizeHigh;
    Dword nFileSizeLow;
    Dword nNumberOfLinks;
    Dword nFileIndexHigh;
    Dword nFileIndexLow;
};

struct ProcessInformation {
    Handle hProcess;
    Handle hThread;
    Dword dwProcessId;
    Dword dwThreadId;
};

using ThreadStartRoutine = Dword (*)(void* parameter);

}  // namespace zenthar::platform
