#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "connection/InterfaceDialog.h"
#include "connection/NetworkPort.h"
#include "resources/InstallerWords.h"
#include "resources/InterfaceDialogIds.h"
#include "resources/IpAddressDialogIds.h"
#include "resources/ResourceIds.h"
#include "tests/common/MachineFixture.h"

namespace zenthar::testing {
namespace {

using zenthar::resources::Text;
using zenthar::resources::Words;

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ui::headless::HeadlessDialog;
namespace ids = resources;

namespace address_ids = resources::address_ids;
namespace interface_ids = resources::interface_ids;
using resources::address_ids::kAddressField;
using resources::interface_ids::kBluetoothRadio;
using resources::interface_ids::kCodePageCombo;
using resources::interface_ids::kEthernetRadio;
using resources::interface_ids::kParallelRadio;
using resources::interface_ids::kPictureFrame;
using resources::interface_ids::kPortCombo;
using resources::interface_ids::kProcessorCombo;
using resources::interface_ids::kSerialRadio;
using resources::interface_ids::kUsbRadio;
using resources::interface_ids::kWiFiRadio;
using resources::interface_ids::kWindows8Radio;

std::string Address(const HeadlessDialog& d)
{
    std::uint32_t a = 0;
    const_cast<HeadlessDialog&>(d).GetIpAddress(kAddressField, a);
    return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 255) + "." + std::to_string((a >> 8) & 255) +
           "." + std::to_string(a & 255);
}

class InterfaceDialogTest : public MachineTest {
protected:
    InterfaceDialogTest() { session.codePageIndex = 13; }
    int Run() { return dialog.DoModal(); }
    ui::headless::UserScript& User() { return screen.Script(ids::kInterfaceDialog); }
    ui::headless::UserScript& AddressUser() { return screen.Script(ids::kIpAddressDialog); }
    // Every port but these is taken away from the machine.
    void KeepPorts(std::initializer_list<const char*> keep)
    {
        for (const std::string& port : machine.Ports()) machine.RemovePort(port);
        for (const char* port : keep) machine.AddPort("Local Port", port);
    }

