#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ConnectionFixture.h"
#include "connection/InterfaceDialog.h"
#include "connection/NetworkPort.h"
#include "resources/ResourceIds.h"

namespace zenthar::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ui::headless::HeadlessDialog;
namespace ids = resources;

constexpr int kProcessorCombo = 1027, kCodePageCombo = 1025, kPortCombo = 1026, kAddressField = 1044;
constexpr int kSerial = 1002, kBluetooth = 1004, kParallel = 1005, kUsb = 1006, kEthernet = 1007, kWiFi = 1008;

std::string Address(const HeadlessDialog& d)
{
    std::uint32_t a = 0;
    const_cast<HeadlessDialog&>(d).GetIpAddress(kAddressField, a);
    return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 255) + "." + std::to_string((a >> 8) & 255) +
           "." + std::to_string(a & 255);
}

class InterfaceDialogTest : public ConnectionTest {
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
    User().Then([](HeadlessDialog& d) {
        EXPECT_THAT(d.Rows(kProcessorCombo), ElementsAre("32-Bit OS", "64-Bit OS", "Itanium"));
        EXPECT_EQ(d.GetItemText(kProcessorCombo), "64-Bit OS");
        EXPECT_FALSE(d.IsItemEnabled(kProcessorCombo));
        EXPECT_EQ(d.GetCount(kCodePageCombo), 23);
        EXPECT_EQ(d.GetItemText(kCodePageCombo), "US (ANSI) (1252)");
        EXPECT_EQ(d.GetCheck(kUsb), 1);
        EXPECT_EQ(d.GetCheck(kSerial) + d.GetCheck(kEthernet) + d.GetCheck(1047), 0);
        EXPECT_THAT(d.Rows(kPortCombo), ElementsAre("USB"));
        EXPECT_EQ(d.GetItemText(kPortCombo), "USB");
        // Both buttons are owner-drawn and carry their icon in the dialog's font.
        for (int id : {ui::kIdOk, ui::kIdCancel}) {
            EXPECT_EQ(d.Find(id)->style & 0x1F, 0xBu);
            EXPECT_TRUE(d.Find(id)->hasDialogFont);
        }
        EXPECT_EQ(d.PaintPanel(1016).size(), 2u);  // the picture and the band below it
    }).Click(ui::kIdOk);

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
        .Click(kSerial)
        .Then([this](HeadlessDialog& d) {
            EXPECT_THAT(d.Rows(kPortCombo), ElementsAre("COM10:", "COM2:"));
            EXPECT_THAT(dialog.portNames, ElementsAre("COM2:", "COM10:"));
            EXPECT_STREQ(dialog.portName, "COM10:");
            EXPECT_EQ(dialog.Picture().BitmapSize(), (ui::Size{283, 260}));
        })
        .Click(kBluetooth)
        .Then([this](HeadlessDialog& d) {
            EXPECT_EQ(d.GetCheck(kSerial), 0);
            EXPECT_THAT(d.Rows(kPortCombo), ElementsAre("COM10:", "COM2:"));
            EXPECT_EQ(dialog.Picture().BitmapSize(), (ui::Size{260, 267}));
        })
        .SelectCombo(kPortCombo, 1)
        .Then([this](HeadlessDialog&) { EXPECT_STREQ(dialog.portName, "COM2:"); })
        .Click(kParallel)
        .Then([this](HeadlessDialog& d) {
            EXPECT_THAT(d.Rows(kPortCombo), ElementsAre("LPT1:"));
            EXPECT_EQ(dialog.Picture().BitmapSize(), (ui::Size{294, 237}));
        })
        .SelectCombo(kCodePageCombo, 5)
        .Click(ui::kIdOk);
    Run();
    EXPECT_STREQ(dialog.portName, "LPT1:");
    EXPECT_EQ(session.codePageIndex, 5);
}

