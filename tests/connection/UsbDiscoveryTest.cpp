// Finding the printer: which devices count, its port number, and what a probe does when the
// registry or the setup library does not answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "UsbFixture.h"
#include "resources/InstallerWords.h"

namespace zenthar::testing {
namespace {

using zenthar::resources::Say;
using zenthar::resources::Text;
using zenthar::resources::Words;

using platform::Dword;
using platform::kHkeyLocalMachine;

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class UsbDiscoveryTest : public UsbTest {
protected:
    using UsbTest::UsbTest;
};

class UsbPortNumberTest : public UsbTest, public ::testing::WithParamInterface<std::pair<Dword, const char*>> {};

TEST_P(UsbPortNumberTest, TheFoundPrinterGivesItsSystemPortName)
{
    const auto [number, name] = GetParam();
    machine.AddUsbPrinter(kPrinterPath, number);

    EXPECT_TRUE(channel.ProbeUsbPrinter("USB:").goOn);
    EXPECT_EQ(channel.UsbPortName(), name);
    EXPECT_EQ(channel.IsOpen(), 1);
    EXPECT_NE(channel.DeviceHandle(), platform::kNoHandle);
    // Only the channel's own handle stays open; the trial one is closed again.
    EXPECT_EQ(machine.UsbOpenHandles(kPrinterPath), 1u);
    EXPECT_EQ(channel.DevicePath(), kPrinterKeyName);

    const auto debug = machine.DebugOutput();
    const auto at = std::find(debug.begin(), debug.end(), Text(Words::UsbConnectedPort));
    ASSERT_NE(at, debug.end());
    ASSERT_NE(at + 1, debug.end());
    EXPECT_EQ(*(at + 1), name);
    EXPECT_TRUE(screen.Transcript().empty());
}

INSTANTIATE_TEST_SUITE_P(Numbers, UsbPortNumberTest,
                         ::testing::Values(std::pair<Dword, const char*>{1, "USB001"},
                                           std::pair<Dword, const char*>{12, "USB012"},
                                           std::pair<Dword, const char*>{1234, "USB1234"}));

TEST_F(UsbDiscoveryTest, OnlyTheExactLowerCasePrefixIsThePrinter)
{
    std::string upper = kPrinterPath;
    upper.replace(4, 21, "USB#VID_0525&PID_A700");
    machine.AddUsbPrinter(upper, 3);
    machine.AddUsbPrinter(kOtherVendorPath, 4);

    EXPECT_FALSE(channel.ProbeUsbPrinter("USB:").goOn);
    EXPECT_EQ(channel.IsOpen(), 0);
    EXPECT_EQ(channel.DeviceHandle(), platform::kNoHandle);
    EXPECT_EQ(channel.UsbPortName(), "");
    // The library handle is let go after a miss; the next probe loads it again.
    EXPECT_EQ(channel.SetupLibrary(), 0u);
    EXPECT_EQ(machine.UsbOpenHandles(upper), 0u);
    EXPECT_EQ(machine.UsbOpenHandles(kOtherVendorPath), 0u);
    EXPECT_EQ(machine.OpenHandleCount(), 0u);
}

TEST_F(UsbDiscoveryTest, EveryVersionSaysWhetherItIsLegacy)
{
    struct Case {
        sim::MachineProfile profile;
        LegacyPlatform legacy;
    };
    const Case cases[] = {{sim::Profiles::Windows95(), LegacyPlatform::Windows9x},
                          {sim::Profiles::WindowsMe(), LegacyPlatform::Windows9x},
                          {sim::Profiles::NT351(), LegacyPlatform::NtUpTo4},
                          {sim::Profiles::NT4(), LegacyPlatform::NtUpTo4},
                          {sim::Profiles::Windows2000(), LegacyPlatform::No},
                          {sim::Profiles::Windows10x64(), LegacyPlatform::No}};
    for (const auto& c : cases) {
        sim::SimMachine other(c.profile);
        UsbChannel probe(other.platform());
        EXPECT_EQ(probe.IsLegacyPlatform(), c.legacy) << c.profile.name;
    }
    machine.FailNext("GetVersionExA", platform::ERROR_INVALID_PARAMETER);
    EXPECT_EQ(channel.IsLegacyPlatform(), LegacyPlatform::No);
}

// Old systems accept the first printer of the class, whoever made it; their device path is
// not kept, so its key is not found and the probe goes on without a port number.
TEST_F(UsbDiscoveryTest, AnotherVendorIsAcceptedOnlyOnOldSystems)
{
    for (const auto& profile : {sim::Profiles::Windows98(), sim::Profiles::NT4()}) {
        sim::SimMachine old(profile);
        old.AddUsbPrinter(kOtherVendorPath, 7);
        old.AddUsbPrinter(kPrinterPath, 8);
        UsbChannel oldChannel(old.platform());
        EXPECT_TRUE(oldChannel.ProbeUsbPrinter("USB:").goOn) << profile.name;
        EXPECT_EQ(old.UsbOpenHandles(kOtherVendorPath), 1u) << profile.name;
        EXPECT_EQ(old.UsbOpenHandles(kPrinterPath), 0u) << profile.name;
        EXPECT_EQ(oldChannel.UsbPortName(), "") << profile.name;
        EXPECT_TRUE(Contains(old.DebugOutput(), Say(Words::UsbKeyOpenFailed, 2))) << profile.name;
    }
    for (const auto& profile : {sim::Profiles::Windows2000(), sim::Profiles::Windows7x64()}) {
        sim::SimMachine modern(profile);
        modern.AddUsbPrinter(kOtherVendorPath, 7);
        UsbChannel modernChannel(modern.platform());
        EXPECT_FALSE(modernChannel.ProbeUsbPrinter("USB:").goOn) << profile.name;
        EXPECT_EQ(modern.UsbOpenHandles(kOtherVendorPath), 0u) << profile.name;
    }
}

TEST_F(UsbDiscoveryTest, AnUnreadablePortNumberIsReportedAndThePrinterStillCounts)
{
    const sim::SimMachine::RegistryValue odd[] = {
        {"Port Number", platform::REG_SZ, {'1', 0}},
        {"Port Number", platform::REG_BINARY, {1, 0}},
    };
    machine.AddUsbPrinter(kPrinterPath, std::nullopt);
    EXPECT_TRUE(channel.ProbeUsbPrinter("USB:").goOn);
    for (const auto& value : odd) {
        // The device is opened without sharing: it has to be closed before it is found again.
        channel.CloseChannel();
        machine.SetUsbPortNumberValue(kPrinterPath, value);
        EXPECT_TRUE(channel.ProbeUsbPrinter("USB:").goOn);
    }
    const std::string line =
        MessageLine(Text(Words::UsbPortNumberUnreadable), Text(Words::ValueFailureCaption), "none", "none");
    EXPECT_EQ(Transcript(), std::vector<std::string>(3, line));
    EXPECT_EQ(channel.UsbPortName(), "");
    EXPECT_EQ(channel.IsOpen(), 1);
    EXPECT_EQ(machine.OpenRegistryKeyCount(), 0u);
}

TEST_F(UsbDiscoveryTest, AMissingDeviceKeyIsOnlyADebugLine)
{
    machine.AddUsbPrinter(kPrinterPath, 2);
    machine.DeleteRegistryKey(kHkeyLocalMachine, sim::SimMachine::UsbDeviceParametersKey(kPrinterPath));

    EXPECT_TRUE(channel.ProbeUsbPrinter("USB:").goOn);
    EXPECT_TRUE(Contains(machine.DebugOutput(), Say(Words::UsbKeyOpenFailed, 2)));
    EXPECT_TRUE(screen.Transcript().empty());
    EXPECT_EQ(channel.UsbPortName(), "");
    EXPECT_EQ(channel.IsOpen(), 1);
}

// Without the setup library nobody can tell whether the printer is there, so the
// installation is let through.
TEST_F(UsbDiscoveryTest, WithoutTheSetupLibraryOrOneOfItsFunctionsTheProbeLetsTheRunGoOn)
{
    machine.MakeLibraryMissing("SETUPAPI.DLL");
    EXPECT_TRUE(channel.ProbeUsbPrinter("USB:").goOn);
    EXPECT_EQ(channel.IsOpen(), 1);
    EXPECT_EQ(channel.DeviceHandle(), platform::kNoHandle);
    EXPECT_EQ(channel.DevicePath(), "");
    EXPECT_TRUE(Contains(machine.DebugOutput(), Say(Words::UsbKeyOpenFailed, 2)));

    for (const char* function : {"SetupDiGetClassDevsA", "SetupDiDestroyDeviceInfoList"}) {
        sim::SimMachine partial;
        partial.AddUsbPrinter(kPrinterPath, 1);
        partial.RemoveExport("setupapi.dll", function);
        UsbChannel partialChannel(partial.platform());
        EXPECT_EQ(partialChannel.LoadSetupLibrary(), 0) << function;
        // Asked again, the loaded library still lacks it.
        EXPECT_EQ(partialChannel.LoadSetupLibrary(), 0) << function;
        EXPECT_TRUE(partialChannel.ProbeUsbPrinter("USB:").goOn) << function;
        // Nothing of a library with a function missing is called.
        EXPECT_EQ(partial.CallCount("SetupDiGetClassDevsA"), 0u) << function;
        EXPECT_EQ(partial.CallCount("SetupDiEnumDeviceInterfaces"), 0u) << function;
        EXPECT_TRUE(partial.Misuses().empty()) << function;
    }
}

TEST_F(UsbDiscoveryTest, APathTooLongForTheOpenSuffixIsNotFound)
{
    // 256 bytes hold the path, "\USB0/4" and the terminating zero.
    const std::string prefix = "\\\\?\\usb#vid_0525&pid_a700#";
    const std::string fits = prefix + std::string(248 - prefix.size(), 'a');
    const std::string tooLong = prefix + std::string(249 - prefix.size(), 'b');

    machine.AddUsbPrinter(tooLong, 9);
    EXPECT_FALSE(channel.ProbeUsbPrinter("USB:").goOn);
    EXPECT_EQ(machine.CallCount("CreateFileA"), 0u);

    machine.AddUsbPrinter(fits, 10);
    EXPECT_TRUE(channel.ProbeUsbPrinter("USB:").goOn);
    EXPECT_EQ(channel.UsbPortName(), "USB010");
    EXPECT_EQ(machine.UsbOpenHandles(fits), 1u);
}

TEST_F(UsbDiscoveryTest, FailingEnumerationsAndOpensAreNotAPrinter)
{
    machine.AddUsbPrinter(kOtherVendorPath, 1);
    machine.AddUsbPrinter(kPrinterPath, 6);

    // A failed look at one index moves on to the next.
    machine.FailNext("SetupDiEnumDeviceInterfaces", platform::ERROR_GEN_FAILURE);
    EXPECT_TRUE(channel.ProbeUsbPrinter("USB:").goOn);
    EXPECT_EQ(channel.UsbPortName(), "USB006");
    channel.CloseChannel();

    // An enumeration that never stops failing ends the search rather than the program.
    machine.FailAlways("SetupDiEnumDeviceInterfaces", platform::ERROR_GEN_FAILURE);
    EXPECT_FALSE(channel.ProbeUsbPrinter("USB:").goOn);
    machine.ClearFaults();

    machine.SetUsbPresent(kOtherVendorPath, false);
    machine.FailNext("SetupDiGetClassDevsA", platform::ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_FALSE(channel.ProbeUsbPrinter("USB:").goOn);
    machine.FailNext("SetupDiGetDeviceInterfaceDetailA", platform::ERROR_NOT_ENOUGH_MEMORY, 2);
    EXPECT_FALSE(channel.ProbeUsbPrinter("USB:").goOn);
    // The trial open, then the open for printing.
    machine.FailNext("CreateFileA", 32);
    EXPECT_FALSE(channel.ProbeUsbPrinter("USB:").goOn);
    machine.FailNext("CreateFileA", 32, 2);
    EXPECT_FALSE(channel.ProbeUsbPrinter("USB:").goOn);
    EXPECT_EQ(channel.DeviceHandle(), platform::kNoHandle);
    EXPECT_EQ(machine.OpenHandleCount(), 1u);  // the read event of the first probe
}

}  // namespace
}  // namespace zenthar::testing
