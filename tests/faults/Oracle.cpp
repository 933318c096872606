// How a run with a failing call must end: a table from the failing function to the endings
// it may have, each as the message boxes shown (in order) and how the run ended.
#include <algorithm>
#include <regex>

#include "FaultMatrix.h"

namespace zenthar::testing::faults {
namespace {

// Every message box the program can show, in its own form. %d stands for a number, %s for
// a text; "zenthar" is the application's title.
struct KnownMessage {
    const char* token;
    const char* text;
    const char* caption;
    const char* icon;
    const char* owner;
};

const KnownMessage kKnownMessages[] = {
    {"ScmFailed", "OpenSCManager() failed !!! ErrorCode=%d", "zenthar", "exclamation", "102"},
    {"ServiceFailed", "OpenService() failed !!! ErrorCode=%d", "zenthar", "exclamation", "102"},
    {"QueryFailed", "QueryServiceStatus() failed !!! ErrorCode=%d", "zenthar", "exclamation", "102"},
    {"SpoolerStopped", "Print Spooler is stopped !!!.\nPlease reinstall the printer driver\nafter spooler starts",
     "zenthar", "exclamation", "102"},
    {"EnumFailed", "EnumPrinters() failed", "EnumPrinters() Error", "none", "102"},
    {"PleaseSelect", "Please, select printer driver to install !!!", "zenthar", "none", "102"},
    {"InstallCanceled", "Install Canceled", "zenthar", "none", "102"},
    {"UsbSearchFailed", "USB Port Search Failed", "zenthar", "none", "102"},
    {"PortNumberUnreadable", "Fail to Read USB Port Number", "RegQueryValueEx", "none", "102"},
    {"TcpIpMissing", "Standard TCP/IP Port not installed\nPlease Install Standard TCP/IP Port", "zenthar",
     "exclamation", "143"},
    {"TcpValuePortNumber", "Fail to Write PortNumber GetLastError=%d", "zenthar", "exclamation", "102"},
    {"TcpValueProtocol", "Fail to Write Protocol GetLastError=%d", "RegQueryValueEx", "none", "102"},
    {"TcpValueSnmpEnabled", "Fail to Read SNMP Enabled GetLastError=%d", "RegQueryValueEx", "none", "102"},
    {"TcpValueSnmpIndex", "Fail to Write SNMP Index GetLastError=%d", "RegQueryValueEx", "none", "102"},
    {"TcpValueVersion", "Fail to Write Version GetLastError=%d", "RegQueryValueEx", "none", "102"},
    {"TcpValueHostName", "Fail to Write HostName GetLastError=%d", "RegQueryValueEx", "none", "102"},
    {"TcpValueHwAddress", "Fail to Write HWAddress GetLastError=%d", "RegQueryValueEx", "none", "102"},
    {"TcpValueIpAddress", "Fail to Write IPAddress GetLastError=%d", "RegQueryValueEx", "none", "102"},
    {"TcpValueCommunity", "Fail to Write SNMP Community GetLastError=%d", "RegQueryValueEx", "none", "102"},
    {"Unsupported", "Windows %s not Supported !!!", "ERROR", "none", "102"},
    {"AddDriverFailed", "Failure to AddPrinterDriver() GetLastError()=%d", "zenthar", "none", "102"},
    {"AddPrinterFailed", "Failure to AddPrinter GetLastError()=%d", "zenthar", "none", "102"},
    {"Forcibly",
     "Forcibly set to COM1: port.\nafter you install the driver, change the port in the printer's properties.",
     "zenthar", "none", "102"},
    {"OpenPrinterFailed", "Failure to OpenPrinter GetLastError()=%d Printer Name=%s", "zenthar", "none", "102"},
    {"DeletePpFailed", "Failure to DeletePrintProcessorFile GetLastError()=%d", "zenthar", "exclamation", "102"},
};

std::string EscapeRegex(const std::string& text)
{
    static const std::string kSpecial = R"(\^$.|?*+()[]{})";
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += R"(\\n)";  // the transcript spells a line break as backslash-n
            continue;
        }
        if (kSpecial.find(c) != std::string::npos) out += '\\';
        out += c;
    }
    return out;
}

struct CompiledMessage {
    const KnownMessage* known;
    std::regex line;
    bool hasNumber;
};

