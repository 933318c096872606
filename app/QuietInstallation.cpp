#include "app/QuietInstallation.h"

#include <algorithm>

#include "app/StartupChecks.h"
#include "connection/NetworkPort.h"
#include "connection/PlatformDetection.h"
#include "core/FixedText.h"
#include "core/RunLog.h"
#include "install/DefaultPrinter.h"
#include "install/InstallationRun.h"
#include "install/NameTables.h"

namespace zenthar {

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
class QuietScreen final : public InstallationScreen {
public:
    QuietScreen(platform::Platform& platform, RunLog& log, const QuietOptions& options)
        : platform(platform), log(log), options(options)
    {
    }

    // The port the printers go on, once it is known to be one the interface offers.
    void UsePort(std::string chosen) { port = std::move(chosen); }

    void Show(const Notice& notice) const override
    {
        std::string line = "message: " + OneLine(notice.text);
        if (notice.caption) line += std::string(" (caption ") + notice.caption + ")";
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
        std::string line = std::string("step: interface ") + InterfaceWord(options.printerInterface) + ", port " + port;
        if (!options.address.empty()) line += ", address " + options.address;
        line += std::string(", code page ") + CodePageTable[options.codePageIndex].label;
        log.Line(line);
        // The address dialog's warning, given where the address is taken.
        if (NeedsAddress(options.printerInterface) && !TcpIpMonitorPresent(platform)) {
            Show(AppNotice(kTcpIpMonitorMissing));
            Note(ExitCode::NetworkPortNotWritten);
        }
        return true;
    }

    void ShowStep(const char* text, int) override { log.Line(std::string("step: ") + text); }
    void ShowPosition(int) override {}
    void Refresh() override {}

    // /default is carried out after the run, for the chosen printers whether new or not: the
    // run itself asks only when it installed the first models.
    bool AskDefaultPrinter(int& setDefaultRequested) override
    {
        setDefaultRequested = 0;
        return true;
    }
    void ShowCompletion() override {}
    void ShowListAfterStop() override {}
    void EndProgram() override {}
    void PauseToShow(platform::Dword) override {}

    bool AskToPlugIn() override
    {
        log.Line("step: USB printer not found at once: searching for it");
        return true;
    }
    void OpenSearch() override { log.Line("step: USB port search"); }
    void SetSearchPos(int) override {}
    void CloseSearch() override {}

    // The first failure that did not stop the run keeps its code.
    void Note(ExitCode code)
    {
        if (noted == ExitCode::Installed) noted = code;
    }
    ExitCode Noted() const { return noted; }

private:
    platform::Platform& platform;
    RunLog& log;
    const QuietOptions& options;
    std::string port;
    ExitCode noted = ExitCode::Installed;
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
    case RunEnding::FamilyNotDetected: return "step: the Windows version could not be determined: nothing installed";
    case RunEnding::ProcessorNotSupported: return "step: the processor is not one the driver package supports: nothing installed";
    default: return nullptr;
    }
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
    if (!options.logPath.empty() && log.Open(options.logPath.c_str()) != 0) return ExitCode::BadArguments;
    const auto finish = [&log](ExitCode code) {
        log.Line("result: " + std::to_string(static_cast<int>(code)) + " " + ExitCodeMeaning(code));
        return code;
    };

    const auto badArguments = [&](const std::string& why) {
        log.Line("bad arguments: " + why);
        log.Lines(UsageText());
        return finish(ExitCode::BadArguments);
    };
    if (!read.error.empty()) return badArguments(read.error);

    QuietScreen screen(platform, log, options);
    log.Line("step: print spooler");
    switch (CheckSpooler(platform, screen)) {
    case SpoolerCheck::NotStarted: return finish(ExitCode::SpoolerNotAvailable);
    case SpoolerCheck::QueryFailed: screen.Note(ExitCode::SpoolerNotAvailable); break;
    case SpoolerCheck::Running: break;
    }

    // The port must be one the interface dialog would offer; without /port, its first.
    const std::vector<std::string> ports = InterfacePortNames(platform, options.printerInterface);
    std::string port = FirstListedPort(ports);
    if (!options.port.empty()) {
        port.clear();
        for (const std::string& name : ports)
            if (SameWordNoCase(name, options.port)) port = name;
        if (port.empty()) {
            std::string offered;
            for (const std::string& name : ports) offered += (offered.empty() ? "" : ", ") + name;
            return badArguments("no port " + InQuotes(options.port) + " for " + InterfaceWord(options.printerInterface) +
                                " (ports: " + (offered.empty() ? "none" : offered) + ")");
        }
    }
    screen.UsePort(port);

    const bool cloneMode = options.clones != 0;
    const NameTable& table = cloneMode ? kCloneTable : kModelTable;
    const int rowsShown = cloneMode ? options.clones : kModelCount;
    auto& rows = state.rows;
    rows.rowCount = kModelCount;
    for (int& flag : rows.rowInstalled) flag = 0;
    for (int& flag : rows.rowSelected) flag = 0;

    log.Line("step: existing printers");
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
    if (cloneMode) {
        for (int row = 0; row < options.clones; ++row) choose(row);
    } else {
        for (const int row : options.modelRows) choose(row);
    }
    for (int row = 0; row < rowsShown; ++row)
        if (rows.rowInstalled[row]) log.Line(std::string("step: exists already, passed over: ") + table[row]);

    InstallationRun run(platform, state, screen);
    const RunOutcome outcome = run.Run({cloneMode, options.clones, checkedRows});
    if (const char* silent = SilentEnding(outcome.ending)) log.Line(silent);
    if (outcome.ending == RunEnding::Completed) {
        if (!options.makeDefault) {
            log.Line("step: default printer: unchanged");
        } else {
            const int lastChosen =
                cloneMode ? options.clones - 1 : *std::max_element(options.modelRows.begin(), options.modelRows.end());
            const DefaultPrinterResult made = MakeDefaultPrinter(platform, table[lastChosen]);
            if (made.set) {
                log.Line("step: default printer: " + InQuotes(table[lastChosen]));
            } else {
                log.Line("default printer not set: " + InQuotes(table[lastChosen]) + ": " + made.failure);
                screen.Note(ExitCode::OtherFailure);
            }
        }
    }

    // What the machine has now of what was chosen, whatever the ending.
    std::string present;
    if (const auto now = FindInstalledRows(platform, table, rowsShown, screen)) {
        bool listed[kRowFlagCount] = {};
        for (const int row : *now) listed[row] = true;
        for (int row = 0; row < rowsShown; ++row)
            if (listed[row]) present += (present.empty() ? "" : ", ") + InQuotes(table[row]);
    }
    log.Line("printers: " + (present.empty() ? std::string("none") : present));
    return finish(CodeOf(outcome, screen.Noted()));
}

}  // namespace zenthar
