#include "SimSupport.h"

namespace zenthar::sim::test {
namespace {

struct SimServicesTest : ::testing::Test {
    SimMachine machine{Profiles::Windows7()};
    Services& services = machine.platform().services;

    Handle OpenSpooler()
    {
        auto manager = services.OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
        EXPECT_NE(manager.value, kNoHandle);
        auto service = services.OpenServiceA(manager.value, "spooler", SERVICE_ALL_ACCESS);
        services.CloseServiceHandle(manager.value);
        return service.value;
    }

    ServiceStatus Read(Handle service)
    {
        ServiceStatus status{};
        EXPECT_TRUE(services.QueryServiceStatus(service, &status).value);
        return status;
    }

    Dword Run(const std::string& line)
    {
        std::string buffer = line;
        StartupInfoA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        ProcessInformation info{};
        auto created = machine.platform().processes.CreateProcessA(
            nullptr, buffer.data(), nullptr, nullptr, false, CREATE_NEW_CONSOLE, nullptr, nullptr, &startup, &info);
        if (!created.value) return created.error;
        auto& kernel = machine.platform().kernel;
        EXPECT_EQ(kernel.WaitForSingleObject(info.hProcess, INFINITE).value, WAIT_OBJECT_0);
        Dword exitCode = 12345;
        EXPECT_TRUE(machine.platform().processes.GetExitCodeProcess(info.hProcess, &exitCode).value);
        kernel.CloseHandle(info.hThread);
        kernel.CloseHandle(info.hProcess);
        return exitCode;
    }
};

TEST_F(SimServicesTest, RunningSpoolerRefusesASecondStart)
{
    Handle spooler = OpenSpooler();
    EXPECT_EQ(Read(spooler).dwCurrentState, SERVICE_RUNNING);
    auto start = services.StartServiceA(spooler, 0, nullptr);
    EXPECT_FALSE(start.value);
    EXPECT_EQ(start.error, ERROR_SERVICE_ALREADY_RUNNING);
    EXPECT_TRUE(services.CloseServiceHandle(spooler).value);
    EXPECT_EQ(services.CloseServiceHandle(spooler).error, ERROR_INVALID_HANDLE);

    auto manager = services.OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    EXPECT_EQ(services.OpenServiceA(manager.value, "LPDSVC", SERVICE_ALL_ACCESS).error, ERROR_SERVICE_DOES_NOT_EXIST);
    services.CloseServiceHandle(manager.value);
    EXPECT_EQ(machine.OpenHandleCount(), 0u);
}

TEST_F(SimServicesTest, ScriptedStartShowsAGrowingCheckPointThenRuns)
{
    machine.SetServiceState("Spooler", SERVICE_STOPPED);
    machine.ScriptServiceStart("Spooler", ServiceStartScript::PendingThenRunning(3, {500, 20000}));
    Handle spooler = OpenSpooler();
    ASSERT_TRUE(services.StartServiceA(spooler, 0, nullptr).value);
    std::vector<Dword> checkPoints, hints;
    ServiceStatus status = Read(spooler);
    while (status.dwCurrentState == SERVICE_START_PENDING) {
        checkPoints.push_back(status.dwCheckPoint);
        hints.push_back(status.dwWaitHint);
        status = Read(spooler);
    }
    EXPECT_EQ(status.dwCurrentState, SERVICE_RUNNING);
    EXPECT_EQ(checkPoints, (std::vector<Dword>{1, 2, 3}));
    EXPECT_EQ(hints, (std::vector<Dword>{500, 20000, 20000}));
    services.CloseServiceHandle(spooler);
}

TEST_F(SimServicesTest, StartsThatHangStopOrFail)
{
    machine.SetServiceState("Spooler", SERVICE_STOPPED);
    Handle spooler = OpenSpooler();
    machine.ScriptServiceStart("Spooler", ServiceStartScript::PendingForever(3000));
    ASSERT_TRUE(services.StartServiceA(spooler, 0, nullptr).value);
    for (int i = 0; i < 5; ++i) {
        const ServiceStatus status = Read(spooler);
        EXPECT_EQ(status.dwCurrentState, SERVICE_START_PENDING);
        EXPECT_EQ(status.dwCheckPoint, 1u);
        EXPECT_EQ(status.dwWaitHint, 3000u);
    }

    machine.SetServiceState("Spooler", SERVICE_STOPPED);
    machine.ScriptServiceStart("Spooler", ServiceStartScript::StopsByItself(1));
    ASSERT_TRUE(services.StartServiceA(spooler, 0, nullptr).value);
    EXPECT_EQ(Read(spooler).dwCurrentState, SERVICE_START_PENDING);
    EXPECT_EQ(Read(spooler).dwCurrentState, SERVICE_STOPPED);

    machine.ScriptServiceStart("Spooler", ServiceStartScript::Fails(ERROR_SERVICE_DISABLED));
    EXPECT_EQ(services.StartServiceA(spooler, 0, nullptr).error, ERROR_SERVICE_DISABLED);
    EXPECT_EQ(machine.ServiceState("Spooler"), SERVICE_STOPPED);
    services.CloseServiceHandle(spooler);
}

TEST_F(SimServicesTest, NetCommandsThroughTheInterpreterChangeServices)
{
    EXPECT_EQ(Run("C:\\Windows\\system32\\cmd.exe /c net stop spooler"), 0u);
    EXPECT_EQ(machine.ServiceState("Spooler"), SERVICE_STOPPED);
    EXPECT_EQ(Run("C:\\Windows\\system32\\cmd.exe /c net stop spooler"), kNetHelpExitFailure) << "already stopped";
    EXPECT_EQ(Run("CMD.EXE /c net start spooler"), 0u) << "found in the system directory";
    EXPECT_EQ(machine.ServiceState("Spooler"), SERVICE_RUNNING);
    EXPECT_EQ(Run("CMD.EXE /c net start LPDSVC"), kNetHelpExitFailure) << "no such service";

    const auto log = machine.Processes();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[2].commandLine, "CMD.EXE /c net start spooler");
    EXPECT_EQ(log[2].creationFlags, CREATE_NEW_CONSOLE);
    EXPECT_EQ(log[2].startupFlags, STARTF_USESHOWWINDOW);
    EXPECT_EQ(log[2].showWindow, SW_HIDE);

