#include "app/QuietInstallation.h"

#include <algorithm>
#include <optional>

#include "app/StartupChecks.h"
#include "connection/NetworkPort.h"
#include "connection/PlatformDetection.h"
#include "core/FixedText.h"
#include "core/InstallerFolder.h"
#include "core/OneRunAtATime.h"
#include "core/Owners.h"
#include "core/RunLog.h"
#include "install/DefaultPrinter.h"
#include "install/InstallationRun.h"
#include "install/InstalledPrinter.h"
#include "install/NameTables.h"
#include "install/PrinterCreation.h"
#include "install/PrinterSettings.h"
#include "install/Reconciliation.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"

namespace zenthar {

using resources::Say;
using resources::Text;
using resources::Words;

namespace {

// A message as one line of the log: its line breaks written as "\n".
std::string OneLine(std::string_view text)
{
    std::string line;
    for (const char c : text) {
        if (c == '\n') {
            line += "\\n";
        } else if (c != '\r') {
            line.push_back(c);
        }
    }
    return line;
}

// The run's screen without windows: each step and message becomes a line of the log, each
// question is answered from the options, and the pauses that only let a person see a step
// are not made.
class QuietScreen final : public QuietRunScreen {
public:
    QuietScreen(platform::Platform& platform, RunLog& log, const QuietOptions& options)
        : platform(platform), log(log), options(options)
    {}

    // The port the printers go on, once it is known to be one the interface offers.
    void UsePort(std::string chosen) { port = std::move(chosen); }

    void Show(const Notice& notice) const override
    {
        std::string line = Say(Words::LogMessage, OneLine(notice.text));
        if (notice.caption) line += Say(Words::LogCaption, notice.caption);
        log.Line(line);
    }
    void EnableInstall(bool) override {}
    void EnableExit(bool) override {}

    bool AskConnection(InstallSession& session, ConnectionChoice& choice) override
    {
        PrepareConnectionSession(platform, session);
        session.codePageIndex = options.codePageIndex;
        CopyText(choice.portName, port);
        CopyText(choice.addressText, options.address);
        std::string line = Say(Words::QuietConnection, InterfaceWord(options.printerInterface), port);
        if (!options.address.empty()) line += Say(Words::QuietAddress, options.address);
        line += Say(Words::QuietCodePage, CodePageTable[options.codePageIndex].label);
        log.Line(Say(Words::LogStep, line));
        // The address dialog's warning, given where the address is taken.
        if (NeedsAddress(options.printerInterface) && !TcpIpMonitorPresent(platform)) {
            Show(AppNotice(Text(Words::TcpIpMonitorMissing)));
            Note(ExitCode::NetworkPortNotWritten);
        }
        return true;
    }

    void ShowStep(const char* text, int) override { log.Line(Say(Words::LogStep, text)); }
    void ShowPosition(int) override {}
    void Refresh() override {}

    // /default is carried out after the run, for the chosen printers whether new or not: the
    // run itself asks only when it installed the first models. Its line stays for the
    // scripts that read it.
    bool AskDefaultPrinter(int& setDefaultRequested) override
    {
        setDefaultRequested = 0;
        log.Line(
            Say(Words::LogStep, Text(options.makeDefault ? Words::QuietMakeDefault : Words::QuietDefaultUnchanged)));
        return true;
    }
    void ShowCompletion() override {}
    void ShowListAfterStop() override {}
    void EndProgram() override {}
    void PauseToShow(platform::Dword) override {}

