#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/ServiceControl.h"
#include "resources/InstallerWords.h"
#include "tests/common/MachineFixture.h"

namespace zenthar::testing {
namespace {

using zenthar::resources::Text;
using zenthar::resources::Words;

class ServiceControlTest : public MachineTest {
protected:
    std::vector<platform::Dword> Pauses() const { return machine.Pauses(); }
    std::size_t ProgressLines() const
    {
        std::size_t count = 0;
        for (const auto& line : machine.DebugOutput()) count += line == Text(Words::ServiceStarting);
        return count;
    }
};

TEST_F(ServiceControlTest, QueryReportsTheFirstFailingStep)
{
    EXPECT_TRUE(QueryService(Platform(), "spooler"));

    machine.FailNext("OpenSCManagerA", 5);
    auto queried = QueryService(Platform(), "spooler");
    EXPECT_STREQ(queried.Failed().call, kOpenManager);
    EXPECT_EQ(queried.Failed().error, 5u);
    queried = QueryService(Platform(), "nosuchservice");
    EXPECT_STREQ(queried.Failed().call, kOpenService);
    EXPECT_EQ(queried.Failed().error, 1060u);
    machine.FailNext("QueryServiceStatus", 6);
    queried = QueryService(Platform(), "spooler");
    EXPECT_STREQ(queried.Failed().call, kQueryStatus);
    EXPECT_EQ(queried.Failed().error, 6u);
}

TEST_F(ServiceControlTest, ARunningSpoolerNeedsNoWait)
{
    machine.SetServiceState("spooler", platform::SERVICE_RUNNING);
    EXPECT_TRUE(StartServiceAndWait(Platform(), "spooler"));
    EXPECT_TRUE(Pauses().empty());
}

TEST_F(ServiceControlTest, AServiceIsWaitedForWhileItsCheckPointGrows)
{
    machine.SetServiceState("spooler", platform::SERVICE_STOPPED);
    machine.ScriptServiceStart("spooler", sim::ServiceStartScript::PendingThenRunning(4, {0, 5000, 200000}));
    EXPECT_TRUE(StartServiceAndWait(Platform(), "spooler"));
    // A tenth of each hint, kept within one and ten seconds.
    EXPECT_EQ(Pauses(), (std::vector<platform::Dword>{1000, 1000, 10000, 10000}));
    EXPECT_EQ(ProgressLines(), 3u);
    EXPECT_EQ(machine.ServiceState("spooler"), platform::SERVICE_RUNNING);
}

TEST_F(ServiceControlTest, AServiceWithoutProgressIsGivenUpAfterItsWaitHint)
{
    machine.SetServiceState("spooler", platform::SERVICE_STOPPED);
    machine.ScriptServiceStart("spooler", sim::ServiceStartScript::PendingForever(3000));
    EXPECT_FALSE(StartServiceAndWait(Platform(), "spooler"));
    // Each wait is one second; the loop ends when more than the hint has passed.
    EXPECT_EQ(Pauses(), (std::vector<platform::Dword>{1000, 1000, 1000, 1000}));
    EXPECT_EQ(ProgressLines(), 0u);
}

TEST_F(ServiceControlTest, AServiceWhoseCheckPointGrowsForEverIsGivenUpAfterThreeMinutes)
{
    machine.SetServiceState("spooler", platform::SERVICE_STOPPED);
    machine.ScriptServiceStart("spooler", sim::ServiceStartScript::PendingThenRunning(100000, {30000}));
    EXPECT_FALSE(StartServiceAndWait(Platform(), "spooler"));
    // Three-second waits: the first after which more than three minutes have passed is the last.
    EXPECT_EQ(Pauses(), std::vector<platform::Dword>(61, 3000));
}

TEST_F(ServiceControlTest, AServiceThatStopsByItselfIsNotRunning)
{
    machine.SetServiceState("spooler", platform::SERVICE_STOPPED);
    machine.ScriptServiceStart("spooler", sim::ServiceStartScript::StopsByItself(1));
    EXPECT_FALSE(StartServiceAndWait(Platform(), "spooler"));
}

TEST_F(ServiceControlTest, AStartThatFailsOrAMissingServiceGivesZero)
{
    machine.SetServiceState("spooler", platform::SERVICE_STOPPED);
    machine.ScriptServiceStart("spooler", sim::ServiceStartScript::Fails(1058));
    EXPECT_FALSE(StartServiceAndWait(Platform(), "spooler"));
    EXPECT_FALSE(StartServiceAndWait(Platform(), "nosuchservice"));
    machine.SetServiceState("spooler", platform::SERVICE_STOPPED);
    machine.ScriptServiceStart("spooler", sim::ServiceStartScript::RunsAtOnce());
    machine.FailNext("CloseServiceHandle", 6);
    EXPECT_FALSE(StartServiceAndWait(Platform(), "spooler"));
}

TEST_F(ServiceControlTest, CommandsRunHiddenThroughTheInterpreter)
{
    machine.RemoveEnvironmentVariable("COMSPEC");
    machine.ScriptCommand("exit 3", 3);
    EXPECT_EQ(RunCommand(Platform(), "net stop", "spooler")->exitCode, 0u);
    EXPECT_EQ(RunCommand(Platform(), "exit", "3")->exitCode, 3u);
    const auto processes = machine.Processes();
    ASSERT_EQ(processes.size(), 2u);
    EXPECT_EQ(processes[0].commandLine, "CMD.EXE /c net stop spooler");
    EXPECT_EQ(processes[0].applicationName, machine.SystemDirectory() + "\\cmd.exe");
    EXPECT_EQ(processes[0].currentDirectory, machine.SystemDirectory());
    EXPECT_EQ(processes[0].creationFlags, 0x10u);
    EXPECT_TRUE(processes[0].startupInfoGiven);
    EXPECT_EQ(processes[0].startupFlags, 1u);
    EXPECT_EQ(processes[0].showWindow, 0);
    EXPECT_EQ(machine.ServiceState("spooler"), platform::SERVICE_STOPPED);
}

// Whatever COMSPEC says and wherever the program was started from, the interpreter is a file
// named by its full path and runs in the system directory, so that no "cmd.exe" or "net.bat"
// planted beside the program or in the folder it was started from ever runs.
TEST_F(ServiceControlTest, TheInterpreterAndNetAreTheSystemsOwn)
{
    const std::string system = machine.SystemDirectory();
    const std::string downloads = "C:\\Users\\admin\\Downloads";
    const std::string programFolder = "C:\\NORVA Orbix Printer 4.X";
    struct Row {
        const char* name;
        std::optional<std::string> comspec;  // nothing: not set
        std::string commandLineStart;
        std::string applicationName;
    };
    const Row rows[] = {
        {"COMSPEC as Windows sets it", system + "\\cmd.exe", system + "\\cmd.exe", system + "\\cmd.exe"},
        {"COMSPEC not set", std::nullopt, "CMD.EXE", system + "\\cmd.exe"},
        {"COMSPEC naming a missing file", "C:\\missing\\cmd.exe", "C:\\missing\\cmd.exe", system + "\\cmd.exe"},
        {"COMSPEC naming a file by a relative name", "cmd.exe", "cmd.exe", system + "\\cmd.exe"},
        {"COMSPEC naming a folder", system, system, system + "\\cmd.exe"},
        {"COMSPEC naming another interpreter", "C:\\Tools\\shell.exe", "C:\\Tools\\shell.exe", "C:\\Tools\\shell.exe"},
    };
    machine.AddFile("C:\\Tools\\shell.exe", "an administrator's own interpreter");
    for (const std::string& folder : {downloads, programFolder}) {
        machine.AddFile(folder + "\\net.bat", "planted");
        machine.AddFile(folder + "\\CMD.EXE", "planted");
        machine.AddFile(folder + "\\cmd.exe.bat", "planted");
    }
    ASSERT_TRUE(Platform().files.SetCurrentDirectoryA(downloads.c_str()).value);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        machine.SetServiceState("spooler", platform::SERVICE_RUNNING);
        if (row.comspec) machine.SetEnvironmentVariable("COMSPEC", *row.comspec);
        else machine.RemoveEnvironmentVariable("COMSPEC");
        static_cast<void>(RunCommand(Platform(), "net stop", "spooler"));
        const sim::ProcessRecord process = machine.Processes().back();
        EXPECT_EQ(process.commandLine, row.commandLineStart + " /c net stop spooler");
        EXPECT_EQ(process.applicationName, row.applicationName);
        EXPECT_EQ(process.currentDirectory, system);
        EXPECT_EQ(process.program, row.applicationName);
        if (row.applicationName == system + "\\cmd.exe") {
            EXPECT_EQ(process.commandFile, system + "\\net.exe");
            EXPECT_EQ(machine.ServiceState("spooler"), platform::SERVICE_STOPPED) << "the system's net.exe ran";
        }
    }
    EXPECT_EQ(machine.CurrentDirectory(), downloads) << "the program's own current directory stays";
}

TEST_F(ServiceControlTest, AnInterpreterThatCannotStartGivesItsErrorNumber)
{
    machine.SetEnvironmentVariable("COMSPEC", "C:\\missing\\cmd.exe");
    machine.FailCommand("C:\\missing\\cmd.exe", 2);
    const auto ran = RunCommand(Platform(), "net start", "LPDSVC");
    ASSERT_FALSE(ran);
    EXPECT_STREQ(ran.Failed().call, "CreateProcessA");
    EXPECT_EQ(ran.Failed().error, 2u);
}

TEST_F(ServiceControlTest, ACommandLineThatWouldNotFitIsNotRun)
{
    machine.SetEnvironmentVariable("COMSPEC", std::string(4080, 'x'));
    EXPECT_EQ(RunCommand(Platform(), "net stop", "spooler").Failed().error, 206u);
    machine.SetEnvironmentVariable("COMSPEC", std::string(5000, 'x'));
    EXPECT_EQ(RunCommand(Platform(), "net stop", "spooler").Failed().error, 206u);
    EXPECT_TRUE(machine.Processes().empty());
    // The longest line that fits is run.
    machine.SetEnvironmentVariable("COMSPEC", std::string(4095 - 20, 'y'));
    static_cast<void>(RunCommand(Platform(), "net stop", "spooler"));
    ASSERT_EQ(machine.Processes().size(), 1u);
    EXPECT_EQ(machine.Processes()[0].commandLine.size(), 4095u);
}

}  // namespace
}  // namespace zenthar::testing
