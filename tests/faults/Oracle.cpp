// How a run with a failing call must end. The site of the call (which step of the run made
// it) decides: the message boxes it shows, in their own form and in order, how the run ends,
// and what the machine holds afterwards, compared fact by fact with the run without the
// fault, less what the failure keeps from being made.
#include <algorithm>
#include <cctype>
#include <map>
#include <regex>
#include <sstream>

#include "FaultMatrix.h"
#include "resources/InstallerWords.h"

namespace zenthar::testing::faults {
namespace {

using resources::Text;
using resources::Words;

// Every message box the program can show, in its own form: its words from the installer's
// book, where %d stands for a number and %s for a text; "zenthar" is the application's title.
// The owner is the name of the dialog that owns the box ("none": the application's message
// box, or a box shown without an owner). Owners are kept here and nowhere else.
struct KnownMessage {
    const char* token;
    const char* text;
    const char* caption;
    const char* icon;
    const char* owner;
};

const KnownMessage kKnownMessages[] = {
    {"ScmFailed", Text(Words::ScmFailed), "zenthar", "exclamation", "main"},
    {"ServiceFailed", Text(Words::ServiceFailed), "zenthar", "exclamation", "main"},
    {"QueryFailed", Text(Words::QueryFailed), "zenthar", "exclamation", "main"},
    {"SpoolerStopped", Text(Words::SpoolerStopped), "zenthar", "exclamation", "main"},
    {"EnumFailed", Text(Words::EnumPrintersFailed), Text(Words::EnumPrintersCaption), "none", "main"},
    {"PleaseSelect", Text(Words::PleaseSelect), "zenthar", "none", "main"},
    {"InstallCanceled", Text(Words::InstallCanceled), "zenthar", "none", "main"},
    {"UsbSearchFailed", Text(Words::UsbSearchFailed), "zenthar", "none", "main"},
    {"PortNumberUnreadable", Text(Words::UsbPortNumberUnreadable), Text(Words::ValueFailureCaption), "none", "main"},
    {"TcpIpMissing", Text(Words::TcpIpMonitorMissing), "zenthar", "exclamation", "address"},
    {"TcpValuePortNumber", Text(Words::PortNumberWriteFailed), "zenthar", "exclamation", "main"},
    {"TcpValueProtocol", Text(Words::ProtocolWriteFailed), Text(Words::ValueFailureCaption), "none", "main"},
    {"TcpValueSnmpEnabled", Text(Words::SnmpEnabledReadFailed), Text(Words::ValueFailureCaption), "none", "main"},
    {"TcpValueSnmpIndex", Text(Words::SnmpIndexWriteFailed), Text(Words::ValueFailureCaption), "none", "main"},
    {"TcpValueVersion", Text(Words::VersionWriteFailed), Text(Words::ValueFailureCaption), "none", "main"},
    {"TcpValueHostName", Text(Words::HostNameWriteFailed), Text(Words::ValueFailureCaption), "none", "main"},
    {"TcpValueHwAddress", Text(Words::HwAddressWriteFailed), Text(Words::ValueFailureCaption), "none", "main"},
    {"TcpValueIpAddress", Text(Words::IpAddressWriteFailed), Text(Words::ValueFailureCaption), "none", "main"},
    {"TcpValueCommunity", Text(Words::CommunityWriteFailed), Text(Words::ValueFailureCaption), "none", "main"},
    {"UnsupportedNt351", Text(Words::Nt351NotSupported), Text(Words::ErrorCaption), "none", "main"},
    {"Unsupported95", Text(Words::Win95NotSupported), Text(Words::ErrorCaption), "none", "main"},
    {"Unsupported98", Text(Words::Win98NotSupported), Text(Words::ErrorCaption), "none", "main"},
    {"UnsupportedMe", Text(Words::WinMeNotSupported), Text(Words::ErrorCaption), "none", "main"},
    {"AddDriverFailed", Text(Words::AddDriverFailed), "zenthar", "none", "main"},
    {"AddPrinterFailed", Text(Words::AddPrinterFailed), "zenthar", "none", "main"},
    {"Forcibly", Text(Words::ForciblyCom1), "zenthar", "none", "main"},
    {"OpenPrinterFailed", Text(Words::OpenPrinterFailed), "zenthar", "none", "main"},
    {"DeletePpFailed", Text(Words::DeletePrintProcessorFailed), "zenthar", "exclamation", "main"},
};

// The port key's values in the order they are written, with the message each one's failure
// shows.
struct PortValue {
    const char* name;
    const char* failure;
};
const PortValue kPortValues[] = {
    {"PortNumber", "TcpValuePortNumber"}, {"Protocol", "TcpValueProtocol"},   {"SNMP Enabled", "TcpValueSnmpEnabled"},
    {"SNMP Index", "TcpValueSnmpIndex"},  {"Version", "TcpValueVersion"},     {"HostName", "TcpValueHostName"},
    {"HWAddress", "TcpValueHwAddress"},   {"IPAddress", "TcpValueIpAddress"}, {"SNMP Community", "TcpValueCommunity"},
};
const char* const kUninstallValues[] = {"DisplayName", "UninstallString"};

constexpr const char* kPortsKey = "SYSTEM\\CONTROLSET001\\CONTROL\\PRINT\\MONITORS\\STANDARD TCP/IP PORT\\PORTS\\";
constexpr const char* kUninstallKey =
    "SOFTWARE\\WOW6432NODE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\UNINSTALL\\NORVA ORBIX PRINTER 4.64";
constexpr const char* kMonitorName = "KVPOS Port Monitor";
constexpr const char* kMonitorPort = "USBPOS0";
constexpr const char* kFallbackPort = "COM1:";
// What deleting the old print processor's files gives on a machine that never had them.
constexpr platform::Dword kNoPrintProcessorFile = platform::ERROR_FILE_NOT_FOUND;

std::string Upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

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
};

const std::vector<CompiledMessage>& CompiledMessages()
{
    static const std::vector<CompiledMessage> compiled = [] {
        std::vector<CompiledMessage> all;
        for (const auto& known : kKnownMessages) {
            std::string text = EscapeRegex(known.text);
            text = std::regex_replace(text, std::regex("%d"), "(-?[0-9]+)");
            text = std::regex_replace(text, std::regex("%s"), "(.*)");
            const std::string line = "message \"" + text + "\" caption \"" + EscapeRegex(known.caption) + "\" icon " +
                                     known.icon + " owner " + known.owner;
            all.push_back({&known, std::regex(line)});
        }
        return all;
    }();
    return compiled;
}

bool IsMessage(const std::string& line)
{
    return line.rfind("message ", 0) == 0;
}

// A message line as a token: its name, then ":" and each number or text it carries. Empty
// when the program does not know the message, or shows it in another form.
std::string Token(const std::string& line)
{
    for (const auto& each : CompiledMessages()) {
        std::smatch match;
        if (!std::regex_match(line, match, each.line)) continue;
        std::string token = each.known->token;
        for (std::size_t i = 1; i < match.size(); ++i) token += ":" + match[i].str();
        return token;
    }
    return {};
}

std::vector<std::string> Tokens(const std::vector<std::string>& transcript)
{
    std::vector<std::string> tokens;
    for (const auto& line : transcript)
        if (IsMessage(line)) tokens.push_back(Token(line));
    return tokens;
}

std::string JoinTokens(const std::vector<std::string>& tokens)
{
    std::string text;
    for (const auto& token : tokens) text += (text.empty() ? "" : " ") + token;
    return "[" + text + "]";
}

std::vector<std::string> StatusLines(const std::vector<std::string>& transcript)
{
    std::vector<std::string> lines;
    for (const auto& line : transcript)
        if (line.rfind("status ", 0) == 0) lines.push_back(line);
    return lines;
}

std::vector<std::string> Without(const std::vector<std::string>& transcript, const std::string& prefix)
{
    std::vector<std::string> kept;
    for (const auto& line : transcript)
        if (line.rfind(prefix, 0) != 0) kept.push_back(line);
    return kept;
}

// ---- Where a call was made ------------------------------------------------------------------

enum class Phase {
    QueryService,  // the start-up query of the spooler
    StartService,  // its start
    Scan,          // the existing-printer scans of the main dialog
    Interface,     // the interface dialog and the address dialog
    UsbSearch,     // the probes of the USB printer and the channel's close
    NetworkPort,   // the port key, its values and the service restart
    Monitor,       // the port monitor check and installation
    Copy,          // the driver files
    Rows,          // registration, creation and settings, row by row
    Uninstall,     // the uninstall entry
    Default,       // the default printer
};

const char* PhaseName(Phase phase)
{
    switch (phase) {
    case Phase::QueryService: return "spooler query";
    case Phase::StartService: return "spooler start";
    case Phase::Scan: return "printer scan";
    case Phase::Interface: return "interface dialog";
    case Phase::UsbSearch: return "USB search";
    case Phase::NetworkPort: return "network port";
    case Phase::Monitor: return "port monitor";
    case Phase::Copy: return "driver files";
    case Phase::Rows: return "rows";
    case Phase::Uninstall: return "uninstall entry";
    case Phase::Default: return "default printer";
    }
    return "?";
}

struct Site {
    Phase phase = Phase::QueryService;
    unsigned nth = 0;  // the how-manieth call of its function within the phase
    int row = -1;      // Rows: the row worked on
    // A call that writes the installation record, and where its writing starts: such calls
    // open no step and are not counted among the step's own.
    bool record = false;
    std::size_t recordStart = 0;
};

// The record is written right after what it names, through a key of its own: a create that
// values follow at once. The uninstall entry, the only other key written so, is looked for
// first.
bool StartsRecordWrite(const std::vector<std::string>& calls, std::size_t i)
{
    return calls[i] == "RegCreateKeyExA" && i + 1 < calls.size() && calls[i + 1] == "RegSetValueExA" &&
           (i == 0 || calls[i - 1] != "RegOpenKeyExA");
}

// The site of every call of a run without faults, from the calls that open each step.
std::vector<Site> Sites(const std::vector<std::string>& calls)
{
    std::vector<Site> sites(calls.size());
    Phase phase = Phase::QueryService;
    int row = -1;
    unsigned managers = 0;
    std::map<std::string, unsigned> counts;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const std::string& call = calls[i];
        if (StartsRecordWrite(calls, i)) {
            const std::size_t start = i;
            for (; i < calls.size(); ++i) {
                sites[i] = Site{phase, 0, phase == Phase::Rows ? row : -1, true, start};
                if (calls[i] == "RegCloseKey") break;
            }
            continue;
        }
        Phase next = phase;
        if (call == "OpenSCManagerA" && ++managers == 2) next = Phase::StartService;
        if (call == "EnumPrintersA" && phase < Phase::Scan) next = Phase::Scan;
        if (call == "GetVersionExA" && phase < Phase::Interface) next = Phase::Interface;
        if (call == "LoadLibraryExA" && phase == Phase::Interface) next = Phase::UsbSearch;
        if (call == "RegCreateKeyExA" && phase == Phase::Interface) next = Phase::NetworkPort;
        if (call == "EnumMonitorsA" && phase < Phase::Monitor) next = Phase::Monitor;
        if (call == "GetPrinterDriverDirectoryA" && phase < Phase::Copy) next = Phase::Copy;
        if (call == "AddPrinterDriverA" && phase <= Phase::Rows) {
            next = Phase::Rows;
            ++row;
        }
        if (call == "RegOpenKeyExA" && phase == Phase::Rows) next = Phase::Uninstall;
        if (call == "LoadLibraryExA" && phase == Phase::Uninstall) next = Phase::Default;
        if (next != phase) counts.clear();
        phase = next;
        sites[i] = Site{phase, ++counts[call], phase == Phase::Rows ? row : -1};
    }
    return sites;
}