const std::vector<CompiledMessage>& CompiledMessages()
{
    static const std::vector<CompiledMessage> compiled = [] {
        std::vector<CompiledMessage> all;
        for (const auto& known : kKnownMessages) {
            std::string text = EscapeRegex(known.text);
            const bool hasNumber = text.find("%d") != std::string::npos;
            text = std::regex_replace(text, std::regex("%d"), "(-?[0-9]+)");
            text = std::regex_replace(text, std::regex("%s"), ".*");
            const std::string line = "message \"" + text + "\" caption \"" + EscapeRegex(known.caption) +
                                     "\" icon " + known.icon + " owner " + known.owner;
            all.push_back({&known, std::regex(line), hasNumber});
        }
        return all;
    }();
    return compiled;
}

bool IsMessage(const std::string& line)
{
    return line.rfind("message ", 0) == 0;
}

// A message line as a token: its name, and ":number" when it carries one. Empty when the
// program does not know the message, or shows it in another form.
std::string Token(const std::string& line)
{
    for (const auto& each : CompiledMessages()) {
        std::smatch match;
        if (!std::regex_match(line, match, each.line)) continue;
        std::string token = each.known->token;
        if (each.hasNumber) token += ":" + match[1].str();
        return token;
    }
    return {};
}

std::vector<std::string> StatusLines(const std::vector<std::string>& transcript)
{
    std::vector<std::string> lines;
    for (const auto& line : transcript)
        if (line.rfind("status ", 0) == 0) lines.push_back(line);
    return lines;
}

// One way a run with a fault may end. `messages` is a pattern over the tokens of the new
// message boxes, each followed by a space: "$e" is the injected error, "#" any number.
struct Outcome {
    std::string messages;
    Ending ending = Ending::Completed;
    bool sameTranscript = false;  // nothing visible changes
};

Outcome Same()
{
    return {"", Ending::Completed, true};
}

Outcome Shows(std::string messages, Ending ending = Ending::Completed)
{
    return {std::move(messages), ending, false};
}

// The run stops after the driver or printer registration failed, with the print
// processor's files reported as they could not be deleted; the list is then scanned again,
// which a spooler that is down reports.
Outcome RegistrationFails(const std::string& error)
{
    return Shows("(Forcibly )*AddDriverFailed:" + error + " (DeletePpFailed:# ){0,2}(EnumFailed )?", Ending::Stopped);
}

Outcome CreationFails(const std::string& error)
{
    return Shows("(Forcibly )*AddPrinterFailed:" + error + " (DeletePpFailed:# ){0,2}(EnumFailed )?", Ending::Stopped);
}

using Outcomes = std::vector<Outcome>;

// A file, folder, monitor or port that went missing shows, if at all, later: as a printer
// moved to COM1:, or as a registration that fails.
Outcomes GapsShowLater()
{
    return {Same(), Shows(""), Shows("(Forcibly )+"), RegistrationFails("#"), CreationFails("#")};
}

// The channel to the USB printer: a write that fails keeps its burst going for half a second
// (its pauses show), and nothing is reported.
const Outcomes kChannel = {Same(), Shows("")};

const Outcomes kSpoolerStopped = {Shows("SpoolerStopped (PleaseSelect )?", Ending::Stopped),
                                  Shows("SpoolerStopped ")};

// Finding the USB printer: a probe that fails leads to the warning and the search, which
// either finds the printer at a later probe or gives up.
const Outcomes kUsbDiscovery = {Same(), Shows(""), Shows("UsbSearchFailed ", Ending::ProgramEnded)};

struct Rule {
    const char* function;
    platform::Dword error;    // 0: any
    unsigned occurrence;      // 0: any
    std::optional<Mode> mode;  // none: both
    Outcomes outcomes;
};

