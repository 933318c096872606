// The installation engine's operations on a real spooler, registry and file system: Wine's.
// Messages are recorded instead of shown, so nothing waits for a click.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "connection/MessageBoxNotices.h"
#include "connection/NetworkPort.h"
#include "core/CodePageTable.h"
#include "core/InstallSession.h"
#include "core/Notice.h"
#include "core/ServiceControl.h"
#include "install/DeviceConfigRecord.h"
#include "install/DriverFileSets.h"
#include "install/DriverRegistration.h"
#include "install/PrinterCreation.h"
#include "install/PrinterSettings.h"
#include "platform/Constants.h"
#include "platform/win32/Win32Platform.h"
#include "resources/InstallerWords.h"
#include "spooler/PortMonitor.h"
#include "spooler/PrintProcessor.h"
#include "spooler/UninstallEntry.h"
#include "ui/Backend.h"
#include "uninstall/Removal.h"
#include "uninstall/RemovalTexts.h"

namespace zenthar::testing {
namespace {

using zenthar::resources::Say;
using zenthar::resources::Words;

using namespace zenthar::platform;

// Only message boxes are asked of the user interface here.
class RecordingBackend : public ui::Backend {
public:
    int RunModal(ui::Dialog&, ui::Dialog*) override { return -1; }
    bool CreateModeless(ui::Dialog&, ui::Dialog*) override { return false; }
    int MessageBox(const ui::Dialog*, std::string_view text, std::string_view caption, ui::MessageIcon) override
    {
        messages.push_back(std::string(text) + " | " + std::string(caption));
        return ui::kIdOk;
    }
    std::string AppTitle() const override { return "zenthar"; }
    ui::IconHandle LoadIcon(int, int, int) override { return 0; }
    void DestroyIcon(ui::IconHandle) override {}
    ui::BitmapHandle LoadBitmap(int) override { return 0; }
    ui::Size BitmapSize(ui::BitmapHandle) const override { return {}; }
    ui::Color SysColor(int) const override { return 0; }
    int SystemMetric(int) const override { return 0; }

    std::vector<std::string> messages;
};

class EngineUnderWine : public ::testing::Test {
protected:
    // The spooler runs, as the program makes sure at start-up; Wine's printers cannot be
    // opened without it.
    void SetUp() override
    {
        ui::UseBackend(&screen);
        ASSERT_TRUE(StartServiceAndWait(P(), "spooler"));
        // And it has listed the printers, as the program does before it installs any.
        Dword needed = 0, returned = 0;
        P().spooler.EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
    }
    void TearDown() override { ui::UseBackend(nullptr); }

    Platform& P() { return win32::platform(); }

    void Write(const std::string& path, const std::string& text)
    {
        // Folders first, one level at a time.
        for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
            P().files.CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
        const Handle file =
            P().io.CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, kNoHandle)
                .value;
        ASSERT_NE(file, kInvalidHandle) << path;
        Dword written = 0;
        P().io.WriteFile(file, text.data(), static_cast<Dword>(text.size()), &written, nullptr);
        P().kernel.CloseHandle(file);
    }

    std::string Read(const std::string& path)
    {
        const Handle file =
            P().io.CreateFileA(path.c_str(), GENERIC_READ, 1, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, kNoHandle)
                .value;
        if (file == kInvalidHandle) return "(missing)";
        char buffer[256] = {};
        Dword read = 0;
        P().io.ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
        P().kernel.CloseHandle(file);
        return std::string(buffer, read);
    }

    std::string DriverDirectory()
    {
        char directory[256] = {};
        Dword needed = 0;
        P().spooler.GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<std::uint8_t*>(directory),
                                               sizeof directory, &needed);
        return directory;
    }