// ---- What a run may leave ---------------------------------------------------------------------

}  // namespace

const Machine& MachineBefore(const Scenario& scenario, std::size_t index)
{
    static std::map<std::string, RunRecord> baselines;
    static std::map<std::pair<std::string, std::size_t>, Machine> made;
    const auto key = std::make_pair(std::string(scenario.name), index);
    auto it = made.find(key);
    if (it != made.end()) return it->second;
    auto baseline = baselines.find(scenario.name);
    if (baseline == baselines.end())
        baseline = baselines.emplace(scenario.name, RunScenario(scenario, std::nullopt)).first;
    Machine machine = RunScenario(scenario, std::nullopt, index).machine;
    // What the debugger heard is no state: a run failing every call goes on and says more.
    const auto& calls = baseline->second.calls;
    const auto added = std::find(calls.begin(), calls.end(), "AddMonitorA");
    machine["debugger heard"] = added != calls.end() && static_cast<std::size_t>(added - calls.begin()) < index
                                    ? baseline->second.machine.at("debugger heard")
                                    : std::string();
    return made.emplace(key, std::move(machine)).first->second;
}

namespace {

const RunRecord& RunOnChangedMachine(const Scenario& scenario, const MachineChange& change)
{
    static std::vector<std::pair<std::pair<std::string, MachineChange>, RunRecord>> runs;
    for (const auto& [key, run] : runs)
        if (key.first == scenario.name && key.second == change) return run;
    runs.emplace_back(std::make_pair(std::string(scenario.name), change),
                      RunScenario(scenario, std::nullopt, std::nullopt, change));
    return runs.back().second;
}

std::string RowName(const Scenario& scenario, int row)
{
    return scenario.clone ? "NORVA Orbix #" + std::to_string(row + 1) : "NORVA MTR333";
}

std::string ScenarioPort(const Scenario& scenario)
{
    const std::string name = scenario.name;
    if (name == "Com") return "COM2:";
    if (name == "Lpt" || name == "Clones") return "LPT1:";
    return {};
}

using Edit = std::function<void(Machine&)>;

Edit Remove(std::string fact)
{
    return [fact = std::move(fact)](Machine& machine) { machine.erase(fact); };
}

Edit RemoveStartingWith(std::string prefix)
{
    return [prefix = std::move(prefix)](Machine& machine) {
        for (auto it = machine.begin(); it != machine.end();)
            it = it->first.rfind(prefix, 0) == 0 ? machine.erase(it) : std::next(it);
    };
}

// The printer as made, on another port.
Edit MovePrinter(std::string printer, std::string port)
{
    return [printer = std::move(printer), port = std::move(port)](Machine& machine) {
        const auto it = machine.find("printer:" + printer);
        if (it == machine.end()) return;
        const auto driver = it->second.find(" driver ");
        it->second = "port " + port + (driver == std::string::npos ? std::string() : it->second.substr(driver));
    };
}

Edit Set(std::string fact, std::string value)
{
    return [fact = std::move(fact), value = std::move(value)](Machine& machine) { machine[fact] = value; };
}

// The facts a call made, in the run without faults: what changed across it.
Edit Undo(const Scenario& scenario, std::size_t index)
{
    return [&scenario, index](Machine& machine) {
        const Machine& before = MachineBefore(scenario, index);
        const Machine& after = MachineBefore(scenario, index + 1);
        for (const auto& [fact, value] : after) {
            const auto was = before.find(fact);
            if (was != before.end() && was->second == value) continue;
            if (was == before.end()) {
                machine.erase(fact);
            } else {
                machine[fact] = was->second;
            }
        }
    };
}

// How the run must end, built call by call along the run without the fault.
struct Expectation {
    std::vector<std::string> messages;
    Ending ending = Ending::Completed;
    bool installEnabled = false;  // for a stopped run
    bool exitEnabled = false;
    std::optional<std::size_t> endsAt;  // the run makes nothing from this call on
    std::vector<Edit> edits;
    std::vector<Edit> editsIfStopped;  // what a completed run makes all the same
    std::vector<std::string> couldNotDo;
    enum class Look { Same, SamePolls, Changed } look = Look::Same;
    MachineChange change;  // judged against the run on a machine changed so
    bool changed = false;
    std::string unknownSite;
};

struct Walk {
    const Scenario& scenario;
    const Fault& fault;
    const std::vector<std::string>& calls;
    std::vector<Site> sites;
    Expectation expect;
    std::size_t skipUntil = 0;
    bool portUnknown = false;  // the printers' port is unknown to the spooler: COM1:, with a message
    bool driverFilesMissing = false;
    bool familyUnknown = false;
    bool spoolerDown = false;
    // The system directory stopped being known: the print processor's files cannot be named.
    platform::Dword systemDirectoryError = 0;
    // The current directory: the copies take their sources relative to it.
    enum class Folder { AtStart, Installer, Driver } cwd = Folder::AtStart;

