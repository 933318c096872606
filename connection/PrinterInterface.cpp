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
    {"serial", "COM", nullptr}, {"bluetooth", "COM", nullptr},   {"parallel", "LPT", nullptr},
    {"usb", nullptr, "USB"},    {"ethernet", nullptr, "TCP/IP"}, {"wifi", nullptr, "TCP/IP"},
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
    // The ports are listed even where the choice takes none of them, as the dialog always asks.
    for (const ListedPort& port : ListPorts(platform))
        if (choice.portPrefix && std::strncmp(port.name.c_str(), choice.portPrefix, 3) == 0) names.push_back(port.name);
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
