// The installation without windows: the options read from the command line, the run the
// dialogs drive answered from them, the log, and one exit code per way a run ends. No quiet
// run opens a window or a message box.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/InstallerApp.h"
#include "core/FixedText.h"
#include "core/OneRunAtATime.h"
#include "resources/InstallerWords.h"
#include "tests/common/InstallerRun.h"
#include "tests/common/MachineFacts.h"
#include "uninstall/UninstallerApp.h"

namespace zenthar::testing {
namespace {

using zenthar::resources::Say;
using zenthar::resources::Text;
using zenthar::resources::Words;

using LogLines = std::vector<std::string>;

constexpr const char* kLog = "C:\\quiet.log";
constexpr const char* kUsbPath = "\\\\?\\usb#vid_0525&pid_a700#5&1a2b3c&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

class QuietRun : public InstallerRun {
public:
    using InstallerRun::InstallerRun;

    // Runs the program on the command line; the log goes to kLog.
    int Run(const std::string& commandLine)
    {
        const int code = static_cast<int>(RunProgram(machine.platform(), state, commandLine + " /log " + kLog));
        EXPECT_TRUE(screen.Transcript().empty()) << "a quiet run showed a window";
        EXPECT_TRUE(machine.Misuses().empty()) << ::testing::PrintToString(machine.Misuses());
        return code;
    }

    // The same command again, as a new process on the same machine.
    int RunAgain(const std::string& commandLine)
    {
        ProcessState again(machine.platform());
        const int code = static_cast<int>(RunProgram(machine.platform(), again, commandLine + " /log " + kLog));
        EXPECT_TRUE(machine.Misuses().empty()) << ::testing::PrintToString(machine.Misuses());
        return code;
    }

