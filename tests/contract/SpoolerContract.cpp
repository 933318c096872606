// Driver directory, the two-call enumerations, driver registration, printers and their data.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "tests/contract/ContractTest.h"

namespace zenthar::contract {
namespace {

using namespace platform;

// The files of a test driver: placeholders whose names a level-3 record gives. The
// configuration module is text, so a spooler that loads it finds no DLL to run.
constexpr const char* kDriverFile = "ZCONTRACT.DLL";
constexpr const char* kDataFile = "ZCONTRACT.GPD";
constexpr const char* kConfigFile = "ZCONTRACTUI.DLL";
constexpr const char* kHelpFile = "ZCONTRACT.HLP";
constexpr const char* kDependentFiles = "ZCONTRACT.INI\0ZCONTRACT.GPD\0";  // the literal adds the final zero
constexpr const char* kDependentFile = "ZCONTRACT.INI";

// One enumeration's result: the buffer the second call filled and the number of records.
struct Enumeration {
    std::vector<std::uint8_t> buffer;
    Dword count = 0;
};

class SpoolerContract : public ContractTest {
protected:
    std::string DriverDirectory(const char* environment = nullptr)
    {
        char directory[256] = {};
        Dword needed = 0;
        const Call<bool> result = P().spooler.GetPrinterDriverDirectoryA(
            nullptr, environment, 1, reinterpret_cast<std::uint8_t*>(directory), sizeof directory, &needed);
        EXPECT_TRUE(result.value) << "error " << result.error;
        return directory;
    }

    // The installer's way: ask for the size with no buffer, then fill a buffer of that size.
    // The first call must fail with ERROR_INSUFFICIENT_BUFFER unless there is nothing at all.
    template <class EnumCall>
    Enumeration Enumerate(EnumCall call)
    {
        Enumeration result;
        Dword needed = 0;
        Dword returned = 0;
        const Call<bool> sizing = call(nullptr, 0, &needed, &returned);
        if (sizing.value) {
            EXPECT_EQ(needed, 0u);
            return result;
        }
        EXPECT_EQ(sizing.error, ERROR_INSUFFICIENT_BUFFER);
        EXPECT_GT(needed, 0u);
        if (needed > 1) {
            // One byte short is still too small, and asks for the same size again.
            std::vector<std::uint8_t> shortBuffer(needed - 1);
            Dword neededAgain = 0;
            const Call<bool> tooSmall = call(shortBuffer.data(), needed - 1, &neededAgain, &returned);
            EXPECT_FALSE(tooSmall.value);
            EXPECT_EQ(tooSmall.error, ERROR_INSUFFICIENT_BUFFER);
            EXPECT_EQ(neededAgain, needed);
        }
        result.buffer.assign(needed, 0);
        const Call<bool> filled = call(result.buffer.data(), needed, &needed, &result.count);
        EXPECT_TRUE(filled.value) << "error " << filled.error;
        EXPECT_GT(result.count, 0u);
        return result;
    }

    // Every string of the records lies within the buffer, after the records themselves.
    template <class Record>
    void ExpectStringsInside(const Enumeration& enumeration, std::initializer_list<char * Record::*> fields)
    {
        const auto* records = reinterpret_cast<const Record*>(enumeration.buffer.data());
        const char* begin =
            reinterpret_cast<const char*>(enumeration.buffer.data() + enumeration.count * sizeof(Record));
        const char* end = reinterpret_cast<const char*>(enumeration.buffer.data() + enumeration.buffer.size());
        for (Dword i = 0; i < enumeration.count; ++i) {
            for (char* Record::*field : fields) {
                const char* text = records[i].*field;
                if (text == nullptr) continue;
                EXPECT_TRUE(text >= begin && text < end) << "record " << i << " points outside its buffer";
                if (text >= begin && text < end) {
                    EXPECT_NE(std::memchr(text, 0, end - text), nullptr);
                }
            }
        }
    }

    Enumeration Ports()
    {
        return Enumerate([this](std::uint8_t* buffer, Dword size, Dword* needed, Dword* returned) {
            return P().spooler.EnumPortsA(nullptr, 2, buffer, size, needed, returned);
        });
    }

