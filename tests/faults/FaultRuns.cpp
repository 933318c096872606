// The kinds of run, how one is made with a fault armed, and the child processes they run in.
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

#include "FaultMatrix.h"
#include "resources/DefaultPrinterDialogIds.h"
#include "resources/InstallCompleteDialogIds.h"
#include "resources/InterfaceDialogIds.h"
#include "resources/IpAddressDialogIds.h"
#include "resources/MainDialogIds.h"
#include "resources/UsbWarningDialogIds.h"
#include "tests/common/MachineFacts.h"

namespace zenthar::testing::faults {
namespace {

using resources::main_ids::kCloneCheck;
using resources::main_ids::kCopiesEdit;
using resources::main_ids::kExitButton;
using resources::main_ids::kInstallButton;
using resources::main_ids::kModelList;
using resources::interface_ids::kPortCombo;
namespace address_ids = resources::address_ids;
namespace complete_ids = resources::complete_ids;
namespace default_ids = resources::default_ids;
namespace interface_ids = resources::interface_ids;
namespace warning_ids = resources::warning_ids;
// A radio the interface dialog does not have.
constexpr int kMissingRadio = 1099;

constexpr const char* kUsbPath = "\\\\?\\usb#vid_0525&pid_a700#5&1a2b3c&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

// A run that fails every call from some point on still ends; these many failing positions
// are more than any run makes after its fault.
constexpr std::size_t kFailAllSpan = 4096;
// The error the "fail everything" runs use: one the installer knows nothing about.
constexpr platform::Dword kUnknownError = 1359;  // ERROR_INTERNAL_ERROR
// A child that takes longer than this has hung.
constexpr unsigned kChildSeconds = 20;

// The user's notes on the steps of a run: what could not be done, and where the scenario
// met a dialog it was not written for. Steps run inside dialogs, so they write here.
struct StepNotes {
    std::vector<std::string> couldNotDo;
    std::vector<std::string> drifted;
};
StepNotes* notes = nullptr;

void Note(std::vector<std::string> StepNotes::*list, std::string text)
{
    if (notes) (notes->*list).push_back(std::move(text));
}

// A click on a control the dialog does not have, or does not show, means the scenario no
// longer fits the program; a disabled one is what a failure may leave, and the oracle judges it.
void Click(ui::headless::HeadlessDialog& d, int id)
{
    const auto* item = d.Find(id);
    if (!item || !item->Visible()) {
        Note(&StepNotes::drifted,
             "dialog " + std::to_string(d.TemplateId()) + " shows no control " + std::to_string(id));
        return;
    }
    if (!item->Enabled()) {
        Note(&StepNotes::couldNotDo, "click " + std::to_string(id) + ": disabled");
        return;
    }
    d.UserClick(id);
}

void SelectPort(ui::headless::HeadlessDialog& d, const std::string& port)
{
    const auto* combo = d.Find(kPortCombo);
    if (!combo) {
        Note(&StepNotes::drifted, "dialog " + std::to_string(d.TemplateId()) + " shows no port list");
        return;
    }
    for (std::size_t i = 0; i < combo->rows.size(); ++i) {
        if (combo->rows[i].text == port) {
            d.UserSelectCombo(kPortCombo, static_cast<int>(i));
            return;
        }
    }
    Note(&StepNotes::couldNotDo, "port " + port + " not listed");
}

// The interface dialog: pick a radio, maybe a port, then OK.
void ChooseInterface(InstallerRun& run, int radio, const char* port = nullptr)
{
    auto& script = run.Interface();
    if (radio != 0) script.Then([radio](ui::headless::HeadlessDialog& d) { Click(d, radio); });
    if (port) script.Then([port = std::string(port)](ui::headless::HeadlessDialog& d) { SelectPort(d, port); });
    script.Then([](ui::headless::HeadlessDialog& d) { Click(d, interface_ids::kOk); });
}

void ArrangeUsb(InstallerRun& run)
{
    run.machine.AddUsbPrinter(kUsbPath, 1);
    ChooseInterface(run, 0);
}

void ArrangeCom(InstallerRun& run)
{
    ChooseInterface(run, interface_ids::kSerialRadio, "COM2:");
}

void ArrangeLpt(InstallerRun& run)
{
    ChooseInterface(run, interface_ids::kParallelRadio, "LPT1:");
}

void ArrangeEthernet(InstallerRun& run)
{
    ChooseInterface(run, interface_ids::kEthernetRadio);
    run.Address().SetIpFields(address_ids::kAddressField, {"10", "1", "2", "3"}).Click(address_ids::kOk);
}

void ArrangeClones(InstallerRun& run)
{
    ChooseInterface(run, interface_ids::kParallelRadio, "LPT1:");
}

// Scenarios that no longer fit the program.
void ArrangeMissingRadio(InstallerRun& run)
{
    ChooseInterface(run, kMissingRadio, "COM2:");
}

void ArrangeUnlistedPort(InstallerRun& run)
{
    ChooseInterface(run, interface_ids::kSerialRadio, "COM9:");
}

// The whole machine as far as the installer can change it: spooler objects, the files of
// the driver, system and monitor folders (and of the drive root, where a path built on an
// empty directory would land), its registry keys and record, services, the USB printer, the
// monitor's diagnostics.
Machine WhatIsMade(const sim::SimMachine& machine)
{
    Machine facts;
    AddSpooler(machine, facts);
    for (const char* service : {"spooler", "LPDSVC"})
        if (const auto state = machine.ServiceState(service))
            facts[std::string("service:") + service] = std::to_string(*state);

    const std::string windows = machine.profile().windowsDirectory;
    for (const std::string& folder :
         {machine.DriverDirectory(), machine.DriverDirectory() + "\\3", windows + "\\System32", windows + "\\SysWOW64",
          windows + "\\System32\\WBEM", windows + "\\SysWOW64\\spool\\drivers\\w32x86",
          windows + "\\SysWOW64\\spool\\drivers\\w32x86\\3", std::string("C:\\"), std::string("C:\\3")})
        AddFiles(machine, folder, facts, false);
    for (const char* path :
         {"SYSTEM\\ControlSet001\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports",
          "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVA Orbix Printer 4.64",
          "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVA Orbix Printer 4.64"})
        AddKeys(machine, platform::kHkeyLocalMachine, path, facts);
    // The installation record by its values: whether its key is there follows from them.
    for (const char* path : {"Software\\NORVA\\Orbix Printer 4.64", "Software\\Wow6432Node\\NORVA\\Orbix Printer 4.64"})
        for (const auto& value : machine.RegistryValues(platform::kHkeyLocalMachine, path))
            facts["record:" + value.name] = "type " + std::to_string(value.type) + " " + Digest(value.bytes);

    std::string received;
    for (const auto& write : machine.UsbWrites(kUsbPath)) received += Digest(write) + ";";
    facts["usb printer received"] = received;
    std::string monitorLines;
    for (const auto& line : machine.DebugOutput())
        if (line.rfind("AddPortMonitor()", 0) == 0) monitorLines += line + ";";
    facts["debugger heard"] = monitorLines;
    return facts;
}

void Arm(sim::SimMachine& machine, const Fault& fault, std::size_t baselineCalls)
{
    if (fault.mode == Mode::Once) {
        machine.FailNext(fault.function, fault.error, fault.occurrence);
        return;
    }
    if (fault.occurrence == 1) {
        machine.FailAlways(fault.function, fault.error);
        return;
    }
    // From the n-th call on: each later call has a fault of its own, far beyond what the
    // baseline made, so retries and search loops meet failures too.
    const std::size_t span = std::max<std::size_t>(256, 4 * baselineCalls);
    for (std::size_t n = 0; n < span; ++n)
        machine.FailNext(fault.function, fault.error, fault.occurrence + static_cast<unsigned>(n));
}

}  // namespace

const std::vector<Scenario>& Scenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"Usb", false, ArrangeUsb},           {"Com", false, ArrangeCom},      {"Lpt", false, ArrangeLpt},
        {"Ethernet", false, ArrangeEthernet}, {"Clones", true, ArrangeClones},
    };
    return scenarios;
}

