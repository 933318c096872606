#include <gtest/gtest.h>

#include <string>

#include "core/CodePageTable.h"
#include "install/DriverFileSets.h"
#include "tests/common/MachineFixture.h"
#include "tests/common/SamplePackage.h"

namespace zenthar::testing {
namespace {

constexpr const char* kFolder = kInstallerFolder;

class DriverFileSetsTest : public MachineTest {
protected:
    explicit DriverFileSetsTest(sim::MachineProfile profile = sim::Profiles::Windows10x64())
        : MachineTest(std::move(profile))
    {
        AddSamplePackage(machine);
        AddSystemUniversalDriver(machine);
    }

    std::string Installed(const char* name) const
    {
        return machine.FileContents(machine.DriverDirectory() + "\\" + name).value_or("(missing)");
    }
};

TEST(DriverFileSetChoice, FollowsProcessorAndFamily)
{
    struct Case {
        Processor processor;
        OsFamily family;
        const char* set;
    };
    const Case cases[] = {
        {Processor::X86, OsFamily::NT4, "NT"},
        {Processor::X86, OsFamily::Win2000, "XP32"},
        {Processor::X86, OsFamily::Win7, "XP32"},
        {Processor::X86, OsFamily::Win8, "W8-32"},
        {Processor::X86, static_cast<OsFamily>(20), "W8-32"},
        {Processor::X64, OsFamily::WinXP, "XP64"},
        {Processor::X64, OsFamily::Win2003, "S03-64"},
        {Processor::X64, OsFamily::WinVista, "V64"},
        {Processor::X64, OsFamily::Win7, "V64"},
        {Processor::X64, OsFamily::Win8, "W8-64"},
        {Processor::X64, OsFamily::Win2000, "W8-64"},
        {Processor::Itanium, OsFamily::WinXP, "XPIA"},
        {Processor::Itanium, OsFamily::Win2003, "S03IA"},
        {Processor::Itanium, OsFamily::Win2008, "VIA"},
        {Processor::Itanium, OsFamily::Win8, "W8IA"},
    };
    for (const auto& c : cases) {
        const DriverFileSet* set = PickDriverFileSet(c.processor, c.family);
        ASSERT_NE(set, nullptr) << static_cast<int>(c.processor) << "/" << static_cast<int>(c.family);
        EXPECT_STREQ(set->name, c.set) << static_cast<int>(c.processor) << "/" << static_cast<int>(c.family);
    }
    EXPECT_EQ(PickDriverFileSet(static_cast<Processor>(3), OsFamily::Win8), nullptr);
    EXPECT_EQ(PickDriverFileSet(static_cast<Processor>(-1), OsFamily::Win8), nullptr);
}

TEST_F(DriverFileSetsTest, X64OnFamily12TakesTheSystemDriverAndTheServer2012PlugIns)
{
    session = {OsFamily::Win8, Processor::X64, kDefaultCodePageIndex, 1, PortKind::Usb};
    CopyDriverFiles(Platform(), session);

    EXPECT_EQ(Installed("UNIDRV.DLL"), "system UNIDRV.DLL");
    EXPECT_EQ(Installed("UNIDRVUI.DLL"), "system UNIDRVUI.DLL");
    EXPECT_EQ(Installed("UNIRES.DLL"), "system UNIRES.DLL");
    EXPECT_EQ(Installed("UNIDRV.HLP"), "system UNIDRV.HLP");
    EXPECT_EQ(Installed("VXTHM4.DLL"), "Win64\\Server2012\\VXTHM4.DLL");
    EXPECT_EQ(Installed("VXTHM4E.DLL"), "Win64\\Server2012\\VXTHM4E.DLL");
    EXPECT_EQ(Installed("VXTHM4UI.DLL"), "Win64\\Server2012\\VXTHM4UI.DLL");
    EXPECT_EQ(Installed("VXTHM4.INI"), "Win64\\Server2012\\VXTHM4.INI");
    EXPECT_EQ(Installed("VXTHM4.GPD"), "Win8\\VXTHM4.GPD");
    EXPECT_EQ(Installed("STDNAMES.GPD"), "Win8\\STDNAMES.GPD");
    EXPECT_EQ(machine.CurrentDirectory(), machine.DriverDirectory());
}

TEST_F(DriverFileSetsTest, TheDoubledBackslashOfTheXp64IniIsOneSeparator)
{
    session = {OsFamily::WinXP, Processor::X64, kDefaultCodePageIndex, 1, PortKind::Com};
    CopyDriverFiles(Platform(), session);
    EXPECT_EQ(Installed("VXTHM4.INI"), "Win64\\x64\\VXTHM4.INI");
    EXPECT_EQ(Installed("UNIDRV.DLL"), "Win64\\XP\\UNIDRV.DLL");
    EXPECT_EQ(Installed("VXTHM4.GPD"), "WinXP\\VXTHM4.GPD");
}

TEST_F(DriverFileSetsTest, EachRunInstallsTheCodePageItWasAskedForAndLeavesThePackageAlone)
{
    session = {OsFamily::WinXP, Processor::X86, 5, 1, PortKind::Com};
    CopyDriverFiles(Platform(), session);
    EXPECT_EQ(Installed("VXTHM4.GPD"), "WinXP\\Language\\VXTHM4_866.GPD");
    EXPECT_EQ(Installed("UNIDRV.DLL"), "WinXP\\UNIDRV.DLL");

    // The package is as it was: a second run can still choose any code page.
    EXPECT_EQ(machine.FileContents(std::string(kFolder) + "\\WinXP\\VXTHM4.GPD"), "WinXP\\VXTHM4.GPD");
    EXPECT_TRUE(machine.FileExists(std::string(kFolder) + "\\WinXP\\Language\\VXTHM4_866.GPD"));
    EXPECT_TRUE(machine.FileExists(std::string(kFolder) + "\\Win8\\Language\\VXTHM4_437.GPD"));

    session.codePageIndex = kDefaultCodePageIndex;
    CopyDriverFiles(Platform(), session);
    EXPECT_EQ(Installed("VXTHM4.GPD"), "WinXP\\VXTHM4.GPD");

    session.codePageIndex = 22;
    CopyDriverFiles(Platform(), session);
    EXPECT_EQ(Installed("VXTHM4.GPD"), "WinXP\\Language\\VXTHM4_858.GPD");
}

TEST_F(DriverFileSetsTest, StandardNamesInTheVersionDirectoryAreNeverReplaced)
{
    const std::string versionNames = machine.DriverDirectory() + "\\3\\StdNames.gpd";
    session = {OsFamily::Win8, Processor::X86, kDefaultCodePageIndex, 1, PortKind::Com};
    machine.AddFile(std::string(kFolder) + "\\Win8\\StdNames.gpd", "package names");

    CopyDriverFiles(Platform(), session);
    EXPECT_EQ(machine.FileContents(versionNames), "package names");  // filled where missing

    machine.AddFile(versionNames, "the system's names");
    machine.AddFile(std::string(kFolder) + "\\Win8\\STDNAMES.GPD", "newer names");
    CopyDriverFiles(Platform(), session);
    EXPECT_EQ(machine.FileContents(versionNames), "the system's names");
    EXPECT_EQ(Installed("STDNAMES.GPD"), "newer names");  // the driver directory's copy is always replaced
}

class NT4DriverFilesTest : public DriverFileSetsTest {
protected:
    NT4DriverFilesTest() : DriverFileSetsTest(sim::Profiles::NT4()) {}
};

TEST_F(NT4DriverFilesTest, CopiesTheFourRasddFilesAndNothingElse)
{
    session = {OsFamily::NT4, Processor::X86, 5, 1, PortKind::Com};
    const auto before = machine.ListDirectory(machine.DriverDirectory());
    CopyDriverFiles(Platform(), session);

    for (const char* name : {"RASDD.DLL", "RASDDUI.DLL", "RASDDUI.HLP", "THERMAL.DLL"})
        EXPECT_EQ(Installed(name), std::string("WinNT\\") + name);
    EXPECT_EQ(machine.ListDirectory(machine.DriverDirectory()).size(), before.size() + 4);
    EXPECT_FALSE(machine.FileExists(machine.DriverDirectory() + "\\3\\StdNames.gpd"));
    EXPECT_EQ(machine.CallCount("CopyFileA"), 4u);
    EXPECT_EQ(machine.CallCount("DeleteFileA"), 0u);
}

TEST_F(DriverFileSetsTest, AMissingInstallerFolderResolvesSourcesInTheDriverDirectory)
{
    machine.RemovePath(kFolder);
    machine.AddFile(machine.DriverDirectory() + "\\Win8\\VXTHM4.DLL", "stray plug-in");
    session = {OsFamily::Win8, Processor::X86, kDefaultCodePageIndex, 1, PortKind::Com};
    CopyDriverFiles(Platform(), session);
    EXPECT_EQ(Installed("VXTHM4.DLL"), "stray plug-in");
    EXPECT_EQ(Installed("UNIDRVUI.DLL"), "(missing)");
}

// Paths built from nothing would fill the drive's root and make a "3" folder there.
TEST_F(DriverFileSetsTest, WithoutTheWholeDriverDirectoryNothingIsCopiedOrCreated)
{
    session = {OsFamily::Win8, Processor::X64, 5, 1, PortKind::Usb};
    const std::string before = machine.CurrentDirectory();
    machine.FailNext("GetPrinterDriverDirectoryA", 1722);
    CopyDriverFiles(Platform(), session);
    EXPECT_EQ(machine.CallCount("CopyFileA"), 0u);
    EXPECT_EQ(machine.CallCount("CreateDirectoryA"), 0u);
    EXPECT_FALSE(machine.FileExists("C:\\VXTHM4.DLL"));
    EXPECT_FALSE(machine.DirectoryExists("C:\\3"));
    EXPECT_EQ(Installed("VXTHM4.DLL"), "(missing)");
    EXPECT_EQ(machine.CurrentDirectory(), before);

    // A system directory that fits, under which the driver directory no longer does.
    sim::MachineProfile profile = sim::Profiles::Windows10x64();
    profile.windowsDirectory = "C:\\" + std::string(230, 'W');
    sim::SimMachine deep(profile);
    AddSamplePackage(deep);
    ASSERT_LT(deep.SystemDirectory().size(), 260u);
    ASSERT_GE(deep.DriverDirectory().size(), 255u);
    CopyDriverFiles(deep.platform(), session);
    EXPECT_EQ(deep.CallCount("CopyFileA"), 0u);
    EXPECT_EQ(deep.CallCount("CreateDirectoryA"), 0u);
    EXPECT_FALSE(deep.FileExists("C:\\VXTHM4.DLL"));
    EXPECT_FALSE(deep.DirectoryExists("C:\\3"));
}

TEST_F(DriverFileSetsTest, ACreatedDriverDirectoryReceivesTheFiles)
{
    machine.RemovePath(machine.DriverDirectory());
    session = {OsFamily::Win8, Processor::X86, kDefaultCodePageIndex, 1, PortKind::Com};
    CopyDriverFiles(Platform(), session);
    EXPECT_TRUE(machine.DirectoryExists(machine.DriverDirectory()));
    EXPECT_EQ(Installed("VXTHM4UI.DLL"), "Win8\\VXTHM4UI.DLL");
}

}  // namespace
}  // namespace zenthar::testing