// The first rule that fits the fault decides.
const std::vector<Rule>& Rules()
{
    static const std::vector<Rule> rules = {
        // The start-up check of the spooler: a failed query is reported and the dialog goes
        // on; a failed start empties the dialog.
        {"OpenSCManagerA", 0, 1, {}, {Shows("ScmFailed:$e ")}},
        {"OpenServiceA", 0, 1, {}, {Shows("ServiceFailed:$e ")}},
        {"QueryServiceStatus", 0, 1, {}, {Shows("QueryFailed:$e ")}},
        {"OpenSCManagerA", 0, 0, {}, kSpoolerStopped},
        {"OpenServiceA", 0, 0, {}, kSpoolerStopped},
        {"QueryServiceStatus", 0, 0, {}, kSpoolerStopped},
        {"StartServiceA", platform::ERROR_SERVICE_ALREADY_RUNNING, 0, {}, {Same()}},
        {"StartServiceA", 0, 0, {}, kSpoolerStopped},
        {"CloseServiceHandle", 0, 0, {}, {Same()}},

        // The scan of existing printers reports each failed enumeration; the sizing call's
        // "buffer too small" is its normal answer.
        {"EnumPrintersA", platform::ERROR_INSUFFICIENT_BUFFER, 0, Mode::Once, {Shows("(EnumFailed )?")}},
        {"EnumPrintersA", 0, 0, Mode::Once, {Shows("EnumFailed ")}},
        {"EnumPrintersA", 0, 0, Mode::FromThereOn, {Shows("(EnumFailed )*")}},

        // Detection: a refused extended record is asked again in the basic form; without any
        // version the family stays unknown and the run stops without a word.
        {"GetVersionExA", 0, 1, Mode::FromThereOn, {Shows("", Ending::Stopped)}},
        {"GetVersionExA", 0, 0, {}, {Same()}},
        // Without the run-time lookups the program falls back (processor information,
        // redirection, the default-printer export by name): other files, the same run.
        {"GetModuleHandleA", 0, 0, {}, GapsShowLater()},
        {"GetModuleHandleW", 0, 0, {}, GapsShowLater()},
        {"GetProcAddress", 0, 0, {}, GapsShowLater()},
        {"Wow64DisableWow64FsRedirection", 0, 0, {}, GapsShowLater()},
        {"LoadLibraryA", 0, 0, {}, {Same(), Shows("")}},
        {"FreeLibrary", 0, 0, {}, {Same()}},

        // The port list: without spooler ports a COM or LPT run has no port, and the printer
        // is moved to COM1:.
        {"EnumPortsA", 0, 0, {}, GapsShowLater()},

        // USB discovery and the channel.
        {"SetupDiGetClassDevsA", 0, 0, {}, kUsbDiscovery},
        {"SetupDiEnumDeviceInterfaces", 0, 0, {}, kUsbDiscovery},
        {"SetupDiGetDeviceInterfaceDetailA", 0, 0, {}, kUsbDiscovery},
        {"SetupDiDestroyDeviceInfoList", 0, 0, {}, {Same()}},
        {"CreateFileA", 0, 0, {}, kUsbDiscovery},
        {"RegQueryValueExA", 0, 0, {}, {Shows("PortNumberUnreadable ")}},
        {"CreateEventA", 0, 0, {}, kChannel},
        {"ResetEvent", 0, 0, {}, kChannel},
        {"WriteFile", 0, 0, {}, kChannel},
        {"GetOverlappedResult", 0, 0, {}, kChannel},
        {"CancelIo", 0, 0, {}, kChannel},
        {"PurgeComm", 0, 0, {}, kChannel},
        // A handle whose closing failed stays open: the printer's trial handle then keeps the
        // device busy (opened without sharing), and the search goes on as if it were missing.
        {"CloseHandle", 0, 0, {}, {Same(), Shows(""), Shows("UsbSearchFailed ", Ending::ProgramEnded)}},

        // Registry: the address dialog's presence check warns; a port key or its values that
        // could not be written leave a port the spooler does not know; the uninstall entry
        // fails silently.
        {"RegOpenKeyExA", 0, 0, {}, {Same(), Shows("(TcpIpMissing )?(Forcibly )?")}},
        {"RegCreateKeyExA", 0, 0, {}, {Same(), Shows("(Forcibly )?")}},
        {"RegSetValueExA", 0, 0, {}, {Same(), Shows("(TcpValuePortNumber:$e )?(TcpValue[A-Za-z]+:$e )*(Forcibly )?")}},
        {"RegCloseKey", 0, 0, {}, {Same()}},

        // The service restart after the port was written: its results are not looked at, but
        // a spooler that did not come back fails what follows.
        {"GetEnvironmentVariableA", 0, 0, {}, GapsShowLater()},
        {"CreateProcessA", 0, 0, {}, GapsShowLater()},
        {"WaitForSingleObject", 0, 0, {}, GapsShowLater()},
        {"GetExitCodeProcess", 0, 0, {}, GapsShowLater()},

        // The port monitor and the driver files: nothing is reported at once.
        {"EnumMonitorsA", 0, 0, {}, {Same()}},
        {"AddMonitorA", 0, 0, {}, GapsShowLater()},
        {"SetCurrentDirectoryA", 0, 0, {}, GapsShowLater()},
        {"GetCurrentDirectoryA", 0, 0, {}, GapsShowLater()},
        {"GetSystemDirectoryA", 0, 0, {}, GapsShowLater()},
        {"CreateDirectoryA", 0, 0, {}, GapsShowLater()},
        {"CopyFileA", 0, 0, {}, GapsShowLater()},
        {"GetPrinterDriverDirectoryA", 0, 0, {}, GapsShowLater()},

        // Registration and creation.
        {"AddPrinterDriverA", platform::ERROR_MOD_NOT_FOUND, 0, Mode::Once, {Same()}},
        {"AddPrinterDriverA", 0, 0, {}, {RegistrationFails("$e")}},
        {"AddPrinterA", platform::ERROR_UNKNOWN_PORT, 0, Mode::Once, {Shows("Forcibly ")}},
        {"AddPrinterA", 0, 0, {}, {CreationFails("$e")}},
        {"ClosePrinter", 0, 0, {}, {Same()}},
        {"OpenPrinterA", 0, 0, Mode::Once, {Shows("OpenPrinterFailed:$e ")}},
        {"OpenPrinterA", 0, 0, Mode::FromThereOn, {Shows("(OpenPrinterFailed:$e )+")}},
        {"SetPrinterDataA", 0, 0, {}, {Same()}},
        {"SetDefaultPrinterA", 0, 0, {}, {Same()}},
    };
    return rules;
}

