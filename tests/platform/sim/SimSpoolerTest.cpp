#include <cstring>

#include "SimSupport.h"

namespace zenthar::sim::test {
namespace {

const char* const kDriverFiles[] = {"UNIDRV.DLL", "VXTHM4.GPD", "UNIDRVUI.DLL", "UNIDRV.HLP", "VXTHM4.DLL"};

struct SimSpoolerTest : ::testing::Test {
    SimMachine machine{Profiles::Windows7x64()};
    Spooler& spooler = machine.platform().spooler;

    void PlaceDriverFiles()
    {
        for (const char* name : kDriverFiles)
            machine.AddFile(machine.DriverDirectory() + "\\" + name, std::string("file ") + name);
    }

    Call<bool> RegisterDriver(const char* name, char* dependents)
    {
        DriverInfo3A info{};
        info.cVersion = 3;
        info.pName = const_cast<char*>(name);
        info.pDriverPath = const_cast<char*>("UNIDRV.DLL");
        info.pDataFile = const_cast<char*>("VXTHM4.GPD");
        info.pConfigFile = const_cast<char*>("UNIDRVUI.DLL");
        info.pHelpFile = const_cast<char*>("UNIDRV.HLP");
        info.pDependentFiles = dependents;
        info.pDefaultDataType = const_cast<char*>("RAW");
        return spooler.AddPrinterDriverA(nullptr, 3, &info);
    }

    Call<Handle> CreatePrinter(const char* name, const char* port, const char* driver)
    {
        PrinterInfo2A info{};
        info.pPrinterName = const_cast<char*>(name);
        info.pPortName = const_cast<char*>(port);
        info.pDriverName = const_cast<char*>(driver);
        info.pPrintProcessor = const_cast<char*>("WinPrint");
        info.Attributes = 0xA00;
        return spooler.AddPrinterA(nullptr, 2, &info);
    }
};

TEST_F(SimSpoolerTest, PrinterEnumerationSizesThenPacksStringsInsideTheBuffer)
{
    machine.AddDriver("NORVA MTR444");
    machine.AddPrinter("NORVA MTR444", "COM1:", "NORVA MTR444");
    SimPrinter office;
    office.name = "Office";
    office.portName = "LPT1:";
    office.driverName = "Generic";
    office.comment = "2nd floor";
    machine.AddPrinter(office);

    Dword needed = 0, returned = 7;
    auto tooSmall = spooler.EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
    EXPECT_FALSE(tooSmall.value);
    EXPECT_EQ(tooSmall.error, ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(returned, 0u);
    std::vector<std::uint8_t> exact(needed);
    EXPECT_EQ(spooler.EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, exact.data(), needed - 1, &needed, &returned).error,
              ERROR_INSUFFICIENT_BUFFER);

    std::vector<std::uint8_t> buffer;
    auto printers = EnumerateAll<PrinterInfo2A>(
        [&](std::uint8_t* b, Dword s, Dword* n, Dword* r) {
            return spooler.EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, b, s, n, r);
        },
        buffer);
    ASSERT_EQ(printers.size(), 2u);
    EXPECT_STREQ(printers[0].pPrinterName, "NORVA MTR444");
    EXPECT_STREQ(printers[0].pDriverName, "NORVA MTR444");
    EXPECT_STREQ(printers[1].pComment, "2nd floor");
    for (const auto& p : printers) {
        for (const char* text : {p.pPrinterName, p.pPortName, p.pDriverName, p.pComment, p.pPrintProcessor})
            EXPECT_TRUE(InBuffer(text, buffer));
    }
}

TEST_F(SimSpoolerTest, NoPrintersIsAnEmptySuccess)
{
    Dword needed = 5, returned = 5;
    auto result = spooler.EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
    EXPECT_TRUE(result.value);
    EXPECT_EQ(needed, 0u);
    EXPECT_EQ(returned, 0u);
}

TEST_F(SimSpoolerTest, PortsOfStockAndAddedMonitorsAtLevelTwo)
{
    machine.AddPort("Standard TCP/IP Port", "IP_10.0.0.1");
    std::vector<std::uint8_t> buffer;
    auto ports = EnumerateAll<PortInfo2A>(
        [&](std::uint8_t* b, Dword s, Dword* n, Dword* r) { return spooler.EnumPortsA(nullptr, 2, b, s, n, r); },
        buffer);
    std::vector<std::string> names;
    for (const auto& port : ports) {
        EXPECT_TRUE(InBuffer(port.pPortName, buffer) && InBuffer(port.pMonitorName, buffer));
        names.push_back(port.pPortName);
    }
    EXPECT_EQ(names, (std::vector<std::string>{
                         "COM1:", "COM2:", "COM3:", "COM4:", "LPT1:", "LPT2:", "LPT3:", "FILE:", "IP_10.0.0.1"}));
    EXPECT_STREQ(ports.back().pMonitorName, "Standard TCP/IP Port");
}

TEST_F(SimSpoolerTest, DriverDirectoryFollowsTheProgramsBitness)
{
    char directory[256] = {};
    Dword needed = 0;
    ASSERT_TRUE(spooler
                    .GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<std::uint8_t*>(directory),
                                                sizeof directory, &needed)
                    .value);
    EXPECT_STREQ(directory, "C:\\Windows\\System32\\spool\\drivers\\w32x86");
    EXPECT_EQ(needed, std::strlen(directory) + 1);
    EXPECT_EQ(
        spooler.GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<std::uint8_t*>(directory), 10, &needed)
            .error,
        ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(spooler.GetPrinterDriverDirectoryA(nullptr, "Windows 3000", 1, nullptr, 0, &needed).error,
              ERROR_INVALID_ENVIRONMENT);

