#include "SimSupport.h"

namespace zenthar::sim::test {
namespace {

const char* const kInstaller = "C:\\NORVA Orbix Printer 4.X";

struct SimFilesTest : ::testing::Test {
    SimMachine machine{Profiles::Windows10x86()};
    Files& files = machine.platform().files;
};

TEST_F(SimFilesTest, RelativePathsResolveAgainstTheCurrentDirectory)
{
    machine.AddFile(std::string(kInstaller) + "\\Win64\\x64\\VXTHM4.INI", "x64 ini");
    ASSERT_TRUE(files.SetCurrentDirectoryA("c:\\norva orbix printer 4.x").value);
    ASSERT_TRUE(files.CreateDirectoryA("C:\\Out", nullptr).value);
    // The doubled backslash counts as one separator, and names ignore letter case.
    ASSERT_TRUE(files.CopyFileA(".\\Win64\\x64\\\\vxthm4.ini", "C:\\Out\\VXTHM4.INI", true).value);
    EXPECT_EQ(machine.FileContents("C:\\OUT\\vxthm4.ini"), "x64 ini");
    ASSERT_TRUE(files.SetCurrentDirectoryA("Win64\\x64\\..\\..\\..\\Out").value);
    EXPECT_EQ(machine.CurrentDirectory(), "C:\\Out");
    EXPECT_TRUE(files.DeleteFileA("VXTHM4.INI").value);
    EXPECT_EQ(files.SetCurrentDirectoryA("C:\\Nowhere").error, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(machine.CurrentDirectory(), "C:\\Out");

    char small[4];
    EXPECT_EQ(files.GetCurrentDirectoryA(sizeof small, small).value, 7u) << "too small: the size with its zero";
    char buffer[260];
    EXPECT_EQ(files.GetCurrentDirectoryA(sizeof buffer, buffer).value, 6u);
    EXPECT_STREQ(buffer, "C:\\Out");
    EXPECT_EQ(files.GetSystemDirectoryA(buffer, sizeof buffer).value, 19u);
    EXPECT_STREQ(buffer, "C:\\Windows\\System32");
}

TEST_F(SimFilesTest, CopyDeleteAndFolderErrorsAreWindowsNumbers)
{
    machine.AddFile("C:\\A\\one.txt", "1");
    EXPECT_EQ(files.CopyFileA("C:\\A\\none.txt", "C:\\A\\two.txt", false).error, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(files.CopyFileA("C:\\Nope\\none.txt", "C:\\A\\two.txt", false).error, ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(files.CopyFileA("C:\\A\\one.txt", "C:\\Missing\\two.txt", false).error, ERROR_PATH_NOT_FOUND);
    ASSERT_TRUE(files.CopyFileA("C:\\A\\one.txt", "C:\\A\\two.txt", true).value);
    machine.AddFile("C:\\A\\one.txt", "changed");
    EXPECT_EQ(files.CopyFileA("C:\\A\\one.txt", "C:\\A\\two.txt", true).error, ERROR_FILE_EXISTS);
    EXPECT_EQ(machine.FileContents("C:\\A\\two.txt"), "1");
    EXPECT_TRUE(files.CopyFileA("C:\\A\\one.txt", "C:\\A\\two.txt", false).value);
    EXPECT_EQ(machine.FileContents("C:\\A\\two.txt"), "changed");

    EXPECT_EQ(files.CreateDirectoryA("C:\\A", nullptr).error, ERROR_ALREADY_EXISTS);
    EXPECT_EQ(files.CreateDirectoryA("C:\\X\\Y", nullptr).error, ERROR_PATH_NOT_FOUND);
    auto notEmpty = files.RemoveDirectory("C:\\A");
    EXPECT_EQ(notEmpty.value, -1);
    EXPECT_EQ(notEmpty.error, ERROR_DIR_NOT_EMPTY);
    EXPECT_TRUE(files.DeleteFileA("C:\\A\\one.txt").value);
    EXPECT_EQ(files.DeleteFileA("C:\\A\\one.txt").error, ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(files.DeleteFileA("C:\\A\\two.txt").value);
    EXPECT_EQ(files.RemoveDirectory("C:\\A").value, 0);
    EXPECT_EQ(files.RemoveDirectory("C:\\A").error, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(files.GetFileAttributesA("C:\\A").value, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(files.GetFileAttributesA("C:\\Windows").value, FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(SimFilesTest, Wow64RedirectsSystem32UntilSwitchedOffButNotTheSpoolFolder)
{
    SimMachine x64(Profiles::Windows10x64());
    Files& wowFiles = x64.platform().files;
    x64.AddFile("C:\\src\\KVUSBMON.dll", "monitor");
    ASSERT_TRUE(wowFiles.CopyFileA("C:\\src\\KVUSBMON.dll", "C:\\Windows\\System32\\KVUSBMON.dll", false).value);
    EXPECT_TRUE(x64.FileExists("C:\\Windows\\SysWOW64\\KVUSBMON.dll"));
    EXPECT_FALSE(x64.FileExists("C:\\Windows\\System32\\KVUSBMON.dll"));
    ASSERT_TRUE(
        wowFiles.CopyFileA("C:\\src\\KVUSBMON.dll", "C:\\Windows\\System32\\spool\\drivers\\w32x86\\K.dll", false)
            .value);
    EXPECT_TRUE(x64.FileExists("C:\\Windows\\System32\\spool\\drivers\\w32x86\\K.dll"));

    auto& modules = x64.platform().modules;
    auto kernel = modules.GetModuleHandleW(u"kernel32");
    auto disable = modules.GetProcAddress(kernel.value, "Wow64DisableWow64FsRedirection");
    ASSERT_NE(disable.value, 0u);
    void* old = reinterpret_cast<void*>(1);
    ASSERT_TRUE(wowFiles.InvokeWow64DisableWow64FsRedirection(disable.value, &old).value);
    EXPECT_FALSE(x64.FsRedirectionActive());
    ASSERT_TRUE(wowFiles.CopyFileA("C:\\src\\KVUSBMON.dll", "C:\\Windows\\System32\\KVUSBMON.dll", false).value);
    EXPECT_TRUE(x64.FileExists("C:\\Windows\\System32\\KVUSBMON.dll"));

    // On a 32-bit system neither redirection nor the export exists.
    auto& plainModules = machine.platform().modules;
    auto plainKernel = plainModules.GetModuleHandleA("KERNEL32.DLL");
    EXPECT_EQ(plainModules.GetProcAddress(plainKernel.value, "Wow64DisableWow64FsRedirection").error,
              ERROR_PROC_NOT_FOUND);
}

TEST_F(SimFilesTest, CreateFileWritesAndReadsOrdinaryFiles)
{
    auto& io = machine.platform().io;
    auto created =
        io.CreateFileA("C:\\log.bin", GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, kNoHandle);
    ASSERT_NE(created.value, kInvalidHandle);
    Dword written = 0;
    ASSERT_TRUE(io.WriteFile(created.value, "abcdef", 6, &written, nullptr).value);
    EXPECT_EQ(written, 6u);
    EXPECT_EQ(io.CreateFileA("C:\\log.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, kNoHandle).error,
              kErrorSharingViolation);
    EXPECT_EQ(files.DeleteFileA("C:\\log.bin").error, kErrorSharingViolation);
    EXPECT_TRUE(machine.platform().kernel.CloseHandle(created.value).value);

    auto again = io.CreateFileA("c:\\LOG.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, kNoHandle);
    char buffer[8] = {};
    Dword read = 0;
    ASSERT_TRUE(io.ReadFile(again.value, buffer, sizeof buffer, &read, nullptr).value);
    EXPECT_EQ(std::string(buffer, read), "abcdef");
    EXPECT_EQ(io.WriteFile(again.value, "x", 1, &written, nullptr).error, ERROR_ACCESS_DENIED);
    machine.platform().kernel.CloseHandle(again.value);
    EXPECT_EQ(io.CreateFileA("C:\\log.bin", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, kNoHandle).error,
              ERROR_FILE_EXISTS);
    EXPECT_EQ(io.CreateFileA("C:\\none.bin", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, kNoHandle).error,
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(machine.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace zenthar::sim::test