TEST_F(InterfaceDialogTest, PortNamesThatDoNotFitAreCutAndMissingKindsGiveNoPort)
{
    const std::string longName = "COM" + std::string(40, 'x') + ":";
    KeepPorts({longName.c_str()});
    User().Click(kSerial).Click(kParallel).Then([this](HeadlessDialog& d) {
        EXPECT_THAT(d.Rows(kPortCombo), IsEmpty());
        EXPECT_STREQ(dialog.portName, "");
    }).Click(kSerial).Click(ui::kIdOk);
    Run();
    EXPECT_EQ(std::string(dialog.portName), longName.substr(0, 31));
}

TEST_F(InterfaceDialogTest, ASecondEthernetEntryStartsFromTheFirstAndReplacesItWhole)
{
    AddressUser().Then([](HeadlessDialog& d) { EXPECT_EQ(Address(d), "192.168.0.192"); })
        .SetIpFields(kAddressField, {"192", "168", "100", "200"})
        .Click(ui::kIdOk);
    AddressUser().Then([](HeadlessDialog& d) { EXPECT_EQ(Address(d), "192.168.100.200"); })
        .SetIpFields(kAddressField, {"10", "0", "0", "1"})
        .Click(ui::kIdOk);
    User().Click(kEthernet).Click(kEthernet).Then([this](HeadlessDialog& d) {
        EXPECT_THAT(d.Rows(kPortCombo), ElementsAre("TCP/IP"));
        EXPECT_EQ(dialog.Picture().BitmapSize(), (ui::Size{298, 292}));
    }).Click(ui::kIdOk);
    Run();

    char expected[32] = "10.0.0.1";
    EXPECT_EQ(std::memcmp(dialog.addressText, expected, sizeof expected), 0);
    EXPECT_STREQ(dialog.portName, "TCP/IP");
    EXPECT_EQ(dialog.addressEntered, 1);
    EXPECT_THAT(Messages(), IsEmpty());
}

TEST_F(InterfaceDialogTest, BlankFieldsGiveZerosAndACancelledEntryKeepsTheAddress)
{
    AddressUser().SetIpFields(kAddressField, {"", "", "", ""}).Click(ui::kIdOk);
    AddressUser().SetIpFields(kAddressField, {"1", "2", "3", "4"}).PressEscape();
    User().Click(kWiFi).Click(kWiFi).Click(ui::kIdOk);
    Run();
    EXPECT_STREQ(dialog.addressText, "0.0.0.0");
    EXPECT_STREQ(dialog.portName, "TCP/IP");
    EXPECT_EQ(dialog.Picture().BitmapSize(), (ui::Size{325, 298}));

    // Each opening starts afresh: USB, no address.
    User().Then([this](HeadlessDialog& d) {
        EXPECT_EQ(d.GetCheck(kUsb), 1);
        EXPECT_EQ(dialog.addressEntered, 0);
    }).Click(kWiFi).Click(ui::kIdCancel);
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
    AddressUser().Click(ui::kIdOk);
    bool openAfterCancel = false;
    User()
        .Click(kEthernet)
        .Click(ui::kIdOk)
        .Then([&](HeadlessDialog& d) { openAfterCancel = !d.Ended(); })
        .Click(ui::kIdOk);
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
    AddressUser().Click(ui::kIdOk);
    User().Click(kEthernet).Click(ui::kIdOk);
    Run();
    EXPECT_THAT(Messages(), IsEmpty());

    machine.DeleteRegistryKey(platform::kHkeyLocalMachine, inSet2);
    AddressUser().SetIpFields(kAddressField, {"10", "1", "2", "3"}).Click(ui::kIdOk);
    User().Click(kEthernet).Click(ui::kIdOk);
    Run();
    EXPECT_THAT(Messages(), ElementsAre("message \"Standard TCP/IP Port not installed\\nPlease Install Standard "
                                        "TCP/IP Port\" caption \"zenthar\" icon exclamation owner 143"));
    EXPECT_STREQ(dialog.addressText, "10.1.2.3");  // a warning only
}

}  // namespace
}  // namespace zenthar::testing