    MachineProfile native = Profiles::Windows10x64();
    native.wow64 = false;
    SimMachine nativeMachine(native);
    EXPECT_EQ(nativeMachine.DefaultEnvironment(), "Windows x64");
    EXPECT_EQ(nativeMachine.DriverDirectory(), "C:\\Windows\\System32\\spool\\drivers\\x64");
}

TEST_F(SimSpoolerTest, DriverRegistrationNeedsEveryFileAndInstallsThemIntoVersionDirectory)
{
    char dependents[] = "VXTHM4.DLL\0VXTHM4.GPD\0";
    auto missing = RegisterDriver("NORVA MTR333", dependents);
    EXPECT_FALSE(missing.value);
    EXPECT_EQ(missing.error, ERROR_FILE_NOT_FOUND);

    PlaceDriverFiles();
    machine.RemovePath(machine.DriverDirectory() + "\\VXTHM4.DLL");
    EXPECT_EQ(RegisterDriver("NORVA MTR333", dependents).error, ERROR_FILE_NOT_FOUND) << "a dependent file is missing";

    PlaceDriverFiles();
    ASSERT_TRUE(RegisterDriver("NORVA MTR333", dependents).value);
    auto driver = machine.FindDriver("NORVA MTR333");
    ASSERT_TRUE(driver);
    EXPECT_EQ(driver->environment, "Windows NT x86");
    EXPECT_EQ(driver->dependentFiles, (std::vector<std::string>{"VXTHM4.DLL", "VXTHM4.GPD"}));
    EXPECT_EQ(machine.FileContents(machine.DriverDirectory() + "\\3\\VXTHM4.DLL"), "file VXTHM4.DLL");
    EXPECT_TRUE(machine.FileExists(machine.DriverDirectory() + "\\VXTHM4.DLL"))
        << "the source stays for the next driver";

    char fewer[] = "VXTHM4.DLL\0";
    ASSERT_TRUE(RegisterDriver("norva mtr333", fewer).value);
    ASSERT_EQ(machine.Drivers().size(), 1u) << "the same name replaces the driver";
    EXPECT_EQ(machine.Drivers()[0].dependentFiles.size(), 1u);
}

