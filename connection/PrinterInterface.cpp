#include "connection/PrinterInterface.h"

#include <cstring>

#include "core/FixedText.h"
#include "core/SpoolerEnumeration.h"
#include "ui/Controls.h"

namespace zenthar {

namespace {

struct InterfacePorts {
    const char* word;
    const char* portPrefix;  // spooler ports taken by their first three characters, or null
    const char* fixedPort;   // the one port offered instead, or null
};

// In interface order.
constexpr InterfacePorts kInterfacePorts[kInterfaceCount] = {
    {"serial", "COM", nullptr},  {"bluetooth", "COM", nullptr}, {"parallel", "LPT", nullptr},
    {"usb", nullptr, "USB"},     {"ethernet", nullptr, "TCP/IP"}, {"wifi", nullptr, "TCP/IP"},
};

const InterfacePorts& PortsOf(PrinterInterface printerInterface)
{
    return kInterfacePorts[static_cast<int>(printerInterface)];
}

}  // namespace

const char* InterfaceWord(PrinterInterface printerInterface)
{
    return PortsOf(printerInterface).word;
}

std::optional<PrinterInterface> InterfaceOfWord(std::string_view word)
{
    for (int i = 0; i < kInterfaceCount; ++i)
        if (SameWordNoCase(word, kInterfacePorts[i].word)) return static_cast<PrinterInterface>(i);
    return std::nullopt;
}

bool ListsSpoolerPorts(PrinterInterface printerInterface)
{
    return PortsOf(printerInterface).portPrefix != nullptr;
}

bool NeedsAddress(PrinterInterface printerInterface)
{
    return printerInterface == PrinterInterface::Ethernet || printerInterface == PrinterInterface::WiFi;
}

std::vector<std::string> InterfacePortNames(platform::Platform& platform, PrinterInterface printerInterface)
{
    const InterfacePorts& choice = PortsOf(printerInterface);
    std::vector<std::string> names;
    const auto enumPorts = [&platform](std::uint8_t* buffer, platform::Dword size, platform::Dword* needed,
                                       platform::Dword* returned) {
        return platform.spooler.EnumPortsA(nullptr, 2, buffer, size, needed, returned);
    };
    Enumeration<platform::PortInfo2A> ports;
    ports.Size(enumPorts);
    if (ports.Fetch(enumPorts).value && choice.portPrefix) {
        for (const platform::PortInfo2A& port : ports.Records()) {
            const char* name = port.pPortName;
            if (name && std::strncmp(name, choice.portPrefix, 3) == 0) names.emplace_back(name);
        }
    }
    if (choice.fixedPort) names.emplace_back(choice.fixedPort);
    return names;
}

std::string FirstListedPort(const std::vector<std::string>& portNames)
{
    const std::string* first = nullptr;
    for (const std::string& name : portNames)
        if (!first || ui::CompareSortedEntries(name, *first) < 0) first = &name;
    return first ? *first : std::string();
}

}  // namespace zenthar