    // The copied files a driver record names, as placeholders.
    void PlaceDriverFiles()
    {
        const std::string directory = DriverDirectory();
        for (const char* name : {"UNIDRV.DLL", "VXTHM4.GPD", "UNIDRVUI.DLL", "UNIDRV.HLP", "VXTHM4.Dll", "STDNAMES.GPD",
                                 "UNIRES.Dll", "VXTHM4E.DLL", "VXTHM4UI.DLL", "VXTHM4.INI"})
            Write(directory + "\\" + name, std::string("placeholder ") + name);
    }

    // Wine opens a printer only when its key names a data type, which the installer's
    // AddPrinterA leaves to the spooler; the key made beforehand is kept.
    void GiveDatatype(const std::string& printer)
    {
        const std::string path = "System\\CurrentControlSet\\Control\\Print\\Printers\\" + printer;
        RegKey key = 0;
        Dword disposition = 0;
        ASSERT_EQ(P().registry
                      .RegCreateKeyExA(kHkeyLocalMachine, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                       &disposition)
                      .value,
                  0);
        const char raw[] = "RAW";
        P().registry.RegSetValueExA(key, "Datatype", 0, REG_SZ, reinterpret_cast<const std::uint8_t*>(raw), sizeof raw);
        P().registry.RegCloseKey(key);
    }

    RecordingBackend screen;
};

