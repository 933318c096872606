// Whole installation runs, from Install to the end of the run, one per way a run can end.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "resources/DefaultPrinterDialogIds.h"
#include "resources/InstallCompleteDialogIds.h"
#include "resources/InstallerWords.h"
#include "resources/InterfaceDialogIds.h"
#include "resources/IpAddressDialogIds.h"
#include "resources/MainDialogIds.h"
#include "tests/common/InstallerRun.h"

namespace zenthar::testing {
namespace {

using zenthar::resources::Say;
using zenthar::resources::Text;
using zenthar::resources::Words;

namespace address_ids = resources::address_ids;
namespace complete_ids = resources::complete_ids;
namespace default_ids = resources::default_ids;
namespace interface_ids = resources::interface_ids;
using resources::main_ids::kCloneCheck;
using resources::main_ids::kCopiesEdit;
using resources::main_ids::kExitButton;
using resources::main_ids::kInstallButton;
using resources::main_ids::kModelList;

using Lines = std::vector<std::string>;

constexpr const char* kUsbPath = "\\\\?\\usb#vid_0525&pid_a700#5&1a2b3c&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

// A step on the main dialog's status line, with the progress bar's position.
std::string Status(Words step, int position)
{
    return "status \"" + std::string(Text(step)) + "\" " + std::to_string(position);
}

// The part of a run that installs one row, from the status it starts with.
Lines RowLines()
{
    return {Status(Words::InstallEnded, 60),
            "pause 500",
            Status(Words::AddStarted, 70),
            Status(Words::AddEnded, 85),
            "pause 500",
            Status(Words::AddEnded, 90),
            "pause 1500"};
}

Lines Concat(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Lines kCopyLines = {Status(Words::CopyStarted, 30), "pause 500", Status(Words::CopyEnded, 40), "pause 500",
                          Status(Words::InstallStarted, 50)};
const Lines kCompletion = {Status(Words::InstallationCompleted, 100), "pause 500", "open complete",
                           "end complete = IDOK", "end main = IDCANCEL"};

TEST(InstallationRun, TheTypicalUsbRunInstallsTheModelOnTheMonitorsPort)
{
    InstallerRun run;
    run.machine.AddUsbPrinter(kUsbPath, 1);
    run.Main().ToggleRow(kModelList, 0).Click(kInstallButton);
    run.Interface().Click(interface_ids::kOk);
    run.DefaultPrinter().Click(default_ids::kOk);
    run.Complete().Click(complete_ids::kOk);
    run.Start();

    Lines usbSearch = {"open interface", "end interface = IDOK", "create search"};
    for (int i = 0; i < 8; ++i) usbSearch.push_back("pause 100");
    usbSearch.push_back("destroy search");
    EXPECT_EQ(
        run.Transcript(),
        Concat({{"open main"}, usbSearch, kCopyLines, RowLines(), {"open default", "end default = IDOK"}, kCompletion}))
        << run.TranscriptText();

    auto& m = run.machine;
    EXPECT_EQ(run.state.session.osFamily, OsFamily::Win8);
    EXPECT_EQ(run.state.session.processor, Processor::X64);
    const auto printer = m.FindPrinter("NORVA MTR333");
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->portName, "USBPOS0");
    EXPECT_EQ(printer->driverName, "NORVA MTR333");
    ASSERT_NE(printer->FindData("TTY DeviceConfig"), nullptr);
    EXPECT_TRUE(m.FindDriver("NORVA MTR333"));
    EXPECT_EQ(m.DefaultPrinter(), "NORVA MTR333");
    EXPECT_EQ(m.UsbWrites(kUsbPath), (std::vector<std::vector<std::uint8_t>>{{0}}));
    bool monitor = false;
    for (const auto& each : m.Monitors()) monitor |= each.name == "KVPOS Port Monitor";
    EXPECT_TRUE(monitor);
    // The 64-bit system's own universal driver, the Server 2012 plug-ins.
    EXPECT_EQ(m.FileContents(m.DriverDirectory() + "\\VXTHM4.DLL"), "Win64\\Server2012\\VXTHM4.DLL");
    EXPECT_TRUE(m.RegistryKeyExists(
        platform::kHkeyLocalMachine,
        "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVA Orbix Printer 4.64"));
}

TEST(InstallationRun, AComRunWithOneModel)
{
    InstallerRun run(sim::Profiles::Windows7());
    run.Main().ToggleRow(kModelList, 1).Click(kInstallButton);
    run.Interface()
        .Click(interface_ids::kSerialRadio)
        .SelectComboText(interface_ids::kPortCombo, "COM2:")
        .SelectCombo(interface_ids::kCodePageCombo, 5)
        .Click(interface_ids::kOk);
    run.DefaultPrinter()
        .Click(default_ids::kSetDefaultCheck)
        .Click(default_ids::kOk);  // untick: keep the default printer
    run.Complete().Click(complete_ids::kOk);
    run.machine.SetDefaultPrinter("Old Printer");
    run.Start();

    EXPECT_EQ(run.Transcript(), Concat({{"open main", "open interface", "end interface = IDOK"},
                                        kCopyLines,
                                        RowLines(),
                                        {"open default", "end default = IDOK"},
                                        kCompletion}))
        << run.TranscriptText();
    ExpectMtr444OnCom2With866(run.machine);
    EXPECT_EQ(run.machine.DefaultPrinter(), "Old Printer");
}

TEST(InstallationRun, ThreeClonesOnLpt1MakeTheLastOneTheDefault)
{
    InstallerRun run;
    run.Main().Click(kCloneCheck).SetText(kCopiesEdit, "3").Click(kInstallButton);
    run.Interface()
        .Click(interface_ids::kParallelRadio)
        .SelectComboText(interface_ids::kPortCombo, "LPT1:")
        .Click(interface_ids::kOk);
    run.DefaultPrinter().Click(default_ids::kOk);
    run.Complete().Click(complete_ids::kOk);
    run.Start();

    EXPECT_EQ(run.Transcript(), Concat({{"open main", "open interface", "end interface = IDOK"},
                                        kCopyLines,
                                        RowLines(),
                                        RowLines(),
                                        RowLines(),
                                        {"open default", "end default = IDOK"},
                                        kCompletion}))
        << run.TranscriptText();
    for (const char* name : {"NORVA Orbix #1", "NORVA Orbix #2", "NORVA Orbix #3"}) {
        const auto printer = run.machine.FindPrinter(name);
        ASSERT_TRUE(printer) << name;
        EXPECT_EQ(printer->portName, "LPT1:");
        EXPECT_EQ(printer->driverName, name);
        EXPECT_TRUE(run.machine.FindDriver(name)) << name;
    }
    EXPECT_EQ(run.machine.FindPrinter("NORVA Orbix #1")->FindData("TTY DeviceConfig")->bytes,
              run.machine.FindPrinter("NORVA Orbix #3")->FindData("TTY DeviceConfig")->bytes);
    EXPECT_EQ(run.machine.DefaultPrinter(), "NORVA Orbix #3");
    EXPECT_EQ(run.state.rows.rowCount, 3);
}

TEST(InstallationRun, AddingToAnEarlierInstallationAsksNoDefaultAndWritesNoUninstallEntry)
{
    InstallerRun run;
    run.AddExistingPrinter("NORVA Orbix #1");
    run.Main().Click(kCloneCheck).SetText(kCopiesEdit, "3").Click(kInstallButton);
    run.Interface().Click(interface_ids::kParallelRadio).Click(interface_ids::kOk);
    run.Complete().Click(complete_ids::kOk);
    run.Start();

    EXPECT_EQ(
        run.Transcript(),
        Concat(
            {{"open main", "open interface", "end interface = IDOK"}, kCopyLines, RowLines(), RowLines(), kCompletion}))
        << run.TranscriptText();
    EXPECT_TRUE(run.machine.FindPrinter("NORVA Orbix #2"));
    EXPECT_TRUE(run.machine.FindPrinter("NORVA Orbix #3"));
    EXPECT_EQ(run.machine.FindPrinter("NORVA Orbix #1")->FindData("TTY DeviceConfig"), nullptr);
    EXPECT_FALSE(run.machine.RegistryKeyExists(
        platform::kHkeyLocalMachine,
        "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVA Orbix Printer 4.64"));
}

TEST(InstallationRun, OnlyExistingRowsInstallNothingAndSetNoDefault)
{
    InstallerRun run;
    run.AddExistingPrinter("NORVA KSV100-III");
    run.machine.SetDefaultPrinter("Old Printer");
    run.Main().SelectRow(kModelList, 2).Click(kInstallButton);
    run.Interface().Click(interface_ids::kSerialRadio).Click(interface_ids::kOk);
    run.DefaultPrinter().Click(default_ids::kOk);
    run.Complete().Click(complete_ids::kOk);
    run.Start();

    EXPECT_EQ(run.Transcript(), Concat({{"open main", "open interface", "end interface = IDOK"},
                                        kCopyLines,
                                        {"open default", "end default = IDOK"},
                                        kCompletion}))
        << run.TranscriptText();
    EXPECT_EQ(run.machine.Printers().size(), 1u);
    // No printer of this run could become the default.
    EXPECT_EQ(run.machine.DefaultPrinter(), "Old Printer");
}

TEST(InstallationRun, NoCheckedRowIsReportedAndTheDialogStays)
{
    InstallerRun run;
    bool installEnabled = true, exitEnabled = false;
    run.Main()
        .Then([](ui::headless::HeadlessDialog& d) { d.EnableItem(kInstallButton, true); })
        .Click(kInstallButton)
        .Then([&](ui::headless::HeadlessDialog& d) {
            installEnabled = d.Find(kInstallButton)->Enabled();
            exitEnabled = d.Find(kExitButton)->Enabled();
        })
        .PressEscape();
    run.Start();
    EXPECT_EQ(run.Transcript(), (Lines{"open main", MessageLine(Text(Words::PleaseSelect)), "end main = IDCANCEL"}));
    EXPECT_FALSE(installEnabled);
    EXPECT_TRUE(exitEnabled);
}

TEST(InstallationRun, CancellingTheInterfaceDialogEndsTheProgram)
{
    InstallerRun run;
    run.Main().ToggleRow(kModelList, 0).Click(kInstallButton);
    run.Interface().Click(interface_ids::kExit);
    run.Start();
    EXPECT_EQ(run.Transcript(), (Lines{"open main", "open interface", "end interface = IDCANCEL",
                                       MessageLine(Text(Words::InstallCanceled)), "end main = IDCANCEL"}));
    EXPECT_TRUE(run.machine.Printers().empty());
    EXPECT_TRUE(run.machine.Drivers().empty());
}

TEST(InstallationRun, CancellingTheDefaultPrinterQuestionEndsWithoutTheCompletionDialog)
{
    InstallerRun run;
    run.Main().ToggleRow(kModelList, 2).Click(kInstallButton);
    run.Interface().Click(interface_ids::kParallelRadio).Click(interface_ids::kOk);
    run.DefaultPrinter().PressEscape();
    run.Start();
    EXPECT_EQ(run.Transcript(), Concat({{"open main", "open interface", "end interface = IDOK"},
                                        kCopyLines,
                                        RowLines(),
                                        {"open default", "end default = IDCANCEL",
                                         MessageLine(Text(Words::InstallCanceled)), "end main = IDCANCEL"}}))
        << run.TranscriptText();
    EXPECT_TRUE(run.machine.FindPrinter("NORVA KSV100-III"));
}

// A run that stops with the main dialog open: both buttons disabled.
void ExpectStoppedWithButtonsDisabled(InstallerRun& run, bool& installEnabled, bool& exitEnabled)
{
    (void)run;
    EXPECT_FALSE(installEnabled);
    EXPECT_FALSE(exitEnabled);
}

TEST(InstallationRun, UnsupportedWindowsStopsTheRun)
{
    for (const bool known : {true, false}) {
        auto profile = sim::Profiles::Windows98();
        if (!known) profile.minorVersion = 3;  // a 9x version nobody knows: no family
        InstallerRun run(profile);
        bool install = true, exit = true;
        int focus = 0;
        run.Main()
            .ToggleRow(kModelList, 0)
            .Click(kInstallButton)
            .Then([&](ui::headless::HeadlessDialog& d) {
                install = d.Find(kInstallButton)->Enabled();
                exit = d.Find(kExitButton)->Enabled();
                focus = d.GetFocus();
            })
            .PressEscape();
        run.Interface().Click(interface_ids::kSerialRadio).Click(interface_ids::kOk);
        run.Start();
        const auto messages = run.Lines("message");
        if (known) {
            EXPECT_EQ(messages.back(), MessageLine(Text(Words::Win98NotSupported), Text(Words::ErrorCaption)));
        } else {
            // Only the start-up's message about the service manager that 9x lacks.
            EXPECT_EQ(messages.size(), 1u) << run.TranscriptText();
        }
        ExpectStoppedWithButtonsDisabled(run, install, exit);
        // The pressed Install had the focus when the run disabled it: handed on to the list.
        EXPECT_EQ(focus, kModelList);
        EXPECT_TRUE(run.machine.Drivers().empty());
        EXPECT_EQ(run.machine.CallCount("EnumMonitorsA"), 0u);
    }
}

TEST(InstallationRun, AnUnknownProcessorGoesStraightToCompletion)
{
    auto profile = sim::Profiles::Windows10x64();
    profile.nativeArchitecture = 5;
    profile.systemInfoArchitecture = 5;
    InstallerRun run(profile);
    run.state.session.processor = static_cast<Processor>(3);
    run.Main().ToggleRow(kModelList, 0).Click(kInstallButton);
    run.Interface().Click(interface_ids::kSerialRadio).Click(interface_ids::kOk);
    run.Complete().Click(complete_ids::kOk);
    run.Start();
    EXPECT_EQ(run.Transcript(), Concat({{"open main", "open interface", "end interface = IDOK"}, kCompletion}))
        << run.TranscriptText();
    EXPECT_TRUE(run.machine.Drivers().empty());
    // The monitor step comes before the processor test.
    EXPECT_EQ(run.machine.CallCount("AddMonitorA"), 1u);
}

TEST(InstallationRun, AFailedDriverRegistrationStopsBeforeTheNextRows)
{
    InstallerRun run;
    run.machine.FailNext("AddPrinterDriverA", 5, 2);
    bool install = true, exit = true;
    run.Main()
        .Click(kCloneCheck)
        .SetText(kCopiesEdit, "3")
        .Click(kInstallButton)
        .Then([&](ui::headless::HeadlessDialog& d) {
            install = d.Find(kInstallButton)->Enabled();
            exit = d.Find(kExitButton)->Enabled();
        })
        .PressEscape();
    run.Interface().Click(interface_ids::kParallelRadio).Click(interface_ids::kOk);
    run.Start();

    const std::string deleteFailed =
        MessageLine(Say(Words::DeletePrintProcessorFailed, 2), "zenthar", "exclamation", "main");
    EXPECT_EQ(run.Transcript(), Concat({{"open main", "open interface", "end interface = IDOK"},
                                        kCopyLines,
                                        RowLines(),
                                        {MessageLine(Say(Words::AddDriverFailed, 5)), deleteFailed, deleteFailed,
                                         "end main = IDCANCEL"}}))
        << run.TranscriptText();
    EXPECT_TRUE(run.machine.FindPrinter("NORVA Orbix #1"));
    EXPECT_FALSE(run.machine.FindDriver("NORVA Orbix #2"));
    EXPECT_FALSE(run.machine.FindDriver("NORVA Orbix #3"));
    EXPECT_FALSE(install);
    EXPECT_FALSE(exit);
}

// The rows the stopped run made show as installed, so a second try passes over them instead
// of failing on them with 1802.
TEST(InstallationRun, ASecondTryAfterAStoppedRunInstallsOnlyTheRemainingRows)
{
    InstallerRun run;
    run.machine.FailNext("AddPrinterDriverA", 5, 2);
    std::vector<int> checksAfterStop;
    run.Main()
        .Click(kCloneCheck)
        .SetText(kCopiesEdit, "3")
        .Click(kInstallButton)
        .Then([&](ui::headless::HeadlessDialog& d) { checksAfterStop = d.RowChecks(kModelList); })
        .SelectRow(kModelList, 1)
        .Click(kInstallButton);
    run.Interface().Click(interface_ids::kParallelRadio).Click(interface_ids::kOk);
    run.Interface().Click(interface_ids::kParallelRadio).Click(interface_ids::kOk);
    run.Complete().Click(complete_ids::kOk);
    run.Start();
    EXPECT_EQ(checksAfterStop, (std::vector<int>{2, 1, 1}));
    EXPECT_TRUE(run.Lines("message \"Failure to AddPrinter ").empty()) << run.TranscriptText();
    for (const char* name : {"NORVA Orbix #1", "NORVA Orbix #2", "NORVA Orbix #3"})
        EXPECT_TRUE(run.machine.FindPrinter(name)) << name;
    EXPECT_EQ(run.machine.CallCount("AddPrinterA"), 3u);
    // Row 0 was there before the second run: it leaves the uninstall entry and the default
    // printer alone and goes straight to completion.
    EXPECT_EQ(run.Transcript().back(), "end main = IDCANCEL");
}

// While the default-printer question is up, the main dialog is its owner and takes no
// input: a click on the clone box cannot change which printer becomes the default.
TEST(InstallationRun, TheClosingDialogsBelongToTheMainDialogWhichWaitsBehindThem)
{
    InstallerRun run;
    bool mainEnabledBehindQuestion = true;
    int cloneAfterClick = -1;
    run.Main().ToggleRow(kModelList, 0).ToggleRow(kModelList, 1).Click(kInstallButton);
    run.Interface().Click(interface_ids::kSerialRadio).Click(interface_ids::kOk);
    run.DefaultPrinter()
        .Then([&](ui::headless::HeadlessDialog&) {
            ui::headless::HeadlessDialog* main = run.screen.FindDialog(resources::kMainDialog);
            mainEnabledBehindQuestion = main->DialogEnabled();
            main->UserClick(kCloneCheck);
            cloneAfterClick = main->GetCheck(kCloneCheck);
        })
        .Click(1);
    run.Complete().Click(complete_ids::kOk);
    run.Start();
    EXPECT_FALSE(mainEnabledBehindQuestion);
    EXPECT_EQ(cloneAfterClick, 0);
    EXPECT_EQ(run.machine.DefaultPrinter(), "NORVA MTR444");
    int owned = 0;
    for (const auto& event : run.screen.Transcript()) {
        if (event.kind != ui::headless::Event::Kind::DialogOpened || event.templateId == resources::kMainDialog)
            continue;
        EXPECT_EQ(event.ownerTemplateId, resources::kMainDialog) << event.templateId;
        ++owned;
    }
    EXPECT_EQ(owned, 3);  // the interface, default-printer and completion dialogs
}

TEST(InstallationRun, AFailedPrinterCreationKeepsThatRowsDriver)
{
    InstallerRun run;
    run.machine.FailNext("AddPrinterA", 5, 2);
    run.Main().Click(kCloneCheck).SetText(kCopiesEdit, "3").Click(kInstallButton).PressEscape();
    run.Interface().Click(interface_ids::kParallelRadio).Click(interface_ids::kOk);
    run.Start();
    EXPECT_NE(run.TranscriptText().find(MessageLine(Say(Words::AddPrinterFailed, 5))), std::string::npos)
        << run.TranscriptText();
    EXPECT_TRUE(run.machine.FindPrinter("NORVA Orbix #1"));
    EXPECT_TRUE(run.machine.FindDriver("NORVA Orbix #2"));
    EXPECT_FALSE(run.machine.FindPrinter("NORVA Orbix #2"));
    EXPECT_FALSE(run.machine.FindDriver("NORVA Orbix #3"));
}

// The user installs "NORVA MTR333" on the network address 10.1.2.3 and takes every default.
void RunEthernetInstallation(InstallerRun& run)
{
    run.Main().ToggleRow(kModelList, 0).Click(kInstallButton);
    run.Interface().Click(interface_ids::kEthernetRadio).Click(interface_ids::kOk);
    run.Address().SetIpFields(address_ids::kAddressField, {"10", "1", "2", "3"}).Click(address_ids::kOk);
    run.DefaultPrinter().Click(default_ids::kOk);
    run.Complete().Click(complete_ids::kOk);
    run.Start();
}

TEST(InstallationRun, ANetworkRunMakesThePortAndRestartsTheServices)
{
    InstallerRun run;
    RunEthernetInstallation(run);

    const auto printer = run.machine.FindPrinter("NORVA MTR333");
    ASSERT_TRUE(printer) << run.TranscriptText();
    // The sim's spooler learns of registry-made ports only through the monitor; Windows moves
    // such a printer to COM1: when the port is unknown, as here.
    std::vector<std::string> commands;
    for (const auto& process : run.machine.Processes()) commands.push_back(process.commandLine);
    EXPECT_EQ(commands, (std::vector<std::string>{"C:\\Windows\\system32\\cmd.exe /c net stop LPDSVC",
                                                  "C:\\Windows\\system32\\cmd.exe /c net stop spooler",
                                                  "C:\\Windows\\system32\\cmd.exe /c net start spooler",
                                                  "C:\\Windows\\system32\\cmd.exe /c net start LPDSVC"}));
    const auto address = run.machine.FindRegistryValue(
        platform::kHkeyLocalMachine,
        "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\IP_10.1.2.3", "IPAddress");
    ASSERT_TRUE(address);
    EXPECT_EQ(std::string(address->bytes.begin(), address->bytes.end()), std::string("10.1.2.3", 9));
}

// Files a user could plant where Windows looks first: beside the program (the folder a person
// starts it from, too) and in the folder the run starts in. None of them runs or is loaded,
// also where the loader does not know LOAD_LIBRARY_SEARCH_SYSTEM32 and the spooler library is
// loaded by its full path (Windows 7).
TEST(InstallationRun, NothingPlantedWhereWindowsLooksFirstRunsOrIsLoaded)
{
    const auto upper = [](std::string text) {
        for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return text;
    };
    for (const auto& profile : {sim::Profiles::Windows10x64(), sim::Profiles::Windows7x64()}) {
        SCOPED_TRACE(profile.name);
        InstallerRun run(profile);
        for (const std::string& folder : {std::string("C:\\NORVA Orbix Printer 4.X"), run.machine.CurrentDirectory()})
            for (const char* name : {"net.bat", "NET.COM", "CMD.EXE", "WINSPOOL.DRV"})
                run.machine.AddFile(folder + "\\" + name, "planted");
        RunEthernetInstallation(run);
        ASSERT_TRUE(run.machine.FindPrinter("NORVA MTR333")) << run.TranscriptText();

        const std::string system = upper(run.machine.SystemDirectory());
        const auto processes = run.machine.Processes();
        ASSERT_EQ(processes.size(), 4u);
        for (const auto& process : processes) {
            EXPECT_EQ(upper(process.program), system + "\\CMD.EXE") << process.commandLine;
            EXPECT_EQ(upper(process.commandFile), system + "\\NET.EXE") << process.commandLine;
        }
        EXPECT_EQ(run.machine.DefaultPrinter(), "NORVA MTR333");
        const auto libraries = run.machine.LibraryFilesLoaded();
        ASSERT_EQ(libraries.size(), 1u);
        EXPECT_EQ(upper(libraries[0]), system + "\\WINSPOOL.DRV");
        EXPECT_EQ(run.machine.CallCount("LoadLibraryA"), profile.supportsLoadLibrarySearchFlags ? 0u : 1u);
    }
}

// A "net stop" that asks a question on its hidden console would hold the installer for ever.
TEST(InstallationRun, ARestartCommandThatNeverEndsIsStoppedAndShown)
{
    InstallerRun run;
    run.machine.HangCommand("net stop spooler");
    RunEthernetInstallation(run);

    EXPECT_EQ(run.Lines("message \"" + Say(Words::CommandTimedOut, "net stop", "spooler", 60) +
                        "\" caption \"zenthar\" icon exclamation")
                  .size(),
              1u)
        << run.TranscriptText();
    const auto processes = run.machine.Processes();
    ASSERT_EQ(processes.size(), 4u);
    EXPECT_TRUE(processes[1].terminated);
    EXPECT_TRUE(run.machine.FindPrinter("NORVA MTR333"));
}

}  // namespace
}  // namespace zenthar::testing