const Rule* FindRule(const Fault& fault)
{
    for (const Rule& rule : Rules()) {
        if (fault.function != rule.function) continue;
        if (rule.error != 0 && rule.error != fault.error) continue;
        if (rule.occurrence != 0 && rule.occurrence != fault.occurrence) continue;
        if (rule.mode && *rule.mode != fault.mode) continue;
        return &rule;
    }
    return nullptr;
}

std::string Expand(const std::string& pattern, platform::Dword error)
{
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern.compare(i, 2, "$e") == 0) {
            out += std::to_string(error);
            ++i;
        } else if (pattern[i] == '#') {
            out += "-?[0-9]+";
        } else {
            out += pattern[i];
        }
    }
    return out;
}

// Why `run` does not end as `outcome` says; empty when it does.
std::string Mismatch(const Outcome& outcome, const Fault& fault, const RunRecord& baseline, const RunRecord& run,
                     const std::string& tokens)
{
    if (outcome.sameTranscript)
        return run.transcript == baseline.transcript ? "" : "the run should have gone on unchanged";
    if (!std::regex_match(tokens, std::regex(Expand(outcome.messages, fault.error))))
        return "messages [" + tokens + "] where [" + outcome.messages + "] were due";
    if (run.ending != outcome.ending)
        return std::string("the run ") + EndingName(run.ending) + " where it should have " +
               EndingName(outcome.ending);
    if (outcome.ending == Ending::Completed) {
        if (StatusLines(run.transcript) != StatusLines(baseline.transcript))
            return "the completed run showed other steps than the run without the fault";
        for (const auto& made : baseline.made)
            if ((made.rfind("printer:", 0) == 0 || made.rfind("driver:", 0) == 0) && run.made.count(made) == 0)
                return "the completed run did not make " + made;
    }
    if (outcome.ending == Ending::Stopped && tokens.find("SpoolerStopped") == std::string::npos) {
        const bool noRow = tokens.find("PleaseSelect") != std::string::npos;
        if (run.installEnabled || run.exitEnabled != noRow)
            return std::string("a stopped run left Install ") + (run.installEnabled ? "enabled" : "disabled") +
                   " and Exit " + (run.exitEnabled ? "enabled" : "disabled");
    }
    return {};
}

}  // namespace

std::string CheckInvariants(const RunRecord& run)
{
    if (!run.misuses.empty()) return "platform misuse: " + run.misuses.front();
    if (!run.scriptErrors.empty()) return "script fault: " + run.scriptErrors.front();
    for (const auto& line : run.transcript)
        if (IsMessage(line) && Token(line).empty()) return "unknown message box: " + line;
    return {};
}

std::string Judge(const Scenario&, const Fault& fault, const RunRecord& baseline, const RunRecord& run)
{
    if (std::string broken = CheckInvariants(run); !broken.empty()) return broken;
    const Rule* rule = FindRule(fault);
    if (!rule) return "no rule for " + fault.function;

    // The message boxes the fault added: those after the point where the run departed
    // from the run without it. The baselines show none.
    std::string tokens;
    for (const auto& line : run.transcript)
        if (IsMessage(line)) tokens += Token(line) + " ";

    std::string why;
    for (const Outcome& outcome : rule->outcomes) {
        const std::string mismatch = Mismatch(outcome, fault, baseline, run, tokens);
        if (mismatch.empty()) return {};
        if (why.empty()) why = mismatch;
    }
    return why;
}

}  // namespace zenthar::testing::faults
