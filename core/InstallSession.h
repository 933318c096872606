// The values an installation run shares between its dialogs and its steps.
//
// They live as long as the program (a second run in the same process starts from what the
// first left) but are held in one object that start-up creates, so each test starts afresh.
#pragma once

#include <cstdint>

namespace zenthar {

// Windows families, as detected by the interface dialog. 0 means "not detected".
namespace OsFamily {
inline constexpr std::int32_t None = 0;
inline constexpr std::int32_t NT3 = 1;
inline constexpr std::int32_t Win95 = 2;
inline constexpr std::int32_t Win98 = 3;
inline constexpr std::int32_t WinMe = 4;
inline constexpr std::int32_t NT4 = 5;
inline constexpr std::int32_t Win2000 = 6;
inline constexpr std::int32_t WinXP = 7;
inline constexpr std::int32_t Win2003 = 8;
inline constexpr std::int32_t WinVista = 9;
inline constexpr std::int32_t Win2008 = 10;
inline constexpr std::int32_t Win7 = 11;
inline constexpr std::int32_t Win8 = 12;
}  // namespace OsFamily

// Processor kinds; also the entries of the interface dialog's processor combo. Other values
// are kinds the driver package does not know.
enum class Processor : std::int32_t { X86 = 0, X64 = 1, Itanium = 2 };

// The kind of port a printer goes on. None: no port chosen yet.
enum class PortKind : std::int32_t { None = 0, Com = 1, Lpt = 5, Usb = 8, TcpIp = 9 };

struct InstallSession {
    std::int32_t osFamily = OsFamily::None;
    Processor processor = Processor::X86;
    std::int32_t codePageIndex = 0;
    std::int32_t usbMonitorPort = 0;
    PortKind portKind = PortKind::None;
};

inline constexpr int kRowFlagCount = 201;

}  // namespace zenthar
