// The values an installation run shares between its dialogs and its steps.
//
// They live as long as the program (a second run in the same process starts from what the
// first left) but are held in one object that start-up creates, so each test starts afresh.
#pragma once

#include <cstdint>

namespace zenthar {

// Windows families, as detected by the interface dialog. None means "not detected"; values
// beyond the last are families detected on a newer system than the program knows.
enum class OsFamily : std::int32_t {
    None = 0,
    NT3 = 1,
    Win95 = 2,
    Win98 = 3,
    WinMe = 4,
    NT4 = 5,
    Win2000 = 6,
    WinXP = 7,
    Win2003 = 8,
    WinVista = 9,
    Win2008 = 10,
    Win7 = 11,
    Win8 = 12,
};

// Processor kinds; also the entries of the interface dialog's processor combo. Other values
// are kinds the driver package does not know.
enum class Processor : std::int32_t { X86 = 0, X64 = 1, Itanium = 2 };

// The kind of port a printer goes on. None: no port chosen yet.
enum class PortKind : std::int32_t { None = 0, Com = 1, Lpt = 5, Usb = 8, TcpIp = 9 };

struct InstallSession {
    OsFamily osFamily = OsFamily::None;
    Processor processor = Processor::X86;
    std::int32_t codePageIndex = 0;
    std::int32_t usbMonitorPort = 0;
    PortKind portKind = PortKind::None;
};

inline constexpr int kRowFlagCount = 201;

}  // namespace zenthar