TEST_F(SimSpoolerTest, DriverRegistrationCanNeedASystemLibrary)
{
    PlaceDriverFiles();
    machine.RequireSystemLibraryForDrivers("FRAMEDYN.dll");
    EXPECT_EQ(RegisterDriver("D", nullptr).error, ERROR_MOD_NOT_FOUND);
    auto& files = machine.platform().files;
    ASSERT_TRUE(
        files.CopyFileA("C:\\Windows\\System32\\WBEM\\FRAMEDYN.dll", "C:\\Windows\\System32\\FRAMEDYN.dll", false)
            .value);
    EXPECT_TRUE(machine.FileExists("C:\\Windows\\SysWOW64\\FRAMEDYN.dll"));
    EXPECT_TRUE(RegisterDriver("D", nullptr).value);
}

TEST_F(SimSpoolerTest, PrinterCreationRefusesWhatWindowsRefuses)
{
    machine.AddDriver("NORVA MTR333");
    EXPECT_EQ(CreatePrinter("P", "USBPOS0", "NORVA MTR333").error, ERROR_UNKNOWN_PORT);
    EXPECT_EQ(CreatePrinter("P", "COM1:", "Nobody").error, ERROR_UNKNOWN_PRINTER_DRIVER);
    EXPECT_EQ(CreatePrinter("", "COM1:", "NORVA MTR333").error, ERROR_INVALID_PRINTER_NAME);
    EXPECT_EQ(CreatePrinter("a\\b", "COM1:", "NORVA MTR333").error, ERROR_INVALID_PRINTER_NAME);
    EXPECT_EQ(CreatePrinter(std::string(221, 'x').c_str(), "COM1:", "NORVA MTR333").error, ERROR_INVALID_PRINTER_NAME);

    auto created = CreatePrinter("NORVA MTR333", "COM1:", "NORVA MTR333");
    ASSERT_NE(created.value, kNoHandle);
    auto duplicate = CreatePrinter("norva mtr333", "LPT1:", "NORVA MTR333");
    EXPECT_EQ(duplicate.value, kNoHandle);
    EXPECT_EQ(duplicate.error, ERROR_PRINTER_ALREADY_EXISTS);
    EXPECT_TRUE(spooler.ClosePrinter(created.value).value);
    EXPECT_EQ(spooler.ClosePrinter(created.value).error, ERROR_INVALID_HANDLE);

    auto printer = machine.FindPrinter("NORVA MTR333");
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->portName, "COM1:");
    EXPECT_EQ(printer->attributes, 0xA00u);
}

TEST_F(SimSpoolerTest, PrinterDataNeedsAdministerAccessAndKeepsItsBytes)
{
    machine.AddPrinter("P", "COM1:", "D");
    Handle user = kNoHandle;
    ASSERT_TRUE(spooler.OpenPrinterA("P", &user, nullptr).value);
    const std::uint8_t record[] = {8, 0, 0, 0, 0xE4, 0x04};
    EXPECT_EQ(spooler.SetPrinterDataA(user, "TTY DeviceConfig", REG_BINARY, record, sizeof record).value,
              ERROR_ACCESS_DENIED);

    char* noType = nullptr;
    PrinterDefaultsA defaults{noType, nullptr, PRINTER_ALL_ACCESS};
    Handle admin = kNoHandle;
    ASSERT_TRUE(spooler.OpenPrinterA("p", &admin, &defaults).value);
    EXPECT_EQ(spooler.SetPrinterDataA(admin, "TTY DeviceConfig", REG_BINARY, record, sizeof record).value, 0u);

    Dword type = 0, needed = 0;
    std::uint8_t small[2];
    EXPECT_EQ(spooler.GetPrinterDataA(admin, "TTY DeviceConfig", &type, small, sizeof small, &needed).value,
              ERROR_MORE_DATA);
    EXPECT_EQ(needed, sizeof record);
    std::uint8_t back[sizeof record] = {};
    EXPECT_EQ(spooler.GetPrinterDataA(admin, "TTY DeviceConfig", &type, back, sizeof back, &needed).value, 0u);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(0, std::memcmp(back, record, sizeof record));
    EXPECT_EQ(spooler.GetPrinterDataA(admin, "Other", &type, back, sizeof back, &needed).value, ERROR_FILE_NOT_FOUND);
    const auto stored = machine.FindPrinter("P")->FindData("tty deviceconfig");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->bytes, std::vector<std::uint8_t>(record, record + sizeof record));
    auto mirrored = machine.FindRegistryValue(
        kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\P\\PrinterDriverData",
        "TTY DeviceConfig");
    ASSERT_TRUE(mirrored);
    EXPECT_EQ(mirrored->bytes.size(), sizeof record);

    Handle none = kNoHandle;
    EXPECT_EQ(spooler.OpenPrinterA("Q", &none, &defaults).error, ERROR_INVALID_PRINTER_NAME);
}