    std::size_t FirstOf(Phase phase, std::size_t from) const
    {
        for (std::size_t i = from; i < sites.size(); ++i)
            if (sites[i].phase >= phase) return i;
        return sites.size();
    }

    void Say(std::string token)
    {
        expect.messages.push_back(std::move(token));
        expect.look = Expectation::Look::Changed;
    }

    void Stop(std::size_t index, std::vector<std::string> tokens)
    {
        for (auto& token : tokens) Say(std::move(token));
        expect.look = Expectation::Look::Changed;
        expect.ending = Ending::Stopped;
        expect.endsAt = index;
    }

    // The copies of the driver files that did not happen.
    void DriverFilesNotCopied(std::size_t from, bool onlyRelativeSources)
    {
        unsigned slot = 0;
        for (std::size_t j = from; j < calls.size() && sites[j].phase <= Phase::Copy; ++j) {
            if (sites[j].phase != Phase::Copy || calls[j] != "CopyFileA") continue;
            ++slot;
            if (onlyRelativeSources && IsSystemSourced(slot)) continue;
            (IsStdNamesCopy(j) ? expect.editsIfStopped : expect.edits).push_back(Undo(scenario, j));
        }
        driverFilesMissing = true;
    }

    // The scenarios run on 64-bit Windows 10: the universal driver's own files come from the
    // system's version folder by absolute path, the family's from the installer folder.
    static bool IsSystemSourced(unsigned slot) { return slot == 1 || slot == 2 || slot == 3 || slot == 6; }

