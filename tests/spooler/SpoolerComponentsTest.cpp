// The port monitor, the print processor removal and the uninstall entry.
#include <gtest/gtest.h>

#include <string>

#include "connection/MessageBoxNotices.h"
#include "core/InstallSession.h"
#include "core/Notice.h"
#include "core/SystemFiles.h"
#include "resources/InstallerWords.h"
#include "spooler/PortMonitor.h"
#include "spooler/PrintProcessor.h"
#include "spooler/UninstallEntry.h"
#include "tests/common/MachineFixture.h"

namespace zenthar::testing {
namespace {

using zenthar::resources::Text;
using zenthar::resources::Words;

using platform::kHkeyLocalMachine;

constexpr const char* kFolder = "C:\\NORVA Orbix Printer 4.X";

// A machine whose system directory does not fit a 260-byte path.
sim::MachineProfile WithOverlongSystemDirectory()
{
    sim::MachineProfile profile = sim::Profiles::Windows10x64();
    profile.windowsDirectory = "C:\\" + std::string(255, 'W');
    return profile;
}

class PortMonitorTest : public MachineTest {
protected:
    explicit PortMonitorTest(sim::MachineProfile profile = sim::Profiles::Windows10x64())
        : MachineTest(std::move(profile))
    {
        for (const char* folder : {"Win8", "Win64\\x64", "Win64\\Itanium"})
            for (const char* library : {"KVUSBMON.dll", "KVUSBMONUI.dll"})
                machine.AddFile(std::string(kFolder) + "\\" + folder + "\\" + library,
                                std::string(folder) + " " + library);
    }
};

TEST_F(PortMonitorTest, OnlyTheExactNameCountsAsInstalled)
{
    EXPECT_FALSE(IsPortMonitorInstalled(Platform()));

    sim::SimMonitor other;
    other.name = "kvpos port monitor";
    other.dllName = "KVUSBMON.dll";
    machine.AddMonitor(other);
    EXPECT_FALSE(IsPortMonitorInstalled(Platform()));

    sim::SimMonitor ours = other;
    ours.name = "KVPOS Port Monitor";
    machine.AddMonitor(ours);
    EXPECT_TRUE(IsPortMonitorInstalled(Platform()));
}

class PortMonitorOn32BitWindows : public PortMonitorTest {
protected:
    PortMonitorOn32BitWindows() : PortMonitorTest(sim::Profiles::Windows10x86()) {}
};

TEST_F(PortMonitorOn32BitWindows, CopiesFromWin8AndRegistersTheMonitor)
{
    InstallPortMonitor(Platform(), Processor::X86);
    EXPECT_EQ(machine.FileContents("C:\\Windows\\System32\\KVUSBMON.dll"), "Win8 KVUSBMON.dll");
    EXPECT_EQ(machine.FileContents("C:\\Windows\\System32\\KVUSBMONUI.dll"), "Win8 KVUSBMONUI.dll");
    EXPECT_TRUE(IsPortMonitorInstalled(Platform()));
    EXPECT_TRUE(Messages().empty());
}

// With redirection still on, the libraries land where the 64-bit spooler does not look: the
// registration fails, which only the debugger output tells.
TEST_F(PortMonitorTest, X86LibrariesOn64BitWindowsStayInSysWow64)
{
    InstallPortMonitor(Platform(), Processor::X86);
    EXPECT_EQ(machine.FileContents("C:\\Windows\\SysWOW64\\KVUSBMON.dll"), "Win8 KVUSBMON.dll");
    EXPECT_TRUE(machine.FsRedirectionActive());
    EXPECT_EQ(machine.DebugOutput().back(), Text(Words::AddMonitorFailed));
    EXPECT_FALSE(IsPortMonitorInstalled(Platform()));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PortMonitorTest, A64BitInstallTurnsRedirectionOffAndFillsTheNativeSystemDirectory)
{
    InstallPortMonitor(Platform(), Processor::X64);
    EXPECT_FALSE(machine.FsRedirectionActive());
    EXPECT_EQ(machine.FileContents("C:\\Windows\\System32\\KVUSBMON.dll"), "Win64\\x64 KVUSBMON.dll");
    EXPECT_FALSE(machine.FileExists("C:\\Windows\\SysWOW64\\KVUSBMON.dll"));
    EXPECT_TRUE(IsPortMonitorInstalled(Platform()));
}

TEST_F(PortMonitorTest, ItaniumTakesItsOwnFolderAndAnUnknownProcessorCopiesNothing)
{
    InstallPortMonitor(Platform(), Processor::Itanium);
    EXPECT_EQ(machine.FileContents("C:\\Windows\\System32\\KVUSBMONUI.dll"), "Win64\\Itanium KVUSBMONUI.dll");

    sim::SimMachine bare(sim::Profiles::Windows10x64());
    bare.AddFile("C:\\Windows\\SysWOW64\\KVUSBMON.dll", "already there");
    InstallPortMonitor(bare.platform(), static_cast<Processor>(7));
    EXPECT_EQ(bare.CallCount("CopyFileA"), 0u);
    EXPECT_EQ(bare.CallCount("AddMonitorA"), 1u);
}

// Paths built from nothing would copy the libraries to the drive's root.
TEST_F(PortMonitorTest, WithoutTheWholeSystemDirectoryTheLibrariesAreNotCopied)
{
    machine.FailNext("GetSystemDirectoryA", 8);
    InstallPortMonitor(Platform(), Processor::X64);
    EXPECT_EQ(machine.CallCount("CopyFileA"), 0u);
    EXPECT_FALSE(machine.FileExists("C:\\KVUSBMON.dll"));
    EXPECT_FALSE(machine.FileExists("C:\\KVUSBMONUI.dll"));
    EXPECT_EQ(machine.CallCount("AddMonitorA"), 1u);
    EXPECT_EQ(machine.DebugOutput().back(), Text(Words::AddMonitorFailed));

    sim::SimMachine deep(WithOverlongSystemDirectory());
    deep.AddFile(std::string(kFolder) + "\\Win8\\KVUSBMON.dll", "Win8 KVUSBMON.dll");
    InstallPortMonitor(deep.platform(), Processor::X86);
    EXPECT_EQ(deep.CallCount("CopyFileA"), 0u);
    EXPECT_FALSE(deep.FileExists("C:\\KVUSBMON.dll"));
    EXPECT_EQ(deep.DebugOutput().back(), Text(Words::AddMonitorFailed));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PortMonitorTest, FrameDynComesFromTheWbemFolder)
{
    // What the 32-bit program sees as its system directory is SysWOW64 on this machine.
    machine.AddFile("C:\\Windows\\SysWOW64\\WBEM\\FRAMEDYN.dll", "wbem framedyn");
    CopyFrameDyn(Platform());
    EXPECT_EQ(machine.FileContents("C:\\Windows\\SysWOW64\\FRAMEDYN.dll"), "wbem framedyn");
}

TEST(DisableFsRedirectionWithoutTheExport, ReportsSuccess)
{
    sim::SimMachine machine(sim::Profiles::WindowsXP());
    EXPECT_TRUE(DisableFsRedirection(machine.platform()));
}

class PrintProcessorTest : public MachineTest {};

TEST_F(PrintProcessorTest, OnACleanMachineEachMissingFileIsReportedWithError2)
{
    RemovePrintProcessor(Platform(), OsFamily::Win8, MessageBoxNotices(nullptr));
    const std::string message =
        MessageLine(Say(Words::DeletePrintProcessorFailed, 2), "zenthar", "exclamation", "none");
    EXPECT_EQ(Messages(), (std::vector<std::string>{message, message}));
}

TEST_F(PrintProcessorTest, RemovesRegistrationKeyAndFiles)
{
    const std::string key = "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors";
    machine.AddPrintProcessor("Windows NT x86", "VXTHM4PP", "VXTHM4PP32.dll");
    machine.CreateRegistryKey(kHkeyLocalMachine, key + "\\VXTHM4PP");
    // The spool folder is exempt from WOW64 redirection: a 32-bit program sees the real one.
    const std::string seen = "C:\\Windows\\System32\\spool\\prtprocs\\w32x86\\";
    machine.AddFile(seen + "VXTHM4A.ini", "ini");
    machine.AddFile(seen + "VXTHM4PP32.dll", "dll");

    RemovePrintProcessor(Platform(), OsFamily::Win7, MessageBoxNotices(nullptr));
    EXPECT_TRUE(Messages().empty());
    EXPECT_FALSE(machine.RegistryKeyExists(kHkeyLocalMachine, key + "\\VXTHM4PP"));
    EXPECT_TRUE(machine.RegistryKeyExists(kHkeyLocalMachine, key));
    EXPECT_FALSE(machine.FileExists(seen + "VXTHM4A.ini"));
    EXPECT_FALSE(machine.FileExists(seen + "VXTHM4PP32.dll"));
    for (const auto& name : machine.PrintProcessors("Windows NT x86")) EXPECT_NE(name, "VXTHM4PP");
}

// The files of the same names at the drive's root are not the print processor's.
TEST_F(PrintProcessorTest, WithoutTheWholeSystemDirectoryNoFileIsDeletedAndBothAreReported)
{
    const std::string root = "C:\\spool\\prtprocs\\w32x86\\";
    machine.AddFile(root + "VXTHM4A.ini", "someone else's");
    machine.AddFile(root + "VXTHM4PP32.dll", "someone else's");
    machine.FailNext("GetSystemDirectoryA", 8);
    RemovePrintProcessor(Platform(), OsFamily::Win8, MessageBoxNotices(nullptr));
    EXPECT_EQ(machine.CallCount("DeleteFileA"), 0u);
    EXPECT_TRUE(machine.FileExists(root + "VXTHM4A.ini"));
    EXPECT_TRUE(machine.FileExists(root + "VXTHM4PP32.dll"));

    sim::SimMachine deep(WithOverlongSystemDirectory());
    deep.AddFile(root + "VXTHM4A.ini", "someone else's");
    RemovePrintProcessor(deep.platform(), OsFamily::Win8, MessageBoxNotices(nullptr));
    EXPECT_EQ(deep.CallCount("DeleteFileA"), 0u);
    EXPECT_TRUE(deep.FileExists(root + "VXTHM4A.ini"));

    const auto message = [](int error) {
        return MessageLine(Say(Words::DeletePrintProcessorFailed, error), "zenthar", "exclamation", "none");
    };
    EXPECT_EQ(Messages(), (std::vector<std::string>{message(8), message(8), message(206), message(206)}));
}

TEST(PrintProcessorOnNT4, RemovesThermalIniAndGenprint)
{
    sim::SimMachine machine(sim::Profiles::NT4());
    ui::headless::HeadlessBackend screen;
    ui::UseBackend(&screen);
    const std::string folder = machine.SystemDirectory() + "\\spool\\prtprocs\\w32x86\\";
    machine.AddFile(folder + "Thermal.ini", "ini");
    machine.AddFile(folder + "genprint.dll", "dll");
    machine.AddFile(folder + "VXTHM4A.ini", "untouched");
    RemovePrintProcessor(machine.platform(), OsFamily::NT4, MessageBoxNotices(nullptr));
    ui::UseBackend(nullptr);
    EXPECT_FALSE(machine.FileExists(folder + "Thermal.ini"));
    EXPECT_FALSE(machine.FileExists(folder + "genprint.dll"));
    EXPECT_TRUE(machine.FileExists(folder + "VXTHM4A.ini"));
    EXPECT_TRUE(screen.Transcript().empty());
}

class UninstallTest : public MachineTest {};

TEST_F(UninstallTest, ACleanMachineGetsExactlyTheTwoValues)
{
    RegisterUninstall(Platform());
    // A 32-bit program's entry lands in the 32-bit view of the registry.
    const std::string key =
        "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVA Orbix Printer 4.64";
    EXPECT_EQ(machine.RegistryKeyClass(kHkeyLocalMachine, key), "REG_BINARY");
    const auto values = machine.RegistryValues(kHkeyLocalMachine, key);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].name, "DisplayName");
    EXPECT_EQ(values[0].type, 1u);
    const std::string name = "NORVA Orbix Printer 4.64";
    EXPECT_EQ(values[0].bytes, std::vector<std::uint8_t>(name.c_str(), name.c_str() + name.size() + 1));
    EXPECT_EQ(values[1].name, "UninstallString");
    const std::string path = "C:\\NORVA Orbix Printer 4.X\\DriverOrbixUninstaller.exe";
    EXPECT_EQ(values[1].bytes, std::vector<std::uint8_t>(path.c_str(), path.c_str() + path.size() + 1));
}

TEST_F(UninstallTest, AnExistingEntryIsLeftAsItIs)
{
    const std::string key =
        "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVA Orbix Printer 4.64";
    machine.SetRegistryString(kHkeyLocalMachine, key, "DisplayName", "something else");
    RegisterUninstall(Platform());
    const auto values = machine.RegistryValues(kHkeyLocalMachine, key);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(machine.FindRegistryValue(kHkeyLocalMachine, key, "DisplayName")->bytes.size(), 15u);
    EXPECT_EQ(machine.CallCount("RegSetValueExA"), 0u);
}

TEST_F(UninstallTest, OneFailedValueDoesNotKeepTheOtherFromBeingWritten)
{
    machine.FailNext("RegSetValueExA", 5);
    RegisterUninstall(Platform());
    const std::string key =
        "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\NORVA Orbix Printer 4.64";
    const auto values = machine.RegistryValues(kHkeyLocalMachine, key);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, "UninstallString");
    EXPECT_EQ(machine.CallCount("RegCloseKey"), 1u);
}

}  // namespace
}  // namespace zenthar::testing