const std::vector<Scenario>& DriftedScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"MissingRadio", false, ArrangeMissingRadio},
        {"UnlistedPort", false, ArrangeUnlistedPort},
    };
    return scenarios;
}

const char* EndingName(Ending ending)
{
    switch (ending) {
    case Ending::Completed: return "completed";
    case Ending::Stopped: return "stopped with the main dialog open";
    case Ending::ProgramEnded: return "program ended without completion";
    }
    return "?";
}

bool NeverFails(const std::string& function)
{
    static const std::set<std::string> kNever = {"Sleep", "GetTickCount", "OutputDebugStringA", "GetSystemInfo",
                                                 "GetNativeSystemInfo"};
    return kNever.count(function) != 0;
}

std::vector<platform::Dword> ErrorsFor(const std::string& function, bool full)
{
    // Numbers the installer tells apart, and the calls it tells them apart on.
    struct Distinguished {
        platform::Dword error;
        const char* function;
    };
    static const Distinguished kDistinguished[] = {
        {platform::ERROR_INVALID_PARAMETER, "GetVersionExA"},    // refused extended record
        {platform::ERROR_INSUFFICIENT_BUFFER, "EnumPrintersA"},  // the sizing call
        {platform::ERROR_INSUFFICIENT_BUFFER, "EnumPortsA"},
        {platform::ERROR_INSUFFICIENT_BUFFER, "EnumMonitorsA"},
        {platform::ERROR_INSUFFICIENT_BUFFER, "SetupDiGetDeviceInterfaceDetailA"},
        {platform::ERROR_MOD_NOT_FOUND, "AddPrinterDriverA"},  // FRAMEDYN.dll and a retry
        {platform::ERROR_NO_MORE_ITEMS, "SetupDiEnumDeviceInterfaces"},
        {platform::ERROR_IO_INCOMPLETE, "GetOverlappedResult"},
        {platform::ERROR_IO_PENDING, "WriteFile"},
        {platform::ERROR_SERVICE_ALREADY_RUNNING, "StartServiceA"},
        {platform::ERROR_UNKNOWN_PORT, "AddPrinterA"},
    };
    // File not found and access denied, the two every Windows call can give, and one
    // number that means nothing to the installer.
    std::vector<platform::Dword> errors = {platform::ERROR_FILE_NOT_FOUND, platform::ERROR_ACCESS_DENIED,
                                           kUnknownError};
    for (const auto& each : kDistinguished)
        if ((full || function == each.function) && std::find(errors.begin(), errors.end(), each.error) == errors.end())
            errors.push_back(each.error);
    return errors;
}