    machine.ScriptServiceStart("Spooler", ServiceStartScript::PendingThenRunning(4));
    machine.SetServiceState("Spooler", SERVICE_STOPPED);
    EXPECT_EQ(Run("CMD.EXE /c net start spooler"), 0u) << "net waits for a pending start";
}

// Where Windows finds a program named without a folder, and where the interpreter finds a
// command: a file planted first in that order runs instead of the system's, and only the
// system's net.exe changes services.
TEST_F(SimServicesTest, ProgramsAndCommandsAreFoundWhereWindowsLooksFirst)
{
    const std::string programFolder = "C:\\NORVA Orbix Printer 4.X";
    const std::string downloads = "C:\\Users\\admin\\Downloads";
    const std::string system = "C:\\Windows\\System32";
    machine.AddDirectory(downloads);
    ASSERT_TRUE(machine.platform().files.SetCurrentDirectoryA(downloads.c_str()).value);
    struct Row {
        const char* planted;  // empty: nothing planted
        const char* line;
        std::string program;
        std::string commandFile;
    };
    const Row rows[] = {
        {"", "CMD.EXE /c net stop spooler", system + "\\cmd.exe", system + "\\net.exe"},
        {"C:\\Users\\admin\\Downloads\\net.bat", "CMD.EXE /c net stop spooler", system + "\\cmd.exe",
         downloads + "\\net.bat"},
        {"C:\\Users\\admin\\Downloads\\NET.COM", "cmd /c net stop spooler", system + "\\cmd.exe",
         downloads + "\\NET.COM"},
        {"C:\\Users\\admin\\Downloads\\CMD.EXE", "CMD.EXE /c net stop spooler", downloads + "\\CMD.EXE", ""},
        {"C:\\NORVA Orbix Printer 4.X\\cmd.exe", "CMD.EXE /c net stop spooler", programFolder + "\\cmd.exe", ""},
        {"C:\\Windows\\System32\\net.bat", "cmd /c net stop spooler", system + "\\cmd.exe", system + "\\net.exe"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.planted);
        machine.SetServiceState("Spooler", SERVICE_RUNNING);
        if (*row.planted) machine.AddFile(row.planted, "planted");
        Run(row.line);
        const ProcessRecord process = machine.Processes().back();
        EXPECT_EQ(process.program, row.program);
        EXPECT_EQ(process.commandFile, row.commandFile);
        const bool systemNet = row.commandFile == system + "\\net.exe";
        EXPECT_EQ(machine.ServiceState("Spooler"), systemNet ? SERVICE_STOPPED : SERVICE_RUNNING);
        if (*row.planted) machine.RemovePath(row.planted);
    }
}

TEST_F(SimServicesTest, MissingInterpreterAndScriptedCommands)
{
    machine.SetEnvironmentVariable("COMSPEC", "C:\\Tools\\shell.exe");
    EXPECT_EQ(Run("C:\\Tools\\shell.exe /c net stop spooler"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(machine.ServiceState("Spooler"), SERVICE_RUNNING);
    EXPECT_FALSE(machine.Processes().back().created);

    EXPECT_EQ(Run("cmd.exe /c exit 3"), 3u);
    machine.ScriptCommand("net stop", 7);
    EXPECT_EQ(Run("cmd /c NET STOP spooler"), 7u);
    EXPECT_EQ(machine.ServiceState("Spooler"), SERVICE_RUNNING) << "a script replaces what net would do";
    machine.FailCommand("net stop", ERROR_ACCESS_DENIED);
    EXPECT_EQ(Run("cmd /c net stop spooler"), ERROR_ACCESS_DENIED);

    machine.RemovePath("C:\\Windows\\System32\\net.exe");
    EXPECT_EQ(Run("cmd /c net start spooler"), kCommandNotFoundExitCode);

    char value[8];
    auto& environment = machine.platform().environment;
    EXPECT_EQ(environment.GetEnvironmentVariableA("comspec", value, sizeof value).value, 19u);
    machine.RemoveEnvironmentVariable("COMSPEC");
    auto unset = environment.GetEnvironmentVariableA("COMSPEC", value, sizeof value);
    EXPECT_EQ(unset.value, 0u);
    EXPECT_EQ(unset.error, ERROR_ENVVAR_NOT_FOUND);
}

}  // namespace
}  // namespace zenthar::sim::test
