// Driver registration, printer creation and the settings record against the spooler.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "connection/MessageBoxNotices.h"
#include "core/Notice.h"
#include "install/DeviceConfigRecord.h"
#include "install/DriverRegistration.h"
#include "install/PrinterCreation.h"
#include "install/PrinterSettings.h"
#include "resources/InstallerWords.h"
#include "tests/common/MachineFixture.h"

namespace zenthar::testing {
namespace {

using zenthar::resources::Say;
using zenthar::resources::Text;
using zenthar::resources::Words;

const std::vector<std::string> kUnidrvFiles = {"UNIDRV.DLL",   "VXTHM4.GPD",   "UNIDRVUI.DLL", "UNIDRV.HLP",
                                               "VXTHM4.Dll",   "STDNAMES.GPD", "UNIRES.Dll",   "VXTHM4E.DLL",
                                               "VXTHM4UI.DLL", "VXTHM4.INI"};

class SpoolerRegistrationTest : public MachineTest {
protected:
    explicit SpoolerRegistrationTest(sim::MachineProfile profile = sim::Profiles::Windows10x64())
        : MachineTest(std::move(profile))
    {}

    void AddDriverFiles(const std::vector<std::string>& names)
    {
        for (const auto& name : names) machine.AddFile(machine.DriverDirectory() + "\\" + name, name);
    }
};

TEST(DriverRecord, DependentFilesAreSpelledAsRegisteredBefore)
{
    const auto unidrv = MakeDriverRecord(Processor::X64, OsFamily::Win8, "NORVA MTR333");
    EXPECT_EQ(unidrv.cVersion, 3u);
    EXPECT_STREQ(unidrv.pName, "NORVA MTR333");
    EXPECT_EQ(unidrv.pEnvironment, nullptr);
    EXPECT_STREQ(unidrv.pDriverPath, "UNIDRV.DLL");
    EXPECT_STREQ(unidrv.pDataFile, "VXTHM4.GPD");
    EXPECT_STREQ(unidrv.pConfigFile, "UNIDRVUI.DLL");
    EXPECT_STREQ(unidrv.pHelpFile, "UNIDRV.HLP");
    EXPECT_EQ(unidrv.pMonitorName, nullptr);
    EXPECT_STREQ(unidrv.pDefaultDataType, "RAW");
    const char expected[] = "VXTHM4.Dll\0VXTHM4.GPD\0STDNAMES.GPD\0UNIRES.Dll\0unidrvui.dll\0VXTHM4E.DLL\0"
                            "VXTHM4UI.DLL\0VXTHM4.INI\0unidrv.hlp\0";  // and the literal's own zero ends the list
    EXPECT_EQ(std::memcmp(unidrv.pDependentFiles, expected, sizeof expected), 0);

    const auto nt4 = MakeDriverRecord(Processor::X86, OsFamily::NT4, "NORVA Orbix #2");
    EXPECT_EQ(nt4.cVersion, 2u);
    EXPECT_STREQ(nt4.pDriverPath, "RASDD.DLL");
    EXPECT_STREQ(nt4.pDataFile, "THERMAL.DLL");
    EXPECT_STREQ(nt4.pConfigFile, "RASDDUI.DLL");
    EXPECT_STREQ(nt4.pHelpFile, "RASDDUI.HLP");
    const char nt4Files[] = "THERMAL.Dll\0RASDDUI.dll\0RASDDUI.hlp\0";
    EXPECT_EQ(std::memcmp(nt4.pDependentFiles, nt4Files, sizeof nt4Files), 0);

    // Only x86 NT 4 takes the old record.
    EXPECT_EQ(MakeDriverRecord(Processor::X64, OsFamily::NT4, "x").cVersion, 3u);
    EXPECT_EQ(MakeDriverRecord(Processor::X86, OsFamily::Win2000, "x").cVersion, 3u);
}

TEST_F(SpoolerRegistrationTest, ClonesRegisterOneDriverEachWithTheSameFiles)
{
    AddDriverFiles(kUnidrvFiles);
    ASSERT_TRUE(
        RegisterDriver(Platform(), Processor::X64, OsFamily::Win8, "NORVA Orbix #1", MessageBoxNotices(nullptr)));
    ASSERT_TRUE(
        RegisterDriver(Platform(), Processor::X64, OsFamily::Win8, "NORVA Orbix #2", MessageBoxNotices(nullptr)));
    const auto first = machine.FindDriver("NORVA Orbix #1");
    const auto second = machine.FindDriver("NORVA Orbix #2");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->dependentFiles, second->dependentFiles);
    EXPECT_EQ(first->dependentFiles.size(), 9u);
    EXPECT_EQ(first->dataFile, "VXTHM4.GPD");
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SpoolerRegistrationTest, AMissingFileIsReportedWithTheSpoolersError)
{
    AddDriverFiles({"UNIDRV.DLL", "VXTHM4.GPD"});
    EXPECT_FALSE(
        RegisterDriver(Platform(), Processor::X86, OsFamily::Win8, "NORVA MTR444", MessageBoxNotices(nullptr)));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], MessageLine(Say(Words::AddDriverFailed, 2), "zenthar", "none", "none"));
    EXPECT_EQ(machine.CallCount("AddPrinterDriverA"), 1u);
    EXPECT_FALSE(machine.FindDriver("NORVA MTR444"));
}

