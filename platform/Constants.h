// Windows numbers the installer uses, under their Windows names.
//
// They carry the names of <windows.h> macros, so no file may include both: the win32
// backend uses the macros, everything else uses these.
#pragma once

#include "platform/Types.h"

namespace zenthar::platform {

// Error numbers.
inline constexpr Dword ERROR_SUCCESS = 0;
inline constexpr Dword ERROR_FILE_NOT_FOUND = 2;
inline constexpr Dword ERROR_PATH_NOT_FOUND = 3;
inline constexpr Dword ERROR_ACCESS_DENIED = 5;
inline constexpr Dword ERROR_INVALID_HANDLE = 6;
inline constexpr Dword ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr Dword ERROR_GEN_FAILURE = 31;
inline constexpr Dword ERROR_FILE_EXISTS = 80;
inline constexpr Dword ERROR_INVALID_PARAMETER = 87;
inline constexpr Dword ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr Dword ERROR_INVALID_NAME = 123;
inline constexpr Dword ERROR_MOD_NOT_FOUND = 126;
inline constexpr Dword ERROR_PROC_NOT_FOUND = 127;
inline constexpr Dword ERROR_DIR_NOT_EMPTY = 145;
inline constexpr Dword ERROR_BUSY = 170;
inline constexpr Dword ERROR_ALREADY_EXISTS = 183;
inline constexpr Dword ERROR_NOT_OWNER = 288;
inline constexpr Dword ERROR_ENVVAR_NOT_FOUND = 203;
inline constexpr Dword ERROR_FILENAME_EXCED_RANGE = 206;
inline constexpr Dword ERROR_MORE_DATA = 234;
inline constexpr Dword ERROR_NO_MORE_ITEMS = 259;
inline constexpr Dword ERROR_INVALID_FLAGS = 1004;
inline constexpr Dword ERROR_TIMEOUT = 1460;
inline constexpr Dword ERROR_OPERATION_ABORTED = 995;
inline constexpr Dword ERROR_IO_INCOMPLETE = 996;
inline constexpr Dword ERROR_IO_PENDING = 997;
inline constexpr Dword ERROR_INVALID_SERVICE_CONTROL = 1052;
inline constexpr Dword ERROR_SERVICE_REQUEST_TIMEOUT = 1053;
inline constexpr Dword ERROR_SERVICE_ALREADY_RUNNING = 1056;
inline constexpr Dword ERROR_SERVICE_DISABLED = 1058;
inline constexpr Dword ERROR_SERVICE_DOES_NOT_EXIST = 1060;
inline constexpr Dword ERROR_DEVICE_NOT_CONNECTED = 1167;
inline constexpr Dword ERROR_INVALID_PRINTER_NAME = 1801;
inline constexpr Dword ERROR_UNKNOWN_PORT = 1796;
inline constexpr Dword ERROR_UNKNOWN_PRINTER_DRIVER = 1797;
inline constexpr Dword ERROR_UNKNOWN_PRINTPROCESSOR = 1798;
inline constexpr Dword ERROR_PRINTER_ALREADY_EXISTS = 1802;
inline constexpr Dword ERROR_INVALID_ENVIRONMENT = 1805;
inline constexpr Dword ERROR_PRINTER_DRIVER_ALREADY_INSTALLED = 1795;
inline constexpr Dword ERROR_UNKNOWN_PRINT_MONITOR = 3000;
inline constexpr Dword ERROR_PRINTER_DRIVER_IN_USE = 3001;
inline constexpr Dword ERROR_PRINT_MONITOR_ALREADY_INSTALLED = 3006;
inline constexpr Dword ERROR_PRINT_MONITOR_IN_USE = 3008;
inline constexpr Dword ERROR_PRINTER_HAS_JOBS_QUEUED = 3009;

// Registry.
inline constexpr Dword REG_NONE = 0;
inline constexpr Dword REG_SZ = 1;
inline constexpr Dword REG_EXPAND_SZ = 2;
inline constexpr Dword REG_BINARY = 3;
inline constexpr Dword REG_DWORD = 4;
inline constexpr Dword REG_MULTI_SZ = 7;
inline constexpr Dword REG_OPTION_NON_VOLATILE = 0;
inline constexpr Dword REG_CREATED_NEW_KEY = 1;
inline constexpr Dword REG_OPENED_EXISTING_KEY = 2;
inline constexpr Dword KEY_QUERY_VALUE = 0x0001;
inline constexpr Dword KEY_SET_VALUE = 0x0002;
inline constexpr Dword KEY_READ = 0x20019;
inline constexpr Dword KEY_WRITE = 0x20006;
inline constexpr Dword KEY_ALL_ACCESS = 0xF003F;
inline constexpr Dword KEY_WOW64_64KEY = 0x0100;

// Spooler.
inline constexpr Dword PRINTER_ENUM_LOCAL = 0x2;
inline constexpr Dword PRINTER_ALL_ACCESS = 0x000F000C;
inline constexpr Dword PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST = 0x200;
inline constexpr Dword PRINTER_ATTRIBUTE_ENABLE_BIDI = 0x800;
inline constexpr Dword PRINTER_STATUS_PENDING_DELETION = 0x4;
inline constexpr Dword DPD_DELETE_UNUSED_FILES = 0x1;
inline constexpr Dword DPD_DELETE_SPECIFIC_VERSION = 0x2;
inline constexpr Dword DPD_DELETE_ALL_FILES = 0x4;

// Services.
inline constexpr Dword SC_MANAGER_ALL_ACCESS = 0xF003F;
inline constexpr Dword SERVICE_ALL_ACCESS = 0xF01FF;
inline constexpr Dword SERVICE_STOPPED = 1;
inline constexpr Dword SERVICE_START_PENDING = 2;
inline constexpr Dword SERVICE_STOP_PENDING = 3;
inline constexpr Dword SERVICE_RUNNING = 4;

// Processes, waits and files.
inline constexpr Dword MAX_PATH = 260;  // a path's buffer, its terminating zero included
inline constexpr Dword CREATE_NEW_CONSOLE = 0x10;
inline constexpr Dword STARTF_USESHOWWINDOW = 0x1;
inline constexpr Word SW_HIDE = 0;
inline constexpr Dword INFINITE = 0xFFFFFFFF;
inline constexpr Dword WAIT_OBJECT_0 = 0;
inline constexpr Dword WAIT_TIMEOUT = 258;
inline constexpr Dword WAIT_ABANDONED = 0x80;
inline constexpr Dword WAIT_FAILED = 0xFFFFFFFF;
inline constexpr Dword STILL_ACTIVE = 259;

// Modules: LoadLibraryExA looks in the system directory only (Windows 8 and later, and 7 with
// its loader update; elsewhere the call fails with ERROR_INVALID_PARAMETER).
inline constexpr Dword LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800;
inline constexpr Dword GENERIC_READ = 0x80000000;
inline constexpr Dword GENERIC_WRITE = 0x40000000;
inline constexpr Dword FILE_SHARE_READ = 1;
inline constexpr Dword CREATE_NEW = 1;
inline constexpr Dword CREATE_ALWAYS = 2;
inline constexpr Dword OPEN_EXISTING = 3;
inline constexpr Dword OPEN_ALWAYS = 4;
inline constexpr Dword FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr Dword FILE_ATTRIBUTE_ARCHIVE = 0x20;
inline constexpr Dword FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr Dword FILE_ATTRIBUTE_REPARSE_POINT = 0x400;
inline constexpr Dword FILE_FLAG_OPEN_REPARSE_POINT = 0x00200000;
inline constexpr Dword FILE_FLAG_OVERLAPPED = 0x40000000;
inline constexpr Dword INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF;
inline constexpr Dword PURGE_ALL = 0x0F;

// System information.
inline constexpr Dword VER_PLATFORM_WIN32S = 0;
inline constexpr Dword VER_PLATFORM_WIN32_WINDOWS = 1;
inline constexpr Dword VER_PLATFORM_WIN32_NT = 2;
inline constexpr std::uint8_t VER_NT_WORKSTATION = 1;
inline constexpr std::uint8_t VER_NT_DOMAIN_CONTROLLER = 2;
inline constexpr std::uint8_t VER_NT_SERVER = 3;
inline constexpr Word VER_SUITE_WH_SERVER = 0x8000;
inline constexpr Word PROCESSOR_ARCHITECTURE_INTEL = 0;
inline constexpr Word PROCESSOR_ARCHITECTURE_IA64 = 6;
inline constexpr Word PROCESSOR_ARCHITECTURE_AMD64 = 9;
inline constexpr Word IMAGE_FILE_MACHINE_UNKNOWN = 0;
inline constexpr Word IMAGE_FILE_MACHINE_I386 = 0x014C;
inline constexpr Word IMAGE_FILE_MACHINE_AMD64 = 0x8664;
inline constexpr Word IMAGE_FILE_MACHINE_ARM64 = 0xAA64;
inline constexpr int SM_SERVERR2 = 89;
inline constexpr Dword PRODUCT_ENTERPRISE_SERVER_IA64 = 0x0F;

// Device setup.
inline constexpr Dword DIGCF_PRESENT = 0x02;
inline constexpr Dword DIGCF_DEVICEINTERFACE = 0x10;

}  // namespace zenthar::platform