TEST_F(SimSpoolerTest, MonitorRegistrationLoadsFromTheNativeSystemDirectory)
{
    MonitorInfo2A info{const_cast<char*>("KVPOS Port Monitor"), nullptr, const_cast<char*>("KVUSBMON.dll")};
    EXPECT_EQ(spooler.AddMonitorA(nullptr, 2, &info).error, ERROR_MOD_NOT_FOUND);
    machine.AddFile("C:\\Windows\\SysWOW64\\KVUSBMON.dll", "wrong place for the spooler");
    EXPECT_EQ(spooler.AddMonitorA(nullptr, 2, &info).error, ERROR_MOD_NOT_FOUND);
    machine.AddFile("C:\\Windows\\System32\\KVUSBMON.dll", "monitor");
    ASSERT_TRUE(spooler.AddMonitorA(nullptr, 2, &info).value);
    EXPECT_EQ(spooler.AddMonitorA(nullptr, 2, &info).error, ERROR_PRINT_MONITOR_ALREADY_INSTALLED);
    EXPECT_EQ(machine.Ports().back(), "USBPOS0");
    EXPECT_TRUE(machine.RegistryKeyExists(kHkeyLocalMachine,
                                          "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KVPOS Port Monitor"));

    std::vector<std::uint8_t> buffer;
    auto monitors = EnumerateAll<MonitorInfo2A>(
        [&](std::uint8_t* b, Dword s, Dword* n, Dword* r) { return spooler.EnumMonitorsA(nullptr, 2, b, s, n, r); },
        buffer);
    ASSERT_EQ(monitors.size(), 3u);
    EXPECT_STREQ(monitors[2].pName, "KVPOS Port Monitor");
    EXPECT_STREQ(monitors[2].pEnvironment, "Windows x64");
}

TEST_F(SimSpoolerTest, PrintProcessorDeletionAndTheDefaultPrinterExport)
{
    EXPECT_EQ(spooler.DeletePrintProcessorA(nullptr, nullptr, "VXTHM4PP").error, ERROR_UNKNOWN_PRINTPROCESSOR);
    machine.AddPrintProcessor("Windows NT x86", "VXTHM4PP", "VXTHM4PP32.dll");
    const char* key =
        "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\VXTHM4PP";
    EXPECT_TRUE(machine.RegistryKeyExists(kHkeyLocalMachine, key));
    EXPECT_TRUE(spooler.DeletePrintProcessorA(nullptr, nullptr, "VXTHM4PP").value);
    EXPECT_FALSE(machine.RegistryKeyExists(kHkeyLocalMachine, key));

    machine.AddPrinter("NORVA MTR333", "COM1:", "D");
    auto& modules = machine.platform().modules;
    auto winspool = modules.LoadLibraryA("WINSPOOL.DRV");
    auto byOrdinal = modules.GetProcAddressByOrdinal(winspool.value, 202);
    ASSERT_NE(byOrdinal.value, 0u);
    EXPECT_EQ(modules.GetProcAddress(winspool.value, "SetDefaultPrinterA").value, byOrdinal.value);
    EXPECT_EQ(spooler.InvokeSetDefaultPrinter(byOrdinal.value, "Missing").error, ERROR_INVALID_PRINTER_NAME);
    EXPECT_TRUE(spooler.InvokeSetDefaultPrinter(byOrdinal.value, "NORVA MTR333").value);
    EXPECT_EQ(machine.DefaultPrinter(), "NORVA MTR333");
    EXPECT_TRUE(machine.Misuses().empty());

    SimMachine old(Profiles::NT4());
    auto oldSpool = old.platform().modules.LoadLibraryA("winspool.drv");
    EXPECT_EQ(old.platform().modules.GetProcAddressByOrdinal(oldSpool.value, 202).error, ERROR_PROC_NOT_FOUND);
}

