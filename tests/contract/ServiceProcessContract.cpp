// The spooler service and commands run through the command interpreter.
#include <cstring>

#include "tests/contract/ContractTest.h"

namespace zenthar::contract {
namespace {

using namespace platform;

using ServiceContract = ContractTest;

TEST_F(ServiceContract, SpoolerStartsOrIsAlreadyRunning)
{
    const Call<Handle> manager = P().services.OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager.value, kNoHandle) << "error " << manager.error;
    const Call<Handle> service = P().services.OpenServiceA(manager.value, "spooler", SERVICE_ALL_ACCESS);
    ASSERT_NE(service.value, kNoHandle) << "error " << service.error;

    ServiceStatus status{};
    ASSERT_TRUE(P().services.QueryServiceStatus(service.value, &status).value);
    EXPECT_GE(status.dwCurrentState, SERVICE_STOPPED);
    EXPECT_LE(status.dwCurrentState, 7u);

    const Call<bool> started = P().services.StartServiceA(service.value, 0, nullptr);
    if (!started.value) {
        EXPECT_EQ(started.error, ERROR_SERVICE_ALREADY_RUNNING);
    }

    // However it started, it reaches the running state, and a second start is refused.
    const Dword begin = P().clock.GetTickCount();
    for (;;) {
        ASSERT_TRUE(P().services.QueryServiceStatus(service.value, &status).value);
        if (status.dwCurrentState != SERVICE_START_PENDING) break;
        ASSERT_LT(P().clock.GetTickCount() - begin, 30000u) << "still starting";
        P().clock.Sleep(100);
    }
    EXPECT_EQ(status.dwCurrentState, SERVICE_RUNNING);
    const Call<bool> again = P().services.StartServiceA(service.value, 0, nullptr);
    EXPECT_FALSE(again.value);
    EXPECT_EQ(again.error, ERROR_SERVICE_ALREADY_RUNNING);

    EXPECT_TRUE(P().services.CloseServiceHandle(service.value).value);
    EXPECT_TRUE(P().services.CloseServiceHandle(manager.value).value);
}

TEST_F(ServiceContract, MissingServiceDoesNotExist)
{
    const Call<Handle> manager = P().services.OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    ASSERT_NE(manager.value, kNoHandle);
    const Call<Handle> service = P().services.OpenServiceA(manager.value, "ZentharNoSuchService", SERVICE_ALL_ACCESS);
    EXPECT_EQ(service.value, kNoHandle);
    EXPECT_EQ(service.error, ERROR_SERVICE_DOES_NOT_EXIST);
    P().services.CloseServiceHandle(manager.value);
}

class ProcessContract : public ContractTest {
protected:
    // The installer's way of running a command: hidden, in a console of its own.
    Call<bool> Start(const std::string& commandLine, ProcessInformation& process, const char* program = nullptr,
                     const char* directory = nullptr)
    {
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        StartupInfoA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        return P().processes.CreateProcessA(program, line.data(), nullptr, nullptr, false, CREATE_NEW_CONSOLE, nullptr,
                                            directory, &startup, &process);
    }

    // Runs the command line to its end; its exit code, or 12345 when it could not start.
    Dword ExitCodeOf(const std::string& commandLine, const char* program, const char* directory)
    {
        ProcessInformation process{};
        const Call<bool> started = Start(commandLine, process, program, directory);
        EXPECT_TRUE(started.value) << commandLine << ": error " << started.error;
        if (!started.value) return 12345;
        EXPECT_EQ(P().kernel.WaitForSingleObject(process.hProcess, INFINITE).value, WAIT_OBJECT_0);
        Dword exitCode = 12345;
        EXPECT_TRUE(P().processes.GetExitCodeProcess(process.hProcess, &exitCode).value);
        P().kernel.CloseHandle(process.hThread);
        P().kernel.CloseHandle(process.hProcess);
        return exitCode;
    }

    std::string Interpreter()
    {
        char comspec[kPathLength] = {};
        const Call<Dword> length = P().environment.GetEnvironmentVariableA("COMSPEC", comspec, sizeof comspec);
        EXPECT_GT(length.value, 0u) << "COMSPEC is set on every Windows";
        return length.value > 0 && length.value < sizeof comspec ? comspec : "CMD.EXE";
    }
};

TEST_F(ProcessContract, CommandInterpreterExitCodeComesBack)
{
    ProcessInformation process{};
    const Call<bool> started = Start(Interpreter() + " /c exit 3", process);
    ASSERT_TRUE(started.value) << "error " << started.error;
    EXPECT_NE(process.hProcess, kNoHandle);
    EXPECT_NE(process.hThread, kNoHandle);

    EXPECT_EQ(P().kernel.WaitForSingleObject(process.hProcess, INFINITE).value, WAIT_OBJECT_0);
    Dword exitCode = 12345;
    EXPECT_TRUE(P().processes.GetExitCodeProcess(process.hProcess, &exitCode).value);
    EXPECT_EQ(exitCode, 3u);
    EXPECT_TRUE(P().kernel.CloseHandle(process.hThread).value);
    EXPECT_TRUE(P().kernel.CloseHandle(process.hProcess).value);
}

// The interpreter named by its full path looks for a command in the current directory it was
// given before anywhere else: a batch file there runs; started in the system directory, the
// same command is not found.
TEST_F(ProcessContract, TheInterpreterLooksInItsCurrentDirectoryFirst)
{
    WriteFileText(Join(Scratch(), "zenthar-probe.bat"), "@exit 7\r\n");
    char system[kPathLength] = {};
    const Call<Dword> length = P().files.GetSystemDirectoryA(system, sizeof system);
    ASSERT_GT(length.value, 0u);
    const std::string interpreter = Join(system, "cmd.exe");
    const std::string line = "CMD.EXE /c zenthar-probe";
    EXPECT_EQ(ExitCodeOf(line, interpreter.c_str(), Scratch().c_str()), 7u);
    EXPECT_EQ(ExitCodeOf(line, interpreter.c_str(), system), 9009u) << "the interpreter's \"not recognised\"";
}

TEST_F(ProcessContract, MissingProgramIsNotStarted)
{
    ProcessInformation process{};
    const Call<bool> started = Start("zenthar-no-such-program.exe /c exit 0", process);
    EXPECT_FALSE(started.value);
    EXPECT_EQ(started.error, ERROR_FILE_NOT_FOUND);
}

TEST_F(ProcessContract, EnvironmentVariablesReportTheirSizes)
{
    const std::string comspec = Interpreter();
    EXPECT_TRUE(EndsWithNoCase(comspec, "cmd.exe")) << comspec;

    // Too small a buffer gives the size needed, terminating zero included.
    char small[4] = {};
    EXPECT_EQ(P().environment.GetEnvironmentVariableA("COMSPEC", small, sizeof small).value, comspec.size() + 1);
    EXPECT_EQ(P().environment.GetEnvironmentVariableA("comspec", nullptr, 0).value, comspec.size() + 1);

    char buffer[16] = {};
    const Call<Dword> missing =
        P().environment.GetEnvironmentVariableA("ZENTHAR_NO_SUCH_VARIABLE", buffer, sizeof buffer);
    EXPECT_EQ(missing.value, 0u);
    EXPECT_EQ(missing.error, ERROR_ENVVAR_NOT_FOUND);
}

}  // namespace
}  // namespace zenthar::contract