TEST_F(SpoolerRegistrationTest, AMissingModuleIsRetriedOnceAfterFrameDynIsInPlace)
{
    AddDriverFiles(kUnidrvFiles);
    machine.RequireSystemLibraryForDrivers("FRAMEDYN.dll");
    machine.AddFile(machine.SystemDirectory() + "\\WBEM\\FRAMEDYN.dll", "framedyn");

    EXPECT_TRUE(RegisterDriver(Platform(), Processor::X86, OsFamily::Win8, "NORVA MTR333", MessageBoxNotices(nullptr)));
    EXPECT_EQ(machine.CallCount("AddPrinterDriverA"), 2u);
    EXPECT_TRUE(machine.FindDriver("NORVA MTR333"));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SpoolerRegistrationTest, AFailedRetryReportsTheRetrysError)
{
    AddDriverFiles(kUnidrvFiles);
    machine.FailNext("AddPrinterDriverA", 126);
    machine.FailNext("AddPrinterDriverA", 5, 2);
    EXPECT_FALSE(
        RegisterDriver(Platform(), Processor::X86, OsFamily::Win8, "NORVA MTR333", MessageBoxNotices(nullptr)));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find(Say(Words::AddDriverFailed, 5)), std::string::npos);
}

class PrinterCreationTest : public SpoolerRegistrationTest {
protected:
    void SetUp() override
    {
        SpoolerRegistrationTest::SetUp();
        AddDriverFiles(kUnidrvFiles);
        for (const char* name : {"NORVA MTR333", "NORVA Orbix #1", "NORVA Orbix #2"})
            ASSERT_TRUE(RegisterDriver(Platform(), Processor::X64, OsFamily::Win8, name, MessageBoxNotices(nullptr)));
    }
};

TEST_F(PrinterCreationTest, ThePrinterCarriesItsRowsNameDriverPortAndAttributes)
{
    auto printer = CreatePrinter(Platform(), "NORVA MTR333", "LPT1:", MessageBoxNotices(nullptr));
    ASSERT_TRUE(printer);
    EXPECT_FALSE(printer.onFallbackPort);
    printer.printer.Close();
    const auto created = machine.FindPrinter("NORVA MTR333");
    ASSERT_TRUE(created);
    EXPECT_EQ(created->driverName, "NORVA MTR333");
    EXPECT_EQ(created->portName, "LPT1:");
    EXPECT_EQ(created->printProcessor, "WinPrint");
    EXPECT_EQ(created->attributes, 0xA00u);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PrinterCreationTest, AnUnknownPortFallsBackToCom1WithAMessage)
{
    auto printer = CreatePrinter(Platform(), "NORVA Orbix #1", "IP_10.1.2.3", MessageBoxNotices(nullptr));
    ASSERT_TRUE(printer);
    EXPECT_TRUE(printer.onFallbackPort);
    printer.printer.Close();
    EXPECT_EQ(machine.FindPrinter("NORVA Orbix #1")->portName, "COM1:");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], MessageLine(Text(Words::ForciblyCom1), "zenthar", "none", "none"));
}

TEST_F(PrinterCreationTest, WithoutCom1TheSecondErrorIsReported)
{
    machine.RemovePort("COM1:");
    EXPECT_FALSE(CreatePrinter(Platform(), "NORVA Orbix #2", "USBPOS0", MessageBoxNotices(nullptr)));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find(Say(Words::AddPrinterFailed, 1796)), std::string::npos);
    EXPECT_FALSE(machine.FindPrinter("NORVA Orbix #2"));
}

TEST_F(PrinterCreationTest, AnExistingPrinterIsRefusedWithTheSpoolersError)
{
    sim::SimPrinter existing;
    existing.name = "NORVA Orbix #2";
    existing.driverName = "Generic";
    existing.portName = "LPT1:";
    machine.AddPrinter(existing);
    EXPECT_FALSE(CreatePrinter(Platform(), "NORVA Orbix #2", "LPT1:", MessageBoxNotices(nullptr)));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("GetLastError()=1802"), std::string::npos);
    EXPECT_EQ(machine.FindPrinter("NORVA Orbix #2")->driverName, "Generic");
}

