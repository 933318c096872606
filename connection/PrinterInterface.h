// The printer interfaces a printer can be reached through, and the ports each one offers:
// what the interface dialog lists, and what a run without windows chooses from.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace zenthar {

// In the order of the interface dialog's radio buttons.
enum class PrinterInterface { Serial = 0, Bluetooth = 1, Parallel = 2, Usb = 3, Ethernet = 4, WiFi = 5 };

inline constexpr int kInterfaceCount = 6;

// The interface's word on the command line ("serial", ... "wifi").
const char* InterfaceWord(PrinterInterface printerInterface);
// The interface a word names, without regard to case.
std::optional<PrinterInterface> InterfaceOfWord(std::string_view word);

// Serial, Bluetooth and Parallel offer the spooler's ports; the others one fixed name.
bool ListsSpoolerPorts(PrinterInterface printerInterface);
// Ethernet and Wi-Fi: the port is made from an address.
bool NeedsAddress(PrinterInterface printerInterface);

// The port names the interface offers, in the spooler's order: its COM or LPT ports (their
// colon kept), or the fixed "USB" or "TCP/IP". Empty when there is no port of the kind.
std::vector<std::string> InterfacePortNames(platform::Platform& platform, PrinterInterface printerInterface);

// The port a sorted port list shows first; "" for an empty list.
std::string FirstListedPort(const std::vector<std::string>& portNames);

}  // namespace zenthar