    // The last copy puts the standard names file into the version folder; the registration
    // installs it there as well.
    bool IsStdNamesCopy(std::size_t index) const
    {
        for (std::size_t j = index + 1; j < calls.size() && sites[j].phase == Phase::Copy; ++j)
            if (calls[j] == "CopyFileA") return false;
        return true;
    }

    // Registration or creation failed: the old print processor's files are reported as they
    // cannot be deleted, and the run stops with both buttons disabled.
    void RegistrationFails(std::size_t index, const std::string& token)
    {
        const platform::Dword deleteError = systemDirectoryError != 0 ? systemDirectoryError : kNoPrintProcessorFile;
        std::vector<std::string> tokens{token, "DeletePpFailed:" + std::to_string(deleteError),
                                        "DeletePpFailed:" + std::to_string(deleteError)};
        // The stopped run scans the list again, which a spooler that is down reports.
        if (spoolerDown) tokens.push_back("EnumFailed");
        Stop(index, std::move(tokens));
    }

    void MonitorNotRegistered()
    {
        expect.edits.push_back(Remove(std::string("monitor:") + kMonitorName));
        expect.edits.push_back(Remove(std::string("port:") + kMonitorPort));
        expect.edits.push_back(Set("debugger heard", std::string(Text(Words::AddMonitorFailed)) + ";"));
        if (std::string(scenario.name) == "Usb") portUnknown = true;
    }

    void Unknown(std::size_t index)
    {
        if (expect.unknownSite.empty())
            expect.unknownSite = "no rule for " + calls[index] + " in the " + PhaseName(sites[index].phase) + " (#" +
                                 std::to_string(sites[index].nth) + ")";
    }

    // Where a change of directory of the run without faults leads.
    Folder FolderAfter(std::size_t index) const
    {
        if (sites[index].phase == Phase::Monitor) return Folder::Installer;
        return sites[index].nth == 2 ? Folder::Installer : Folder::Driver;
    }

    // The call being walked when it is made to fail.
    struct Failing {
        std::size_t i;
        const std::string& call;
        const Site& site;
        platform::Dword error;
        std::string e;  // the error number as the messages write it
        bool fromThereOn;
    };

