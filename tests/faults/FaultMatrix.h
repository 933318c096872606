// Fault injection over whole installer runs.
//
// Each kind of run (USB with the printer found, COM, LPT, Ethernet, three clones) is run once
// to record the platform calls it makes. Then every call that can fail is made to fail, once
// or from there on for every later call of the same function, with each error number the
// installer tells apart and with one it knows nothing about. Every such run goes in a process
// of its own, so that a crash or a sanitizer report is counted instead of ending the matrix.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/SimMachine.h"
#include "tests/common/InstallerRun.h"

namespace zenthar::testing::faults {

// One kind of run: the machine it starts from and what the user does in each dialog.
struct Scenario {
    const char* name;
    bool clone;
    void (*arrange)(InstallerRun& run);
};

const std::vector<Scenario>& Scenarios();
// For the oracle's own test: one scenario clicks a radio the dialog does not have, one picks
// a port the machine does not list.
const std::vector<Scenario>& DriftedScenarios();

// How a run ended, as the user saw it.
enum class Ending {
    Completed,     // the completion dialog was shown and the program ended
    Stopped,       // the run stopped with the main dialog open; the user closed it
    ProgramEnded,  // the program ended without the completion dialog
};
const char* EndingName(Ending ending);

// The machine a run leaves, as facts: "printer:NAME" -> its port, driver and attributes,
// "file:PATH" -> its size and contents, "value:KEY\\NAME" -> its type and bytes, the default
// printer, the spooler's ports, services, what the USB printer received, and what the
// debugger heard about the port monitor.
using Machine = std::map<std::string, std::string>;

// What one run left behind: its transcript, its ending, and what the user could still do.
struct RunRecord {
    std::vector<std::string> transcript;
    std::vector<std::string> calls;
    std::vector<std::string> misuses;
    std::vector<std::string> scriptErrors;  // a step that met no such control: the scenario drifted
    std::vector<std::string> couldNotDo;    // steps the user could not take (a disabled button, a port not listed)
    Ending ending = Ending::Completed;
    bool installEnabled = false;  // when the user closed the main dialog
    bool exitEnabled = false;
    Machine machine;
};

// Changes to the machine before a run: the fallbacks a failing look-up leads to are judged
// against a run on a machine that lacks what was looked up.
struct MachineChange {
    bool noNativeSystemInfo = false;
    bool noRedirectionSwitch = false;
    bool noDefaultPrinterExport = false;
    std::string missingSetupFunction;  // a SETUPAPI.DLL export, or the library itself ("library")
    bool operator==(const MachineChange&) const = default;
};

// How a fault is armed.
enum class Mode { Once, FromThereOn };

struct Fault {
    std::size_t callIndex = 0;  // position in the baseline's call log
    std::string function;
    unsigned occurrence = 1;  // the how-manieth call of `function` that is
    platform::Dword error = 0;
    Mode mode = Mode::Once;
};

// Runs the scenario with `fault` armed (none: the baseline). `failAllFrom`: every call from
// that position on fails, whatever it is, so nothing after it can change the machine.
RunRecord RunScenario(const Scenario& scenario, const std::optional<Fault>& fault,
                      std::optional<std::size_t> failAllFrom = std::nullopt, const MachineChange& change = {});

// Calls that the simulated machine never fails (they have no failure value).
bool NeverFails(const std::string& function);

// The error numbers tried on a call of `function`: the ones the installer tells apart for it,
// common ones and one it knows nothing about; `full`: every number the installer tells apart
// anywhere, on every call.
std::vector<platform::Dword> ErrorsFor(const std::string& function, bool full);

// The oracle: empty when the run ended as the failing call's site says (its messages, its
// ending, the whole machine it left), else why not.
std::string Judge(const Scenario& scenario, const Fault& fault, const RunRecord& baseline, const RunRecord& run);

// The machine the run without faults had made before its call `index` (a run in which that
// call and every later one fails can change nothing more). Kept, so that child processes
// share what their parent computed.
const Machine& MachineBefore(const Scenario& scenario, std::size_t index);

// Invariants that hold for every run, faulty or not: no misuse of the platform, no script
// fault, every message box one the program knows, in its own form.
std::string CheckInvariants(const RunRecord& run);

// The first line where `run` departs from `baseline`, for reports.
std::string FirstDifference(const std::vector<std::string>& baseline, const std::vector<std::string>& run);

// Runs `work` in a child process. Its text, or nothing when the child crashed, was killed by
// a sanitizer or hung; `how` then says what happened.
std::optional<std::string> RunIsolated(const std::function<std::string()>& work, std::string& how);

}  // namespace zenthar::testing::faults
