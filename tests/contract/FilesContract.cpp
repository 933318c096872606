// Copies, deletion, directories, the current directory and the file I/O the USB channel uses.
#include "tests/contract/ContractTest.h"

namespace zenthar::contract {
namespace {

using namespace platform;

using FilesContract = ContractTest;

TEST_F(FilesContract, CopyOverwritesOrRefusesAsAsked)
{
    const std::string source = Join(Scratch(), "source.txt");
    const std::string target = Join(Scratch(), "target.txt");
    WriteFileText(source, "new contents");
    WriteFileText(target, "old");

    const Call<bool> refused = P().files.CopyFileA(source.c_str(), target.c_str(), true);
    EXPECT_FALSE(refused.value);
    EXPECT_EQ(refused.error, ERROR_FILE_EXISTS);
    EXPECT_EQ(ReadFileText(target), "old");

    EXPECT_TRUE(P().files.CopyFileA(source.c_str(), target.c_str(), false).value);
    EXPECT_EQ(ReadFileText(target), "new contents");

    const std::string fresh = Join(Scratch(), "fresh.txt");
    EXPECT_TRUE(P().files.CopyFileA(source.c_str(), fresh.c_str(), true).value);
    EXPECT_EQ(ReadFileText(fresh), "new contents");

    const Call<bool> missing =
        P().files.CopyFileA(Join(Scratch(), "absent.txt").c_str(), Join(Scratch(), "x.txt").c_str(), false);
    EXPECT_FALSE(missing.value);
    EXPECT_EQ(missing.error, ERROR_FILE_NOT_FOUND);
}

TEST_F(FilesContract, DeleteRemovesFilesAndReportsMissingOnes)
{
    const std::string file = Join(Scratch(), "Doomed.txt");
    WriteFileText(file, "x");
    EXPECT_TRUE(P().files.DeleteFileA(Join(Scratch(), "DOOMED.TXT").c_str()).value) << "names ignore case";
    const Call<Dword> attributes = P().files.GetFileAttributesA(file.c_str());
    EXPECT_EQ(attributes.value, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(attributes.error, ERROR_FILE_NOT_FOUND);

    const Call<bool> again = P().files.DeleteFileA(file.c_str());
    EXPECT_FALSE(again.value);
    EXPECT_EQ(again.error, ERROR_FILE_NOT_FOUND);
    const Call<bool> inMissingDirectory = P().files.DeleteFileA(Join(Scratch(), "absent\\file.txt").c_str());
    EXPECT_FALSE(inMissingDirectory.value);
    EXPECT_EQ(inMissingDirectory.error, ERROR_PATH_NOT_FOUND);
}

TEST_F(FilesContract, DirectoriesAreMadeAndRemovedOnlyWhenEmpty)
{
    const std::string directory = Join(Scratch(), "Language");
    EXPECT_TRUE(P().files.CreateDirectoryA(directory.c_str(), nullptr).value);
    const Call<bool> again = P().files.CreateDirectoryA(directory.c_str(), nullptr);
    EXPECT_FALSE(again.value);
    EXPECT_EQ(again.error, ERROR_ALREADY_EXISTS);
    EXPECT_NE(P().files.GetFileAttributesA(directory.c_str()).value & FILE_ATTRIBUTE_DIRECTORY, 0u);

    const Call<bool> deep = P().files.CreateDirectoryA(Join(Scratch(), "absent\\deeper").c_str(), nullptr);
    EXPECT_FALSE(deep.value) << "parents are not made on the way";
    EXPECT_EQ(deep.error, ERROR_PATH_NOT_FOUND);

    const std::string file = Join(directory, "VXTHM4_866.GPD");
    WriteFileText(file, "866");
    const Call<int> notEmpty = P().files.RemoveDirectory(directory.c_str());
    EXPECT_EQ(notEmpty.value, -1);
    EXPECT_EQ(notEmpty.error, ERROR_DIR_NOT_EMPTY);

    EXPECT_TRUE(P().files.DeleteFileA(file.c_str()).value);
    EXPECT_EQ(P().files.RemoveDirectory(directory.c_str()).value, 0);
    EXPECT_EQ(P().files.GetFileAttributesA(directory.c_str()).value, INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(P().files.RemoveDirectory(directory.c_str()).value, -1);
}

TEST_F(FilesContract, CurrentDirectoryResolvesRelativePaths)
{
    ASSERT_TRUE(P().files.SetCurrentDirectoryA(Scratch().c_str()).value);
    char current[kPathLength] = {};
    const Call<Dword> length = P().files.GetCurrentDirectoryA(sizeof current, current);
    EXPECT_EQ(Text(current), Scratch());
    EXPECT_EQ(length.value, Scratch().size());

    // Too small a buffer gives the size needed, terminating zero included.
    char small[4] = {};
    EXPECT_EQ(P().files.GetCurrentDirectoryA(sizeof small, small).value, Scratch().size() + 1);

    ASSERT_TRUE(P().files.CreateDirectoryA("WinXP", nullptr).value);
    WriteFileText(".\\WinXP\\UNIDRV.DLL", "relative");
    EXPECT_TRUE(P().files.CopyFileA(".\\WinXP\\UNIDRV.DLL", Join(Scratch(), "UNIDRV.DLL").c_str(), false).value);
    EXPECT_EQ(ReadFileText(Join(Scratch(), "UNIDRV.DLL")), "relative");

    const Call<bool> missing = P().files.SetCurrentDirectoryA(Join(Scratch(), "absent").c_str());
    EXPECT_FALSE(missing.value);
    EXPECT_EQ(missing.error, ERROR_FILE_NOT_FOUND);
    P().files.GetCurrentDirectoryA(sizeof current, current);
    EXPECT_EQ(Text(current), Scratch()) << "a failed change leaves the directory as it was";
}

TEST_F(FilesContract, SystemDirectoryExists)
{
    char directory[kPathLength] = {};
    const Call<Dword> length = P().files.GetSystemDirectoryA(directory, sizeof directory);
    ASSERT_GT(length.value, 0u);
    EXPECT_EQ(length.value, Text(directory).size());
    EXPECT_TRUE(EndsWithNoCase(directory, "\\system32")) << directory;
    EXPECT_NE(P().files.GetFileAttributesA(directory).value & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST_F(FilesContract, CreateFileHonoursItsDisposition)
{
    const std::string file = Join(Scratch(), "device.bin");
    WriteFileText(file, "abc");
    const Call<Handle> fresh =
        P().io.CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, kNoHandle);
    EXPECT_EQ(fresh.value, kInvalidHandle);
    EXPECT_EQ(fresh.error, ERROR_FILE_EXISTS);

    const Call<Handle> missing = P().io.CreateFileA(Join(Scratch(), "absent.bin").c_str(), GENERIC_READ, 0, nullptr,
                                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, kNoHandle);
    EXPECT_EQ(missing.value, kInvalidHandle);
    EXPECT_EQ(missing.error, ERROR_FILE_NOT_FOUND);
}

// What the run log checks before it writes: the file opened as itself is one plain file with one
// name, lying where the full path of its name says; and it is cut where it is told.
TEST_F(FilesContract, AFileOpenedAsItselfTellsItsNamesAndWhereItLies)
{
    const std::string file = Join(Scratch(), "Run.log");
    WriteFileText(file, "abcdef");
    const Call<Handle> opened = P().io.CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, kNoHandle);
    ASSERT_NE(opened.value, kInvalidHandle);
    EXPECT_EQ(opened.error, ERROR_ALREADY_EXISTS);

    ByHandleFileInformation information{};
    EXPECT_TRUE(P().io.GetFileInformationByHandle(opened.value, &information).value);
    EXPECT_EQ(information.nNumberOfLinks, 1u);
    EXPECT_EQ(information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    EXPECT_EQ(information.nFileSizeLow, 6u);

    const auto same = [](const std::string& a, const std::string& b) {
        return a.size() == b.size() && EndsWithNoCase(a, b);
    };
    char full[kPathLength] = {};
    ASSERT_TRUE(P().files.SetCurrentDirectoryA(Scratch().c_str()).value);
    const Call<Dword> fullLength = P().files.GetFullPathNameA("run.LOG", sizeof full, full, nullptr);
    EXPECT_TRUE(same(Text(full), file)) << full;
    EXPECT_EQ(fullLength.value, Text(full).size());
    const ModuleHandle kernel = P().modules.GetModuleHandleA("kernel32.dll").value;
    const ProcAddress finalPath = P().modules.GetProcAddress(kernel, "GetFinalPathNameByHandleA").value;
    ASSERT_NE(finalPath, 0u);
    char final[kPathLength] = {};
    const Call<Dword> finalLength =
        P().io.InvokeGetFinalPathNameByHandleA(finalPath, opened.value, final, sizeof final, 0);
    EXPECT_TRUE(same(Text(final), "\\\\?\\" + file)) << final;
    EXPECT_EQ(finalLength.value, Text(final).size());

    EXPECT_TRUE(P().io.SetEndOfFile(opened.value).value);
    EXPECT_TRUE(P().kernel.CloseHandle(opened.value).value);
    EXPECT_EQ(ReadFileText(file), "");
}

TEST_F(FilesContract, OverlappedWriteCompletesThroughItsEvent)
{
    const std::string file = Join(Scratch(), "overlapped.bin");
    const Call<Handle> handle = P().io.CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                   CREATE_ALWAYS, FILE_FLAG_OVERLAPPED, kNoHandle);
    ASSERT_NE(handle.value, kInvalidHandle) << "error " << handle.error;
    const Call<Handle> event = P().kernel.CreateEventA(nullptr, true, false, nullptr);
    ASSERT_NE(event.value, kNoHandle);

    Overlapped overlapped{};
    overlapped.hEvent = event.value;
    const char data[] = "\x1b@receipt";
    const Call<bool> write = P().io.WriteFile(handle.value, data, sizeof data, nullptr, &overlapped);
    if (!write.value) {
        EXPECT_EQ(write.error, ERROR_IO_PENDING);
    }
    Dword transferred = 0;
    EXPECT_TRUE(P().io.GetOverlappedResult(handle.value, &overlapped, &transferred, true).value);
    EXPECT_EQ(transferred, sizeof data);
    EXPECT_EQ(P().kernel.WaitForSingleObject(event.value, 0).value, WAIT_OBJECT_0);
    EXPECT_TRUE(P().io.CancelIo(handle.value).value) << "nothing pending is not an error";

    P().kernel.CloseHandle(event.value);
    P().kernel.CloseHandle(handle.value);
    EXPECT_EQ(ReadFileText(file), std::string(data, sizeof data));
}

}  // namespace
}  // namespace zenthar::contract
