// The uninstaller's engine on simulated machines that the real installer has just worked on:
// what it finds, what it removes, what it must leave, and its windowless run.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "core/InstallationRecord.h"
#include "core/OneRunAtATime.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"
#include "tests/common/InstallerRun.h"
#include "tests/common/MachineFacts.h"
#include "uninstall/QuietUninstall.h"
#include "uninstall/Removal.h"
#include "uninstall/RemovalTexts.h"
#include "uninstall/UninstallerApp.h"

namespace zenthar::testing {
namespace {

using zenthar::resources::Say;
using zenthar::resources::Text;
using zenthar::resources::Words;

using uninstall::Outcome;
using Exit = UninstallerExit;
using uninstall::Part;
using uninstall::PartKind;
using uninstall::Plan;

constexpr int kList = 1019;
constexpr int kInstall = 1000;
constexpr int kClone = 1047;
constexpr int kCopies = 1048;
constexpr int kKeepDefault = 1023;
constexpr const char* kUsbPath = "\\\\?\\usb#vid_0525&pid_a700#5&1a2b3c&0&1#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
constexpr const char* kPortKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\";
// Where the 32-bit installer's record lands on the simulated 64-bit Windows.
constexpr const char* kRecordKey32 = "Software\\Wow6432Node\\NORVA\\Orbix Printer 4.64";

enum class Kind { ModelsOnCom, ClonesOnLpt, UsbWithMonitor, Ethernet };

// A machine as a workstation has it: an inbox driver of the system's universal driver, whose
// files the installer's drivers share.
void AddInboxDriver(sim::SimMachine& machine)
{
    sim::SimDriver driver;
    driver.name = "Generic / Text Only";
    driver.driverPath = "UNIDRV.DLL";
    driver.dataFile = "TTY.GPD";
    driver.configFile = "UNIDRVUI.DLL";
    driver.helpFile = "UNIDRV.HLP";
    driver.dependentFiles = {"UNIRES.DLL"};
    machine.AddDriver(driver);
}

// The installer, ready to run one kind of installation as a user would answer it.
std::unique_ptr<InstallerRun> Installation(Kind kind, bool makeDefault = true)
{
    auto run = std::make_unique<InstallerRun>();
    AddInboxDriver(run->machine);
    switch (kind) {
    case Kind::ModelsOnCom:
        run->Main().ToggleRow(kList, 0).ToggleRow(kList, 1).Click(kInstall);
        run->Interface().Click(1002).SelectComboText(1026, "COM2:").Click(1);
        break;
    case Kind::ClonesOnLpt:
        run->Main().Click(kClone).SetText(kCopies, "3").Click(kInstall);
        run->Interface().Click(1005).SelectComboText(1026, "LPT1:").Click(1);
        break;
    case Kind::UsbWithMonitor:
        run->machine.AddUsbPrinter(kUsbPath, 1);
        run->Main().ToggleRow(kList, 0).Click(kInstall);
        run->Interface().Click(1);
        break;
    case Kind::Ethernet:
        run->Main().ToggleRow(kList, 2).Click(kInstall);
        run->Interface().Click(1007).Click(1);
        run->Address().SetIpFields(1044, {"10", "1", "2", "3"}).Click(1);
        break;
    }
    if (makeDefault) run->DefaultPrinter().Click(1);
    else run->DefaultPrinter().Click(kKeepDefault).Click(1);
    run->Complete().Click(1);
    return run;
}

class RecordingView final : public uninstall::RemovalView {
public:
    void Removing(const Part& part, int position) override
    {
        told.push_back(uninstall::Describe(part) + " at " + std::to_string(position));
    }
    std::vector<std::string> told;
};

std::vector<std::string> Descriptions(const Plan& plan)
{
    std::vector<std::string> lines;
    for (const auto& part : plan.parts) lines.push_back(uninstall::Describe(part));
    return lines;
}

std::vector<std::string> Descriptions(const std::vector<Outcome>& outcomes)
{
    std::vector<std::string> lines;
    for (const auto& outcome : outcomes) lines.push_back(uninstall::Describe(outcome));
    return lines;
}

std::vector<Outcome> Remove(sim::SimMachine& machine, const Plan& plan)
{
    RecordingView view;
    return uninstall::RemoveOurs(machine.platform(), plan, view);
}

// The record's values, the driver folder's copies counted rather than named.
std::vector<std::string> RecordLines(const sim::SimMachine& machine)
{
    std::vector<std::string> lines;
    int copies = 0;
    for (const auto& value : machine.RegistryValues(platform::kHkeyLocalMachine, kRecordKey32)) {
        if (value.name.rfind("Driver copy: C:\\Windows\\System32\\spool\\drivers\\w32x86\\", 0) == 0) {
            ++copies;
            continue;
        }
        lines.push_back(value.name);
    }
    lines.push_back(std::to_string(copies) + " driver copies");
    return lines;
}

struct KindCase {
    Kind kind;
    std::vector<std::string> plan;
    std::vector<std::string> record;
};

const std::string kEntry = "uninstall entry \"NORVA Orbix Printer 4.64\"";

std::vector<KindCase> KindCases()
{
    // Every run installs the monitor: the interface dialog always asks for its port.
    const std::string monitor = "port monitor \"KVPOS Port Monitor\"";
    const std::vector<std::string> monitorMade = {"Monitor library: C:\\Windows\\System32\\KVUSBMON.dll",
                                                  "Monitor library: C:\\Windows\\System32\\KVUSBMONUI.dll",
                                                  "Monitor: KVPOS Port Monitor"};
    const auto made = [&monitorMade](std::vector<std::string> rest) {
        rest.insert(rest.begin(), monitorMade.begin(), monitorMade.end());
        return rest;
    };
    return {
        {Kind::ModelsOnCom,
         {"printer \"NORVA MTR333\"", "printer \"NORVA MTR444\"", "driver \"NORVA MTR333\"", "driver \"NORVA MTR444\"",
          monitor, kEntry},
         made({"Driver: NORVA MTR333", "Printer: NORVA MTR333", "Driver: NORVA MTR444", "Printer: NORVA MTR444",
               "10 driver copies"})},
        {Kind::ClonesOnLpt,
         {"printer \"NORVA Orbix #1\"", "printer \"NORVA Orbix #2\"", "printer \"NORVA Orbix #3\"",
          "driver \"NORVA Orbix #1\"", "driver \"NORVA Orbix #2\"", "driver \"NORVA Orbix #3\"", monitor, kEntry},
         made({"Driver: NORVA Orbix #1", "Printer: NORVA Orbix #1", "Driver: NORVA Orbix #2", "Printer: NORVA Orbix #2",
               "Driver: NORVA Orbix #3", "Printer: NORVA Orbix #3", "10 driver copies"})},
        {Kind::UsbWithMonitor,
         {"printer \"NORVA MTR333\"", "driver \"NORVA MTR333\"", monitor, kEntry},
         made({"Driver: NORVA MTR333", "Printer: NORVA MTR333", "10 driver copies"})},
        {Kind::Ethernet,
         {"printer \"NORVA KSV100-III\"", "driver \"NORVA KSV100-III\"", "port \"IP_10.1.2.3\"", monitor, kEntry},
         [&] {
             auto lines = made({"Driver: NORVA KSV100-III", "Printer: NORVA KSV100-III", "10 driver copies"});
             lines.insert(lines.begin(), "Port: IP_10.1.2.3");
             return lines;
         }()},
    };
}

// Installs, then finds and removes ours as the uninstaller does, and compares the whole machine.
void ExpectUndone(const KindCase& each)
{
    auto run = Installation(each.kind);
    auto& machine = run->machine;
    const MachineFacts before = WholeMachine(machine);
    run->Start();
    ASSERT_FALSE(Differences(before, WholeMachine(machine)).empty());
    EXPECT_EQ(RecordLines(machine), each.record);

    // The uninstaller is a program of its own: redirection on, as it starts.
    machine.ResetFsRedirection();
    const Plan plan = uninstall::FindOurs(machine.platform());
    EXPECT_EQ(Descriptions(plan), each.plan);
    // Its windows come after the plan and must see the folders as a 32-bit program does.
    EXPECT_TRUE(machine.FsRedirectionActive());
    RecordingView view;
    const auto outcomes = uninstall::RemoveOurs(machine.platform(), plan, view);
    EXPECT_TRUE(machine.FsRedirectionActive());
    for (const auto& outcome : outcomes) EXPECT_TRUE(outcome.Removed()) << uninstall::Describe(outcome);
    ASSERT_EQ(view.told.size(), plan.parts.size());
    EXPECT_EQ(view.told.front(), each.plan.front() + " at 0");
    EXPECT_EQ(view.told.back(), kEntry + " at " + std::to_string((plan.parts.size() - 1) * 100 / plan.parts.size()));

    EXPECT_EQ(Differences(before, WholeMachine(machine)), std::vector<std::string>{});
    EXPECT_TRUE(uninstall::FindOurs(machine.platform()).Empty());
    EXPECT_TRUE(machine.Misuses().empty()) << ::testing::PrintToString(machine.Misuses());
}

TEST(Uninstall, EachKindOfInstallationIsUndoneToTheWholeMachineBeforeIt)
{
    for (const auto& each : KindCases()) {
        SCOPED_TRACE(each.plan.front());
        ExpectUndone(each);
    }
}

// An installation the 32-bit program made on 64-bit Windows, before its twin did the work
// there: its drivers under the 32-bit environment, its entry in the 32-bit registry view. The
// 64-bit uninstaller finds and removes them too.
TEST(Uninstall, TheSixtyFourBitProgramRemovesWhatThe32BitInstallerLeft)
{
    auto run = Installation(Kind::ModelsOnCom);
    auto& machine = run->machine;
    const MachineFacts before = WholeMachine(machine);
    run->Start();
    machine.SetWow64(false);

    const Plan plan = uninstall::FindOurs(machine.platform());
    EXPECT_EQ(Descriptions(plan),
              (std::vector<std::string>{
                  "printer \"NORVA MTR333\"", "printer \"NORVA MTR444\"", "driver \"NORVA MTR333\" (Windows NT x86)",
                  "driver \"NORVA MTR444\" (Windows NT x86)", "port monitor \"KVPOS Port Monitor\"",
                  "uninstall entry \"NORVA Orbix Printer 4.64\" (32-bit registry view)"}));
    for (const auto& outcome : Remove(machine, plan)) EXPECT_TRUE(outcome.Removed()) << uninstall::Describe(outcome);
    EXPECT_EQ(Differences(before, WholeMachine(machine)), std::vector<std::string>{});
    EXPECT_TRUE(machine.Misuses().empty()) << ::testing::PrintToString(machine.Misuses());
}

// A run stopped at its printer: the record holds what was made up to there, and the
// uninstaller, which has no printer of ours to lead it to the port, takes the machine back.
TEST(Uninstall, ARunStoppedHalfWayIsRecordedAndUndone)
{
    auto run = std::make_unique<InstallerRun>();
    AddInboxDriver(run->machine);
    // The stopped run leaves the main dialog open, to be closed.
    run->Main().ToggleRow(kList, 2).Click(kInstall).Close();
    run->Interface().Click(1007).Click(1);
    run->Address().SetIpFields(1044, {"10", "1", "2", "3"}).Click(1);
    auto& machine = run->machine;
    const MachineFacts before = WholeMachine(machine);
    machine.FailNext("AddPrinterA", platform::ERROR_ACCESS_DENIED);
    run->Start();
    ASSERT_FALSE(machine.FindPrinter("NORVA KSV100-III"));
    const auto record = RecordLines(machine);
    EXPECT_EQ(std::count(record.begin(), record.end(), "Port: IP_10.1.2.3"), 1);
    EXPECT_EQ(std::count(record.begin(), record.end(), "Driver: NORVA KSV100-III"), 1);
    EXPECT_EQ(std::count(record.begin(), record.end(), "Printer: NORVA KSV100-III"), 0);

    const Plan plan = uninstall::FindOurs(machine.platform());
    EXPECT_EQ(Descriptions(plan), (std::vector<std::string>{"driver \"NORVA KSV100-III\"", "port \"IP_10.1.2.3\"",
                                                            "port monitor \"KVPOS Port Monitor\""}));
    for (const auto& outcome : Remove(machine, plan)) EXPECT_TRUE(outcome.Removed()) << uninstall::Describe(outcome);
    EXPECT_EQ(Differences(before, WholeMachine(machine)), std::vector<std::string>{});
}

// A port key the administrator made and a monitor registered before our installation are not
// ours, even when our printer stood on them.
TEST(Uninstall, WhatWasThereBeforeIsKeptEvenWhenOurPrinterUsedIt)
{
    {
        SCOPED_TRACE("the administrator's own port");
        auto run = Installation(Kind::Ethernet);
        auto& machine = run->machine;
        machine.SetRegistryDword(platform::kHkeyLocalMachine, std::string(kPortKey) + "IP_10.1.2.3", "PortNumber",
                                 9101);
        run->Start();
        ASSERT_EQ(machine.FindPrinter("NORVA KSV100-III")->portName, "IP_10.1.2.3");
        const Plan plan = uninstall::FindOurs(machine.platform());
        for (const auto& outcome : Remove(machine, plan))
            EXPECT_TRUE(outcome.Removed()) << uninstall::Describe(outcome);
        EXPECT_FALSE(machine.FindPrinter("NORVA KSV100-III"));
        EXPECT_TRUE(machine.RegistryKeyExists(platform::kHkeyLocalMachine, std::string(kPortKey) + "IP_10.1.2.3"));
        EXPECT_TRUE(uninstall::FindOurs(machine.platform()).Empty());
    }
    {
        // The port's removal restarts the spooler: a net.bat beside the uninstaller, the folder
        // it is started from, is never what runs.
        SCOPED_TRACE("a net.bat planted beside the programs");
        auto run = Installation(Kind::Ethernet);
        auto& machine = run->machine;
        run->Start();
        const std::string folder = "C:\\NORVA Orbix Printer 4.X";
        machine.AddFile(folder + "\\net.bat", "planted");
        ASSERT_TRUE(machine.platform().files.SetCurrentDirectoryA(folder.c_str()).value);
        const std::size_t before = machine.Processes().size();
        const Plan plan = uninstall::FindOurs(machine.platform());
        for (const auto& outcome : Remove(machine, plan))
            EXPECT_TRUE(outcome.Removed()) << uninstall::Describe(outcome);
        const auto processes = machine.Processes();
        ASSERT_GT(processes.size(), before);
        for (std::size_t i = before; i < processes.size(); ++i)
            EXPECT_EQ(processes[i].commandFile, machine.SystemDirectory() + "\\net.exe") << processes[i].commandLine;
        EXPECT_FALSE(machine.RegistryKeyExists(platform::kHkeyLocalMachine, std::string(kPortKey) + "IP_10.1.2.3"));
    }
    {
        SCOPED_TRACE("a monitor registered before");
        auto run = Installation(Kind::UsbWithMonitor);
        auto& machine = run->machine;
        machine.AddFile(machine.SystemDirectory() + "\\KVUSBMON.dll", "another installation's");
        machine.AddMonitor({"KVPOS Port Monitor", "", "KVUSBMON.dll", {"USBPOS0"}});
        run->Start();
        ASSERT_EQ(machine.FindPrinter("NORVA MTR333")->portName, "USBPOS0");
        const Plan plan = uninstall::FindOurs(machine.platform());
        EXPECT_EQ(Descriptions(plan), (std::vector<std::string>{"printer \"NORVA MTR333\"", "driver \"NORVA MTR333\"",
                                                                "uninstall entry \"NORVA Orbix Printer 4.64\""}));
        for (const auto& outcome : Remove(machine, plan))
            EXPECT_TRUE(outcome.Removed()) << uninstall::Describe(outcome);
        EXPECT_EQ(machine.Monitors().size(), 3u);
        EXPECT_TRUE(machine.FileExists(machine.SystemDirectory() + "\\KVUSBMON.dll"));
        EXPECT_TRUE(uninstall::FindOurs(machine.platform()).Empty());
    }
}

TEST(Uninstall, WhatOthersUseOrOnlyBearsOurNameIsLeftAlone)
{
    {
        SCOPED_TRACE("a port shared with a foreign printer, a same-named printer with another driver");
        auto run = Installation(Kind::Ethernet, false);
        auto& machine = run->machine;
        machine.AddPrinter("Front Desk", "IP_10.1.2.3", "Generic / Text Only");
        machine.AddPrinter("NORVA MTR444", "LPT1:", "Generic / Text Only");
        machine.AddDriver("Other Driver");
        const MachineFacts before = WholeMachine(machine);
        run->Start();

        const Plan plan = uninstall::FindOurs(machine.platform());
        EXPECT_EQ(Descriptions(plan),
                  (std::vector<std::string>{"printer \"NORVA KSV100-III\"", "driver \"NORVA KSV100-III\"",
                                            "port monitor \"KVPOS Port Monitor\"",
                                            "uninstall entry \"NORVA Orbix Printer 4.64\""}));
        for (const auto& outcome : Remove(machine, plan))
            EXPECT_TRUE(outcome.Removed()) << uninstall::Describe(outcome);
        // What is left differs from the machine before only by the port the foreign printer uses.
        const auto left = Differences(before, WholeMachine(machine));
        EXPECT_FALSE(left.empty());
        for (const auto& line : left) EXPECT_NE(line.find("IP_10.1.2.3"), std::string::npos) << line;
        EXPECT_TRUE(machine.RegistryKeyExists(platform::kHkeyLocalMachine, std::string(kPortKey) + "IP_10.1.2.3"));
    }
    {
        SCOPED_TRACE("the monitor's port taken by a foreign printer");
        auto run = Installation(Kind::UsbWithMonitor, false);
        run->Start();
        auto& machine = run->machine;
        machine.AddPrinter("Label Printer", "USBPOS0", "Generic / Text Only");
        const Plan plan = uninstall::FindOurs(machine.platform());
        EXPECT_EQ(Descriptions(plan), (std::vector<std::string>{"printer \"NORVA MTR333\"", "driver \"NORVA MTR333\"",
                                                                "uninstall entry \"NORVA Orbix Printer 4.64\""}));
        Remove(machine, plan);
        EXPECT_EQ(machine.Monitors().size(), 3u);
        EXPECT_TRUE(machine.FileExists(machine.SystemDirectory() + "\\KVUSBMON.dll"));
        EXPECT_TRUE(machine.FindPrinter("Label Printer"));
    }
    {
        SCOPED_TRACE("a record naming files outside the folders the installer copies into");
        auto run = Installation(Kind::UsbWithMonitor, false);
        run->Start();
        auto& machine = run->machine;
        const std::string drivers = "C:\\Windows\\System32\\spool\\drivers\\w32x86\\";
        const std::vector<std::string> outside = {"C:\\Users\\Public\\UNIDRV.DLL", drivers + "..\\..\\..\\ntdll.dll",
                                                  "C:\\Windows\\System32\\drivers\\etc\\hosts"};
        for (const auto& file : outside) machine.AddFile(file, "not ours");
        machine.SetRegistryString(platform::kHkeyLocalMachine, kRecordKey32, "Driver copy: " + outside[0], "");
        machine.SetRegistryString(platform::kHkeyLocalMachine, kRecordKey32, "Driver copy: " + outside[1], "");
        machine.SetRegistryString(platform::kHkeyLocalMachine, kRecordKey32, "Monitor library: " + outside[2], "");
        const Plan plan = uninstall::FindOurs(machine.platform());
        EXPECT_EQ(plan.left,
                  (std::vector<std::string>{uninstall::LeftOutsideLine(outside[0], "the spooler's driver folder"),
                                            uninstall::LeftOutsideLine(outside[1], "the spooler's driver folder"),
                                            uninstall::LeftOutsideLine(outside[2], "the system folder")}));
        for (const auto& outcome : Remove(machine, plan))
            EXPECT_TRUE(outcome.Removed()) << uninstall::Describe(outcome);
        for (const auto& file : outside) EXPECT_EQ(machine.FileContents(file), "not ours") << file;
        EXPECT_FALSE(machine.FileExists(machine.SystemDirectory() + "\\KVUSBMON.dll"));
        EXPECT_FALSE(machine.RegistryKeyExists(platform::kHkeyLocalMachine, kRecordKey32));
    }
}

TEST(Uninstall, APrinterWithWaitingJobsIsReportedAndKeepsWhatItNeeds)
{
    auto run = Installation(Kind::UsbWithMonitor);
    run->Start();
    auto& machine = run->machine;
    machine.SetPrinterJobs("NORVA MTR333", 2);

    const auto outcomes = Remove(machine, uninstall::FindOurs(machine.platform()));
    EXPECT_EQ(Descriptions(outcomes),
              (std::vector<std::string>{
                  "Could not remove printer \"NORVA MTR333\": 2 jobs are waiting (error 3009)",
                  "Could not remove driver \"NORVA MTR333\": printer \"NORVA MTR333\" still uses it (error 3001)",
                  "Could not remove port monitor \"KVPOS Port Monitor\": its port \"USBPOS0\" is used by printer "
                  "\"NORVA MTR333\" (error 3008)",
                  "Could not remove uninstall entry \"NORVA Orbix Printer 4.64\": kept while anything else of the "
                  "driver is left, to run this again (error 170)"}));
    EXPECT_EQ(machine.CallCount("DeletePrinter"), 0u);
    EXPECT_EQ(machine.FindPrinter("NORVA MTR333")->status, 0u);
    EXPECT_EQ(uninstall::FindOurs(machine.platform()).parts.size(), 4u);
}

TEST(Uninstall, ASpoolerThatTakesNoDeleteFlagsStillLosesTheDriver)
{
    auto run = Installation(Kind::ModelsOnCom);
    run->Start();
    auto& machine = run->machine;
    machine.FailNext("DeletePrinterDriverExA", platform::ERROR_INVALID_PARAMETER);
    for (const auto& outcome : Remove(machine, uninstall::FindOurs(machine.platform())))
        EXPECT_TRUE(outcome.Removed()) << uninstall::Describe(outcome);
    EXPECT_EQ(machine.CallCount("DeletePrinterDriverExA"), 3u);
    EXPECT_TRUE(machine.Drivers().size() == 1 && machine.Drivers().front().name == "Generic / Text Only");
}

// A spooler that answers with an empty driver folder would have the copies' paths start at the
// drive's root, where files of the same names are not ours.
TEST(Uninstall, AnEmptyDriverFolderDeletesNoCopies)
{
    auto run = Installation(Kind::ModelsOnCom);
    run->Start();
    auto& machine = run->machine;
    // Only an installation without a record has its copies looked for in the spooler's folder.
    machine.DeleteRegistryKey(platform::kHkeyLocalMachine, kRecordKey32);
    machine.AddFile("C:\\UNIDRV.DLL", "not ours");
    machine.AnswerEmptyDriverDirectory(true);
    const auto outcomes = Remove(machine, uninstall::FindOurs(machine.platform()));
    EXPECT_EQ(Descriptions(outcomes)[3], "Could not remove driver \"NORVA MTR444\": the spooler gave no usable driver "
                                         "folder for its copies (error 3)");
    EXPECT_TRUE(machine.FileExists("C:\\UNIDRV.DLL"));
}

// Every call the removal makes, failing once: the part it served is named with the call and
// the error, what depended on that part stays with its own reason, and everything else goes.
TEST(Uninstall, EachRemovalCallFailingOnceLeavesTheOthersDone)
{
    const char* calls[] = {"OpenPrinterA",           "GetPrinterA",   "DeletePrinter",  "EnumPrintersA",
                           "DeletePrinterDriverExA", "EnumMonitorsA", "EnumPortsA",     "DeleteMonitorA",
                           "RegDeleteKeyA",          "DeleteFileA",   "RegDeleteValueA"};
    // What a part left for a reason of another part says.
    const platform::Dword dependent[] = {platform::ERROR_PRINTER_DRIVER_IN_USE, platform::ERROR_PRINT_MONITOR_IN_USE,
                                         platform::ERROR_BUSY};
    for (const char* call : calls) {
        SCOPED_TRACE(call);
        // The monitor's printer and a network printer, so that every kind of part is there.
        auto run = Installation(Kind::UsbWithMonitor);
        run->Start();
        auto& machine = run->machine;
        machine.AddDriver("NORVA MTR444");
        machine.AddPrinter("NORVA MTR444", "IP_10.9.8.7", "NORVA MTR444");
        machine.SetRegistryDword(platform::kHkeyLocalMachine, std::string(kPortKey) + "IP_10.9.8.7", "PortNumber",
                                 9100);
        Record(machine.platform(), {{Made::Port, "IP_10.9.8.7"}});
        const Plan plan = uninstall::FindOurs(machine.platform());
        ASSERT_EQ(plan.parts.size(), 7u) << ::testing::PrintToString(Descriptions(plan));

        machine.FailNext(call, platform::ERROR_ACCESS_DENIED);
        const auto outcomes = Remove(machine, plan);
        ASSERT_EQ(outcomes.size(), plan.parts.size());
        unsigned named = 0;
        for (const auto& outcome : outcomes) {
            if (outcome.Removed()) continue;
            if (outcome.notRemoved->detail.find(call) != std::string::npos) {
                EXPECT_EQ(outcome.notRemoved->error, platform::ERROR_ACCESS_DENIED);
                ++named;
            } else {
                EXPECT_NE(std::find(std::begin(dependent), std::end(dependent), outcome.notRemoved->error),
                          std::end(dependent))
                    << uninstall::Describe(outcome);
            }
        }
        EXPECT_EQ(named, 1u) << ::testing::PrintToString(Descriptions(outcomes));
        // What is still found is exactly what was reported as not removed (a driver whose copy
        // could not be deleted is gone itself, and the copy is then found alone).
        for (const auto& part : uninstall::FindOurs(machine.platform()).parts) {
            const auto same = std::find_if(outcomes.begin(), outcomes.end(), [&](const Outcome& each) {
                if (part.kind == PartKind::Copies)
                    return each.part.kind == PartKind::Driver && !each.Removed() &&
                           each.notRemoved->detail.find("its copy") != std::string::npos;
                return each.part.kind == part.kind && each.part.name == part.name;
            });
            ASSERT_NE(same, outcomes.end());
            EXPECT_FALSE(same->Removed()) << uninstall::Describe(part) << " reported removed but still there";
        }
    }
}

TEST(Uninstall, NothingFoundChangesNothingAndAnUnreadableSpoolerPlansNothing)
{
    sim::SimMachine machine;
    AddInboxDriver(machine);
    machine.AddPrinter("Front Desk", "LPT1:", "Generic / Text Only");
    const MachineFacts before = WholeMachine(machine);
    const Plan plan = uninstall::FindOurs(machine.platform());
    EXPECT_TRUE(plan.Empty());
    EXPECT_FALSE(plan.readFailure);
    EXPECT_TRUE(Remove(machine, plan).empty());
    EXPECT_EQ(Differences(before, WholeMachine(machine)), std::vector<std::string>{});

    // An entry alone is still ours; a spooler that cannot be read leaves even that.
    machine.SetRegistryString(platform::kHkeyLocalMachine,
                              "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVA Orbix "
                              "Printer 4.64",
                              "DisplayName", "NORVA Orbix Printer 4.64");
    EXPECT_EQ(Descriptions(uninstall::FindOurs(machine.platform())),
              std::vector<std::string>{"uninstall entry \"NORVA Orbix Printer 4.64\""});
    machine.FailNext("EnumPrintersA", 1722);
    const Plan unread = uninstall::FindOurs(machine.platform());
    EXPECT_TRUE(unread.Empty());
    ASSERT_TRUE(unread.readFailure);
    EXPECT_EQ(uninstall::DescribeReadFailure(*unread.readFailure),
              "Could not read the print spooler: EnumPrintersA failed (error 1722)");
}

// ---- The windowless run -----------------------------------------------------------------------

std::vector<std::string> LogLines(const sim::SimMachine& machine, const std::string& path)
{
    std::vector<std::string> lines;
    const std::string text = machine.FileContents(path).value_or("(no log)");
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        at = end + 1;
    }
    return lines;
}

const std::string kQuietLog = "C:\\uninstall.log";

// Quiet runs that end with exit code 0: all removed, or what an old installation did not record left.
void ExpectQuietRunsThatSucceed(const std::string& log)
{
    {
        SCOPED_TRACE("everything removed");
        auto run = Installation(Kind::Ethernet);
        run->Start();
        EXPECT_EQ(uninstall::RunQuietUninstall(run->machine.platform(), {"/quiet", "/log", log}), Exit::Removed);
        EXPECT_EQ(
            LogLines(run->machine, log),
            (std::vector<std::string>{"Removed printer \"NORVA KSV100-III\"", "Removed driver \"NORVA KSV100-III\"",
                                      "Removed port \"IP_10.1.2.3\"", "Removed port monitor \"KVPOS Port Monitor\"",
                                      "Removed uninstall entry \"NORVA Orbix Printer 4.64\"",
                                      "5 removed, 0 could not be removed; exit code 0."}));
        // Nothing left: a second run has nothing to do and says so.
        EXPECT_EQ(uninstall::RunQuietUninstall(run->machine.platform(), {"/Quiet", "-log", log}), Exit::Removed);
        EXPECT_EQ(
            LogLines(run->machine, log),
            std::vector<std::string>{"Nothing of the NORVA Orbix printer driver was found; nothing was changed."});
    }
    {
        SCOPED_TRACE("an installation that kept no record");
        auto run = Installation(Kind::Ethernet);
        run->Start();
        auto& machine = run->machine;
        machine.DeleteRegistryKey(platform::kHkeyLocalMachine, "Software\\Wow6432Node\\NORVA");
        EXPECT_EQ(uninstall::RunQuietUninstall(machine.platform(), {"/quiet", "/log", log}), Exit::Removed);
        EXPECT_EQ(LogLines(machine, log),
                  (std::vector<std::string>{
                      "Removed printer \"NORVA KSV100-III\"", "Removed driver \"NORVA KSV100-III\"",
                      "Removed uninstall entry \"NORVA Orbix Printer 4.64\"",
                      "Left port \"IP_10.1.2.3\": installed before this version kept a record of what it made",
                      "Left port monitor \"KVPOS Port Monitor\": installed before this version kept a record of what "
                      "it made",
                      "3 removed, 0 could not be removed; exit code 0."}));
        EXPECT_TRUE(machine.RegistryKeyExists(platform::kHkeyLocalMachine, std::string(kPortKey) + "IP_10.1.2.3"));
        EXPECT_EQ(machine.Monitors().size(), 3u);
    }
}

// Quiet runs that end with exit code 1, each saying what it could not do.
void ExpectQuietRunsThatLeaveSomething(const std::string& log)
{
    {
        SCOPED_TRACE("something left");
        auto run = Installation(Kind::ModelsOnCom);
        run->Start();
        run->machine.SetPrinterJobs("NORVA MTR444", 1);
        EXPECT_EQ(uninstall::RunQuietUninstall(run->machine.platform(), {"/quiet", "/log", log}), Exit::NotAllRemoved);
        const auto lines = LogLines(run->machine, log);
        ASSERT_EQ(lines.size(), 7u);
        EXPECT_EQ(lines[1], "Could not remove printer \"NORVA MTR444\": 1 job is waiting (error 3009)");
        EXPECT_EQ(lines[6], "3 removed, 3 could not be removed; exit code 1.");
    }
    {
        SCOPED_TRACE("a restart command that never ends");
        auto run = Installation(Kind::Ethernet);
        run->Start();
        run->machine.HangCommand("net stop spooler");
        EXPECT_EQ(uninstall::RunQuietUninstall(run->machine.platform(), {"/quiet", "/log", log}), Exit::NotAllRemoved);
        const auto lines = LogLines(run->machine, log);
        ASSERT_EQ(lines.size(), 6u);
        EXPECT_EQ(lines[2], "Could not remove port \"IP_10.1.2.3\": " +
                                Say(Words::CommandTimedOut, "net stop", "spooler", 60) + " (error 1460)");
        const auto processes = run->machine.Processes();
        EXPECT_EQ(std::count_if(processes.begin(), processes.end(), [](const auto& each) { return each.terminated; }),
                  1);
        EXPECT_TRUE(run->machine.Misuses().empty()) << ::testing::PrintToString(run->machine.Misuses());
    }
    {
        SCOPED_TRACE("the spooler cannot be read");
        auto run = Installation(Kind::ModelsOnCom);
        run->Start();
        run->machine.FailAlways("EnumPrintersA", 1722);
        EXPECT_EQ(uninstall::RunQuietUninstall(run->machine.platform(), {"/quiet", "/log", log}), Exit::NotAllRemoved);
        EXPECT_EQ(LogLines(run->machine, log),
                  std::vector<std::string>{
                      "Could not read the print spooler: EnumPrintersA failed (error 1722); nothing was removed."});
    }
}

TEST(QuietUninstall, ExitCodesAndTheLogTellWhatWasDone)
{
    ExpectQuietRunsThatSucceed(kQuietLog);
    ExpectQuietRunsThatLeaveSomething(kQuietLog);
}

// What could not be removed stays recorded: the next run finds it, although the printer that
// led to it is gone, and removes it and then the entry.
TEST(QuietUninstall, WhatCouldNotBeRemovedIsRemovedByTheNextRun)
{
    const std::string log = "C:\\uninstall.log";
    const std::string folder = "C:\\Windows\\System32\\spool\\drivers\\w32x86";
    struct Case {
        const char* call;
        std::string failed;  // how the first run's line for it starts
        std::string removed;
    };
    const std::vector<Case> cases = {
        {"RegDeleteKeyA", "Could not remove port \"IP_10.1.2.3\": RegDeleteKeyA failed (error 5)",
         "Removed port \"IP_10.1.2.3\""},
        {"DeleteFileA",
         "Could not remove driver \"NORVA KSV100-III\": DeleteFileA failed on its copy \"" + folder + "\\",
         "Removed driver file copies in \"" + folder + "\""},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.call);
        auto run = Installation(Kind::Ethernet);
        auto& machine = run->machine;
        const MachineFacts before = WholeMachine(machine);
        run->Start();
        machine.FailNext(each.call, platform::ERROR_ACCESS_DENIED);
        EXPECT_EQ(uninstall::RunQuietUninstall(machine.platform(), {"/quiet", "/log", log}), Exit::NotAllRemoved);
        const auto first = LogLines(machine, log);
        EXPECT_EQ(std::count_if(first.begin(), first.end(),
                                [&](const std::string& line) { return line.rfind(each.failed, 0) == 0; }),
                  1)
            << ::testing::PrintToString(first);
        EXPECT_EQ(uninstall::RunQuietUninstall(machine.platform(), {"/quiet", "/log", log}), Exit::Removed);
        EXPECT_EQ(LogLines(machine, log),
                  (std::vector<std::string>{each.removed, "Removed uninstall entry \"NORVA Orbix Printer 4.64\"",
                                            "2 removed, 0 could not be removed; exit code 0."}));
        machine.RemovePath(log);
        EXPECT_EQ(Differences(before, WholeMachine(machine)), std::vector<std::string>{});
    }
}

