#include "app/QuietInstallation.h"

#include <cctype>
#include <cstdio>
#include <optional>

#include "app/StartupChecks.h"
#include "connection/IpAddressDialog.h"
#include "connection/NetworkPort.h"
#include "connection/PlatformDetection.h"
#include "core/CommandLine.h"
#include "core/FixedText.h"
#include "core/RunLog.h"
#include "install/InstallationRun.h"
#include "install/NameTables.h"

namespace zenthar {

namespace {

constexpr int kMaxClones = kCloneCount;

struct ExitCodeText {
    ExitCode code;
    const char* meaning;
};

constexpr ExitCodeText kExitCodes[] = {
    {ExitCode::Installed, "installed (or everything chosen existed already)"},
    {ExitCode::BadArguments, "bad arguments"},
    {ExitCode::WindowsNotSupported, "Windows version not supported"},
    {ExitCode::SpoolerNotAvailable, "spooler not available"},
    {ExitCode::UsbPrinterNotFound, "USB printer not found"},
    {ExitCode::NetworkPortNotWritten, "network port could not be written"},
    {ExitCode::DriverNotRegistered, "driver registration failed"},
    {ExitCode::PrinterNotCreated, "printer creation failed"},
    {ExitCode::OtherFailure, "another failure, named in the log"},
};

bool SameNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// A whole decimal number of at most nine digits; nullopt for anything else.
std::optional<int> WholeNumber(std::string_view text)
{
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

std::string ModelList()
{
    std::string list;
    for (int i = 0; i < kModelCount; ++i) list += (i ? ", " : "") + Quoted(kModelTable[i]);
    return list;
}

std::string InterfaceList()
{
    std::string list;
    for (int i = 0; i < kInterfaceCount; ++i) list += std::string(i ? ", " : "") + InterfaceWord(static_cast<PrinterInterface>(i));
    return list;
}

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

    bool AskDefaultPrinter(int& setDefaultRequested) override
    {
        setDefaultRequested = options.makeDefault ? 1 : 0;
        log.Line(options.makeDefault ? "step: default printer: the last printer installed" : "step: default printer: unchanged");
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
    case RunSetback::PrinterSettings: return ExitCode::OtherFailure;
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

class Finisher {
public:
    explicit Finisher(RunLog& log) : log(log) {}
    ExitCode operator()(ExitCode code) const
    {
        char line[128];
        FormatText(line, "result: %d %s", static_cast<int>(code), ExitCodeMeaning(code));
        log.Line(TextOf(line));
        return code;
    }

private:
    RunLog& log;
};

}  // namespace

const char* ExitCodeMeaning(ExitCode code)
{
    for (const ExitCodeText& each : kExitCodes)
        if (each.code == code) return each.meaning;
    return "";
}

bool AsksQuiet(const std::vector<std::string>& arguments)
{
    for (const std::string& argument : arguments)
        if (OptionName(argument) == "quiet") return true;
    return false;
}

bool AsksUsage(const std::vector<std::string>& arguments)
{
    return arguments.size() == 1 && OptionName(arguments[0]) == "?";
}

std::string UsageText()
{
    std::string text =
        "Usage: zenthar.exe /quiet WHAT [WHERE] [/codepage N] [/default] [/log PATH]\n"
        "Installs without windows; options are case-insensitive and start with / or -.\n"
        "WHAT:\n"
        "  /model NAME        one of " + ModelList() + "; may be given more than once\n"
        "  /clones N          N numbered printers \"NORVA Orbix #1\" and up, N from 1 to 200\n"
        "WHERE (default: usb):\n"
        "  /interface KIND    one of " + InterfaceList() + "\n"
        "  /port NAME         for serial, bluetooth and parallel: a port such as COM3: or LPT1:\n"
        "                     (default: the first port the interface dialog shows)\n"
        "  /address A.B.C.D   for ethernet and wifi (required there)\n"
        "  /codepage N        the printer's code page (default 1252), one of:\n"
        "                    ";
    for (const CodePageEntry& entry : CodePageTable) text += " " + std::to_string(entry.codePage);
    text += "\n"
            "  /default           make the last printer installed the default printer\n"
            "  /log PATH          write each step, message and the result to PATH\n"
            "Exit codes:\n";
    for (const ExitCodeText& each : kExitCodes)
        text += "  " + std::to_string(static_cast<int>(each.code)) + "  " + each.meaning + "\n";
    return text;
}

ReadOptions ReadQuietOptions(const std::vector<std::string>& arguments)
{
    ReadOptions read;
    QuietOptions& options = read.options;
    std::vector<std::string> seen;
    const auto fail = [&read](std::string why) {
        if (read.error.empty()) read.error = std::move(why);
    };

    const auto takesValue = [](const std::string& name) {
        return name == "model" || name == "clones" || name == "interface" || name == "port" || name == "address" ||
               name == "codepage" || name == "log";
    };
    const auto known = [&](const std::string& name) { return takesValue(name) || name == "quiet" || name == "default"; };

    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::string& word = arguments[at];
        const std::string name = OptionName(word);
        if (name.empty()) {
            fail("not an option: " + Quoted(word));
            continue;
        }
        if (!known(name)) {
            fail("unknown option: " + word);
            continue;
        }
        if (name != "model") {
            for (const std::string& earlier : seen)
                if (earlier == name) fail("given twice: /" + name);
            seen.push_back(name);
        }
        if (!takesValue(name)) {
            if (name == "default") options.makeDefault = true;
            continue;
        }
        // An option where the value should be means the value was left out.
        if (at + 1 >= arguments.size() || known(OptionName(arguments[at + 1]))) {
            fail("/" + name + " needs a value");
            continue;
        }
        const std::string& value = arguments[++at];

        if (name == "model") {
            int row = -1;
            for (int i = 0; i < kModelCount; ++i)
                if (SameNoCase(value, kModelTable[i])) row = i;
            if (row < 0) {
                fail("not a model: " + Quoted(value) + " (one of " + ModelList() + ")");
            } else {
                options.modelRows.push_back(row);
            }
        } else if (name == "clones") {
            const auto clones = WholeNumber(value);
            if (!clones || *clones < 1 || *clones > kMaxClones) {
                fail("/clones takes a number from 1 to 200, not " + Quoted(value));
            } else {
                options.clones = *clones;
            }
        } else if (name == "interface") {
            const auto chosen = InterfaceOfWord(value);
            if (!chosen) {
                fail("not an interface: " + Quoted(value) + " (one of " + InterfaceList() + ")");
            } else {
                options.printerInterface = *chosen;
            }
        } else if (name == "port") {
            options.port = value;
        } else if (name == "address") {
            const std::uint32_t address = ParseDottedAddress(value.c_str());
            if (address == 0xFFFFFFFF && value != "255.255.255.255") {
                fail("not an address A.B.C.D: " + Quoted(value));
            } else {
                char text[kAddressTextSize];
                FormatText(text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF, (address >> 8) & 0xFF,
                           address & 0xFF);
                options.address = std::string(TextOf(text));
            }
        } else if (name == "codepage") {
            const auto number = WholeNumber(value);
            const int index = number ? CodePageIndexOf(static_cast<std::uint32_t>(*number)) : -1;
            if (index < 0) {
                fail("not a code page of the table: " + Quoted(value));
            } else {
                options.codePageIndex = index;
            }
        } else {
            options.logPath = value;
        }
    }

    if (options.modelRows.empty() && options.clones == 0) fail("nothing to install: give /model or /clones");
    if (!options.modelRows.empty() && options.clones != 0) fail("/model and /clones cannot go together");
    const std::string interfaceName = InterfaceWord(options.printerInterface);
    if (!options.port.empty() && !ListsSpoolerPorts(options.printerInterface))
        fail("/port is for serial, bluetooth and parallel, not " + interfaceName);
    if (!options.address.empty() && !NeedsAddress(options.printerInterface))
        fail("/address is for ethernet and wifi, not " + interfaceName);
    if (options.address.empty() && NeedsAddress(options.printerInterface)) fail(interfaceName + " needs /address");
    return read;
}

ExitCode RunQuietInstallation(platform::Platform& platform, ProcessState& state,
                              const std::vector<std::string>& arguments)
{
    const ReadOptions read = ReadQuietOptions(arguments);
    const QuietOptions& options = read.options;
    RunLog log(platform);
    // A log that was asked for and cannot be written: the deployment would have nothing to
    // read, so nothing is done.
    if (!options.logPath.empty() && log.Open(options.logPath.c_str()) != 0) return ExitCode::BadArguments;
    const Finisher finish(log);

    const auto badArguments = [&](const std::string& why) {
        log.Line("bad arguments: " + why);
        std::string usage = UsageText();
        for (std::size_t start = 0; start < usage.size();) {
            const std::size_t end = usage.find('\n', start);
            log.Line(std::string_view(usage).substr(start, end - start));
            start = end == std::string::npos ? usage.size() : end + 1;
        }
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
            if (SameNoCase(name, options.port)) port = name;
        if (port.empty()) {
            std::string offered;
            for (const std::string& name : ports) offered += (offered.empty() ? "" : ", ") + name;
            return badArguments("no port " + Quoted(options.port) + " for " + InterfaceWord(options.printerInterface) +
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

    // What the machine has now of what was chosen, whatever the ending.
    std::string present;
    if (const auto now = FindInstalledRows(platform, table, rowsShown, screen)) {
        bool listed[kRowFlagCount] = {};
        for (const int row : *now) listed[row] = true;
        for (int row = 0; row < rowsShown; ++row)
            if (listed[row]) present += (present.empty() ? "" : ", ") + Quoted(table[row]);
    }
    log.Line("printers: " + (present.empty() ? std::string("none") : present));
    return finish(CodeOf(outcome, screen.Noted()));
}

}  // namespace zenthar
