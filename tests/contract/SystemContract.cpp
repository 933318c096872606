// Version and processor information, module lookups, kernel objects, the clock and the
// device-setup library.
#include <algorithm>
#include <atomic>
#include <cstring>

#include "tests/contract/ContractTest.h"

namespace zenthar::contract {
namespace {

using namespace platform;

using SystemContract = ContractTest;

TEST_F(SystemContract, VersionRecordIsFilledAsItsSizeSays)
{
    OsVersionInfoExA basic;
    std::memset(&basic, 0xCC, sizeof basic);
    basic.dwOSVersionInfoSize = kOsVersionInfoSize;
    ASSERT_TRUE(P().system.GetVersionExA(&basic).value);
    EXPECT_EQ(basic.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_GE(basic.dwMajorVersion, 5u);
    EXPECT_NE(std::memchr(basic.szCSDVersion, 0, sizeof basic.szCSDVersion), nullptr);
    EXPECT_EQ(basic.wServicePackMajor, 0xCCCC) << "the basic record ends before the service pack";
    EXPECT_EQ(basic.wProductType, 0xCC);

    OsVersionInfoExA extended{};
    extended.dwOSVersionInfoSize = kOsVersionInfoExSize;
    ASSERT_TRUE(P().system.GetVersionExA(&extended).value);
    EXPECT_EQ(extended.dwMajorVersion, basic.dwMajorVersion);
    EXPECT_EQ(extended.dwMinorVersion, basic.dwMinorVersion);
    EXPECT_EQ(extended.dwBuildNumber, basic.dwBuildNumber);
    EXPECT_GE(extended.wProductType, VER_NT_WORKSTATION);
    EXPECT_LE(extended.wProductType, VER_NT_SERVER);
    if (extended.wProductType == VER_NT_WORKSTATION) {
        EXPECT_EQ(P().system.GetSystemMetrics(SM_SERVERR2).value, 0) << "only a 2003 R2 server sets it";
    }

    OsVersionInfoExA wrong{};
    wrong.dwOSVersionInfoSize = 100;
    const Call<bool> refused = P().system.GetVersionExA(&wrong);
    EXPECT_FALSE(refused.value);
    EXPECT_EQ(refused.error, ERROR_INSUFFICIENT_BUFFER);
}

TEST_F(SystemContract, NativeProcessorAndProductComeThroughKernelExports)
{
    const Call<ModuleHandle> kernel = P().modules.GetModuleHandleA("kernel32.dll");
    ASSERT_NE(kernel.value, 0u);
    EXPECT_EQ(P().modules.GetModuleHandleW(u"KERNEL32.DLL").value, kernel.value);

    const Call<ProcAddress> native = P().modules.GetProcAddress(kernel.value, "GetNativeSystemInfo");
    ASSERT_NE(native.value, 0u);
    SystemInfo nativeInfo{};
    P().system.InvokeGetNativeSystemInfo(native.value, &nativeInfo);
    SystemInfo ownInfo{};
    P().system.GetSystemInfo(&ownInfo);
    for (const SystemInfo* info : {&nativeInfo, &ownInfo}) {
        EXPECT_TRUE(info->wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL ||
                    info->wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
                    info->wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64)
            << info->wProcessorArchitecture;
        EXPECT_GT(info->dwNumberOfProcessors, 0u);
        EXPECT_EQ(info->dwPageSize, 4096u);
    }
    // A 32-bit program may run on a 64-bit processor; never the other way round.
    if (ownInfo.wProcessorArchitecture != PROCESSOR_ARCHITECTURE_INTEL) {
        EXPECT_EQ(nativeInfo.wProcessorArchitecture, ownInfo.wProcessorArchitecture);
    }

    OsVersionInfoExA version{};
    version.dwOSVersionInfoSize = kOsVersionInfoExSize;
    ASSERT_TRUE(P().system.GetVersionExA(&version).value);
    const Call<ProcAddress> product = P().modules.GetProcAddress(kernel.value, "GetProductInfo");
    ASSERT_NE(product.value, 0u);
    Dword productType = 0;
    EXPECT_TRUE(P().system
                    .InvokeGetProductInfo(product.value, version.dwMajorVersion, version.dwMinorVersion,
                                          version.wServicePackMajor, version.wServicePackMinor, &productType)
                    .value);
    EXPECT_NE(productType, 0u);
}

// The shipped 32-bit program learns from these whether to hand its run to its 64-bit twin,
// and where the twin lies.
TEST_F(SystemContract, Wow64AndTheProgramsOwnPathAreAskedOfTheSystem)
{
    const Call<ModuleHandle> kernel = P().modules.GetModuleHandleA("kernel32.dll");
    ASSERT_NE(kernel.value, 0u);
    const Call<ProcAddress> isWow64 = P().modules.GetProcAddress(kernel.value, "IsWow64Process");
    ASSERT_NE(isWow64.value, 0u);
    bool wow64 = true;
    ASSERT_TRUE(P().system.InvokeIsWow64Process(isWow64.value, &wow64).value);
    SystemInfo nativeInfo{};
    P().system.InvokeGetNativeSystemInfo(P().modules.GetProcAddress(kernel.value, "GetNativeSystemInfo").value,
                                         &nativeInfo);
    SystemInfo ownInfo{};
    P().system.GetSystemInfo(&ownInfo);
    // Under WOW64 the program sees a 32-bit processor on a 64-bit one.
    EXPECT_EQ(wow64, ownInfo.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL &&
                         nativeInfo.wProcessorArchitecture != PROCESSOR_ARCHITECTURE_INTEL);

    // IsWow64Process2 names the machine itself (an Arm PC whatever it emulates) and the
    // program's own machine only under WOW64.
    const Call<ProcAddress> isWow64Second = P().modules.GetProcAddress(kernel.value, "IsWow64Process2");
    ASSERT_NE(isWow64Second.value, 0u);
    Word processMachine = 1;
    Word nativeMachine = 0;
    ASSERT_TRUE(P().system.InvokeIsWow64Process2(isWow64Second.value, &processMachine, &nativeMachine).value);
    EXPECT_EQ(processMachine, wow64 ? IMAGE_FILE_MACHINE_I386 : IMAGE_FILE_MACHINE_UNKNOWN);
    EXPECT_EQ(nativeMachine, nativeInfo.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64
                                 ? IMAGE_FILE_MACHINE_AMD64
                                 : IMAGE_FILE_MACHINE_I386);

    char path[kPathLength] = {};
    const Call<Dword> length = P().modules.GetModuleFileNameA(0, path, sizeof path);
    ASSERT_GT(length.value, 0u);
    EXPECT_EQ(length.value, Text(path).size());
    EXPECT_TRUE(EndsWithNoCase(path, ".exe")) << path;
    EXPECT_NE(Text(path).find('\\'), std::string::npos) << "a whole path: " << path;
    // Too small a buffer: the call gives the buffer's whole size, which is how a cut path is
    // told (XP, and Wine's 32-bit side, leave it unterminated).
    char small[4] = {'x', 'x', 'x', 'x'};
    const Call<Dword> cut = P().modules.GetModuleFileNameA(0, small, sizeof small);
    EXPECT_EQ(cut.value, Dword{sizeof small});
    EXPECT_EQ(cut.error, ERROR_INSUFFICIENT_BUFFER);
}

TEST_F(SystemContract, ModuleLookupsReportWhatIsMissing)
{
    const Call<ModuleHandle> missing = P().modules.LoadLibraryA("zenthar-no-such-library.dll");
    EXPECT_EQ(missing.value, 0u);
    EXPECT_EQ(missing.error, ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(P().modules.GetModuleHandleA("zenthar-no-such-library.dll").value, 0u);

    const Call<ModuleHandle> kernel = P().modules.GetModuleHandleA("kernel32.dll");
    const Call<ProcAddress> absent = P().modules.GetProcAddress(kernel.value, "ZentharNoSuchFunction");
    EXPECT_EQ(absent.value, 0u);
    EXPECT_EQ(absent.error, ERROR_PROC_NOT_FOUND);
    // From the system directory alone: its own spooler library, and no other file anywhere.
    const Call<ModuleHandle> spooler =
        P().modules.LoadLibraryExA("winspool.drv", kNoHandle, LOAD_LIBRARY_SEARCH_SYSTEM32);
    ASSERT_NE(spooler.value, 0u) << "error " << spooler.error;
    char path[kPathLength] = {};
    ASSERT_GT(P().modules.GetModuleFileNameA(spooler.value, path, sizeof path).value, 0u);
    EXPECT_TRUE(EndsWithNoCase(path, "\\winspool.drv")) << path;
    EXPECT_TRUE(P().modules.FreeLibrary(spooler.value).value);
    const Call<ModuleHandle> nowhere =
        P().modules.LoadLibraryExA("zenthar-no-such-library.dll", kNoHandle, LOAD_LIBRARY_SEARCH_SYSTEM32);
    EXPECT_EQ(nowhere.value, 0u);
    EXPECT_EQ(nowhere.error, ERROR_MOD_NOT_FOUND);

    const Call<ProcAddress> redirection = P().modules.GetProcAddress(kernel.value, "Wow64DisableWow64FsRedirection");
    EXPECT_NE(redirection.value, 0u);
    EXPECT_NE(P().modules.GetProcAddress(kernel.value, "Wow64RevertWow64FsRedirection").value, 0u);
}

TEST_F(SystemContract, DeviceSetupListsUsbPrinterInterfacesUntilNoMoreItems)
{
    const Call<ModuleHandle> library = P().modules.LoadLibraryA("SETUPAPI.DLL");
    ASSERT_NE(library.value, 0u) << "error " << library.error;
    ProcAddress functions[4] = {};
    const char* const names[4] = {"SetupDiGetClassDevsA", "SetupDiEnumDeviceInterfaces",
                                  "SetupDiGetDeviceInterfaceDetailA", "SetupDiDestroyDeviceInfoList"};
    for (int i = 0; i < 4; ++i) {
        functions[i] = P().modules.GetProcAddress(library.value, names[i]).value;
        ASSERT_NE(functions[i], 0u) << names[i];
    }

    const Guid usbPrint{0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};
    const Call<Handle> set = P().setup.InvokeSetupDiGetClassDevsA(functions[0], &usbPrint, nullptr, kNoHandle,
                                                                  DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    ASSERT_NE(set.value, kInvalidHandle) << "error " << set.error;

    Dword index = 0;
    for (;; ++index) {
        SpDeviceInterfaceData interfaceData{};
        interfaceData.cbSize = sizeof interfaceData;
        const Call<bool> found = P().setup.InvokeSetupDiEnumDeviceInterfaces(functions[1], set.value, nullptr,
                                                                             &usbPrint, index, &interfaceData);
        if (!found.value) {
            EXPECT_EQ(found.error, ERROR_NO_MORE_ITEMS);
            break;
        }
        ASSERT_LT(index, 64u);
        Dword required = 0;
        const Call<bool> sizing = P().setup.InvokeSetupDiGetDeviceInterfaceDetailA(
            functions[2], set.value, &interfaceData, nullptr, 0, &required, nullptr);
        EXPECT_FALSE(sizing.value);
        EXPECT_EQ(sizing.error, ERROR_INSUFFICIENT_BUFFER);
        ASSERT_GT(required, kDeviceInterfaceDetailFixedSize);
        std::vector<std::uint8_t> storage(required + 8, 0);
        auto* detail = reinterpret_cast<SpDeviceInterfaceDetailDataA*>(storage.data());
        detail->cbSize = kDeviceInterfaceDetailFixedSize;
        EXPECT_TRUE(P().setup
                        .InvokeSetupDiGetDeviceInterfaceDetailA(functions[2], set.value, &interfaceData, detail,
                                                                required, nullptr, nullptr)
                        .value);
        EXPECT_GT(std::strlen(detail->DevicePath), 0u);
    }
    EXPECT_TRUE(P().setup.InvokeSetupDiDestroyDeviceInfoList(functions[3], set.value).value);
    P().modules.FreeLibrary(library.value);
}

TEST_F(SystemContract, EventsSignalAsTheirResetModeSays)
{
    const Call<Handle> automatic = P().kernel.CreateEventA(nullptr, false, false, nullptr);
    const Call<Handle> manual = P().kernel.CreateEventA(nullptr, true, true, nullptr);
    ASSERT_NE(automatic.value, kNoHandle);
    ASSERT_NE(manual.value, kNoHandle);

    EXPECT_EQ(P().kernel.WaitForSingleObject(automatic.value, 0).value, WAIT_TIMEOUT);
    EXPECT_TRUE(P().kernel.SetEvent(automatic.value).value);
    EXPECT_EQ(P().kernel.WaitForSingleObject(automatic.value, 0).value, WAIT_OBJECT_0);
    EXPECT_EQ(P().kernel.WaitForSingleObject(automatic.value, 0).value, WAIT_TIMEOUT) << "a wait resets it";

    EXPECT_EQ(P().kernel.WaitForSingleObject(manual.value, 0).value, WAIT_OBJECT_0);
    EXPECT_EQ(P().kernel.WaitForSingleObject(manual.value, 0).value, WAIT_OBJECT_0) << "only ResetEvent resets it";
    EXPECT_TRUE(P().kernel.ResetEvent(manual.value).value);
    EXPECT_EQ(P().kernel.WaitForSingleObject(manual.value, 10).value, WAIT_TIMEOUT);

    EXPECT_TRUE(P().kernel.CloseHandle(automatic.value).value);
    EXPECT_TRUE(P().kernel.CloseHandle(manual.value).value);
    const Call<bool> closedTwice = P().kernel.CloseHandle(automatic.value);
    EXPECT_FALSE(closedTwice.value);
    EXPECT_EQ(closedTwice.error, ERROR_INVALID_HANDLE);
}

// Runs of the installer and the uninstaller keep apart through one named mutex in the Global
// namespace: a second open finds the first's, and only its owner may let go of it.
TEST_F(SystemContract, ANamedMutexIsOneForEveryOpenAndOnlyItsOwnerReleasesIt)
{
    // Past its namespace a mutex's name holds no backslash.
    std::string own = OwnKeyPath();
    std::replace(own.begin(), own.end(), '\\', '-');
    const std::string name = "Global\\zenthar contract " + own;
    const Call<Handle> first = P().kernel.CreateMutexA(nullptr, false, name.c_str());
    ASSERT_NE(first.value, kNoHandle);
    const Call<Handle> second = P().kernel.CreateMutexA(nullptr, true, name.c_str());
    ASSERT_NE(second.value, kNoHandle);
    EXPECT_EQ(second.error, ERROR_ALREADY_EXISTS);
    const Call<bool> notOwned = P().kernel.ReleaseMutex(second.value);
    EXPECT_FALSE(notOwned.value) << "the second open did not take it";
    EXPECT_EQ(notOwned.error, ERROR_NOT_OWNER);

    EXPECT_EQ(P().kernel.WaitForSingleObject(first.value, 0).value, WAIT_OBJECT_0);
    EXPECT_EQ(P().kernel.WaitForSingleObject(second.value, 0).value, WAIT_OBJECT_0) << "the owner takes it again";
    EXPECT_TRUE(P().kernel.ReleaseMutex(second.value).value);
    EXPECT_TRUE(P().kernel.ReleaseMutex(first.value).value);
    EXPECT_FALSE(P().kernel.ReleaseMutex(first.value).value);
    EXPECT_TRUE(P().kernel.CloseHandle(first.value).value);
    EXPECT_TRUE(P().kernel.CloseHandle(second.value).value);
}

struct Worker {
    Platform* platform;
    Handle done;
    std::atomic<int> runs{0};
};

Dword WorkerMain(void* parameter)
{
    auto* worker = static_cast<Worker*>(parameter);
    worker->runs.fetch_add(1);
    worker->platform->kernel.SetEvent(worker->done);
    return 42;
}

TEST_F(SystemContract, ThreadRunsItsRoutineAndEndsWithItsResult)
{
    Worker worker{&P(), P().kernel.CreateEventA(nullptr, true, false, nullptr).value};
    ASSERT_NE(worker.done, kNoHandle);
    Dword id = 0;
    const Call<Handle> thread = P().kernel.CreateThread(nullptr, 0, WorkerMain, &worker, 0, &id);
    ASSERT_NE(thread.value, kNoHandle) << "error " << thread.error;
    EXPECT_NE(id, 0u);
    EXPECT_EQ(P().kernel.WaitForSingleObject(worker.done, 10000).value, WAIT_OBJECT_0);
    EXPECT_EQ(P().kernel.WaitForSingleObject(thread.value, 10000).value, WAIT_OBJECT_0);
    EXPECT_EQ(worker.runs.load(), 1);
    P().kernel.CloseHandle(thread.value);
    P().kernel.CloseHandle(worker.done);
}

TEST_F(SystemContract, PauseAdvancesTheTickCount)
{
    const Dword before = P().clock.GetTickCount();
    P().clock.Sleep(100);
    const Dword elapsed = P().clock.GetTickCount() - before;
    // The tick count moves in steps of up to 16 ms.
    EXPECT_GE(elapsed, 80u);
    EXPECT_LT(elapsed, 5000u);
}

}  // namespace
}  // namespace zenthar::contract