    Enumeration Printers()
    {
        return Enumerate([this](std::uint8_t* buffer, Dword size, Dword* needed, Dword* returned) {
            return P().spooler.EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer, size, needed, returned);
        });
    }

    // A port the spooler offers, preferring the first parallel port.
    std::string SomePort()
    {
        const Enumeration ports = Ports();
        const auto* records = reinterpret_cast<const PortInfo2A*>(ports.buffer.data());
        std::string port;
        for (Dword i = 0; i < ports.count; ++i) {
            const std::string name = Text(records[i].pPortName);
            if (port.empty() || name == "LPT1:") port = name;
        }
        return port;
    }

    void PlaceDriverFiles()
    {
        const std::string directory = DriverDirectory();
        for (const char* file : {kDriverFile, kDataFile, kConfigFile, kHelpFile, kDependentFile}) {
            WriteFileText(Join(directory, file), std::string("contract placeholder ") + file);
        }
    }

    Call<bool> AddDriver(const std::string& name)
    {
        DriverInfo3A info{};
        info.cVersion = 3;
        info.pName = const_cast<char*>(name.c_str());
        info.pDriverPath = const_cast<char*>(kDriverFile);
        info.pDataFile = const_cast<char*>(kDataFile);
        info.pConfigFile = const_cast<char*>(kConfigFile);
        info.pHelpFile = const_cast<char*>(kHelpFile);
        info.pDependentFiles = const_cast<char*>(kDependentFiles);
        return P().spooler.AddPrinterDriverA(nullptr, 3, &info);
    }

    Call<Handle> AddPrinter(const std::string& name, const std::string& driver, const std::string& port)
    {
        PrinterInfo2A info{};
        info.pPrinterName = const_cast<char*>(name.c_str());
        info.pPortName = const_cast<char*>(port.c_str());
        info.pDriverName = const_cast<char*>(driver.c_str());
        info.pPrintProcessor = const_cast<char*>("WinPrint");
        info.pDatatype = const_cast<char*>("RAW");
        info.Attributes = PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST;
        return P().spooler.AddPrinterA(nullptr, 2, &info);
    }

    // A driver and a printer of the same name on a port the spooler knows.
    void InstallPrinter(const std::string& name)
    {
        PlaceDriverFiles();
        const Call<bool> driver = AddDriver(name);
        ASSERT_TRUE(driver.value) << "error " << driver.error;
        const std::string port = SomePort();
        ASSERT_FALSE(port.empty());
        const Call<Handle> printer = AddPrinter(name, name, port);
        ASSERT_NE(printer.value, kNoHandle) << "error " << printer.error;
        EXPECT_TRUE(P().spooler.ClosePrinter(printer.value).value);
    }

    std::vector<std::string> DriverNames()
    {
        const Enumeration drivers = Enumerate([this](std::uint8_t* buffer, Dword size, Dword* needed, Dword* returned) {
            return P().spooler.EnumPrinterDriversA(nullptr, nullptr, 1, buffer, size, needed, returned);
        });
        ExpectStringsInside<DriverInfo1A>(drivers, {&DriverInfo1A::pName});
        std::vector<std::string> names;
        const auto* records = reinterpret_cast<const DriverInfo1A*>(drivers.buffer.data());
        for (Dword i = 0; i < drivers.count; ++i) names.push_back(Text(records[i].pName));
        return names;
    }

    bool Listed(const std::vector<std::string>& names, const std::string& name)
    {
        return std::find(names.begin(), names.end(), name) != names.end();
    }