TEST(PrinterPort, FollowsThePortKind)
{
    InstallSession session;
    session.portKind = PortKind::Usb;
    session.usbMonitorPort = 1;
    EXPECT_STREQ(PrinterPortFor(session, "USB", "IP_1.2.3.4", "USB001"), "USBPOS0");
    session.usbMonitorPort = 0;
    EXPECT_STREQ(PrinterPortFor(session, "USB", "IP_1.2.3.4", "USB001"), "USB001");
    session.portKind = PortKind::TcpIp;
    EXPECT_STREQ(PrinterPortFor(session, "TCP/IP", "IP_1.2.3.4", "USB001"), "IP_1.2.3.4");
    session.portKind = PortKind::Lpt;
    EXPECT_STREQ(PrinterPortFor(session, "LPT2:", "IP_1.2.3.4", "USB001"), "LPT2:");
}

// The settings record, checked against the layout the driver's plug-ins read: every byte not
// listed here must be zero.
struct ExpectedField {
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> Le(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::vector<std::uint8_t> Text(const char* text)
{
    return std::vector<std::uint8_t>(text, text + std::strlen(text));
}

std::vector<ExpectedField> ExpectedRecord(std::uint32_t codePage)
{
    std::vector<ExpectedField> fields = {
        {0, Le(8)},
        {4, Le(codePage)},
        {8, Le(1)},
        {1184, Le(1)},
        {1192, Le(1)},
        {1216, Le(150)},
        {1220, Le(150)},
        {1224, Le(150)},
        {1228, Le(150)},
        {1676, Le(1)},
        {1680, Le(800)},
        {1684, Le(2970)},
        {1692, Le(0xFFFFFFFF)},
        {4144, Le(1)},
        {4148, Le(1)},
        {4152, Le(1)},
        {4160, Le(2)},
        {4164, Le(2)},
        {4168, Le(1)},
        {4272, Text("1234567890")},
        {4372, Le(10)},
        {4380, Le(100)},
        {4384, Le(100)},
    };
    for (std::uint32_t k = 0; k < 8; ++k) {
        fields.push_back({1472 + 24 * k, Le(k)});
        fields.push_back({1472 + 24 * k + 4, Le(3)});
        fields.push_back({1472 + 24 * k + 8, Le(162)});
    }
    const std::pair<std::size_t, const char*> commands[] = {
        {8448, "1C700100"},  {8552, "1C700200"},  {8656, "1C700300"},  {8760, "1C700400"},  {8864, "1C700500"},
        {10528, "1C700100"}, {10736, "1C700200"}, {10840, "1C700300"}, {10944, "1C700400"}, {11048, "1C700500"},
    };
    for (const auto& [offset, text] : commands) {
        fields.push_back({offset, Text(text)});
        fields.push_back({offset + 100, Le(8)});
    }
    return fields;
}

void ExpectRecord(const std::vector<std::uint8_t>& record, std::uint32_t codePage)
{
    ASSERT_EQ(record.size(), 17616u);
    std::vector<int> expected(record.size(), 0);
    for (const auto& field : ExpectedRecord(codePage))
        for (std::size_t i = 0; i < field.bytes.size(); ++i) expected[field.offset + i] = field.bytes[i];
    for (std::size_t i = 0; i < record.size(); ++i)
        ASSERT_EQ(record[i], expected[i]) << "byte " << i << " (0x" << std::hex << i << ")";
}

TEST_F(PrinterCreationTest, TheSettingsRecordIsStoredByteForByte)
{
    CreatePrinter(Platform(), "NORVA Orbix #1", "LPT1:", MessageBoxNotices(nullptr));
    CreatePrinter(Platform(), "NORVA Orbix #2", "LPT1:", MessageBoxNotices(nullptr));
    EXPECT_TRUE(WritePrinterSettings(Platform(), "NORVA Orbix #1", 1252, MessageBoxNotices(nullptr)));
    EXPECT_TRUE(WritePrinterSettings(Platform(), "NORVA Orbix #2", 866, MessageBoxNotices(nullptr)));

    const auto first = machine.FindPrinter("NORVA Orbix #1")->FindData("TTY DeviceConfig");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->type, 3u);
    ExpectRecord(first->bytes, 1252);
    ExpectRecord(machine.FindPrinter("NORVA Orbix #2")->FindData("TTY DeviceConfig")->bytes, 866);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(PrinterCreationTest, APrinterThatCannotBeOpenedIsReportedByName)
{
    EXPECT_FALSE(WritePrinterSettings(Platform(), "NORVA KSV100-III", 1252, MessageBoxNotices(nullptr)));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0],
              MessageLine(Say(Words::OpenPrinterFailed, 1801, "NORVA KSV100-III"), "zenthar", "none", "none"));
}

// The user is not told; the caller learns it (a quiet rerun logs it).
TEST_F(PrinterCreationTest, AFailedStoreGoesUnnoticed)
{
    CreatePrinter(Platform(), "NORVA MTR333", "COM2:", MessageBoxNotices(nullptr));
    machine.FailNext("SetPrinterDataA", 5);
    EXPECT_FALSE(WritePrinterSettings(Platform(), "NORVA MTR333", 1252, MessageBoxNotices(nullptr)));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(machine.CallCount("ClosePrinter"), 2u);
}

}  // namespace
}  // namespace zenthar::testing