    void Step(std::size_t i, bool fails);
    // A write of the installation record that failed.
    void RecordWriteFails(std::size_t i);
    // A driver enumeration, or a step that follows from an earlier failure, whether this call
    // fails or not: true when that decides the step.
    bool FollowsEarlierStep(std::size_t i, bool fails);
    // The failure of a call by the phase it is made in; false when no rule knows it.
    bool FailsIn(const Failing& failing);
    bool FailsInQueryService(const Failing& failing);
    bool FailsInStartService(const Failing& failing);
    bool FailsInScan(const Failing& failing);
    bool FailsInInterface(const Failing& failing);
    bool FailsInUsbSearch(const Failing& failing);
    bool FailsInNetworkPort(const Failing& failing);
    bool FailsInMonitor(const Failing& failing);
    bool FailsInCopy(const Failing& failing);
    bool FailsInRows(const Failing& failing);
    bool FailsInUninstall(const Failing& failing);
    bool FailsInDefault(const Failing& failing);
    void Run();
};

void Walk::Run()
{
    for (std::size_t i = 0; i < fault.callIndex; ++i)
        if (calls[i] == "SetCurrentDirectoryA") cwd = FolderAfter(i);
    const bool fromThereOn = fault.mode == Mode::FromThereOn;
    for (std::size_t i = fault.callIndex; i < calls.size() && !expect.endsAt; ++i) {
        if (i < skipUntil) continue;
        const bool fails = i == fault.callIndex || (fromThereOn && calls[i] == fault.function);
        Step(i, fails);
    }
    if (expect.ending == Ending::Stopped && !expect.endsAt) expect.endsAt = calls.size();
}

void Walk::Step(std::size_t i, bool fails)
{
    if (sites[i].record) {
        // A failed write leaves its things out of the record and changes nothing else.
        if (fails) RecordWriteFails(i);
        return;
    }
    if (FollowsEarlierStep(i, fails) || !fails) return;
    const Failing failing{
        i, calls[i], sites[i], fault.error, std::to_string(fault.error), fault.mode == Mode::FromThereOn};
    if (!FailsIn(failing)) Unknown(i);
}

void Walk::RecordWriteFails(std::size_t i)
{
    const std::string& call = calls[i];
    const Site& site = sites[i];
    if (call == "RegCreateKeyExA") {
        for (std::size_t j = i + 1; j < calls.size() && sites[j].record && sites[j].recordStart == site.recordStart;
             ++j)
            if (calls[j] == "RegSetValueExA") expect.edits.push_back(Undo(scenario, j));
    } else if (call == "RegSetValueExA") {
        expect.edits.push_back(Undo(scenario, i));
    }
}

bool Walk::FollowsEarlierStep(std::size_t i, bool fails)
{
    const std::string& call = calls[i];
    const Site& site = sites[i];
    const platform::Dword error = fault.error;
    if (call == "EnumPrinterDriversA") {
        // The drivers there before the run are unknown: none is recorded, as any may have been
        // there. A size call that only asks for a buffer is what the spooler answers anyway.
        if (fails && !(site.nth == 1 && error == platform::ERROR_INSUFFICIENT_BUFFER))
            expect.edits.push_back(RemoveStartingWith("record:Driver: "));
        return true;
    }

    // Steps that follow from an earlier failure, whether this call fails or not.
    if (familyUnknown && site.phase >= Phase::Monitor) {
        // No Windows family: the run stops at the family gate, without a word.
        Stop(i, {});
        return true;
    }
    if (spoolerDown && site.phase == Phase::Monitor && call == "AddMonitorA" && !fails) {
        MonitorNotRegistered();
        return true;
    }
    if (spoolerDown && site.phase == Phase::Copy && call == "GetPrinterDriverDirectoryA" && !fails) {
        DriverFilesNotCopied(i, false);
        skipUntil = FirstOf(Phase::Rows, i);
        return true;
    }
    if (call == "SetCurrentDirectoryA" && !fails) cwd = FolderAfter(i);
    if (cwd != Folder::Installer && site.phase == Phase::Copy && call == "CopyFileA") {
        DriverFilesNotCopied(i, true);
        skipUntil = FirstOf(Phase::Rows, i);
        return true;
    }
    if (site.phase == Phase::Rows && call == "AddPrinterDriverA" && (driverFilesMissing || spoolerDown) && !fails) {
        constexpr platform::Dword kRpcServerUnavailable = 1722;  // RPC_S_SERVER_UNAVAILABLE
        RegistrationFails(i, "AddDriverFailed:" +
                                 std::to_string(spoolerDown ? kRpcServerUnavailable : platform::ERROR_FILE_NOT_FOUND));
        return true;
    }
    if (site.phase == Phase::Rows && call == "AddPrinterA" && portUnknown && !fails) {
        Say("Forcibly");
        expect.edits.push_back(MovePrinter(RowName(scenario, site.row), kFallbackPort));
        return true;
    }
    return false;
}

bool Walk::FailsIn(const Failing& failing)
{
    switch (failing.site.phase) {
    case Phase::QueryService: return FailsInQueryService(failing);
    case Phase::StartService: return FailsInStartService(failing);
    case Phase::Scan: return FailsInScan(failing);
    case Phase::Interface: return FailsInInterface(failing);
    case Phase::UsbSearch: return FailsInUsbSearch(failing);
    case Phase::NetworkPort: return FailsInNetworkPort(failing);
    case Phase::Monitor: return FailsInMonitor(failing);
    case Phase::Copy: return FailsInCopy(failing);
    case Phase::Rows: return FailsInRows(failing);
    case Phase::Uninstall: return FailsInUninstall(failing);
    case Phase::Default: return FailsInDefault(failing);
    }
    return false;
}

bool Walk::FailsInQueryService(const Failing& failing)
{
    const auto& [i, call, site, error, e, fromThereOn] = failing;
    if (call == "OpenSCManagerA" || call == "OpenServiceA" || call == "QueryServiceStatus") {
        Say((call == "OpenSCManagerA" ? "ScmFailed:" : call == "OpenServiceA" ? "ServiceFailed:" : "QueryFailed:") + e);
        // A failed query is reported and the start step is skipped.
        skipUntil = FirstOf(Phase::Scan, i);
        return true;
    }
    if (call == "CloseServiceHandle") return true;
    return false;
}

bool Walk::FailsInStartService(const Failing& failing)
{
    const auto& [i, call, site, error, e, fromThereOn] = failing;
    if (call == "StartServiceA" && error == platform::ERROR_SERVICE_ALREADY_RUNNING) return true;
    if (call == "OpenSCManagerA" || call == "OpenServiceA" || call == "StartServiceA") {
        Say("SpoolerStopped");
        if (scenario.clone) {
            // The clone option fills the list anew, and the run goes on.
            return true;
        }
        // The list stays empty; Install keeps its template state (enabled) and finds no
        // row chosen.
        Stop(i, {"PleaseSelect"});
        expect.exitEnabled = true;
        expect.couldNotDo = {"row 0: not listed"};
        return true;
    }
    if (call == "CloseServiceHandle") return true;  // the already-running answer reads no status
    return false;
}

bool Walk::FailsInScan(const Failing& failing)
{
    const auto& [i, call, site, error, e, fromThereOn] = failing;
    if (call == "EnumPrintersA") {
        const bool sizing = site.nth % 2 == 1;
        // Only a failing enumeration is reported: "buffer too small" with no size is a
        // spooler that has nothing to list, which marks nothing silently.
        if (!(sizing && error == platform::ERROR_INSUFFICIENT_BUFFER)) Say("EnumFailed");
        if (sizing) skipUntil = i + 2;
        return true;
    }
    return false;
}

bool Walk::FailsInInterface(const Failing& failing)
{
    const auto& [i, call, site, error, e, fromThereOn] = failing;
    if (call == "GetVersionExA") {
        // A refused extended record is asked again in the basic form.
        if (fromThereOn) familyUnknown = true;
        return true;
    }
    if (call == "GetModuleHandleA" || call == "GetProcAddress") {
        expect.change.noNativeSystemInfo = true;
        expect.changed = true;
        return true;
    }
    if (call == "EnumPortsA") {
        const bool sizing = site.nth % 2 == 1;
        if (sizing) skipUntil = i + 2;
        // The fill that the chosen radio made lists no spooler port.
        bool lastFill = true;
        for (std::size_t j = i + (sizing ? 2 : 1); j < calls.size() && sites[j].phase == Phase::Interface; ++j)
            if (calls[j] == "EnumPortsA") lastFill = false;
        const std::string port = ScenarioPort(scenario);
        if (lastFill && !port.empty()) {
            expect.couldNotDo = {"port " + port + " not listed"};
            portUnknown = true;
        }
        return true;
    }
    if (call == "RegOpenKeyExA") {
        Say("TcpIpMissing");
        return true;
    }
    if (call == "RegCloseKey") return true;
    return false;
}

bool Walk::FailsInUsbSearch(const Failing& failing)
{
    const auto& [i, call, site, error, e, fromThereOn] = failing;
    if (call == "LoadLibraryExA") {
        expect.change.missingSetupFunction = "library";
        expect.changed = true;
        return true;
    }
    if (call == "GetProcAddress") {
        static const char* const kFunctions[] = {"SetupDiGetClassDevsA", "SetupDiEnumDeviceInterfaces",
                                                 "SetupDiGetDeviceInterfaceDetailA", "SetupDiDestroyDeviceInfoList"};
        if (site.nth <= 4 && expect.change.missingSetupFunction.empty())
            expect.change.missingSetupFunction = kFunctions[site.nth - 1];
        expect.changed = true;
        return true;
    }
    if (call == "SetupDiGetClassDevsA" || call == "SetupDiEnumDeviceInterfaces" ||
        call == "SetupDiGetDeviceInterfaceDetailA" || call == "CreateFileA" ||
        (call == "CloseHandle" && site.nth == 1)) {
        // The first probe misses the printer: the warning, then the search. A trial handle
        // that could not be closed keeps the printer busy, as a printer that never answers.
        if (fromThereOn || call == "CloseHandle") {
            Say("UsbSearchFailed");
            expect.ending = Ending::ProgramEnded;
            expect.endsAt = i;
        }
        expect.look = Expectation::Look::Changed;
        return true;
    }
    if (call == "GetVersionExA" || call == "SetupDiDestroyDeviceInfoList" || call == "RegOpenKeyExA" ||
        call == "RegCloseKey" || call == "CloseHandle" || call == "FreeLibrary" || call == "PurgeComm" ||
        (call == "CreateEventA" && site.nth == 1))
        return true;
    if (call == "RegQueryValueExA") {
        Say("PortNumberUnreadable");
        return true;
    }
    if (call == "ResetEvent") return true;  // the burst's fresh event is clear already
    if (call == "CreateEventA" || call == "WriteFile") {
        // The parting zero byte: a failed write keeps its burst going (its polls show);
        // written at a later try of the burst, or never when every write fails.
        expect.look = Expectation::Look::SamePolls;
        if (fromThereOn || call != "WriteFile") expect.edits.push_back(Set("usb printer received", ""));
        return true;
    }
    return false;
}

bool Walk::FailsInNetworkPort(const Failing& failing)
{
    const auto& [i, call, site, error, e, fromThereOn] = failing;
    if (call == "RegCreateKeyExA") {
        // No key: no values, no restart; the spooler does not know the port.
        expect.edits.push_back(RemoveStartingWith("key:" + std::string(kPortsKey) + "IP_"));
        expect.edits.push_back(RemoveStartingWith("value:" + std::string(kPortsKey) + "IP_"));
        expect.edits.push_back(RemoveStartingWith("port:IP_"));
        portUnknown = true;
        skipUntil = FirstOf(Phase::Monitor, i);
        return true;
    }
    if (call == "RegOpenKeyExA") {
        expect.edits.push_back(RemoveStartingWith("value:" + std::string(kPortsKey) + "IP_"));
        for (skipUntil = i + 1; skipUntil < calls.size() && calls[skipUntil] != "GetEnvironmentVariableA";) ++skipUntil;
        return true;
    }
    if (call == "RegSetValueExA" && site.nth <= std::size(kPortValues)) {
        const PortValue& value = kPortValues[site.nth - 1];
        Say(std::string(value.failure) + ":" + e);
        expect.edits.push_back(Undo(scenario, i));
        return true;
    }
    if (call == "CreateProcessA" || call == "GetSystemDirectoryA") {
        // The restart: without "net stop spooler" the spooler never reloads its ports;
        // without "net start spooler" it stays stopped. A command whose folder is not known
        // is not run at all.
        if (call == "GetSystemDirectoryA" && fromThereOn) systemDirectoryError = error;
        if (site.nth == 2) {
            portUnknown = true;
            expect.edits.push_back(RemoveStartingWith("port:IP_"));
        } else if (site.nth == 3 && !portUnknown) {
            spoolerDown = true;
            expect.edits.push_back(Set("service:spooler", std::to_string(platform::SERVICE_STOPPED)));
            expect.edits.push_back(RemoveStartingWith("port:IP_"));
        }
        return true;
    }
    // COMSPEC's file not found: the system directory's interpreter runs instead.
    if (call == "RegCloseKey" || call == "GetEnvironmentVariableA" || call == "GetFileAttributesA" ||
        call == "WaitForSingleObject" || call == "GetExitCodeProcess" || call == "CloseHandle")
        return true;
    return false;
}

bool Walk::FailsInMonitor(const Failing& failing)
{
    const auto& [i, call, site, error, e, fromThereOn] = failing;
    if (call == "EnumMonitorsA") return true;  // not found either way: the monitor is installed
    if (call == "GetFileAttributesA") {
        // A library that may have been there is copied but not recorded.
        if (error == platform::ERROR_FILE_NOT_FOUND || error == platform::ERROR_PATH_NOT_FOUND) return true;
        static const char* const kLibraries[] = {"\\KVUSBMON.DLL", "\\KVUSBMONUI.DLL"};
        const std::string library = kLibraries[(site.nth - 1) % std::size(kLibraries)];
        expect.edits.push_back([library](Machine& machine) {
            for (auto it = machine.begin(); it != machine.end();) {
                const std::string upper = Upper(it->first);
                const bool match = upper.rfind("RECORD:MONITOR LIBRARY: ", 0) == 0 && upper.size() >= library.size() &&
                                   upper.compare(upper.size() - library.size(), library.size(), library) == 0;
                it = match ? machine.erase(it) : std::next(it);
            }
        });
        return true;
    }
    if (call == "SetCurrentDirectoryA" || call == "GetCurrentDirectoryA" || call == "GetSystemDirectoryA" ||
        (call == "CopyFileA" && site.nth == 1)) {
        // The monitor library does not reach the system directory.
        if (call == "CopyFileA") {
            expect.edits.push_back(Undo(scenario, i));
        } else {
            for (std::size_t j = i; j < calls.size() && sites[j].phase == Phase::Monitor; ++j)
                if (calls[j] == "CopyFileA") expect.edits.push_back(Undo(scenario, j));
        }
        MonitorNotRegistered();
        return true;
    }
    if (call == "CopyFileA") {
        expect.edits.push_back(Undo(scenario, i));
        return true;
    }
    if (call == "AddMonitorA") {
        MonitorNotRegistered();
        return true;
    }
    if (call == "GetModuleHandleW" || call == "GetProcAddress" || call == "Wow64DisableWow64FsRedirection") {
        expect.change.noRedirectionSwitch = true;
        expect.changed = true;
        return true;
    }
    return false;
}

bool Walk::FailsInCopy(const Failing& failing)
{
    const auto& [i, call, site, error, e, fromThereOn] = failing;
    if (call == "GetPrinterDriverDirectoryA") {
        // Without the driver directory no file is copied (a path built on nothing is not
        // used), and the registration misses them.
        DriverFilesNotCopied(i, false);
        skipUntil = FirstOf(Phase::Rows, i);
        return true;
    }
    if (call == "SetCurrentDirectoryA") return true;  // the copies find out where they are
    if (call == "CopyFileA") {
        if (IsStdNamesCopy(i)) {
            expect.editsIfStopped.push_back(Undo(scenario, i));
            return true;
        }
        expect.edits.push_back(Undo(scenario, i));
        driverFilesMissing = true;
        return true;
    }
    return false;
}

bool Walk::FailsInRows(const Failing& failing)
{
    const auto& [i, call, site, error, e, fromThereOn] = failing;
    if (call == "AddPrinterDriverA") {
        if (error == platform::ERROR_MOD_NOT_FOUND) {
            // FRAMEDYN.dll is put into the system directory, and the registration tried again.
            expect.edits.push_back([](Machine& machine) {
                const auto source = machine.find("file:C:\\WINDOWS\\SYSTEM32\\WBEM\\FRAMEDYN.DLL");
                if (source != machine.end()) machine["file:C:\\WINDOWS\\SYSTEM32\\FRAMEDYN.DLL"] = source->second;
            });
            if (!fromThereOn) return true;
        }
        RegistrationFails(i, "AddDriverFailed:" + e);
        return true;
    }
    if (call == "AddPrinterA") {
        if (error == platform::ERROR_UNKNOWN_PORT && !fromThereOn) {
            Say("Forcibly");
            expect.edits.push_back(MovePrinter(RowName(scenario, site.row), kFallbackPort));
            return true;
        }
        RegistrationFails(i, "AddPrinterFailed:" + e);
        return true;
    }
    if (call == "OpenPrinterA") {
        Say("OpenPrinterFailed:" + e + ":" + RowName(scenario, site.row));
        expect.edits.push_back(Remove("data:" + RowName(scenario, site.row) + "/TTY DeviceConfig"));
        skipUntil = i + 2;  // no data is stored, no handle closed
        return true;
    }
    if (call == "SetPrinterDataA") {
        expect.edits.push_back(Undo(scenario, i));
        return true;
    }
    if (call == "ClosePrinter") return true;
    return false;
}

bool Walk::FailsInUninstall(const Failing& failing)
{
    const auto& [i, call, site, error, e, fromThereOn] = failing;
    if (call == "RegOpenKeyExA" || call == "RegCloseKey") return true;
    if (call == "RegCreateKeyExA") {
        expect.edits.push_back(RemoveStartingWith(std::string("key:") + kUninstallKey));
        expect.edits.push_back(RemoveStartingWith(std::string("value:") + kUninstallKey));
        for (skipUntil = i + 1; skipUntil < calls.size() && sites[skipUntil].phase == Phase::Uninstall;) ++skipUntil;
        return true;
    }
    if (call == "RegSetValueExA" && site.nth <= std::size(kUninstallValues)) {
        expect.edits.push_back(Remove(std::string("value:") + kUninstallKey + "\\" + kUninstallValues[site.nth - 1]));
        return true;
    }
    return false;
}

bool Walk::FailsInDefault(const Failing& failing)
{
    const auto& [i, call, site, error, e, fromThereOn] = failing;
    if (call == "LoadLibraryExA") {
        // The spooler library from the system directory or none: no default printer.
        expect.change.noDefaultPrinterExport = true;
        expect.changed = true;
        return true;
    }
    // Reading the name back: the dialogs do not report what it finds.
    if (call == "GetDefaultPrinterA" || call == "FreeLibrary" || (call == "GetProcAddress" && site.nth > 1))
        return true;
    if (call == "GetProcAddress") {
        // The export by number, then by name: only when both fail is no default set.
        if (fromThereOn) {
            expect.change.noDefaultPrinterExport = true;
            expect.changed = true;
        }
        return true;
    }
    if (call == "SetDefaultPrinterA") {
        expect.edits.push_back(Undo(scenario, i));
        return true;
    }
    return false;
}

// The record names what the run made: whatever a failure kept from being made is not in it.
// Only what is there can be recorded; what is there but not recorded has rules of its own.
void RecordOnlyWhatIsThere(Machine& machine)
{
    const auto there = [&machine](const std::string& kind, const std::string& name) {
        if (kind == "Printer") return machine.count("printer:" + name) != 0;
        if (kind == "Driver") return machine.count("driver:" + name) != 0;
        if (kind == "Monitor") return machine.count("monitor:" + name) != 0;
        if (kind == "Port") return machine.count("key:" + std::string(kPortsKey) + Upper(name)) != 0;
        return machine.count("file:" + Upper(name)) != 0;  // a copy or a monitor library
    };
    for (auto it = machine.begin(); it != machine.end();) {
        const std::string& fact = it->first;
        const auto colon = fact.find(": ");
        const bool record = fact.rfind("record:", 0) == 0 && colon != std::string::npos;
        if (record && !there(fact.substr(7, colon - 7), fact.substr(colon + 2))) {
            it = machine.erase(it);
        } else {
            ++it;
        }
    }
}

std::string FirstMachineDifference(const Machine& expected, const Machine& run)
{
    for (const auto& [fact, value] : expected) {
        const auto it = run.find(fact);
        if (it == run.end()) return "missing " + fact + " (" + value + ")";
        if (it->second != value) return fact + " is '" + it->second + "' where '" + value + "' was due";
    }
    for (const auto& [fact, value] : run)
        if (expected.count(fact) == 0) return "unexpected " + fact + " (" + value + ")";
    return {};
}

std::string CompareWithChangedMachine(const Scenario& scenario, const MachineChange& change, const RunRecord& run)
{
    const RunRecord& reference = RunOnChangedMachine(scenario, change);
    if (run.transcript != reference.transcript)
        return "the run differs from the run on a machine without the looked-up function: " +
               FirstDifference(reference.transcript, run.transcript);
    if (run.ending != reference.ending) return std::string("the run ") + EndingName(run.ending);
    if (run.couldNotDo != reference.couldNotDo) return "the user could not do other steps";
    if (const std::string why = FirstMachineDifference(reference.machine, run.machine); !why.empty())
        return "the machine differs from the one without the looked-up function: " + why;
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

std::string Judge(const Scenario& scenario, const Fault& fault, const RunRecord& baseline, const RunRecord& run)
{
    if (std::string broken = CheckInvariants(run); !broken.empty()) return broken;
    if (fault.callIndex >= baseline.calls.size() || baseline.calls[fault.callIndex] != fault.function)
        return "call " + std::to_string(fault.callIndex) + " of the run without faults is not " + fault.function;

    Walk walk{scenario, fault, baseline.calls, Sites(baseline.calls), {}};
    walk.Run();
    const Expectation& expect = walk.expect;
    if (!expect.unknownSite.empty()) return expect.unknownSite;
    if (expect.changed) return CompareWithChangedMachine(scenario, expect.change, run);

    const std::vector<std::string> tokens = Tokens(run.transcript);
    if (tokens != expect.messages)
        return "messages " + JoinTokens(tokens) + " where " + JoinTokens(expect.messages) + " were due";
    if (run.ending != expect.ending)
        return std::string("the run ") + EndingName(run.ending) + " where it should have " + EndingName(expect.ending);
    if (run.couldNotDo != expect.couldNotDo)
        return "the user could not do [" + (run.couldNotDo.empty() ? std::string() : run.couldNotDo.front()) +
               "] where [" + (expect.couldNotDo.empty() ? std::string() : expect.couldNotDo.front()) + "] was due";
    if (expect.ending == Ending::Stopped &&
        (run.installEnabled != expect.installEnabled || run.exitEnabled != expect.exitEnabled))
        return std::string("a stopped run left Install ") + (run.installEnabled ? "enabled" : "disabled") +
               " and Exit " + (run.exitEnabled ? "enabled" : "disabled");

    switch (expect.look) {
    case Expectation::Look::Same:
        if (run.transcript != baseline.transcript)
            return "the run should have gone on unchanged: " + FirstDifference(baseline.transcript, run.transcript);
        break;
    case Expectation::Look::SamePolls:
        if (Without(run.transcript, "pause 10") != Without(baseline.transcript, "pause 10"))
            return "the run should have gone on as before but for the channel's polls";
        break;
    case Expectation::Look::Changed:
        if (expect.ending == Ending::Completed && StatusLines(run.transcript) != StatusLines(baseline.transcript))
            return "the completed run showed other steps than the run without the fault";
        break;
    }

    Machine expected = expect.endsAt ? MachineBefore(scenario, *expect.endsAt) : baseline.machine;
    for (const Edit& edit : expect.edits) edit(expected);
    if (expect.endsAt)
        for (const Edit& edit : expect.editsIfStopped) edit(expected);
    RecordOnlyWhatIsThere(expected);
    if (const std::string why = FirstMachineDifference(expected, run.machine); !why.empty())
        return "the machine: " + why;
    return {};
}

}  // namespace zenthar::testing::faults