    LogLines Log() const
    {
        LogLines lines;
        const std::string text = machine.FileContents(kLog).value_or("");
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = text.find("\r\n", start);
            if (end == std::string::npos) break;
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }
    std::string LogText() const { return machine.FileContents(kLog).value_or("(no log)"); }
    bool Logged(const std::string& line) const
    {
        const LogLines lines = Log();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
};

bool Contains(const std::vector<std::string>& lines, const std::string& part)
{
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return line.find(part) != std::string::npos; });
}

const LogLines kRowSteps = {Say(Words::LogStep, Text(Words::InstallEnded)),
                            Say(Words::LogStep, Text(Words::AddStarted)), Say(Words::LogStep, Text(Words::AddEnded))};

LogLines Concat(std::initializer_list<LogLines> parts)
{
    LogLines all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The typical deployment: one model on a COM port with its code page, made the default. The
// run is the dialogs' run, step for step, without the pauses that only show a step.
TEST(QuietInstallation, OneModelOnAComPortWithItsCodePageBecomesTheDefault)
{
    QuietRun run(sim::Profiles::Windows7());
    run.machine.SetDefaultPrinter("Old Printer");
    // A longer log of an earlier run is replaced, not written over in part.
    run.machine.AddFile(kLog, std::string(8192, '#') + "\r\nresult: 8 earlier run\r\n");
    EXPECT_EQ(run.Run("/quiet /model \"NORVA MTR444\" /interface serial /port COM2: /codepage 866 /default"), 0);

    EXPECT_EQ(
        run.Log(),
        Concat({{Say(Words::LogStep, Say(Words::FolderLocked, "\"C:\\NORVA Orbix Printer 4.X\"")),
                 Say(Words::LogStep, Text(Words::QuietPrintSpooler)),
                 Say(Words::LogStep, Text(Words::QuietExistingPrinters)),
                 Say(Words::LogStep,
                     Say(Words::QuietConnection, "serial", "COM2:") + Say(Words::QuietCodePage, "Russian (866)")),
                 Say(Words::LogStep, Text(Words::CopyStarted)), Say(Words::LogStep, Text(Words::CopyEnded)),
                 Say(Words::LogStep, Text(Words::InstallStarted))},
                kRowSteps,
                {Say(Words::LogStep, Text(Words::QuietMakeDefault)),
                 Say(Words::LogStep, Text(Words::InstallationCompleted)),
                 Say(Words::LogStep, Say(Words::QuietDefaultSet, "\"NORVA MTR444\"")),
                 Say(Words::LogPrinters, "\"NORVA MTR444\""), Say(Words::LogResult, 0, Text(Words::ExitInstalled))}}))
        << run.LogText();
    ExpectMtr444OnCom2With866(run.machine);
    EXPECT_EQ(run.machine.DefaultPrinter(), "NORVA MTR444");
    EXPECT_TRUE(run.machine.RegistryKeyExists(
        platform::kHkeyLocalMachine,
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVA Orbix Printer 4.64"));
    // No pause was only there to be seen.
    EXPECT_TRUE(run.machine.Pauses().empty()) << ::testing::PrintToString(run.machine.Pauses());
}

TEST(QuietInstallation, ClonesOnAParallelPortKeepTheDefaultWithoutTheOption)
{
    QuietRun run;
    run.machine.SetDefaultPrinter("Old Printer");
    EXPECT_EQ(run.Run("-QUIET -Clones 5 -Interface Parallel -Port lpt1:"), 0) << run.LogText();
    for (int i = 1; i <= 5; ++i) {
        const std::string name = "NORVA Orbix #" + std::to_string(i);
        const auto printer = run.machine.FindPrinter(name);
        ASSERT_TRUE(printer) << name;
        EXPECT_EQ(printer->portName, "LPT1:");
        EXPECT_TRUE(run.machine.FindDriver(name)) << name;
    }
    EXPECT_FALSE(run.machine.FindPrinter("NORVA Orbix #6"));
    EXPECT_EQ(run.machine.DefaultPrinter(), "Old Printer");
    EXPECT_TRUE(run.Logged(Say(Words::LogStep, Text(Words::QuietDefaultUnchanged))));
    EXPECT_TRUE(run.Logged(
        Say(Words::LogPrinters,
            "\"NORVA Orbix #1\", \"NORVA Orbix #2\", \"NORVA Orbix #3\", \"NORVA Orbix #4\", \"NORVA Orbix #5\"")))
        << run.LogText();
    const LogLines log = run.Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), Say(Words::LogStep, Text(Words::AddStarted))), 5);
}

// Without /port the printer goes on the port the interface dialog would show first: its list
// is sorted, so COM10: comes before COM2: (and after COM1:). USB, the dialog's own start, is the
// default interface.
TEST(QuietInstallation, TheDefaultPortIsTheFirstTheInterfaceDialogShows)
{
    {
        QuietRun run;
        run.machine.RemovePort("COM1:");
        run.machine.AddPort("Local Port", "COM10:");
        EXPECT_EQ(run.Run("/quiet /model \"NORVA KSV100-III\" /interface bluetooth"), 0) << run.LogText();
        ASSERT_TRUE(run.machine.FindPrinter("NORVA KSV100-III"));
        EXPECT_EQ(run.machine.FindPrinter("NORVA KSV100-III")->portName, "COM10:");
    }
    {
        QuietRun run;
        run.machine.AddUsbPrinter(kUsbPath, 1);
        EXPECT_EQ(run.Run("/quiet /model \"norva mtr333\""), 0) << run.LogText();
        ASSERT_TRUE(run.machine.FindPrinter("NORVA MTR333"));
        EXPECT_EQ(run.machine.FindPrinter("NORVA MTR333")->portName, "USBPOS0");
        // The search's own pauses stay: the machine's time, not the user's.
        EXPECT_EQ(run.machine.Pauses(), std::vector<platform::Dword>(8, 100));
        EXPECT_EQ(run.machine.UsbWrites(kUsbPath), (std::vector<std::vector<std::uint8_t>>{{0}}));
    }
}

TEST(QuietInstallation, ANetworkPrinterGetsItsPortAndTheServicesRestart)
{
    QuietRun run;
    EXPECT_EQ(run.Run("/quiet /model \"NORVA MTR333\" /interface wifi /address 010.1.2.3"), 0) << run.LogText();
    EXPECT_TRUE(run.Logged(Say(Words::LogStep, Say(Words::QuietConnection, "wifi", "TCP/IP") +
                                                   Say(Words::QuietAddress, "10.1.2.3") +
                                                   Say(Words::QuietCodePage, "US (ANSI) (1252)"))));
    const auto address = run.machine.FindRegistryValue(
        platform::kHkeyLocalMachine,
        "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\IP_10.1.2.3", "IPAddress");
    ASSERT_TRUE(address);
    EXPECT_EQ(std::string(address->bytes.begin(), address->bytes.end()), std::string("10.1.2.3", 9));
    EXPECT_EQ(run.machine.Processes().size(), 4u);
    EXPECT_TRUE(run.machine.FindPrinter("NORVA MTR333"));
}

TEST(QuietInstallation, EverythingChosenExistingAlreadyIsSuccessWithNothingNew)
{
    QuietRun run;
    run.AddExistingPrinter("NORVA Orbix #1");
    run.AddExistingPrinter("NORVA Orbix #2");
    EXPECT_EQ(run.Run("/quiet /clones 2 /interface parallel"), 0) << run.LogText();
    // Ours and on the port asked, but without a settings record: that is written.
    EXPECT_TRUE(
        run.Logged(Say(Words::LogStep, Say(Words::QuietRecordWritten, "\"NORVA Orbix #1\"", "US (ANSI) (1252)"))))
        << run.LogText();
    EXPECT_TRUE(
        run.Logged(Say(Words::LogStep, Say(Words::QuietRecordWritten, "\"NORVA Orbix #2\"", "US (ANSI) (1252)"))));
    EXPECT_EQ(run.machine.CallCount("AddPrinterA"), 0u);
    EXPECT_EQ(run.machine.CallCount("CopyFileA"), 0u);
    EXPECT_TRUE(run.Logged(Say(Words::LogPrinters, "\"NORVA Orbix #1\", \"NORVA Orbix #2\"")));
}

const std::string kTcpPortsKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\";

// A command run twice, with something changed on the machine or in the command between.
struct RerunCase {
    const char* name;
    const char* first;
    std::function<void(QuietRun&)> between;
    const char* second;
    std::string logged;
    bool asAsked;
    std::function<void(QuietRun&)> check;
};

std::vector<RerunCase> RerunCases()
{
    return {
        {"USB printer switched off", "/quiet /model \"NORVA MTR444\"",
         [](QuietRun& run) { run.machine.SetUsbPresent(kUsbPath, false); }, "/quiet /model \"NORVA MTR444\"",
         Say(Words::LogStep, Say(Words::QuietAlreadyAsAsked, "\"NORVA MTR444\"")), true, [](QuietRun&) {}},
        {"ethernet, a port value tuned since", "/quiet /model \"NORVA MTR333\" /interface ethernet /address 10.1.2.3",
         [](QuietRun& run) {
             run.machine.SetRegistryString(platform::kHkeyLocalMachine, kTcpPortsKey + "IP_10.1.2.3", "SNMP Community",
                                           "shop");
         },
         "/quiet /model \"NORVA MTR333\" /interface ethernet /address 10.1.2.3",
         Say(Words::LogStep, Say(Words::QuietAlreadyAsAsked, "\"NORVA MTR333\"")), true,
         [](QuietRun& run) {
             const auto value = run.machine.FindRegistryValue(platform::kHkeyLocalMachine, kTcpPortsKey + "IP_10.1.2.3",
                                                              "SNMP Community");
             ASSERT_TRUE(value);
             EXPECT_EQ(std::string(value->bytes.begin(), value->bytes.end()), std::string("shop", 5));
         }},
        {"ethernet, another address", "/quiet /model \"NORVA MTR333\" /interface ethernet /address 10.1.2.3", nullptr,
         "/quiet /model \"NORVA MTR333\" /interface ethernet /address 10.1.2.4",
         Say(Words::LogStep, Say(Words::QuietMoved, "\"NORVA MTR333\"", "IP_10.1.2.3", "IP_10.1.2.4")), false,
         [](QuietRun& run) {
             EXPECT_EQ(run.machine.FindPrinter("NORVA MTR333")->portName, "IP_10.1.2.4");
             EXPECT_TRUE(run.machine.RegistryKeyExists(platform::kHkeyLocalMachine, kTcpPortsKey + "IP_10.1.2.3"));
             // Both ports are the installation's: the uninstaller finds the old one by its record.
             for (const char* port : {"Port: IP_10.1.2.3", "Port: IP_10.1.2.4"})
                 EXPECT_TRUE(run.machine.FindRegistryValue(platform::kHkeyLocalMachine,
                                                           "Software\\Wow6432Node\\NORVA\\Orbix Printer 4.64", port))
                     << port;
         }},
        {"serial, another port and code page", "/quiet /model \"NORVA MTR444\" /interface serial /port COM1:", nullptr,
         "/quiet /model \"NORVA MTR444\" /interface serial /port COM2: /codepage 866",
         Say(Words::LogStep, Say(Words::QuietMoved, "\"NORVA MTR444\"", "COM1:", "COM2:")), false,
         [](QuietRun& run) {
             const auto printer = run.machine.FindPrinter("NORVA MTR444");
             EXPECT_EQ(printer->portName, "COM2:");
             const auto data = printer->FindData("TTY DeviceConfig");
             ASSERT_NE(data, nullptr);
             EXPECT_EQ(data->bytes[4] | data->bytes[5] << 8, 866);
             EXPECT_EQ(run.machine.Printers().size(), 1u);
         }},
    };
}

void ExpectRerun(const RerunCase& c)
{
    QuietRun run;
    run.machine.AddUsbPrinter(kUsbPath, 1);
    ASSERT_EQ(run.Run(c.first), 0) << run.LogText();
    if (c.between) c.between(run);
    const auto processes = run.machine.Processes().size();
    const auto copies = run.machine.CallCount("CopyFileA");
    const auto pauses = run.machine.Pauses().size();
    const auto portWrites = run.machine.CallCount("RegSetValueExA");
    EXPECT_EQ(run.RunAgain(c.second), 0) << run.LogText();
    EXPECT_TRUE(run.Logged(c.logged)) << run.LogText();
    EXPECT_EQ(run.machine.CallCount("AddPrinterA"), 1u);
    EXPECT_EQ(run.machine.CallCount("CopyFileA"), copies);
    if (c.asAsked) {
        EXPECT_EQ(run.machine.Processes().size(), processes);
        EXPECT_EQ(run.machine.Pauses().size(), pauses);
        EXPECT_EQ(run.machine.CallCount("RegSetValueExA"), portWrites);
    }
    c.check(run);
}

// Deployment tools run the same command again and again. A printer of ours that is as asked is
// left alone (no USB search, no port write, no service restart, no file copy); one on another
// port or with another code page is moved and its settings record written anew.
TEST(QuietInstallation, ARerunChangesOnlyWhatIsNotAsAsked)
{
    for (const RerunCase& c : RerunCases()) {
        SCOPED_TRACE(c.name);
        ExpectRerun(c);
    }
}

// A deployment tool's detection rule: the installation's options with /check change nothing
// and name each difference.
TEST(QuietInstallation, TheCheckChangesNothingAndNamesEachDifference)
{
    const std::string installation =
        "/quiet /model \"NORVA MTR444\" /interface serial /port COM1: /codepage 866 /default";
    struct Case {
        const char* name;
        std::function<void(QuietRun&)> between;
        std::string arguments;
        int code;
        LogLines differences;
    };
    const Case cases[] = {
        {"as asked", nullptr, installation + " /check", 0, {}},
        {"another port and code page",
         nullptr,
         "/quiet /check /model \"NORVA MTR444\" /interface serial /port COM2:",
         9,
         {Say(Words::LogDifference, Say(Words::QuietOtherPort, "\"NORVA MTR444\"", "COM1:", "COM2:")),
          Say(Words::LogDifference, Say(Words::QuietOtherCodePage, "\"NORVA MTR444\"", 866, 1252))}},
        {"a printer missing and the default changed since",
         [](QuietRun& run) { run.machine.SetDefaultPrinter("Old Printer"); },
         "/quiet /model \"NORVA MTR333\" /model \"NORVA MTR444\" /interface serial /port COM1: /codepage 866 /default /check",
         9,
         {Say(Words::LogDifference, Say(Words::QuietNotInstalled, "\"NORVA MTR333\"")),
          Say(Words::LogDifference, Say(Words::QuietOtherDefault, "\"Old Printer\"", "\"NORVA MTR444\""))}},
        {"USB, not on a port of our monitor",
         nullptr,
         "/quiet /model \"NORVA MTR444\" /codepage 866 /check",
         9,
         {Say(Words::LogDifference,
              Say(Words::QuietOtherPort, "\"NORVA MTR444\"", "COM1:", "a port of the KVPOS Port Monitor"))}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QuietRun run;
        ASSERT_EQ(run.Run(installation), 0) << run.LogText();
        if (c.between) c.between(run);
        const MachineFacts before = WholeMachine(run.machine);
        EXPECT_EQ(run.RunAgain(c.arguments), c.code) << run.LogText();
        LogLines differences;
        for (const std::string& line : run.Log())
            if (line.rfind("difference: ", 0) == 0) differences.push_back(line);
        EXPECT_EQ(differences, c.differences) << run.LogText();
        LogLines changed;
        for (const std::string& line : Differences(before, WholeMachine(run.machine)))
            if (line.find("QUIET.LOG") == std::string::npos) changed.push_back(line);
        EXPECT_EQ(changed, LogLines{});
        EXPECT_EQ(run.Log().back(), c.code == 0 ? Say(Words::LogResult, 0, Text(Words::ExitAsAsked))
                                                : Say(Words::LogResult, 9, Text(Words::ExitNotAsAsked)));
    }
}

// /default is about the chosen printers, not about what this run happened to make: the last of
// them in the list's order becomes the default, installed now or there before.
TEST(QuietInstallation, TheDefaultIsTheLastChosenPrinterNewOrNot)
{
    struct Case {
        const char* existing;
        const char* arguments;
        const char* madeDefault;
    };
    const Case cases[] = {
        {"NORVA MTR333", "/quiet /model \"NORVA MTR444\" /model \"NORVA MTR333\" /interface parallel /default",
         "NORVA MTR444"},
        {"NORVA KSV100-III", "/quiet /model \"NORVA KSV100-III\" /interface parallel /default", "NORVA KSV100-III"},
        {"NORVA Orbix #1", "/quiet /clones 2 /interface parallel /default", "NORVA Orbix #2"},
    };
    for (const Case& c : cases) {
        QuietRun run;
        run.AddExistingPrinter(c.existing);
        run.machine.SetDefaultPrinter("Old Printer");
        EXPECT_EQ(run.Run(c.arguments), 0) << c.arguments << "\n" << run.LogText();
        EXPECT_EQ(run.machine.DefaultPrinter(), c.madeDefault) << c.arguments;
        EXPECT_TRUE(run.Logged(Say(Words::LogStep, Say(Words::QuietDefaultSet, zenthar::InQuotes(c.madeDefault)))))
            << run.LogText();
        // A run that adds to printers of ours still leaves the entry that removes them.
        EXPECT_TRUE(run.machine.RegistryKeyExists(
            platform::kHkeyLocalMachine,
            "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVA Orbix Printer 4.64"));
    }
}

// Bad arguments: nothing is installed, the log says what was wrong and then the usage.
TEST(QuietInstallation, BadArgumentsInstallNothingAndWriteTheUsage)
{
    struct Case {
        const char* arguments;
        std::string why;
    };
    const Case cases[] = {
        {"/quiet /model \"NORVA MTR444\" /colour red", Say(Words::UnknownOption, "/colour")},
        {"/quiet /model \"NORVA MTR444\" extra", Say(Words::NotAnOption, "\"extra\"")},
        {"/quiet /clones 0", Say(Words::NotAClonesNumber, "\"0\"")},
        {"/quiet /clones 201", Say(Words::NotAClonesNumber, "\"201\"")},
        {"/quiet /clones 3x", Say(Words::NotAClonesNumber, "\"3x\"")},
        {"/quiet /clones", Say(Words::NeedsValue, "clones")},
        {"/quiet /model \"NORVA MTR444\" /interface ethernet /address 10.1.2", Say(Words::NotAnAddress, "\"10.1.2\"")},
        {"/quiet /model \"NORVA MTR444\" /interface ethernet /address 10.1.2.256",
         Say(Words::NotAnAddress, "\"10.1.2.256\"")},
        {"/quiet /model \"NORVA MTR444\" /interface ethernet", Say(Words::InterfaceNeedsAddress, "ethernet")},
        {"/quiet /model \"NORVA MTR444\" /address 10.1.2.3", Say(Words::AddressNotForInterface, "usb")},
        {"/quiet /model \"NORVA MTR444\" /codepage 1253x", Say(Words::NotACodePage, "\"1253x\"")},
        {"/quiet /model \"NORVA MTR444\" /codepage 1200", Say(Words::NotACodePage, "\"1200\"")},
        {"/quiet /model \"NORVA MTR444\" /port COM1:", Say(Words::PortNotForInterface, "usb")},
        {"/quiet /model \"NORVA MTR444\" /interface wifi /address 1.2.3.4 /port COM1:",
         Say(Words::PortNotForInterface, "wifi")},
        {"/quiet /model \"NORVA MTR555\"",
         Say(Words::NotAModel, "\"NORVA MTR555\"", "\"NORVA MTR333\", \"NORVA MTR444\", \"NORVA KSV100-III\"")},
        {"/quiet /interface firewire /clones 2",
         Say(Words::NotAnInterface, "\"firewire\"", "serial, bluetooth, parallel, usb, ethernet, wifi")},
        {"/quiet", Text(Words::NothingToInstall)},
        {"/quiet /clones 2 /model \"NORVA MTR444\"", Text(Words::ModelWithClones)},
        {"/quiet /clones 2 /clones 3", Say(Words::GivenTwice, "clones")},
        {"/quiet /model \"NORVA MTR444\" /interface serial /port COM9:",
         "no port \"COM9:\" for serial (ports: COM1:, COM2:"},
    };
    for (const Case& c : cases) {
        QuietRun run;
        EXPECT_EQ(run.Run(c.arguments), 1) << c.arguments;
        const LogLines log = run.Log();
        ASSERT_FALSE(log.empty()) << c.arguments;
        EXPECT_TRUE(Contains(log, Say(Words::LogBadArguments, c.why))) << c.arguments << "\n" << run.LogText();
        EXPECT_TRUE(run.Logged(Text(Words::UsageExitCodes))) << c.arguments;
        EXPECT_EQ(log.back(), Say(Words::LogResult, 1, Text(Words::ExitBadArguments))) << c.arguments;
        EXPECT_TRUE(run.machine.Printers().empty()) << c.arguments;
        EXPECT_TRUE(run.machine.Drivers().empty()) << c.arguments;
        EXPECT_EQ(run.machine.CallCount("AddMonitorA"), 0u) << c.arguments;
    }
}

// A log path nobody may write, or one a user without rights prepared in a folder open to them
// (C:\Temp): the run does nothing, and the file the user aimed at keeps its bytes.
TEST(QuietInstallation, ALogThatCannotBeWrittenOrLeadsElsewhereStopsBeforeAnything)
{
    const char* const kSystemFile = "C:\\Windows\\System32\\drivers\\etc\\hosts";
    const struct {
        const char* path;
        std::function<void(sim::SimMachine&)> arrange;
        std::string why;  // on the debugger output; empty: none
    } cases[] = {
        {"C:\\no such folder\\q.log", [](sim::SimMachine&) {}, ""},
        {"C:\\Temp\\q.log", [&](sim::SimMachine& m) { m.AddReparsePoint("C:\\Temp\\q.log", kSystemFile); },
         Text(Words::LogIsLink)},
        {"C:\\Temp\\q.log", [&](sim::SimMachine& m) { m.AddHardLink("C:\\Temp\\q.log", kSystemFile); },
         Say(Words::LogHardLinks, 2)},
        {"C:\\Temp\\q.log", [](sim::SimMachine& m) { m.AddReparsePoint("C:\\Temp", "C:\\Windows\\System32"); },
         Say(Words::LogLeadsTo, "C:\\Windows\\System32\\q.log")},
    };
    for (const auto& c : cases) {
        QuietRun run;
        run.machine.AddFile(kSystemFile, "127.0.0.1 localhost");
        c.arrange(run.machine);
        EXPECT_EQ(RunProgram(run.machine.platform(), run.state,
                             std::string("/quiet /clones 2 /interface parallel /log \"") + c.path + "\""),
                  ExitCode::BadArguments)
            << c.path;
        EXPECT_TRUE(run.machine.Printers().empty());
        EXPECT_EQ(run.machine.CallCount("OpenSCManagerA"), 0u);
        EXPECT_TRUE(run.screen.Transcript().empty());
        EXPECT_EQ(run.machine.FileContents(kSystemFile), "127.0.0.1 localhost") << c.path;
        EXPECT_EQ(run.machine.FileContents("C:\\Windows\\System32\\q.log").value_or(""), "") << c.path;
        const auto heard = run.machine.DebugOutput();
        const bool said = std::any_of(heard.begin(), heard.end(), [&](const std::string& line) {
            return !c.why.empty() && line == Say(Words::LogNotWritten, c.path, c.why);
        });
        EXPECT_EQ(said, !c.why.empty()) << c.path;
    }
}

constexpr const char* kWppKey = "Software\\Policies\\Microsoft\\Windows NT\\Printers\\WPP";
constexpr const char* kWppPolicy = "WindowsProtectedPrintGroupPolicyState";
constexpr const char* kWppSwitch = "WindowsProtectedPrintMode";
// A text of several lines as the log file holds it.
std::string WithCrLf(const std::string& text)
{
    std::string lines;
    for (const char c : text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return lines;
}

std::string LoggedMessage(const char* text)
{
    return Say(Words::LogMessage, OneLine(text));
}

void SetProtectedPrint(sim::SimMachine& machine, const char* value, platform::Dword state = 1)
{
    machine.SetRegistryDword(platform::kHkeyLocalMachine, kWppKey, value, state);
}

// A way the quiet run ends: the machine and the command that lead there, the exit code, and what
// the log says.
struct EndingCase {
    const char* name;
    std::function<void(QuietRun&)> arrange;
    sim::MachineProfile profile;
    const char* arguments;
    int code;
    std::string message;  // a line of the log, or empty
    std::string printers;
};

// The endings before the driver's files are copied: the machine, the spooler, the port.
std::vector<EndingCase> EarlyEndingCases()
{
    auto win98 = sim::Profiles::Windows98();
    auto unknownProcessor = sim::Profiles::Windows10x64();
    unknownProcessor.nativeArchitecture = 5;
    unknownProcessor.systemInfoArchitecture = 5;
    const auto none = [](QuietRun&) {};
    return {
        {"unsupported Windows", none, win98, "/quiet /model \"NORVA MTR333\" /interface serial", 2,
         Say(Words::LogMessage, Text(Words::Win98NotSupported)) + Say(Words::LogCaption, Text(Words::ErrorCaption)),
         Say(Words::LogPrinters, Text(Words::QuietNone))},
        {"unknown processor", [](QuietRun& run) { run.state.session.processor = static_cast<Processor>(3); },
         unknownProcessor, "/quiet /model \"NORVA MTR333\" /interface serial", 2,
         Say(Words::LogStep, Text(Words::QuietProcessorUnknown)), Say(Words::LogPrinters, Text(Words::QuietNone))},
        {"spooler cannot start",
         [](QuietRun& run) {
             run.machine.SetServiceState("spooler", platform::SERVICE_STOPPED);
             run.machine.ScriptServiceStart("spooler", sim::ServiceStartScript::Fails(1058));
         },
         sim::Profiles::Windows10x64(), "/quiet /model \"NORVA MTR333\" /interface serial", 3,
         LoggedMessage(Text(Words::SpoolerStopped)), ""},
        {"spooler query fails", [](QuietRun& run) { run.machine.FailNext("OpenSCManagerA", 5); },
         sim::Profiles::Windows10x64(), "/quiet /model \"NORVA MTR333\" /interface serial", 3,
         Say(Words::LogMessage, Say(Words::ScmFailed, 5)), Say(Words::LogPrinters, "\"NORVA MTR333\"")},
        {"USB printer never found", none, sim::Profiles::Windows10x64(), "/quiet /model \"NORVA MTR333\"", 4,
         Say(Words::LogMessage, Text(Words::UsbSearchFailed)), Say(Words::LogPrinters, Text(Words::QuietNone))},
        {"USB port number unreadable", [](QuietRun& run) { run.machine.AddUsbPrinter(kUsbPath, std::nullopt); },
         sim::Profiles::Windows10x64(), "/quiet /model \"NORVA MTR333\"", 8,
         Say(Words::LogMessage, Text(Words::UsbPortNumberUnreadable)) +
             Say(Words::LogCaption, Text(Words::ValueFailureCaption)),
         Say(Words::LogPrinters, "\"NORVA MTR333\"")},
        // The first value written records the new port in the installation record; Protocol is the third.
        {"network value not written", [](QuietRun& run) { run.machine.FailNext("RegSetValueExA", 5, 3); },
         sim::Profiles::Windows10x64(), "/quiet /model \"NORVA MTR333\" /interface ethernet /address 10.1.2.3", 5,
         Say(Words::LogMessage, Say(Words::ProtocolWriteFailed, 5)) +
             Say(Words::LogCaption, Text(Words::ValueFailureCaption)),
         Say(Words::LogPrinters, "\"NORVA MTR333\"")},
        {"network port key not made", [](QuietRun& run) { run.machine.FailNext("RegCreateKeyExA", 5); },
         sim::Profiles::Windows10x64(), "/quiet /model \"NORVA MTR333\" /interface ethernet /address 10.1.2.3", 5, "",
         Say(Words::LogPrinters, "\"NORVA MTR333\"")},
        {"restart command never ends", [](QuietRun& run) { run.machine.HangCommand("net stop spooler"); },
         sim::Profiles::Windows10x64(), "/quiet /model \"NORVA MTR333\" /interface ethernet /address 10.1.2.3", 8,
         Say(Words::LogMessage, Say(Words::CommandTimedOut, "net stop", "spooler", 60)),
         Say(Words::LogPrinters, "\"NORVA MTR333\"")},
        {"protected print mode by policy", [](QuietRun& run) { SetProtectedPrint(run.machine, kWppPolicy); },
         sim::Profiles::Windows10x64(), "/quiet /model \"NORVA MTR333\" /interface serial", 11,
         LoggedMessage(Text(Words::ProtectedPrintMode)), ""},
        {"protected print mode by the switch in Settings",
         [](QuietRun& run) { SetProtectedPrint(run.machine, kWppSwitch); }, sim::Profiles::Windows10x64(),
         "/quiet /model \"NORVA MTR333\" /interface serial", 11, LoggedMessage(Text(Words::ProtectedPrintMode)), ""},
        {"another run holds the machine", [](QuietRun& run) { run.machine.HoldMutexElsewhere(kRunMutexName); },
         sim::Profiles::Windows10x64(), "/quiet /model \"NORVA MTR333\" /interface serial", 1618,
         LoggedMessage(Text(Words::AnotherRun)) + Say(Words::QuietRunWaited, kQuietRunWaitMinutes), ""},
    };
}

// The endings of the later steps: the default printer, the driver, the printers, the settings.
std::vector<EndingCase> LateEndingCases()
{
    return {
        {"default printer refused", [](QuietRun& run) { run.machine.FailNext("SetDefaultPrinterA", 5); },
         sim::Profiles::Windows10x64(), "/quiet /model \"NORVA MTR444\" /interface parallel /default", 8,
         Say(Words::QuietDefaultNotSet, "\"NORVA MTR444\"", "SetDefaultPrinterA failed (error 5)"),
         Say(Words::LogPrinters, "\"NORVA MTR444\"")},
        {"default printer not read back", [](QuietRun& run) { run.machine.FailNext("GetDefaultPrinterA", 1722); },
         sim::Profiles::Windows10x64(), "/quiet /model \"NORVA MTR444\" /interface parallel /default", 8,
         Say(Words::QuietDefaultNotSet, "\"NORVA MTR444\"", "GetDefaultPrinterA failed (error 1722)"), ""},
        {"driver not registered", [](QuietRun& run) { run.machine.FailNext("AddPrinterDriverA", 5, 2); },
         sim::Profiles::Windows10x64(), "/quiet /clones 3 /interface parallel", 6,
         Say(Words::LogMessage, Say(Words::AddDriverFailed, 5)), Say(Words::LogPrinters, "\"NORVA Orbix #1\"")},
        {"printer not created", [](QuietRun& run) { run.machine.FailNext("AddPrinterA", 5, 2); },
         sim::Profiles::Windows10x64(), "/quiet /clones 3 /interface parallel", 7,
         Say(Words::LogMessage, Say(Words::AddPrinterFailed, 5)), Say(Words::LogPrinters, "\"NORVA Orbix #1\"")},
        {"printer on another port", [](QuietRun& run) { run.machine.FailNext("AddPrinterA", 1796); },
         sim::Profiles::Windows10x64(), "/quiet /model \"NORVA MTR444\" /interface parallel", 8,
         LoggedMessage(Text(Words::ForciblyCom1)), Say(Words::LogPrinters, "\"NORVA MTR444\"")},
        {"settings not written", [](QuietRun& run) { run.machine.FailNext("OpenPrinterA", 5); },
         sim::Profiles::Windows10x64(), "/quiet /model \"NORVA MTR444\" /interface parallel", 8,
         Say(Words::LogMessage, Say(Words::OpenPrinterFailed, 5, "NORVA MTR444")),
         Say(Words::LogPrinters, "\"NORVA MTR444\"")},
        // The user is not told, but the record is missing all the same.
        {"settings not stored", [](QuietRun& run) { run.machine.FailNext("SetPrinterDataA", 5); },
         sim::Profiles::Windows10x64(), "/quiet /model \"NORVA MTR444\" /interface parallel", 8, "",
         Say(Words::LogPrinters, "\"NORVA MTR444\"")},
    };
}

void ExpectEnding(const EndingCase& c)
{
    QuietRun run(c.profile);
    c.arrange(run);
    EXPECT_EQ(run.Run(c.arguments), c.code) << c.name << "\n" << run.LogText();
    const LogLines log = run.Log();
    ASSERT_FALSE(log.empty()) << c.name;
    if (!c.message.empty()) {
        EXPECT_TRUE(run.Logged(c.message)) << c.name << "\n" << run.LogText();
    }
    if (!c.printers.empty()) {
        EXPECT_TRUE(run.Logged(c.printers)) << c.name << "\n" << run.LogText();
    }
    EXPECT_EQ(log.back().rfind("result: " + std::to_string(c.code) + " ", 0), 0u) << c.name;
}

// One case per way the run ends; the message is the one the dialogs would show, word for word.
TEST(QuietInstallation, EachEndingHasItsExitCodeAndItsMessageInTheLog)
{
    for (const auto& cases : {EarlyEndingCases(), LateEndingCases()}) {
        for (const EndingCase& c : cases) ExpectEnding(c);
    }
}

// Protected print mode and another run stop a run before it changes anything, with windows or
// without; a check reports the mode and neither waits nor takes the machine.
TEST(QuietInstallation, ProtectedPrintModeAndAnotherRunChangeNothing)
{
    const std::string serial = "/quiet /model \"NORVA MTR444\" /interface serial /port COM2:";
    const struct {
        const char* name;
        std::function<void(sim::SimMachine&)> arrange;
        const char* dialogText;  // the message box of the dialog run
        int dialogCode;
    } stops[] = {
        {"policy", [](sim::SimMachine& m) { SetProtectedPrint(m, kWppPolicy); }, Text(Words::ProtectedPrintMode), 11},
        {"another run", [](sim::SimMachine& m) { m.HoldMutexElsewhere(kRunMutexName); }, Text(Words::AnotherRun), 1618},
    };
    for (const auto& c : stops) {
        QuietRun quiet;
        c.arrange(quiet.machine);
        const MachineFacts before = WholeMachine(quiet.machine);
        EXPECT_NE(quiet.Run(serial), 0) << c.name;
        MachineFacts after = WholeMachine(quiet.machine);
        EXPECT_EQ(after.erase("file:C:\\QUIET.LOG"), 1u) << c.name;
        EXPECT_EQ(Differences(before, after), std::vector<std::string>{}) << c.name;
        EXPECT_FALSE(quiet.machine.ProgramOwnsMutex(kRunMutexName)) << c.name;

        InstallerRun dialog;
        c.arrange(dialog.machine);
        EXPECT_EQ(static_cast<int>(RunProgram(dialog.machine.platform(), dialog.state, "")), c.dialogCode) << c.name;
        ASSERT_EQ(dialog.screen.Transcript().size(), 1u) << c.name;
        EXPECT_NE(dialog.screen.Transcript().front().Describe().find(OneLine(c.dialogText)), std::string::npos)
            << dialog.screen.Transcript().front().Describe();
        EXPECT_EQ(dialog.machine.CallCount("OpenSCManagerA"), 0u) << c.name;
    }

    // A check reports the mode as a difference; another run does not hold it up.
    QuietRun installed;
    EXPECT_EQ(installed.Run(serial), 0);
    SetProtectedPrint(installed.machine, kWppSwitch);
    installed.machine.HoldMutexElsewhere(kRunMutexName);
    const platform::Dword ticks = installed.machine.TickCount();
    EXPECT_EQ(installed.RunAgain(serial + " /check"), 9);
    EXPECT_LT(installed.machine.TickCount() - ticks, kQuietRunWait);
    EXPECT_TRUE(installed.Logged(Say(Words::LogDifference, Text(Words::ProtectedPrintDifference))))
        << installed.LogText();

    // Values at 0 are the mode off; a run that ended lets go of the machine; another run that
    // ends within the wait is waited for.
    QuietRun off;
    SetProtectedPrint(off.machine, kWppPolicy, 0);
    SetProtectedPrint(off.machine, kWppSwitch, 0);
    off.machine.HoldMutexElsewhere(kRunMutexName, 90 * 1000, true);
    EXPECT_EQ(off.Run(serial), 0) << off.LogText();
    EXPECT_TRUE(off.machine.FindPrinter("NORVA MTR444"));
    EXPECT_FALSE(off.machine.ProgramOwnsMutex(kRunMutexName));
}

// On an Arm PC both widths run emulated; each says so itself, with windows or without, and
// nothing is started or changed. The uninstaller works there as anywhere.
TEST(QuietInstallation, AnArmPcIsRefusedByBothWidthsBeforeTheHandOver)
{
    const struct {
        bool wow64;
        const char* arguments;
        std::optional<int> code;
    } rows[] = {
        {true, "", 2},
        {true, "/quiet /model \"NORVA MTR333\" /log C:\\arm.log", 2},
        {false, "", 2},
        {false, "/quiet /model \"NORVA MTR333\" /log C:\\arm.log", 2},
    };
    for (const auto& row : rows) {
        auto profile = sim::Profiles::Windows11Arm64();
        profile.wow64 = row.wow64;
        InstallerRun run(profile);
        run.machine.AddFile("C:\\NORVA Orbix Printer 4.X\\zenthar64.exe", "the twin");
        run.machine.AddFile("C:\\NORVA Orbix Printer 4.X\\DriverOrbixUninstaller64.exe", "the twin");
        EXPECT_EQ(HandOverToTwin(run.machine.platform(), row.arguments), row.code) << row.arguments;
        EXPECT_TRUE(run.machine.Processes().empty()) << row.arguments;
        const std::string text = run.machine.FileContents("C:\\arm.log").value_or("");
        if (std::string(row.arguments).empty()) {
            ASSERT_EQ(run.screen.Transcript().size(), 1u);
            EXPECT_NE(run.screen.Transcript().front().Describe().find(OneLine(Text(Words::ArmPc))), std::string::npos);
        } else {
            EXPECT_EQ(text, WithCrLf(Text(Words::ArmPc)) + "\r\n" +
                                Say(Words::LogResult, 2, Text(Words::ExitWindowsNotSupported)) + "\r\n");
        }
        if (row.wow64) {
            run.machine.ScriptCommand("DriverOrbixUninstaller64.exe", 0);
            EXPECT_EQ(uninstall::HandOverToTwin(run.machine.platform(), "/quiet"), UninstallerExit::Removed);
            EXPECT_EQ(run.machine.Processes().size(), 1u);
        }
    }
    // An x64 PC is not taken for one.
    sim::SimMachine x64;
    x64.SetWow64(false);
    EXPECT_EQ(HandOverToTwin(x64.platform(), "/quiet"), std::nullopt);
    // The 32-bit program hands over while another run holds the machine, without taking it:
    // its twin is the one that waits.
    sim::SimMachine wow64;
    wow64.AddFile("C:\\NORVA Orbix Printer 4.X\\zenthar64.exe", "the twin");
    wow64.HoldMutexElsewhere(kRunMutexName);
    wow64.ScriptCommand("zenthar64.exe", 1618);
    EXPECT_EQ(HandOverToTwin(wow64.platform(), "/quiet"), 1618);
    EXPECT_EQ(wow64.CallCount("CreateMutexA"), 0u);
}

// The search for a USB printer that is not there keeps its probes and its half minute: the
// machine's waits are not skipped, only the pause after the failure that lets it be read.
TEST(QuietInstallation, TheUsbSearchKeepsItsProbesAndPauses)
{
    QuietRun run;
    EXPECT_EQ(run.Run("/quiet /model \"NORVA MTR333\""), 4);
    EXPECT_EQ(run.machine.Pauses(), std::vector<platform::Dword>(29, 1000));
    EXPECT_TRUE(run.Logged(Say(Words::LogStep, Text(Words::QuietUsbNotFound))));
    EXPECT_TRUE(run.machine.Drivers().empty());
}

// Without /quiet the command line is ignored as it always was, except "/?" alone.
TEST(QuietCommandLine, WithoutQuietTheDialogsStartAndSlashQuestionShowsTheUsage)
{
    for (const char* commandLine : {"", "/colour red", "/model \"NORVA MTR444\"", "/? /?"}) {
        InstallerRun run;
        run.Main().PressEscape();
        EXPECT_EQ(RunProgram(run.machine.platform(), run.state, commandLine), ExitCode::Installed);
        ASSERT_FALSE(run.screen.Transcript().empty()) << commandLine;
        EXPECT_EQ(run.screen.Transcript().front().Describe(), "open main") << commandLine;
    }
    for (const char* commandLine : {"/?", "-?"}) {
        InstallerRun run;
        EXPECT_EQ(RunProgram(run.machine.platform(), run.state, commandLine), ExitCode::Installed);
        ASSERT_EQ(run.screen.Transcript().size(), 1u) << commandLine;
        const std::string shown = run.screen.Transcript().front().Describe();
        EXPECT_EQ(shown.rfind("message \"Usage: zenthar.exe /quiet", 0), 0u) << shown;
        EXPECT_NE(shown.find("caption \"zenthar\" icon none owner none"), std::string::npos) << shown;
        EXPECT_EQ(run.machine.CallCount("OpenSCManagerA"), 0u);
    }
}

}  // namespace
}  // namespace zenthar::testing