TEST_F(SimSpoolerTest, StoppedSpoolerAnswersNothingAndTcpPortsLoadOnStart)
{
    machine.CreateRegistryKey(
        kHkeyLocalMachine,
        "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\IP_1.2.3.4");
    machine.SetServiceState("Spooler", SERVICE_STOPPED);
    Dword needed = 0, returned = 0;
    EXPECT_EQ(spooler.EnumPortsA(nullptr, 2, nullptr, 0, &needed, &returned).error, kRpcServerUnavailable);
    machine.SetServiceState("Spooler", SERVICE_RUNNING);
    EXPECT_EQ(machine.Ports().back(), "IP_1.2.3.4");
}

// What the contract cannot show on a real spooler: documents waiting, the default printer
// going, access rights, and a monitor whose port is taken.
TEST_F(SimSpoolerTest, DeletionWaitsForJobsPassesTheDefaultOnAndRefusesWhatIsInUse)
{
    machine.AddDriver("Plain");
    machine.AddPrinter("First", "LPT1:", "Plain");
    machine.AddPrinter("Second", "USBPOS0", "Plain");
    machine.AddMonitor({"KVPOS Port Monitor", "Windows x64", "KVUSBMON.dll", {"USBPOS0"}});
    machine.SetDefaultPrinter("Second");
    machine.SetPrinterJobs("First", 2);

    const auto open = [&](const char* name, Dword access) {
        PrinterDefaultsA defaults{nullptr, nullptr, access};
        Handle printer = kNoHandle;
        EXPECT_TRUE(spooler.OpenPrinterA(name, &printer, &defaults).value);
        return printer;
    };
    const Handle used = open("First", 0x8);  // PRINTER_ACCESS_USE: no right to delete
    EXPECT_EQ(spooler.DeletePrinter(used).error, ERROR_ACCESS_DENIED);
    spooler.ClosePrinter(used);
    const Handle first = open("First", PRINTER_ALL_ACCESS);
    EXPECT_TRUE(spooler.DeletePrinter(first).value);
    spooler.ClosePrinter(first);
    ASSERT_TRUE(machine.FindPrinter("First"));
    EXPECT_EQ(machine.FindPrinter("First")->status, PRINTER_STATUS_PENDING_DELETION);

    EXPECT_EQ(spooler.DeleteMonitorA(nullptr, nullptr, "KVPOS Port Monitor").error, ERROR_PRINT_MONITOR_IN_USE);
    EXPECT_EQ(spooler.DeletePrinterDriverExA(nullptr, nullptr, "Plain", 0, 0).error, ERROR_PRINTER_DRIVER_IN_USE);
    const Handle second = open("Second", PRINTER_ALL_ACCESS);
    EXPECT_TRUE(spooler.DeletePrinter(second).value);
    spooler.ClosePrinter(second);
    EXPECT_FALSE(machine.FindPrinter("Second"));
    EXPECT_EQ(machine.DefaultPrinter(), "First");
    EXPECT_FALSE(
        machine.RegistryKeyExists(kHkeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Second"));
    EXPECT_TRUE(spooler.DeleteMonitorA(nullptr, nullptr, "KVPOS Port Monitor").value);
    EXPECT_FALSE(machine.RegistryKeyExists(kHkeyLocalMachine,
                                           "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KVPOS Port Monitor"));
}

}  // namespace
}  // namespace zenthar::sim::test
