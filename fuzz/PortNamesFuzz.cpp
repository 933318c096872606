// Spooler port names, as the interface dialog lists them and the installation classifies
// them: empty, very long, without a colon, with bytes above 127.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>

#include "FuzzSupport.h"
#include "connection/InterfaceDialog.h"
#include "connection/PlatformDetection.h"
#include "core/InstallSession.h"
#include "resources/InterfaceDialogIds.h"
#include "resources/ResourceIds.h"

namespace {

using namespace zenthar;

namespace interface_ids = resources::interface_ids;
using interface_ids::kPortCombo;
constexpr std::size_t kPortNameSize = 32;
// Names far longer than any field they are copied into.
constexpr std::size_t kLongestName = 1200;

PortKind Kind(const std::string& name)
{
    if (name.rfind("COM", 0) == 0) return PortKind::Com;
    if (name.rfind("LPT", 0) == 0) return PortKind::Lpt;
    if (name.rfind("USB", 0) == 0) return PortKind::Usb;
    if (name.rfind("TCP/IP", 0) == 0) return PortKind::TcpIp;
    return PortKind::Com;
}

// The combo's entries after choosing an interface must be the spooler's ports of that kind.
void CheckList(const sim::SimMachine& machine, ui::headless::HeadlessDialog& d, const InterfaceDialog& dialog,
               const char* prefix)
{
    std::vector<std::string> expected;
    for (const auto& port : machine.Ports())
        if (port.rfind(prefix, 0) == 0) expected.push_back(port);
    std::vector<std::string> listed;
    for (const auto& row : d.Find(kPortCombo)->rows) listed.push_back(row.text);
    std::sort(expected.begin(), expected.end());
    std::vector<std::string> sorted = listed;
    std::sort(sorted.begin(), sorted.end());
    FUZZ_CHECK(sorted == expected, "the combo lists exactly the spooler's ports of the kind");
    FUZZ_CHECK(fuzz::Bounded(dialog.portName), "the port name field ends inside itself");
    const std::string first = listed.empty() ? std::string() : listed.front();
    FUZZ_CHECK(std::string(dialog.portName) == first.substr(0, kPortNameSize - 1),
               "the port is the first entry, cut to the field");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    fuzz::World world;
    std::vector<std::string> names;
    const int count = input.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < count; ++i) {
        std::string name = fuzz::AsText(input.ConsumeRandomLengthString(kLongestName));
        FUZZ_CHECK(ClassifyPort(name.c_str()) == Kind(name), "a port is classified by its first characters");
        world.machine.AddPort("Local Port", name);
        names.push_back(std::move(name));
    }

    InstallSession session;
    InterfaceDialog dialog(world.machine.platform(), session, nullptr);
    world.screen.Script(resources::kInterfaceDialog)
        .Click(interface_ids::kSerialRadio)
        .Then([&](ui::headless::HeadlessDialog& d) { CheckList(world.machine, d, dialog, "COM"); })
        .Click(interface_ids::kParallelRadio)
        .Then([&](ui::headless::HeadlessDialog& d) { CheckList(world.machine, d, dialog, "LPT"); })
        .Click(interface_ids::kExit);
    dialog.DoModal();
    FUZZ_CHECK(world.screen.Errors().empty(), "the script ran as written");
    FUZZ_CHECK(world.machine.Misuses().empty(), "no misuse of the platform");
    return 0;
}