namespace {

sim::MachineProfile ProfileWith(const MachineChange& change)
{
    sim::MachineProfile profile = sim::Profiles::Windows10x64();
    if (change.noNativeSystemInfo) profile.hasGetNativeSystemInfo = false;
    if (change.noRedirectionSwitch) profile.hasWow64FsRedirectionExport = false;
    if (change.noDefaultPrinterExport) profile.hasSetDefaultPrinterExport = false;
    return profile;
}

void ArrangeMachine(InstallerRun& run, const Scenario& scenario, const MachineChange& change)
{
    if (change.missingSetupFunction == "library") {
        run.machine.MakeLibraryMissing("SETUPAPI.DLL");
    } else if (!change.missingSetupFunction.empty()) {
        run.machine.RemoveExport("setupapi.dll", change.missingSetupFunction);
    }
    // A machine with a printer of its own, so the scan of existing printers has records to
    // read, and a default printer that a run may replace.
    run.AddExistingPrinter("Office Printer", "LPT1:");
    run.machine.SetDefaultPrinter("Office Printer");
    scenario.arrange(run);
}

// The user's part: choose a row (or three clones), Install, and answer every dialog after it.
void ScriptUser(InstallerRun& run, const Scenario& scenario, RunRecord& record)
{
    auto& main = run.Main();
    if (scenario.clone) {
        main.Then([](ui::headless::HeadlessDialog& d) { Click(d, kCloneCheck); });
        main.Then([](ui::headless::HeadlessDialog& d) {
            const auto* edit = d.Find(kCopiesEdit);
            if (!edit) {
                Note(&StepNotes::drifted, "the main dialog shows no copies box");
            } else if (!edit->Enabled()) {
                Note(&StepNotes::couldNotDo, "copies: disabled");
            } else {
                d.UserSetText(kCopiesEdit, "3");
            }
        });
    } else {
        main.Then([](ui::headless::HeadlessDialog& d) {
            const auto* list = d.Find(kModelList);
            if (!list) {
                Note(&StepNotes::drifted, "the main dialog shows no model list");
            } else if (list->rows.empty()) {
                Note(&StepNotes::couldNotDo, "row 0: not listed");
            } else {
                d.UserToggleRow(kModelList, 0);
            }
        });
    }
    main.Then([](ui::headless::HeadlessDialog& d) { Click(d, kInstallButton); });
    // Reached only when the run left the main dialog open.
    main.Then([&record](ui::headless::HeadlessDialog& d) {
        record.ending = Ending::Stopped;
        record.installEnabled = d.Find(kInstallButton)->Enabled();
        record.exitEnabled = d.Find(kExitButton)->Enabled();
    });
    main.PressEscape();
    run.UsbWarning().Click(warning_ids::kOk);
    run.DefaultPrinter().Click(default_ids::kOk);
    run.Complete().Click(complete_ids::kOk);
}

}  // namespace

