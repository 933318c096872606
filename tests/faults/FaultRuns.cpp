// The kinds of run, how one is made with a fault armed, and the child processes they run in.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "FaultMatrix.h"

namespace zenthar::testing::faults {
namespace {

constexpr int kList = 1019;
constexpr int kInstall = 1000;
constexpr int kExit = 1012;
constexpr int kClone = 1047;
constexpr int kCopies = 1048;
constexpr int kPortCombo = 1026;
constexpr int kOk = 1;

constexpr const char* kUsbPath =
    "\\\\?\\usb#vid_0525&pid_a700#5&1a2b3c&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

// A run that fails every call from some point on still ends; these many failing positions
// are more than any run makes after its fault.
constexpr std::size_t kFailAllSpan = 4096;
// The error the "fail everything" runs use: one the installer knows nothing about.
constexpr platform::Dword kUnknownError = 1359;  // ERROR_INTERNAL_ERROR
// A child that takes longer than this has hung.
constexpr unsigned kChildSeconds = 20;

void Click(ui::headless::HeadlessDialog& d, int id)
{
    if (const auto* item = d.Find(id); item && item->Enabled() && item->Visible()) d.UserClick(id);
}

void SelectPortIfListed(ui::headless::HeadlessDialog& d, const std::string& port)
{
    const auto* combo = d.Find(kPortCombo);
    if (!combo) return;
    for (std::size_t i = 0; i < combo->rows.size(); ++i)
        if (combo->rows[i].text == port) d.UserSelectCombo(kPortCombo, static_cast<int>(i));
}

// The interface dialog: pick a radio, maybe a port, then OK.
void ChooseInterface(InstallerRun& run, int radio, const char* port = nullptr)
{
    auto& script = run.Interface();
    if (radio != 0) script.Then([radio](ui::headless::HeadlessDialog& d) { Click(d, radio); });
    if (port) script.Then([port = std::string(port)](ui::headless::HeadlessDialog& d) { SelectPortIfListed(d, port); });
    script.Then([](ui::headless::HeadlessDialog& d) { Click(d, kOk); });
}

void ArrangeUsb(InstallerRun& run)
{
    run.machine.AddUsbPrinter(kUsbPath, 1);
    ChooseInterface(run, 0);
}

void ArrangeCom(InstallerRun& run)
{
    ChooseInterface(run, 1002, "COM2:");
}

void ArrangeLpt(InstallerRun& run)
{
    ChooseInterface(run, 1005, "LPT1:");
}

void ArrangeEthernet(InstallerRun& run)
{
    ChooseInterface(run, 1007);
    run.Address().SetIpFields(1044, {"10", "1", "2", "3"}).Click(kOk);
}

void ArrangeClones(InstallerRun& run)
{
    ChooseInterface(run, 1005, "LPT1:");
}


std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

void AddKeys(const sim::SimMachine& machine, const std::string& path, std::set<std::string>& made)
{
    if (!machine.RegistryKeyExists(platform::kHkeyLocalMachine, path)) return;
    made.insert("key:" + Upper(path));
    for (const auto& value : machine.RegistryValues(platform::kHkeyLocalMachine, path))
        made.insert("value:" + Upper(path) + "\\" + value.name);
    for (const auto& child : machine.RegistrySubkeys(platform::kHkeyLocalMachine, path))
        AddKeys(machine, path + "\\" + child, made);
}

// What the installer makes: spooler objects, the files of the driver, system and monitor
// folders, and its registry keys.
std::set<std::string> WhatIsMade(const sim::SimMachine& machine)
{
    std::set<std::string> made;
    for (const auto& driver : machine.Drivers()) made.insert("driver:" + driver.name);
    for (const auto& printer : machine.Printers()) {
        made.insert("printer:" + printer.name);
        for (const auto& data : printer.data) made.insert("data:" + printer.name + "/" + data.name);
    }
    for (const auto& monitor : machine.Monitors()) made.insert("monitor:" + monitor.name);
    const std::string windows = machine.profile().windowsDirectory;
    for (const std::string& folder : {machine.DriverDirectory(), machine.DriverDirectory() + "\\3",
                                      windows + "\\System32", windows + "\\SysWOW64", std::string("C:\\")})
        for (const auto& name : machine.ListDirectory(folder))
            if (!machine.DirectoryExists(folder + "\\" + name)) made.insert("file:" + Upper(folder + "\\" + name));
    for (const char* path :
         {"SYSTEM\\ControlSet001\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports",
          "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVA Orbix Printer 4.64",
          "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVA Orbix Printer 4.64"})
        AddKeys(machine, path, made);
    return made;
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
        {"Usb", false, ArrangeUsb},
        {"Com", false, ArrangeCom},
        {"Lpt", false, ArrangeLpt},
        {"Ethernet", false, ArrangeEthernet},
        {"Clones", true, ArrangeClones},
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
        {platform::ERROR_INVALID_PARAMETER, "GetVersionExA"},       // refused extended record
        {platform::ERROR_INSUFFICIENT_BUFFER, "EnumPrintersA"},     // the sizing call
        {platform::ERROR_INSUFFICIENT_BUFFER, "EnumPortsA"},
        {platform::ERROR_INSUFFICIENT_BUFFER, "EnumMonitorsA"},
        {platform::ERROR_INSUFFICIENT_BUFFER, "SetupDiGetDeviceInterfaceDetailA"},
        {platform::ERROR_MOD_NOT_FOUND, "AddPrinterDriverA"},       // FRAMEDYN.dll and a retry
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
        if ((full || function == each.function) &&
            std::find(errors.begin(), errors.end(), each.error) == errors.end())
            errors.push_back(each.error);
    return errors;
}

RunRecord RunScenario(const Scenario& scenario, const std::optional<Fault>& fault,
                      std::optional<std::size_t> failAllFrom)
{
    RunRecord record;
    InstallerRun run;
    // A machine with a printer of its own, so the scan of existing printers has records to
    // read, and a default printer that a run may replace.
    run.AddExistingPrinter("Office Printer", "LPT1:");
    run.machine.SetDefaultPrinter("Office Printer");
    scenario.arrange(run);

    auto& main = run.Main();
    if (scenario.clone) {
        main.Then([](ui::headless::HeadlessDialog& d) { Click(d, kClone); });
        main.Then([](ui::headless::HeadlessDialog& d) {
            if (const auto* edit = d.Find(kCopies); edit && edit->Enabled()) d.UserSetText(kCopies, "3");
        });
    } else {
        main.Then([](ui::headless::HeadlessDialog& d) {
            if (const auto* list = d.Find(kList); list && !list->rows.empty()) d.UserToggleRow(kList, 0);
        });
    }
    main.Then([](ui::headless::HeadlessDialog& d) { Click(d, kInstall); });
    // Reached only when the run left the main dialog open.
    main.Then([&record](ui::headless::HeadlessDialog& d) {
        record.ending = Ending::Stopped;
        record.installEnabled = d.Find(kInstall)->Enabled();
        record.exitEnabled = d.Find(kExit)->Enabled();
    });
    main.PressEscape();
    run.UsbWarning().Click(kOk);
    run.DefaultPrinter().Click(kOk);
    run.Complete().Click(kOk);
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
        const bool completed =
            std::find(record.transcript.begin(), record.transcript.end(), "open 138") != record.transcript.end();
        record.ending = completed ? Ending::Completed : Ending::ProgramEnded;
    }
    record.calls = run.machine.CallLog();
    record.misuses = run.machine.Misuses();
    record.scriptErrors = run.screen.Errors();
    record.made = WhatIsMade(run.machine);
    return record;
}

std::string FirstDifference(const std::vector<std::string>& baseline, const std::vector<std::string>& run)
{
    const std::size_t common = std::min(baseline.size(), run.size());
    for (std::size_t i = 0; i < common; ++i)
        if (baseline[i] != run[i])
            return "line " + std::to_string(i + 1) + ": '" + run[i] + "' instead of '" + baseline[i] + "'";
    if (run.size() > common) return "line " + std::to_string(common + 1) + ": '" + run[common] + "' added";
    if (baseline.size() > common)
        return "line " + std::to_string(common + 1) + ": '" + baseline[common] + "' missing";
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