TEST(QuietUninstall, ACommandLineItDoesNotUnderstandRemovesNothing)
{
    const std::string log = "C:\\uninstall.log";
    auto run = Installation(Kind::ModelsOnCom);
    run->Start();
    auto& machine = run->machine;
    const MachineFacts installed = WholeMachine(machine);

    EXPECT_EQ(uninstall::RunQuietUninstall(machine.platform(), {"/quiet", "/force", "/log", log}), Exit::NothingTried);
    EXPECT_EQ(LogLines(machine, log),
              (std::vector<std::string>{"Nothing was removed: \"/force\" is not understood.",
                                        "Usage: DriverOrbixUninstaller.exe /quiet [/log PATH]"}));
    machine.RemovePath(log);
    EXPECT_EQ(uninstall::RunQuietUninstall(machine.platform(), {"/quiet", "/log"}), Exit::NothingTried);
    // A log that cannot be written is no record: nothing is done without it.
    EXPECT_EQ(uninstall::RunQuietUninstall(machine.platform(), {"/quiet", "/log", "C:\\No Such Folder\\u.log"}),
              Exit::NothingTried);
    // Nor is one a user turned into a link to a file of the system's.
    machine.AddReparsePoint("C:\\Temp\\u.log", machine.SystemDirectory() + "\\KVUSBMON.dll");
    const MachineFacts linked = WholeMachine(machine);
    EXPECT_EQ(uninstall::RunQuietUninstall(machine.platform(), {"/quiet", "/log", "C:\\Temp\\u.log"}),
              Exit::NothingTried);
    EXPECT_EQ(Differences(linked, WholeMachine(machine)), std::vector<std::string>{});
    // Nor while another installation or removal holds the machine: the quiet run waits, then
    // gives the code deployment tools retry on; the dialogs say so at once.
    machine.HoldMutexElsewhere(kRunMutexName);
    EXPECT_EQ(uninstall::RunQuietUninstall(machine.platform(), {"/quiet", "/log", log}), Exit::AnotherRunInProgress);
    const std::string another = Text(Words::AnotherRun);
    const std::size_t lineBreak = another.find('\n');
    EXPECT_EQ(LogLines(machine, log), (std::vector<std::string>{another.substr(0, lineBreak),
                                                                another.substr(lineBreak + 1) +
                                                                    Say(Words::QuietRunWaited, kQuietRunWaitMinutes)}));
    machine.RemovePath(log);
    EXPECT_EQ(uninstall::RunUninstallerApp(machine.platform()), Exit::AnotherRunInProgress);
    ASSERT_FALSE(run->screen.Transcript().empty());
    EXPECT_NE(run->screen.Transcript().back().Describe().find("Another installation or removal"), std::string::npos);
    EXPECT_EQ(Differences(linked, WholeMachine(machine)), std::vector<std::string>{});
}

}  // namespace
}  // namespace zenthar::testing
