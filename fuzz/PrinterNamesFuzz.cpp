// Printer and driver names as the spooler's enumeration returns them, against the rows of
// the main dialog: only a printer whose name and driver name both equal a row's name, byte
// for byte, marks that row.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

#include "FuzzSupport.h"
#include "app/InstallerApp.h"
#include "resources/MainDialogIds.h"
#include "resources/ResourceIds.h"

namespace {

using namespace zenthar;

using resources::main_ids::kCloneCheck;
using resources::main_ids::kCopiesEdit;
using resources::main_ids::kModelList;

const char* const kRowNames[] = {"NORVA MTR333",   "NORVA MTR444",    "NORVA KSV100-III", "NORVA Orbix #1",
                                 "NORVA Orbix #2", "NORVA Orbix #12", "NORVA Orbix #200"};

// Longer than any name field, so that every cut is tried.
constexpr std::size_t kLongestName = 300;

// A name near the rows' names (one of them, changed a little) or any bytes at all.
std::string SomeName(FuzzedDataProvider& input)
{
    std::string name = input.ConsumeBool() ? std::string(input.PickValueInArray(kRowNames))
                                           : input.ConsumeRandomLengthString(kLongestName);
    switch (input.ConsumeIntegralInRange(0, 4)) {
    case 0:
        if (!name.empty()) name[input.ConsumeIntegralInRange<std::size_t>(0, name.size() - 1)] ^= 0x20;
        break;
    case 1: name += static_cast<char>(input.ConsumeIntegral<std::uint8_t>()); break;
    case 2:
        if (!name.empty()) name.pop_back();
        break;
    default: break;
    }
    return fuzz::AsText(name);
}

struct Printer {
    std::string name;
    std::string driver;
};

bool Marks(const std::vector<Printer>& printers, const std::string& row)
{
    for (const auto& printer : printers)
        if (printer.name == row && printer.driver == row) return true;
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    fuzz::World world;
    std::vector<Printer> printers;
    const int count = input.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < count; ++i) {
        const Printer printer{SomeName(input), SomeName(input)};
        if (printer.name.empty()) continue;  // the spooler has no printer without a name
        world.machine.AddPrinter(printer.name, "LPT1:", printer.driver);
    }
    // What the spooler holds: one printer per name, letter case aside, the later one kept.
    for (const auto& printer : world.machine.Printers()) printers.push_back({printer.name, printer.driverName});
    const int copies = input.ConsumeIntegralInRange(1, 200);
    ProcessState state(world.machine.platform());
    std::vector<std::string> modelRows, cloneRows;
    std::vector<int> modelChecks, cloneChecks;
    world.screen.Script(resources::kMainDialog)
        .Then([&](ui::headless::HeadlessDialog& d) {
            modelRows = d.Rows(kModelList);
            modelChecks = d.RowChecks(kModelList);
        })
        .Click(kCloneCheck)
        .SetText(kCopiesEdit, std::to_string(copies))
        .Then([&](ui::headless::HeadlessDialog& d) {
            cloneRows = d.Rows(kModelList);
            cloneChecks = d.RowChecks(kModelList);
        })
        .PressEscape();
    RunInstallerApp(world.machine.platform(), state);

    FUZZ_CHECK(modelRows.size() == 3, "model mode shows the three models");
    for (std::size_t i = 0; i < modelRows.size(); ++i)
        FUZZ_CHECK(modelChecks[i] == (Marks(printers, modelRows[i]) ? 2 : 0), "a model row is marked by its printer");
    FUZZ_CHECK(cloneRows.size() == static_cast<std::size_t>(copies), "clone mode shows the copies");
    for (std::size_t i = 0; i < cloneRows.size(); ++i) {
        const bool marked = Marks(printers, cloneRows[i]);
        FUZZ_CHECK(cloneChecks[i] == (marked ? 2 : 1), "a clone row is marked by its printer, else checked");
        FUZZ_CHECK(state.rows.rowInstalled[i] == (marked ? 1 : 0), "the row flag follows the mark");
    }
    FUZZ_CHECK(world.screen.Errors().empty(), "the script ran as written");
    FUZZ_CHECK(world.machine.Misuses().empty(), "no misuse of the platform");
    return 0;
}