TEST_F(EngineUnderWine, CopiesTheSetOfA64BitFamily12SystemWithTheChosenCodePage)
{
    const std::string folder = "C:\\NORVA Orbix Printer 4.X";
    // "StdNames.gpd" is the same file as "STDNAMES.GPD": names compare without regard to case.
    for (const char* name : {"VXTHM4.GPD", "STDNAMES.GPD"})
        Write(folder + "\\Win8\\" + name, std::string("Win8 ") + name);
    for (const char* name : {"VXTHM4.DLL", "VXTHM4E.DLL", "VXTHM4.INI", "VXTHM4UI.DLL"})
        Write(folder + "\\Win64\\Server2012\\" + name, std::string("Server2012 ") + name);
    Write(folder + "\\Win8\\Language\\VXTHM4_866.GPD", "Win8 866");
    const std::string directory = DriverDirectory();
    for (const char* name : {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL", "UNIDRV.HLP"})
        Write(directory + "\\3\\" + name, std::string("system ") + name);

    InstallSession session;
    session.osFamily = OsFamily::Win8;
    session.processor = Processor::X64;
    session.codePageIndex = 5;
    CopyDriverFiles(P(), session);

    EXPECT_EQ(Read(directory + "\\VXTHM4.GPD"), "Win8 866");
    EXPECT_EQ(Read(directory + "\\UNIDRV.DLL"), "system UNIDRV.DLL");
    EXPECT_EQ(Read(directory + "\\VXTHM4UI.DLL"), "Server2012 VXTHM4UI.DLL");
    EXPECT_EQ(Read(directory + "\\STDNAMES.GPD"), "Win8 STDNAMES.GPD");
    // The package is left as it was.
    EXPECT_EQ(Read(folder + "\\Win8\\VXTHM4.GPD"), "Win8 VXTHM4.GPD");
    char current[260] = {};
    P().files.GetCurrentDirectoryA(sizeof current, current);
    EXPECT_STREQ(current, directory.c_str());
}

// Printer creation and the settings record under Wine are checked by the end-to-end scenarios,
// through the whole program; here the registration alone, read back from Wine's registry.
TEST_F(EngineUnderWine, RegistersTheDriverWithItsFiles)
{
    PlaceDriverFiles();

    const char* name = "NORVA Orbix #7";
    ASSERT_TRUE(RegisterDriver(P(), Processor::X64, OsFamily::Win8, name, MessageBoxNotices(nullptr)));
    EXPECT_TRUE(screen.messages.empty());

    // The spooler files the driver under the environment of the program that adds it.
    const std::string environment = sizeof(void*) == 8 ? "Windows x64" : "Windows NT x86";
    const std::string key = "System\\CurrentControlSet\\Control\\Print\\Environments\\" + environment +
                            "\\Drivers\\Version-3\\" + name;
    RegKey driver = 0;
    ASSERT_EQ(P().registry.RegOpenKeyExA(kHkeyLocalMachine, key.c_str(), 0, KEY_READ, &driver).value, 0);
    std::uint8_t data[512] = {};
    Dword size = sizeof data, type = 0;
    ASSERT_EQ(P().registry.RegQueryValueExA(driver, "Dependent Files", nullptr, &type, data, &size).value, 0);
    const char expected[] = "VXTHM4.Dll\0VXTHM4.GPD\0STDNAMES.GPD\0UNIRES.Dll\0unidrvui.dll\0VXTHM4E.DLL\0"
                            "VXTHM4UI.DLL\0VXTHM4.INI\0unidrv.hlp\0";
    EXPECT_EQ(type, REG_MULTI_SZ);
    ASSERT_EQ(size, sizeof expected);
    EXPECT_EQ(std::memcmp(data, expected, sizeof expected), 0);
    size = sizeof data;
    ASSERT_EQ(P().registry.RegQueryValueExA(driver, "Data File", nullptr, &type, data, &size).value, 0);
    EXPECT_STREQ(reinterpret_cast<char*>(data), "VXTHM4.GPD");
    P().registry.RegCloseKey(driver);
}

TEST_F(EngineUnderWine, APrinterThatDoesNotExistCannotTakeSettings)
{
    EXPECT_FALSE(WritePrinterSettings(P(), "NORVA No Such Printer", 866, MessageBoxNotices(nullptr)));
    ASSERT_EQ(screen.messages.size(), 1u);
    EXPECT_EQ(screen.messages[0], Say(Words::OpenPrinterFailed, 1801, "NORVA No Such Printer") + " | zenthar");
}

TEST_F(EngineUnderWine, TheUninstallEntryIsWrittenOnceWithItsTwoValues)
{
    RegisterUninstall(P());
    RegKey key = 0;
    ASSERT_EQ(P().registry.RegOpenKeyExA(kHkeyLocalMachine, kUninstallKey, 0, KEY_READ, &key).value, 0);
    char keyClass[64] = {};
    Dword classLength = sizeof keyClass;
    Dword values = 0;
    P().registry.RegQueryInfoKeyA(key, keyClass, &classLength, nullptr, &values);
    EXPECT_STREQ(keyClass, "REG_BINARY");
    EXPECT_EQ(values, 2u);
    std::uint8_t data[128] = {};
    Dword size = sizeof data, type = 0;
    ASSERT_EQ(P().registry.RegQueryValueExA(key, "UninstallString", nullptr, &type, data, &size).value, 0);
    EXPECT_EQ(type, REG_SZ);
    const std::string path = "C:\\NORVA Orbix Printer 4.X\\DriverOrbixUninstaller.exe";
    EXPECT_EQ(size, path.size() + 1);
    EXPECT_STREQ(reinterpret_cast<char*>(data), path.c_str());

    // A second run leaves a changed entry alone.
    const char other[] = "changed";
    P().registry.RegCloseKey(key);
    ASSERT_EQ(P().registry.RegOpenKeyExA(kHkeyLocalMachine, kUninstallKey, 0, KEY_ALL_ACCESS, &key).value, 0);
    P().registry.RegSetValueExA(key, "DisplayName", 0, REG_SZ, reinterpret_cast<const std::uint8_t*>(other),
                                sizeof other);
    RegisterUninstall(P());
    size = sizeof data;
    P().registry.RegQueryValueExA(key, "DisplayName", nullptr, &type, data, &size);
    EXPECT_STREQ(reinterpret_cast<char*>(data), "changed");
    P().registry.RegDeleteKeyA(kHkeyLocalMachine, kUninstallKey);
    P().registry.RegCloseKey(key);
}

TEST_F(EngineUnderWine, AMissingPrintProcessorReportsBothFiles)
{
    // As on Windows, the x86 print processor folder exists; the files in it do not.
    char system[260] = {};
    P().files.GetSystemDirectoryA(system, sizeof system);
    Write(std::string(system) + "\\spool\\prtprocs\\w32x86\\placeholder.txt", "folder");
    EXPECT_FALSE(IsPortMonitorInstalled(P()));
    RemovePrintProcessor(P(), OsFamily::Win8, MessageBoxNotices(nullptr));
    EXPECT_EQ(screen.messages, std::vector<std::string>(2, Say(Words::DeletePrintProcessorFailed, 2) + " | zenthar"));
}

class NoView final : public uninstall::RemovalView {
public:
    void Removing(const uninstall::Part&, int) override {}
};

// The uninstaller's engine after the installer's own steps (driver, network port, printer,
// entry), beside a printer and a driver that are not ours.
TEST_F(EngineUnderWine, WhatTheInstallerMadeIsRemovedAndAForeignPrinterStays)
{
    PlaceDriverFiles();
    const std::string directory = DriverDirectory();
    const char* name = "NORVA MTR444";
    const char* foreign = "Zenthar Foreign";
    const char* foreignDriver = "Zenthar Foreign Driver";
    ASSERT_TRUE(RegisterDriver(P(), Processor::X64, OsFamily::Win8, name, MessageBoxNotices(nullptr)));
    ASSERT_TRUE(RegisterDriver(P(), Processor::X64, OsFamily::Win8, foreignDriver, MessageBoxNotices(nullptr)));
    NetworkPortFields fields;
    const char address[kAddressTextSize] = "10.1.2.3";
    CreateNetworkPort(P(), fields, address, MessageBoxNotices(nullptr));
    GiveDatatype(name);
    GiveDatatype(foreign);
    ASSERT_TRUE(CreatePrinter(P(), name, fields.networkPortName, MessageBoxNotices(nullptr)));
    PrinterInfo2A other{};
    other.pPrinterName = const_cast<char*>(foreign);
    other.pPortName = const_cast<char*>("LPT1:");
    other.pDriverName = const_cast<char*>(foreignDriver);
    other.pPrintProcessor = const_cast<char*>("WinPrint");
    other.pDatatype = const_cast<char*>("RAW");
    const Call<Handle> added = P().spooler.AddPrinterA(nullptr, 2, &other);
    ASSERT_NE(added.value, kNoHandle) << "error " << added.error;
    P().spooler.ClosePrinter(added.value);
    RegisterUninstall(P());
    ASSERT_TRUE(screen.messages.empty()) << screen.messages.front();

    const uninstall::Plan plan = uninstall::FindOurs(P());
    std::vector<std::string> parts;
    for (const auto& part : plan.parts) {
        // Drivers of our names registered by the other tests of this program are ours too.
        if (part.kind == uninstall::PartKind::Driver && part.name != name) continue;
        parts.push_back(uninstall::Describe(part));
    }
    EXPECT_EQ(parts,
              (std::vector<std::string>{"printer \"NORVA MTR444\"", "driver \"NORVA MTR444\"", "port \"IP_10.1.2.3\"",
                                        "uninstall entry \"NORVA Orbix Printer 4.64\""}));
    NoView view;
    for (const auto& outcome : uninstall::RemoveOurs(P(), plan, view))
        EXPECT_TRUE(outcome.Removed()) << uninstall::Describe(outcome);

    EXPECT_TRUE(uninstall::FindOurs(P()).Empty());
    RegKey key = 0;
    EXPECT_NE(P().registry.RegOpenKeyExA(kHkeyLocalMachine, fields.networkPortKey, 0, KEY_READ, &key).value, 0);
    Handle left = kNoHandle;
    PrinterDefaultsA defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    ASSERT_TRUE(P().spooler.OpenPrinterA(foreign, &left, &defaults).value);
    P().spooler.ClosePrinter(left);
    // The foreign driver keeps the files it shares with the one removed.
    EXPECT_EQ(Read(directory + "\\3\\VXTHM4UI.DLL"), "placeholder VXTHM4UI.DLL");
}

}  // namespace
}  // namespace zenthar::testing