    bool AskToPlugIn() override
    {
        log.Line(Say(Words::LogStep, Text(Words::QuietUsbNotFound)));
        return true;
    }
    void OpenSearch() override { log.Line(Say(Words::LogStep, Text(Words::QuietUsbSearch))); }
    void SetSearchPos(int) override {}
    void CloseSearch() override {}

private:
    platform::Platform& platform;
    RunLog& log;
    const QuietOptions& options;
    std::string port;
};

ExitCode CodeOf(const RunOutcome& outcome, ExitCode earlier)
{
    switch (outcome.ending) {
    case RunEnding::UsbPrinterNotFound: return ExitCode::UsbPrinterNotFound;
    case RunEnding::FamilyNotDetected:
    case RunEnding::FamilyNotSupported:
    case RunEnding::ProcessorNotSupported: return ExitCode::WindowsNotSupported;
    case RunEnding::DriverNotRegistered: return ExitCode::DriverNotRegistered;
    case RunEnding::PrinterNotCreated: return ExitCode::PrinterNotCreated;
    case RunEnding::NothingChosen:
    case RunEnding::Cancelled: return ExitCode::OtherFailure;
    case RunEnding::Completed: break;
    }
    if (earlier != ExitCode::Installed) return earlier;
    switch (outcome.setback) {
    case RunSetback::None: return ExitCode::Installed;
    case RunSetback::NetworkPort: return ExitCode::NetworkPortNotWritten;
    case RunSetback::UsbPortNumber:
    case RunSetback::PrinterPort:
    case RunSetback::PrinterSettings:
    case RunSetback::CommandStopped: return ExitCode::OtherFailure;
    }
    return ExitCode::OtherFailure;
}

// Why a run stopped without a message of its own, for the log.
const char* SilentEnding(RunEnding ending)
{
    switch (ending) {
    case RunEnding::FamilyNotDetected: return Text(Words::QuietFamilyUnknown);
    case RunEnding::ProcessorNotSupported: return Text(Words::QuietProcessorUnknown);
    default: return nullptr;
    }
}

// The machine held to the options without changing it: one log line per difference, after the
// installer folder's when `folderDiffers`.
ExitCode CheckMachine(platform::Platform& platform, const QuietOptions& options, const std::string& port, RunLog& log,
                      bool folderDiffers)
{
    const WantedPort wantedPort(platform, options, port);
    int differences = folderDiffers ? 1 : 0;
    if (ProtectedPrintModeOn(platform)) {
        log.Line(Say(Words::LogDifference, Text(Words::ProtectedPrintDifference)));
        ++differences;
    }
    return CheckChosenPrinters(platform, options, wantedPort, log, differences);
}

// false: the spooler is not running and cannot be started. One whose state cannot be read
// is tried all the same, and noted.
bool SpoolerStarted(platform::Platform& platform, QuietScreen& screen, RunLog& log)
{
    log.Line(Say(Words::LogStep, Text(Words::QuietPrintSpooler)));
    switch (CheckSpooler(platform, screen)) {
    case SpoolerCheck::NotStarted: return false;
    case SpoolerCheck::QueryFailed: screen.Note(ExitCode::SpoolerNotAvailable); break;
    case SpoolerCheck::Running: break;
    }
    return true;
}

// The port must be one the interface dialog would offer; without /port, its first. An empty
// port with the reason when the one asked for is not offered.
struct PortChoice {
    std::string port;
    std::string refused;
};

PortChoice ChoosePort(platform::Platform& platform, const QuietOptions& options)
{
    const std::vector<std::string> ports = InterfacePortNames(platform, options.printerInterface);
    if (options.port.empty()) return {FirstListedPort(ports), {}};
    std::string port;
    for (const std::string& name : ports)
        if (SameWordNoCase(name, options.port)) port = name;
    if (!port.empty()) return {port, {}};
    std::string offered;
    for (const std::string& name : ports) offered += (offered.empty() ? "" : ", ") + name;
    return {{},
            Say(Words::QuietNoSuchPort, InQuotes(options.port), InterfaceWord(options.printerInterface),
                offered.empty() ? Text(Words::QuietNone) : offered)};
}

// Marks the rows that have a printer and those chosen; the number the run counts as checked.
int MarkRows(platform::Platform& platform, RowState& rows, const QuietOptions& options, const NameTable& table,
             int rowsShown, QuietScreen& screen, RunLog& log)
{
    rows.rowCount = kModelCount;
    for (int& flag : rows.rowInstalled) flag = 0;
    for (int& flag : rows.rowSelected) flag = 0;

    log.Line(Say(Words::LogStep, Text(Words::QuietExistingPrinters)));
    const auto existing = FindInstalledRows(platform, table, rowsShown, screen);
    if (!existing) screen.Note(ExitCode::SpoolerNotAvailable);
    int checkedRows = 0;
    if (existing) {
        for (const int row : *existing) {
            if (rows.rowInstalled[row] == 0) ++checkedRows;
            rows.rowInstalled[row] = 1;
        }
    }
    const auto choose = [&](int row) {
        if (rows.rowInstalled[row] != 0 || rows.rowSelected[row] != 0) return;
        rows.rowSelected[row] = 1;
        ++checkedRows;
    };
    if (options.clones != 0) {
        for (int row = 0; row < options.clones; ++row) choose(row);
    } else {
        for (const int row : options.modelRows) choose(row);
    }
    return checkedRows;
}

// What the machine has now of what was chosen.
std::string PresentPrinters(platform::Platform& platform, const NameTable& table, int rowsShown, QuietScreen& screen)
{
    std::string present;
    if (const auto now = FindInstalledRows(platform, table, rowsShown, screen)) {
        bool listed[kRowFlagCount] = {};
        for (const int row : *now) listed[row] = true;
        for (int row = 0; row < rowsShown; ++row)
            if (listed[row]) present += (present.empty() ? "" : ", ") + InQuotes(table[row]);
    }
    return present.empty() ? std::string(Text(Words::QuietNone)) : present;
}

// Nothing in the installer folder is used before it is locked; a check only says whether it is,
// and counts it as a difference when not. The code to end with when the run may not go on.
std::optional<ExitCode> SecureInstallerFolder(platform::Platform& platform, const QuietOptions& options, RunLog& log,
                                              bool& folderDiffers)
{
    if (options.check) {
        const auto difference = InstallerFolderDifference(platform);
        folderDiffers = difference.has_value();
        if (difference) log.Line(Say(Words::LogDifference, *difference));
        return std::nullopt;
    }
    const FolderLock lock = LockInstallerFolder(platform);
    if (!lock.refused) {
        log.Line(Say(Words::LogStep, lock.text));
        return std::nullopt;
    }
    log.Lines(FolderRefusalText(lock.text, Text(Words::Installed)));
    return ExitCode::FolderNotLocked;
}

}  // namespace

namespace {

// What stops a run that may change the machine before it starts. A check changes nothing, so
// it neither waits for other runs nor keeps them waiting; nor does it start a stopped spooler,
// which then shows as printers that cannot be read.
std::optional<ExitCode> StartGuards(platform::Platform& platform, const QuietOptions& options, MachineWideRun& run,
                                    RunLog& log)
{
    if (options.check) return std::nullopt;
    if (ProtectedPrintModeOn(platform)) {
        log.Line(Say(Words::LogMessage, OneLine(Text(Words::ProtectedPrintMode))));
        return ExitCode::ProtectedPrintMode;
    }
    if (!run.Take(kQuietRunWait)) {
        log.Line(Say(Words::LogMessage, OneLine(Text(Words::AnotherRun))) + QuietRunWaitedText());
        return ExitCode::AnotherRunInProgress;
    }
    return std::nullopt;
}

}  // namespace

ExitCode RunQuietInstallation(platform::Platform& platform, ProcessState& state,
                              const std::vector<std::string>& arguments)
{
    const ReadOptions read = ReadQuietOptions(arguments);
    const QuietOptions& options = read.options;
    RunLog log(platform);
    // A log that was asked for and cannot be written: the deployment would have nothing to
    // read, so nothing is done.
    if (!options.logPath.empty() && !log.Open(options.logPath.c_str())) return ExitCode::BadArguments;
    const auto finish = [&log, &options](ExitCode code) {
        log.Line(ResultLine(code, options.check));
        return code;
    };

    const auto badArguments = [&](const std::string& why) {
        log.Line(Say(Words::LogBadArguments, why));
        log.Lines(UsageText());
        return finish(ExitCode::BadArguments);
    };
    if (!read.error.empty()) return badArguments(read.error);
    MachineWideRun machineWide(platform);
    if (const auto stopped = StartGuards(platform, options, machineWide, log)) return finish(*stopped);
    bool folderDiffers = false;
    if (const auto refused = SecureInstallerFolder(platform, options, log, folderDiffers)) return finish(*refused);
    QuietScreen screen(platform, log, options);
    if (!options.check && !SpoolerStarted(platform, screen, log)) return finish(ExitCode::SpoolerNotAvailable);

    const PortChoice chosenPort = ChoosePort(platform, options);
    if (!chosenPort.refused.empty()) return badArguments(chosenPort.refused);
    const std::string& port = chosenPort.port;
    screen.UsePort(port);
    if (options.check) return finish(CheckMachine(platform, options, port, log, folderDiffers));
    const bool cloneMode = options.clones != 0;
    const NameTable& table = cloneMode ? kCloneTable : kModelTable;
    const int rowsShown = cloneMode ? options.clones : kModelCount;
    const int checkedRows = MarkRows(platform, state.rows, options, table, rowsShown, screen, log);
    // A chosen printer of ours that is there is brought to what the options ask instead of being
    // passed over: deployment tools run the same command again and again.
    const ChosenPrinters chosen = SortChosen(platform, state.rows, options, table, rowsShown, log);
    const WantedPort wantedPort(platform, options, port);
    RunOutcome outcome;
    if (chosen.anyMissing || chosen.ours.empty()) {
        InstallationRun run(platform, state, screen);
        outcome = run.Run({cloneMode, options.clones, checkedRows});
        if (const char* silent = SilentEnding(outcome.ending)) log.Line(Say(Words::LogStep, silent));
    }
    if (outcome.ending == RunEnding::Completed)
        BringChosenToWhatIsAsked(platform, state.session, table, chosen, wantedPort, screen, options, log);

    // What the machine has now of what was chosen, whatever the ending.
    log.Line(Say(Words::LogPrinters, PresentPrinters(platform, table, rowsShown, screen)));
    return finish(CodeOf(outcome, screen.Noted()));
}

}  // namespace zenthar
