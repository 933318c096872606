#include "SimSupport.h"

namespace zenthar::sim::test {
namespace {

struct Detected {
    bool extended;
    OsVersionInfoExA version;
    Word nativeArchitecture;
    Word systemInfoArchitecture;
    bool hasProductInfo;
    Dword productType;
};

// Asks the machine what a program detecting its platform would ask.
Detected Detect(SimMachine& machine)
{
    Platform& p = machine.platform();
    Detected d{};
    d.version.dwOSVersionInfoSize = kOsVersionInfoExSize;
    d.extended = p.system.GetVersionExA(&d.version).value;
    if (!d.extended) {
        d.version = OsVersionInfoExA{};
        d.version.dwOSVersionInfoSize = kOsVersionInfoSize;
        EXPECT_TRUE(p.system.GetVersionExA(&d.version).value);
    }
    SystemInfo info{};
    p.system.GetSystemInfo(&info);
    d.systemInfoArchitecture = info.wProcessorArchitecture;
    auto kernel = p.modules.GetModuleHandleA("kernel32.dll");
    d.nativeArchitecture = 0xFFFF;
    if (auto native = p.modules.GetProcAddress(kernel.value, "GetNativeSystemInfo"); native.value) {
        p.system.InvokeGetNativeSystemInfo(native.value, &info);
        d.nativeArchitecture = info.wProcessorArchitecture;
    }
    if (auto product = p.modules.GetProcAddress(kernel.value, "GetProductInfo"); product.value) {
        d.hasProductInfo = p.system.InvokeGetProductInfo(product.value, 6, 0, 0, 0, &d.productType).value;
    }
    return d;
}

TEST(SimSystemTest, ProfilesAnswerAsTheirWindowsDoes)
{
    SimMachine win98(Profiles::Windows98());
    auto d = Detect(win98);
    EXPECT_FALSE(d.extended);
    EXPECT_EQ(d.version.dwPlatformId, VER_PLATFORM_WIN32_WINDOWS);
    EXPECT_EQ(d.version.dwMinorVersion, 10u);
    EXPECT_EQ(d.version.wProductType, 0);
    EXPECT_EQ(d.nativeArchitecture, 0xFFFF) << "no GetNativeSystemInfo before XP";

    SimMachine xp64(Profiles::WindowsXPx64());
    d = Detect(xp64);
    EXPECT_EQ(d.version.dwMajorVersion * 10 + d.version.dwMinorVersion, 52u);
    EXPECT_EQ(d.version.wProductType, VER_NT_WORKSTATION);
    EXPECT_EQ(d.nativeArchitecture, PROCESSOR_ARCHITECTURE_AMD64);
    EXPECT_EQ(d.systemInfoArchitecture, PROCESSOR_ARCHITECTURE_INTEL) << "WOW64 hides the processor";
    EXPECT_FALSE(d.hasProductInfo);
    EXPECT_EQ(xp64.platform().system.GetSystemMetrics(SM_SERVERR2).value, 0);
    SimMachine r2(Profiles::Windows2003R2());
    EXPECT_EQ(r2.platform().system.GetSystemMetrics(SM_SERVERR2).value, 1);

    SimMachine itanium(Profiles::Windows2008Itanium());
    d = Detect(itanium);
    EXPECT_EQ(d.version.wProductType, VER_NT_SERVER);
    EXPECT_EQ(d.nativeArchitecture, PROCESSOR_ARCHITECTURE_IA64);
    EXPECT_TRUE(d.hasProductInfo);
    EXPECT_EQ(d.productType, PRODUCT_ENTERPRISE_SERVER_IA64);

    SimMachine win10(Profiles::Windows10x64());
    d = Detect(win10);
    EXPECT_TRUE(d.extended);
    EXPECT_EQ(d.version.dwMajorVersion * 10 + d.version.dwMinorVersion, 62u);
}

TEST(SimSystemTest, VersionRecordSizesAreHonoured)
{
    MachineProfile profile = Profiles::Windows7();
    profile.refusesExtendedVersionInfo = true;
    SimMachine machine(profile);
    auto& system = machine.platform().system;
    OsVersionInfoExA record{};
    std::memset(&record, 0x5A, sizeof record);
    record.dwOSVersionInfoSize = kOsVersionInfoExSize;
    auto refused = system.GetVersionExA(&record);
    EXPECT_FALSE(refused.value);
    EXPECT_EQ(refused.error, ERROR_INVALID_PARAMETER);
    record.dwOSVersionInfoSize = kOsVersionInfoSize;
    ASSERT_TRUE(system.GetVersionExA(&record).value);
    EXPECT_STREQ(record.szCSDVersion, "Service Pack 1");
    EXPECT_EQ(record.wServicePackMajor, 0x5A5A) << "nothing past the basic record is written";
    record.dwOSVersionInfoSize = 100;
    EXPECT_EQ(system.GetVersionExA(&record).error, ERROR_INSUFFICIENT_BUFFER);
}

TEST(SimModulesTest, LibrariesLoadAndFunctionsResolveOnlyWhereTheyExist)
{
    SimMachine machine(Profiles::Windows7());
    auto& modules = machine.platform().modules;
    EXPECT_EQ(modules.GetModuleHandleA("SETUPAPI.DLL").error, ERROR_MOD_NOT_FOUND) << "not loaded yet";
    auto setup = modules.LoadLibraryA("SETUPAPI.DLL");
    ASSERT_NE(setup.value, 0u);
    EXPECT_EQ(modules.GetModuleHandleA("setupapi").value, setup.value);
    EXPECT_NE(modules.GetProcAddress(setup.value, "SetupDiGetClassDevsA").value, 0u);
    EXPECT_EQ(modules.GetProcAddress(setup.value, "setupdigetclassdevsa").error, ERROR_PROC_NOT_FOUND);
    EXPECT_TRUE(modules.FreeLibrary(setup.value).value);
    EXPECT_FALSE(machine.LibraryLoaded("setupapi.dll"));
    EXPECT_EQ(modules.GetProcAddress(setup.value, "SetupDiGetClassDevsA").error, ERROR_MOD_NOT_FOUND);

    EXPECT_EQ(modules.LoadLibraryA("C:\\Nowhere\\odd.dll").error, ERROR_MOD_NOT_FOUND);
    machine.AddFile("C:\\Windows\\System32\\odd.dll", "dll");
    EXPECT_NE(modules.LoadLibraryA("odd.dll").value, 0u);
    machine.MakeLibraryMissing("SETUPAPI.DLL");
    EXPECT_EQ(modules.LoadLibraryA("setupapi.dll").error, ERROR_MOD_NOT_FOUND);
}

// The loader's order for a library named without a folder: a KnownDLL is always the system's;
// any other is looked for beside the program first. LOAD_LIBRARY_SEARCH_SYSTEM32 looks in the
// system directory only, where the system knows the flag.
TEST(SimModulesTest, TheLoaderLooksBesideTheProgramFirstUnlessToldOtherwise)
{
    struct Row {
        MachineProfile profile;
        const char* name;
        Dword flags;
        std::string file;  // empty: the load fails with 87
    };
    const std::string planted = "C:\\NORVA Orbix Printer 4.X\\";
    const std::string system = "C:\\Windows\\System32\\";
    const Row rows[] = {
        {Profiles::Windows10x64(), "winspool.drv", 0, planted + "WINSPOOL.DRV"},
        {Profiles::Windows10x64(), "SETUPAPI.DLL", 0, system + "setupapi.dll"},
        {Profiles::Windows10x64(), "winspool.drv", LOAD_LIBRARY_SEARCH_SYSTEM32, system + "winspool.drv"},
        {Profiles::Windows10x64(), "comctl32.dll", LOAD_LIBRARY_SEARCH_SYSTEM32, system + "comctl32.dll"},
        {Profiles::Windows7(), "winspool.drv", LOAD_LIBRARY_SEARCH_SYSTEM32, ""},
        {Profiles::Windows7(), "C:\\Windows\\System32\\winspool.drv", 0, system + "winspool.drv"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.profile.name + " " + row.name);
        SimMachine machine(row.profile);
        machine.AddFile(planted + "WINSPOOL.DRV", "planted");
        machine.AddFile(planted + "SETUPAPI.DLL", "planted");
        auto& modules = machine.platform().modules;
        const auto loaded = modules.LoadLibraryExA(row.name, kNoHandle, row.flags);
        if (row.file.empty()) {
            EXPECT_EQ(loaded.error, ERROR_INVALID_PARAMETER);
            EXPECT_TRUE(machine.LibraryFilesLoaded().empty());
            continue;
        }
        ASSERT_NE(loaded.value, 0u);
        EXPECT_EQ(machine.LibraryFilesLoaded(), std::vector<std::string>{row.file});
        char path[MAX_PATH] = {};
        EXPECT_EQ(modules.GetModuleFileNameA(loaded.value, path, sizeof path).value, row.file.size());
        EXPECT_EQ(path, row.file);
    }
}

TEST(SimModulesTest, CallingThroughTheWrongAddressIsCaught)
{
    SimMachine machine(Profiles::Windows7x64());
    Platform& p = machine.platform();
    auto kernel = p.modules.GetModuleHandleA("kernel32");
    auto productInfo = p.modules.GetProcAddress(kernel.value, "GetProductInfo");
    SystemInfo info{};
    p.system.InvokeGetNativeSystemInfo(productInfo.value, &info);
    ASSERT_EQ(machine.Misuses().size(), 1u);
    EXPECT_NE(machine.Misuses()[0].find("GetProductInfo"), std::string::npos);

    auto setup = p.modules.LoadLibraryA("SETUPAPI.DLL");
    auto getClassDevs = p.modules.GetProcAddress(setup.value, "SetupDiGetClassDevsA");
    p.modules.FreeLibrary(setup.value);
    auto set =
        p.setup.InvokeSetupDiGetClassDevsA(getClassDevs.value, &kUsbPrintInterfaceClass, nullptr, kNoHandle, 0x12);
    EXPECT_EQ(set.value, kInvalidHandle);
    EXPECT_EQ(machine.Misuses().size(), 2u) << "a function of an unloaded library";
}

TEST(SimFaultTest, CallsFailOnceOnTheNthCallOrAlwaysAndAreLogged)
{
    SimMachine machine;
    Platform& p = machine.platform();
    machine.FailNext("CopyFileA", ERROR_ACCESS_DENIED, 2);
    machine.AddFile("C:\\a.txt", "a");
    EXPECT_TRUE(p.files.CopyFileA("C:\\a.txt", "C:\\b.txt", false).value);
    auto second = p.files.CopyFileA("C:\\a.txt", "C:\\b.txt", false);
    EXPECT_FALSE(second.value);
    EXPECT_EQ(second.error, ERROR_ACCESS_DENIED);
    EXPECT_TRUE(p.files.CopyFileA("C:\\a.txt", "C:\\b.txt", false).value);

    // Two faults armed together each count every call.
    machine.FailNext("GetFileAttributesA", ERROR_PATH_NOT_FOUND);
    machine.FailNext("GetFileAttributesA", ERROR_ACCESS_DENIED, 2);
    EXPECT_EQ(p.files.GetFileAttributesA("C:\\a.txt").error, ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(p.files.GetFileAttributesA("C:\\a.txt").error, ERROR_ACCESS_DENIED);
    EXPECT_NE(p.files.GetFileAttributesA("C:\\a.txt").value, INVALID_FILE_ATTRIBUTES);

    machine.FailAlways("RegOpenKeyExA", ERROR_ACCESS_DENIED);
    RegKey key = 0;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(p.registry.RegOpenKeyExA(kHkeyLocalMachine, "SOFTWARE", 0, KEY_READ, &key).value,
                  static_cast<Long>(ERROR_ACCESS_DENIED));
    machine.FailNext("CreateFileA", ERROR_GEN_FAILURE);
    EXPECT_EQ(p.io.CreateFileA("C:\\a.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, kNoHandle).value,
              kInvalidHandle);
    machine.FailNext("OpenSCManagerA", 5);
    EXPECT_EQ(p.services.OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS).value, kNoHandle);
    machine.ClearFaults();
    EXPECT_EQ(p.registry.RegOpenKeyExA(kHkeyLocalMachine, "SOFTWARE", 0, KEY_READ, &key).value, 0);
    p.registry.RegCloseKey(key);

    const auto log = machine.CallLog();
    EXPECT_EQ(machine.CallCount("CopyFileA"), 3u);
    EXPECT_EQ(log.front(), "CopyFileA");
    EXPECT_EQ(log.back(), "RegCloseKey");
}

TEST(SimFaultTest, ReplayFailsEachCallInTurn)
{
    auto run = [](SimMachine& machine) {
        Platform& p = machine.platform();
        RegKey key = 0;
        if (p.registry
                .RegCreateKeyExA(kHkeyLocalMachine, "SOFTWARE\\T", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                 nullptr)
                .value != 0)
            return;
        const auto text = Sz("v");
        p.registry.RegSetValueExA(key, "V", 0, REG_SZ, text.data(), static_cast<Dword>(text.size()));
        p.registry.RegCloseKey(key);
    };
    SimMachine clean(Profiles::Windows10x86());
    run(clean);
    const auto calls = clean.CallLog();
    ASSERT_EQ(calls.size(), 3u);
    for (std::size_t i = 0; i < calls.size(); ++i) {
        SimMachine machine(Profiles::Windows10x86());
        machine.FailCallNumber(i, ERROR_ACCESS_DENIED);
        run(machine);
        const bool valueWritten = machine.FindRegistryValue(kHkeyLocalMachine, "SOFTWARE\\T", "V").has_value();
        EXPECT_EQ(valueWritten, calls[i] == "RegCloseKey") << "failing " << calls[i];
    }
}

}  // namespace
}  // namespace zenthar::sim::test