    const PrinterInfo2A* FindPrinter(const Enumeration& printers, const std::string& name)
    {
        const auto* records = reinterpret_cast<const PrinterInfo2A*>(printers.buffer.data());
        for (Dword i = 0; i < printers.count; ++i) {
            if (Text(records[i].pPrinterName) == name) return &records[i];
        }
        return nullptr;
    }
};

TEST_F(SpoolerContract, DriverDirectoryIsSizedByTheFirstCallAndExists)
{
    Dword needed = 0;
    const Call<bool> sizing = P().spooler.GetPrinterDriverDirectoryA(nullptr, nullptr, 1, nullptr, 0, &needed);
    EXPECT_FALSE(sizing.value);
    EXPECT_EQ(sizing.error, ERROR_INSUFFICIENT_BUFFER);

    const std::string directory = DriverDirectory();
    EXPECT_EQ(needed, directory.size() + 1);
    const Call<Dword> attributes = P().files.GetFileAttributesA(directory.c_str());
    ASSERT_NE(attributes.value, INVALID_FILE_ATTRIBUTES) << directory;
    EXPECT_NE(attributes.value & FILE_ATTRIBUTE_DIRECTORY, 0u);

    EXPECT_TRUE(EndsWithNoCase(DriverDirectory("Windows NT x86"), "\\w32x86"));
    char buffer[256];
    const Call<bool> unknown = P().spooler.GetPrinterDriverDirectoryA(
        nullptr, "Zenthar OS", 1, reinterpret_cast<std::uint8_t*>(buffer), sizeof buffer, &needed);
    EXPECT_FALSE(unknown.value);
    EXPECT_EQ(unknown.error, ERROR_INVALID_ENVIRONMENT);
}

TEST_F(SpoolerContract, PortsAndMonitorsAreEnumeratedInTwoCalls)
{
    const Enumeration ports = Ports();
    ASSERT_GT(ports.count, 0u);
    ExpectStringsInside<PortInfo2A>(ports,
                                    {&PortInfo2A::pPortName, &PortInfo2A::pMonitorName, &PortInfo2A::pDescription});
    const auto* port = reinterpret_cast<const PortInfo2A*>(ports.buffer.data());
    EXPECT_FALSE(Text(port->pPortName).empty());

    const Enumeration monitors = Enumerate([this](std::uint8_t* buffer, Dword size, Dword* needed, Dword* returned) {
        return P().spooler.EnumMonitorsA(nullptr, 2, buffer, size, needed, returned);
    });
    ASSERT_GT(monitors.count, 0u);
    ExpectStringsInside<MonitorInfo2A>(monitors,
                                       {&MonitorInfo2A::pName, &MonitorInfo2A::pEnvironment, &MonitorInfo2A::pDLLName});
    bool localPort = false;
    const auto* records = reinterpret_cast<const MonitorInfo2A*>(monitors.buffer.data());
    for (Dword i = 0; i < monitors.count; ++i) localPort = localPort || Text(records[i].pName) == "Local Port";
    EXPECT_TRUE(localPort) << "every spooler has the local port monitor";
}

TEST_F(SpoolerContract, DriverIsRegisteredFromFilesInTheDriverDirectory)
{
    PlaceDriverFiles();
    const Call<bool> added = AddDriver("Zenthar Contract Driver");
    EXPECT_TRUE(added.value) << "error " << added.error;
}

TEST_F(SpoolerContract, DriverWithMissingFilesIsRefused)
{
    DriverInfo3A info{};
    info.cVersion = 3;
    info.pName = const_cast<char*>("Zenthar Contract Missing Files");
    info.pDriverPath = const_cast<char*>("ZMISSING.DLL");
    info.pDataFile = const_cast<char*>("ZMISSING.GPD");
    info.pConfigFile = const_cast<char*>("ZMISSINGUI.DLL");
    const Call<bool> added = P().spooler.AddPrinterDriverA(nullptr, 3, &info);
    if (WineDeparts("AddPrinterDriverA does not check that the driver's files exist")) {
        EXPECT_TRUE(added.value);
        return;
    }
    EXPECT_FALSE(added.value);
    EXPECT_NE(added.error, ERROR_SUCCESS);
}

TEST_F(SpoolerContract, PrinterIsListedWithItsDriverAndKeepsBinaryData)
{
    const std::string name = "Zenthar Contract Printer";
    InstallPrinter(name);
    if (HasFatalFailure()) return;

    const Enumeration printers = Printers();
    ExpectStringsInside<PrinterInfo2A>(
        printers, {&PrinterInfo2A::pServerName, &PrinterInfo2A::pPrinterName, &PrinterInfo2A::pShareName,
                   &PrinterInfo2A::pPortName, &PrinterInfo2A::pDriverName, &PrinterInfo2A::pComment,
                   &PrinterInfo2A::pLocation, &PrinterInfo2A::pSepFile, &PrinterInfo2A::pPrintProcessor,
                   &PrinterInfo2A::pDatatype, &PrinterInfo2A::pParameters});
    const PrinterInfo2A* found = FindPrinter(printers, name);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(Text(found->pDriverName), name);

    PrinterDefaultsA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    Handle printer = kNoHandle;
    const Call<bool> opened = P().spooler.OpenPrinterA(name.c_str(), &printer, &defaults);
    ASSERT_TRUE(opened.value) << "error " << opened.error;

    std::vector<std::uint8_t> record(17616);
    for (std::size_t i = 0; i < record.size(); ++i) record[i] = static_cast<std::uint8_t>(i % 251);
    EXPECT_EQ(
        P().spooler
            .SetPrinterDataA(printer, "TTY DeviceConfig", REG_BINARY, record.data(), static_cast<Dword>(record.size()))
            .value,
        0u);

    Dword type = 0;
    Dword needed = 0;
    EXPECT_EQ(P().spooler.GetPrinterDataA(printer, "TTY DeviceConfig", &type, nullptr, 0, &needed).value,
              ERROR_MORE_DATA);
    EXPECT_EQ(needed, record.size());
    std::vector<std::uint8_t> back(record.size());
    ASSERT_EQ(
        P().spooler
            .GetPrinterDataA(printer, "TTY DeviceConfig", &type, back.data(), static_cast<Dword>(back.size()), &needed)
            .value,
        0u);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(back, record);
    EXPECT_EQ(
        P().spooler
            .GetPrinterDataA(printer, "No Such Value", &type, back.data(), static_cast<Dword>(back.size()), &needed)
            .value,
        ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(P().spooler.ClosePrinter(printer).value);
}

TEST_F(SpoolerContract, PrinterNeedsAKnownPortAndDriverAndAFreeName)
{
    const std::string name = "Zenthar Contract Second";
    InstallPrinter(name);
    if (HasFatalFailure()) return;

    const Call<Handle> unknownDriver = AddPrinter("Zenthar Contract No Driver", "Zenthar No Such Driver", SomePort());
    EXPECT_EQ(unknownDriver.value, kNoHandle);
    if (WineDeparts("AddPrinterA with an unknown driver fails with 87 instead of 1797")) {
        EXPECT_EQ(unknownDriver.error, ERROR_INVALID_PARAMETER);
    } else {
        EXPECT_EQ(unknownDriver.error, ERROR_UNKNOWN_PRINTER_DRIVER);
    }

    const Call<Handle> unknownPort = AddPrinter("Zenthar Contract No Port", name, "ZENTHAR_NO_PORT:");
    if (WineDeparts("AddPrinterA accepts any port name")) {
        EXPECT_NE(unknownPort.value, kNoHandle);
    } else {
        EXPECT_EQ(unknownPort.value, kNoHandle);
        EXPECT_EQ(unknownPort.error, ERROR_UNKNOWN_PORT);
    }
    if (unknownPort.value != kNoHandle) P().spooler.ClosePrinter(unknownPort.value);

    const Call<Handle> duplicate = AddPrinter(name, name, SomePort());
    if (WineDeparts("AddPrinterA replaces a printer of the same name instead of failing with 1802")) {
        EXPECT_NE(duplicate.value, kNoHandle);
    } else {
        EXPECT_EQ(duplicate.value, kNoHandle);
        EXPECT_EQ(duplicate.error, ERROR_PRINTER_ALREADY_EXISTS);
    }
    if (duplicate.value != kNoHandle) P().spooler.ClosePrinter(duplicate.value);
}

TEST_F(SpoolerContract, MissingPrinterCannotBeOpened)
{
    Handle printer = kNoHandle;
    PrinterDefaultsA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    const Call<bool> opened = P().spooler.OpenPrinterA("Zenthar No Such Printer", &printer, &defaults);
    EXPECT_FALSE(opened.value);
    EXPECT_EQ(opened.error, ERROR_INVALID_PRINTER_NAME);
}

TEST_F(SpoolerContract, DefaultPrinterIsSetThroughTheSpoolerLibraryExport)
{
    const std::string name = "Zenthar Contract Default";
    InstallPrinter(name);
    if (HasFatalFailure()) return;

    const Call<ModuleHandle> library = P().modules.LoadLibraryA("winspool.drv");
    ASSERT_NE(library.value, 0u) << "error " << library.error;
    const Call<ProcAddress> byName = P().modules.GetProcAddress(library.value, "SetDefaultPrinterA");
    ASSERT_NE(byName.value, 0u);
    EXPECT_NE(P().modules.GetProcAddressByOrdinal(library.value, 202).value, 0u);

    const Call<bool> set = P().spooler.InvokeSetDefaultPrinter(byName.value, name.c_str());
    ASSERT_TRUE(set.value) << "error " << set.error;

    // Windows keeps the default printer for the user as "name,winspool,port".
    RegKey windows = 0;
    ASSERT_EQ(P().registry
                  .RegOpenKeyExA(kHkeyCurrentUser, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", 0,
                                 KEY_READ, &windows)
                  .value,
              0);
    char device[256] = {};
    Dword size = sizeof device - 1;
    Dword type = 0;
    EXPECT_EQ(
        P().registry.RegQueryValueExA(windows, "Device", nullptr, &type, reinterpret_cast<std::uint8_t*>(device), &size)
            .value,
        0);
    P().registry.RegCloseKey(windows);
    EXPECT_EQ(Text(device).substr(0, name.size() + 1), name + ",");

    // Read back: the size first (the terminating zero counted), then the name alone.
    const Call<ProcAddress> getDefault = P().modules.GetProcAddress(library.value, "GetDefaultPrinterA");
    ASSERT_NE(getDefault.value, 0u);
    Dword length = 0;
    const Call<bool> sized = P().spooler.InvokeGetDefaultPrinter(getDefault.value, nullptr, &length);
    EXPECT_FALSE(sized.value);
    EXPECT_EQ(sized.error, ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(length, name.size() + 1);
    char back[256] = {};
    length = sizeof back;
    const Call<bool> read = P().spooler.InvokeGetDefaultPrinter(getDefault.value, back, &length);
    ASSERT_TRUE(read.value) << "error " << read.error;
    EXPECT_EQ(Text(back), name);
    EXPECT_EQ(length, name.size() + 1);

    // A printer that is not there is refused, and the default stays.
    const Call<bool> missing = P().spooler.InvokeSetDefaultPrinter(byName.value, "Zenthar No Such Printer");
    EXPECT_FALSE(missing.value);
    EXPECT_EQ(missing.error, ERROR_INVALID_PRINTER_NAME);
    length = sizeof back;
    EXPECT_TRUE(P().spooler.InvokeGetDefaultPrinter(getDefault.value, back, &length).value);
    EXPECT_EQ(Text(back), name);
    EXPECT_TRUE(P().modules.FreeLibrary(library.value).value);
}

// A printer moves to another port through its own level-2 record, read and written back.
TEST_F(SpoolerContract, PrinterMovesToAnotherPortThroughSetPrinter)
{
    const std::string name = "Zenthar Contract Moved";
    InstallPrinter(name);
    if (HasFatalFailure()) return;
    const std::string from = SomePort();
    std::string to;
    const Enumeration ports = Ports();
    const auto* records = reinterpret_cast<const PortInfo2A*>(ports.buffer.data());
    for (Dword i = 0; i < ports.count && to.empty(); ++i)
        if (Text(records[i].pPortName) != from) to = Text(records[i].pPortName);
    ASSERT_FALSE(to.empty());

    PrinterDefaultsA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    Handle printer = kNoHandle;
    ASSERT_TRUE(P().spooler.OpenPrinterA(name.c_str(), &printer, &defaults).value);
    Dword needed = 0;
    P().spooler.GetPrinterA(printer, 2, nullptr, 0, &needed);
    std::vector<std::uint8_t> buffer(std::max<Dword>(needed, sizeof(PrinterInfo2A)));
    ASSERT_TRUE(P().spooler.GetPrinterA(printer, 2, buffer.data(), static_cast<Dword>(buffer.size()), &needed).value);
    PrinterInfo2A info{};
    std::memcpy(&info, buffer.data(), sizeof info);
    EXPECT_EQ(Text(info.pPortName), from);
    info.pPortName = const_cast<char*>(to.c_str());
    const Call<bool> moved = P().spooler.SetPrinterA(printer, 2, &info, 0);
    EXPECT_TRUE(moved.value) << "error " << moved.error;

    const Call<bool> unknownPort = [&] {
        info.pPortName = const_cast<char*>("ZENTHAR_NO_PORT:");
        return P().spooler.SetPrinterA(printer, 2, &info, 0);
    }();
    if (WineDeparts("SetPrinterA accepts any port name")) {
        EXPECT_TRUE(unknownPort.value);
        info.pPortName = const_cast<char*>(to.c_str());
        EXPECT_TRUE(P().spooler.SetPrinterA(printer, 2, &info, 0).value);
    } else {
        EXPECT_FALSE(unknownPort.value);
        EXPECT_EQ(unknownPort.error, ERROR_UNKNOWN_PORT);
    }
    EXPECT_TRUE(P().spooler.ClosePrinter(printer).value);

    const Enumeration printers = Printers();
    const PrinterInfo2A* found = FindPrinter(printers, name);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(Text(found->pPortName), to);
    EXPECT_EQ(Text(found->pDriverName), name);
}

TEST_F(SpoolerContract, MissingMonitorLibraryAndPrintProcessorAreReported)
{
    MonitorInfo2A monitor{const_cast<char*>("Zenthar Contract Monitor"), nullptr,
                          const_cast<char*>("zenthar-no-such-monitor.dll")};
    const Call<bool> added = P().spooler.AddMonitorA(nullptr, 2, &monitor);
    EXPECT_FALSE(added.value);
    EXPECT_EQ(added.error, ERROR_MOD_NOT_FOUND);

    const Call<bool> removed = P().spooler.DeletePrintProcessorA(nullptr, nullptr, "ZNOPROC");
    if (WineDeparts("DeletePrintProcessorA succeeds for a print processor that does not exist")) {
        EXPECT_TRUE(removed.value);
    } else {
        EXPECT_FALSE(removed.value);
        EXPECT_EQ(removed.error, ERROR_UNKNOWN_PRINTPROCESSOR);
    }
}

TEST_F(SpoolerContract, PrinterIsReadAndDeletedThroughAHandleWithAllAccess)
{
    const std::string name = "Zenthar Contract Deleted";
    InstallPrinter(name);
    if (HasFatalFailure()) return;

    PrinterDefaultsA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    Handle printer = kNoHandle;
    ASSERT_TRUE(P().spooler.OpenPrinterA(name.c_str(), &printer, &defaults).value);
    Dword needed = 0;
    const Call<bool> sizing = P().spooler.GetPrinterA(printer, 2, nullptr, 0, &needed);
    EXPECT_FALSE(sizing.value);
    EXPECT_EQ(sizing.error, ERROR_INSUFFICIENT_BUFFER);
    ASSERT_GT(needed, sizeof(PrinterInfo2A));
    std::vector<std::uint8_t> buffer(needed);
    const Call<bool> read = P().spooler.GetPrinterA(printer, 2, buffer.data(), needed, &needed);
    ASSERT_TRUE(read.value) << "error " << read.error;
    PrinterInfo2A info{};
    std::memcpy(&info, buffer.data(), sizeof info);
    EXPECT_EQ(Text(info.pPrinterName), name);
    EXPECT_EQ(Text(info.pDriverName), name);
    EXPECT_EQ(info.cJobs, 0u);

    const Call<bool> deleted = P().spooler.DeletePrinter(printer);
    EXPECT_TRUE(deleted.value) << "error " << deleted.error;
    EXPECT_TRUE(P().spooler.ClosePrinter(printer).value);
    EXPECT_EQ(FindPrinter(Printers(), name), nullptr);
    Handle again = kNoHandle;
    const Call<bool> reopened = P().spooler.OpenPrinterA(name.c_str(), &again, &defaults);
    EXPECT_FALSE(reopened.value);
    EXPECT_EQ(reopened.error, ERROR_INVALID_PRINTER_NAME);
}

TEST_F(SpoolerContract, DriverInUseStaysAndAFreeOneGoesWithTheFilesNoOtherDriverUses)
{
    const std::string used = "Zenthar Contract Used Driver";
    const std::string sharing = "Zenthar Contract Sharing Driver";
    InstallPrinter(used);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(AddDriver(sharing).value);
    const std::vector<std::string> names = DriverNames();
    EXPECT_TRUE(Listed(names, used));
    EXPECT_TRUE(Listed(names, sharing));
    const std::string versionFile = Join(DriverDirectory(), std::string("3\\") + kDependentFile);
    ASSERT_NE(P().files.GetFileAttributesA(versionFile.c_str()).value, INVALID_FILE_ATTRIBUTES) << versionFile;

    Dword flags = DPD_DELETE_UNUSED_FILES;
    const Call<bool> inUse = P().spooler.DeletePrinterDriverExA(nullptr, nullptr, used.c_str(), flags, 0);
    EXPECT_FALSE(inUse.value);
    const bool noFlags =
        WineDeparts("DeletePrinterDriverExA refuses every delete flag with 87 (files are never deleted)");
    if (noFlags) {
        EXPECT_EQ(inUse.error, ERROR_INVALID_PARAMETER);
        flags = 0;
        const Call<bool> anyway = P().spooler.DeletePrinterDriverExA(nullptr, nullptr, used.c_str(), flags, 0);
        if (WineDeparts("DeletePrinterDriverExA removes a driver that a printer still uses")) {
            EXPECT_TRUE(anyway.value);
            ASSERT_TRUE(AddDriver(used).value);
        } else {
            EXPECT_FALSE(anyway.value);
            EXPECT_EQ(anyway.error, ERROR_PRINTER_DRIVER_IN_USE);
        }
    } else {
        EXPECT_EQ(inUse.error, ERROR_PRINTER_DRIVER_IN_USE);
    }

    // With its printer gone the driver goes; the files the other driver names stay.
    PrinterDefaultsA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    Handle printer = kNoHandle;
    ASSERT_TRUE(P().spooler.OpenPrinterA(used.c_str(), &printer, &defaults).value);
    EXPECT_TRUE(P().spooler.DeletePrinter(printer).value);
    P().spooler.ClosePrinter(printer);
    const Call<bool> freed = P().spooler.DeletePrinterDriverExA(nullptr, nullptr, used.c_str(), flags, 0);
    EXPECT_TRUE(freed.value) << "error " << freed.error;
    EXPECT_FALSE(Listed(DriverNames(), used));
    EXPECT_NE(P().files.GetFileAttributesA(versionFile.c_str()).value, INVALID_FILE_ATTRIBUTES);

    EXPECT_TRUE(P().spooler.DeletePrinterDriverExA(nullptr, nullptr, sharing.c_str(), flags, 0).value);
    EXPECT_FALSE(Listed(DriverNames(), sharing));
    const bool fileLeft = P().files.GetFileAttributesA(versionFile.c_str()).value != INVALID_FILE_ATTRIBUTES;
    EXPECT_EQ(fileLeft, noFlags);
    const Call<bool> unknown = P().spooler.DeletePrinterDriverExA(nullptr, nullptr, sharing.c_str(), flags, 0);
    EXPECT_FALSE(unknown.value);
    if (WineDeparts("DeletePrinterDriverExA of an unknown driver sets no error of its own")) {
        std::printf("wine-measured: unknown driver, last error %u\n", static_cast<unsigned>(unknown.error));
    } else {
        EXPECT_EQ(unknown.error, ERROR_UNKNOWN_PRINTER_DRIVER);
    }
}

TEST_F(SpoolerContract, AMonitorThatIsNotThereCannotBeDeleted)
{
    const Call<bool> deleted = P().spooler.DeleteMonitorA(nullptr, nullptr, "Zenthar Contract No Monitor");
    EXPECT_FALSE(deleted.value);
    EXPECT_EQ(deleted.error, ERROR_UNKNOWN_PRINT_MONITOR);
}

}  // namespace
}  // namespace zenthar::contract