RunRecord RunScenario(const Scenario& scenario, const std::optional<Fault>& fault,
                      std::optional<std::size_t> failAllFrom, const MachineChange& change)
{
    RunRecord record;
    StepNotes stepNotes;
    notes = &stepNotes;
    InstallerRun run(ProfileWith(change));
    ArrangeMachine(run, scenario, change);
    ScriptUser(run, scenario, record);
    record.ending = Ending::ProgramEnded;

    if (fault) Arm(run.machine, *fault, run.machine.CallCount(fault->function) + 64);
    if (failAllFrom)
        for (std::size_t i = *failAllFrom; i < *failAllFrom + kFailAllSpan; ++i)
            run.machine.FailCallNumber(i, kUnknownError);

    if (fault || failAllFrom) {
        // Script faults and misuses are judged by the matrix, not by the harness's checks.
        ::testing::TestPartResultArray swallowed;
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &swallowed);
        run.Start();
    } else {
        run.Start();
    }

    record.transcript = run.Transcript();
    if (record.ending != Ending::Stopped) {
        const bool completed = std::find(record.transcript.begin(), record.transcript.end(), "open complete") !=
                               record.transcript.end();
        record.ending = completed ? Ending::Completed : Ending::ProgramEnded;
    }
    record.calls = run.machine.CallLog();
    record.misuses = run.machine.Misuses();
    record.scriptErrors = run.screen.Errors();
    for (auto& drift : stepNotes.drifted) record.scriptErrors.push_back(std::move(drift));
    record.couldNotDo = std::move(stepNotes.couldNotDo);
    notes = nullptr;
    record.machine = WhatIsMade(run.machine);
    return record;
}

std::string FirstDifference(const std::vector<std::string>& baseline, const std::vector<std::string>& run)
{
    const std::size_t common = std::min(baseline.size(), run.size());
    for (std::size_t i = 0; i < common; ++i)
        if (baseline[i] != run[i])
            return "line " + std::to_string(i + 1) + ": '" + run[i] + "' instead of '" + baseline[i] + "'";
    if (run.size() > common) return "line " + std::to_string(common + 1) + ": '" + run[common] + "' added";
    if (baseline.size() > common) return "line " + std::to_string(common + 1) + ": '" + baseline[common] + "' missing";
    return "no difference";
}

std::optional<std::string> RunIsolated(const std::function<std::string()>& work, std::string& how)
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        how = "no pipe";
        return std::nullopt;
    }
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) {
        close(pipeEnds[0]);
        close(pipeEnds[1]);
        how = "no fork";
        return std::nullopt;
    }
    if (child == 0) {
        close(pipeEnds[0]);
        alarm(kChildSeconds);
        const std::string text = work();
        std::size_t sent = 0;
        while (sent < text.size()) {
            const ssize_t n = write(pipeEnds[1], text.data() + sent, text.size() - sent);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        close(pipeEnds[1]);
        _exit(sent == text.size() ? 0 : 3);
    }
    close(pipeEnds[1]);
    std::string text;
    char chunk[4096];
    for (;;) {
        const ssize_t n = read(pipeEnds[0], chunk, sizeof chunk);
        if (n > 0) {
            text.append(chunk, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return text;
    if (WIFSIGNALED(status)) {
        how = WTERMSIG(status) == SIGALRM ? "hung" : std::string("killed by signal ") + strsignal(WTERMSIG(status));
    } else {
        how = "exit code " + std::to_string(WEXITSTATUS(status)) + " (a sanitizer report?)";
    }
    return std::nullopt;
}

}  // namespace zenthar::testing::faults