    InterfaceDialog dialog{machine.platform(), session, nullptr};
};

TEST_F(InterfaceDialogTest, OpensOnUsbWithTheDetectedPlatformOnWindows10x64)
{
    User()
        .Then([](HeadlessDialog& d) {
            EXPECT_THAT(d.Rows(kProcessorCombo), ElementsAre("32-Bit OS", "64-Bit OS", "Itanium"));
            EXPECT_EQ(d.GetItemText(kProcessorCombo), "64-Bit OS");
            EXPECT_FALSE(d.IsItemEnabled(kProcessorCombo));
            EXPECT_EQ(d.GetCount(kCodePageCombo), 23);
            EXPECT_EQ(d.GetItemText(kCodePageCombo), "US (ANSI) (1252)");
            EXPECT_EQ(d.GetCheck(kUsbRadio), 1);
            EXPECT_EQ(d.GetCheck(kSerialRadio) + d.GetCheck(kEthernetRadio) + d.GetCheck(kWindows8Radio), 0);
            EXPECT_THAT(d.Rows(kPortCombo), ElementsAre("USB"));
            EXPECT_EQ(d.GetItemText(kPortCombo), "USB");
            // Both buttons are owner-drawn and carry their icon in the dialog's font.
            for (int id : {interface_ids::kOk, interface_ids::kExit}) {
                EXPECT_EQ(d.Find(id)->style & 0x1F, 0xBu);
                EXPECT_TRUE(d.Find(id)->hasDialogFont);
            }
            EXPECT_EQ(d.PaintPanel(kPictureFrame).size(), 2u);  // the picture and the band below it
        })
        .Click(interface_ids::kOk);

    EXPECT_EQ(Run(), ui::kIdOk);
    EXPECT_STREQ(dialog.portName, "USB");
    EXPECT_EQ(session.osFamily, OsFamily::Win8);
    EXPECT_EQ(session.processor, Processor::X64);
    EXPECT_EQ(session.usbMonitorPort, 1);
    EXPECT_EQ(session.codePageIndex, 13);
    EXPECT_EQ(dialog.Picture().BitmapSize(), (ui::Size{302, 299}));  // bitmap 153
    EXPECT_EQ(dialog.Picture().Mode(), controls::ScaleMode::FitInside);
    EXPECT_FALSE(dialog.OkButton().Flat());
    EXPECT_NE(dialog.OkButton().Icons()[0].icon, 0u);
    EXPECT_EQ(dialog.OkButton().Icons()[1].icon, 0u);
    EXPECT_THAT(machine.DebugOutput(), Contains("USB"));
}

TEST_F(InterfaceDialogTest, ComPortsComeInTheComboOrderForSerialAndBluetooth)
{
    KeepPorts({"COM2:", "LPT1:", "COM10:", "FILE:"});
    User()
        .Click(kSerialRadio)
        .Then([this](HeadlessDialog& d) {
            EXPECT_THAT(d.Rows(kPortCombo), ElementsAre("COM10:", "COM2:"));
            EXPECT_THAT(dialog.portNames, ElementsAre("COM2:", "COM10:"));
            EXPECT_STREQ(dialog.portName, "COM10:");
            EXPECT_EQ(dialog.Picture().BitmapSize(), (ui::Size{283, 260}));
        })
        .Click(kBluetoothRadio)
        .Then([this](HeadlessDialog& d) {
            EXPECT_EQ(d.GetCheck(kSerialRadio), 0);
            EXPECT_THAT(d.Rows(kPortCombo), ElementsAre("COM10:", "COM2:"));
            EXPECT_EQ(dialog.Picture().BitmapSize(), (ui::Size{260, 267}));
        })
        .SelectCombo(kPortCombo, 1)
        .Then([this](HeadlessDialog&) { EXPECT_STREQ(dialog.portName, "COM2:"); })
        .Click(kParallelRadio)
        .Then([this](HeadlessDialog& d) {
            EXPECT_THAT(d.Rows(kPortCombo), ElementsAre("LPT1:"));
            EXPECT_EQ(dialog.Picture().BitmapSize(), (ui::Size{294, 237}));
        })
        .SelectCombo(kCodePageCombo, 5)
        .Click(interface_ids::kOk);
    Run();
    EXPECT_STREQ(dialog.portName, "LPT1:");
    EXPECT_EQ(session.codePageIndex, 5);
}

TEST_F(InterfaceDialogTest, PortNamesThatDoNotFitAreCutAndMissingKindsGiveNoPort)
{
    const std::string longName = "COM" + std::string(40, 'x') + ":";
    KeepPorts({longName.c_str()});
    User()
        .Click(kSerialRadio)
        .Click(kParallelRadio)
        .Then([this](HeadlessDialog& d) {
            EXPECT_THAT(d.Rows(kPortCombo), IsEmpty());
            EXPECT_STREQ(dialog.portName, "");
        })
        .Click(kSerialRadio)
        .Click(interface_ids::kOk);
    Run();
    EXPECT_EQ(std::string(dialog.portName), longName.substr(0, 31));
}

TEST_F(InterfaceDialogTest, ASecondEthernetEntryStartsFromTheFirstAndReplacesItWhole)
{
    AddressUser()
        .Then([](HeadlessDialog& d) { EXPECT_EQ(Address(d), "192.168.0.192"); })
        .SetIpFields(kAddressField, {"192", "168", "100", "200"})
        .Click(address_ids::kOk);
    AddressUser()
        .Then([](HeadlessDialog& d) { EXPECT_EQ(Address(d), "192.168.100.200"); })
        .SetIpFields(kAddressField, {"10", "0", "0", "1"})
        .Click(address_ids::kOk);
    User()
        .Click(kEthernetRadio)
        .Click(kEthernetRadio)
        .Then([this](HeadlessDialog& d) {
            EXPECT_THAT(d.Rows(kPortCombo), ElementsAre("TCP/IP"));
            EXPECT_EQ(dialog.Picture().BitmapSize(), (ui::Size{298, 292}));
        })
        .Click(interface_ids::kOk);
    Run();

    char expected[32] = "10.0.0.1";
    EXPECT_EQ(std::memcmp(dialog.addressText, expected, sizeof expected), 0);
    EXPECT_STREQ(dialog.portName, "TCP/IP");
    EXPECT_EQ(dialog.addressEntered, 1);
    EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(InterfaceDialogTest, BlankFieldsGiveZerosAndACancelledEntryKeepsTheAddress)
{
    AddressUser().SetIpFields(kAddressField, {"", "", "", ""}).Click(address_ids::kOk);
    AddressUser().SetIpFields(kAddressField, {"1", "2", "3", "4"}).PressEscape();
    User().Click(kWiFiRadio).Click(kWiFiRadio).Click(interface_ids::kOk);
    Run();
    EXPECT_STREQ(dialog.addressText, "0.0.0.0");
    EXPECT_STREQ(dialog.portName, "TCP/IP");
    EXPECT_EQ(dialog.Picture().BitmapSize(), (ui::Size{325, 298}));

    // Each opening starts afresh: USB, no address.
    User()
        .Then([this](HeadlessDialog& d) {
            EXPECT_EQ(d.GetCheck(kUsbRadio), 1);
            EXPECT_EQ(dialog.addressEntered, 0);
        })
        .Click(kWiFiRadio)
        .Click(interface_ids::kExit);
    AddressUser().Then([](HeadlessDialog& d) { EXPECT_EQ(Address(d), "192.168.0.192"); }).PressEscape();
    EXPECT_EQ(Run(), ui::kIdCancel);
    EXPECT_STREQ(dialog.addressText, "");
}

// OK on a network port without a confirmed address asks for one again; cancelling that keeps
// the dialog open, so no port is ever made on an address nobody entered.
TEST_F(InterfaceDialogTest, OkOnANetworkPortWithoutAnAddressAsksForItAgain)
{
    AddressUser().PressEscape();
    std::string preloaded;
    AddressUser().Then([&](HeadlessDialog& d) { preloaded = Address(d); }).PressEscape();
    AddressUser().Click(address_ids::kOk);
    bool openAfterCancel = false;
    User()
        .Click(kEthernetRadio)
        .Click(interface_ids::kOk)
        .Then([&](HeadlessDialog& d) { openAfterCancel = !d.Ended(); })
        .Click(interface_ids::kOk);
    EXPECT_EQ(Run(), ui::kIdOk);
    EXPECT_EQ(preloaded, "192.168.0.192");
    EXPECT_TRUE(openAfterCancel);
    EXPECT_STREQ(dialog.addressText, "192.168.0.192");
    EXPECT_EQ(dialog.addressEntered, 1);
}

TEST_F(InterfaceDialogTest, TheMonitorIsLookedForInTheCurrentControlSet)
{
    const std::string inSet2 = std::string(kTcpIpPortsKey).replace(7, 17, "ControlSet002");
    machine.CreateRegistryKey(platform::kHkeyLocalMachine, inSet2);
    machine.SetCurrentControlSet(2);
    machine.DeleteRegistryKey(platform::kHkeyLocalMachine, std::string(kTcpIpPortsKey).replace(7, 17, "ControlSet001"));
    AddressUser().Click(address_ids::kOk);
    User().Click(kEthernetRadio).Click(interface_ids::kOk);
    Run();
    EXPECT_THAT(Messages(), IsEmpty());

    machine.DeleteRegistryKey(platform::kHkeyLocalMachine, inSet2);
    AddressUser().SetIpFields(kAddressField, {"10", "1", "2", "3"}).Click(address_ids::kOk);
    User().Click(kEthernetRadio).Click(interface_ids::kOk);
    Run();
    EXPECT_THAT(Messages(),
                ElementsAre(MessageLine(Text(Words::TcpIpMonitorMissing), "zenthar", "exclamation", "address")));
    EXPECT_STREQ(dialog.addressText, "10.1.2.3");  // a warning only
}

}  // namespace
}  // namespace zenthar::testing
