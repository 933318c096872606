#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "connection/MessageBoxNotices.h"
#include "connection/NetworkPort.h"
#include "core/InstallationRecord.h"
#include "core/Notice.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"
#include "resources/ResourceIds.h"
#include "tests/common/MachineFixture.h"
#include "ui/Dialog.h"

namespace zenthar::testing {
namespace {

using zenthar::resources::Say;
using zenthar::resources::Text;
using zenthar::resources::Words;

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Bytes = std::vector<std::uint8_t>;
constexpr auto kHklm = platform::kHkeyLocalMachine;

class NetworkPortTest : public MachineTest {
protected:
    void Create(const char* address)
    {
        char addressText[32] = {};
        std::strncpy(addressText, address, sizeof addressText - 1);
        CreateNetworkPort(machine.platform(), fields, addressText, MessageBoxNotices(&mainDialog));
    }
    std::string Key(const std::string& port) const { return std::string(kTcpIpPortsKey) + "\\" + port; }
    std::vector<std::string> Commands() const
    {
        std::vector<std::string> commands;
        for (const auto& process : machine.Processes()) {
            const auto at = process.commandLine.find(" /c ");
            commands.push_back(at == std::string::npos ? process.commandLine : process.commandLine.substr(at + 4));
        }
        return commands;
    }

    NetworkPortFields fields;
    ui::Dialog mainDialog{resources::kMainDialog};
};

TEST_F(NetworkPortTest, WritesTheMonitorsValuesAndRestartsTheServicesInOrder)
{
    Create("192.168.0.192");
    EXPECT_STREQ(fields.networkPortName, "IP_192.168.0.192");
    EXPECT_STREQ(fields.networkAddress, "192.168.0.192");
    EXPECT_EQ(fields.networkPortKey, Key("IP_192.168.0.192"));

    std::vector<std::string> written;
    for (const auto& value : machine.RegistryValues(kHklm, Key("IP_192.168.0.192")))
        written.push_back(value.name + " " + std::to_string(value.type) + " " + ::testing::PrintToString(value.bytes));
    const auto dword = [](Bytes b) { return " 4 " + ::testing::PrintToString(b); };
    const auto text = [](std::string s) {
        return " 1 " + ::testing::PrintToString(Bytes(s.c_str(), s.c_str() + s.size() + 1));
    };
    EXPECT_THAT(written, ElementsAre("PortNumber" + dword({0x8C, 0x23, 0, 0}), "Protocol" + dword({1, 0, 0, 0}),
                                     "SNMP Enabled" + dword({0, 0, 0, 0}), "SNMP Index" + dword({1, 0, 0, 0}),
                                     "Version" + dword({1, 0, 0, 0}), "HostName" + text(""), "HWAddress" + text(""),
                                     "IPAddress" + text("192.168.0.192"), "SNMP Community" + text("cmtyro")));
    EXPECT_THAT(Commands(),
                ElementsAre("net stop LPDSVC", "net stop spooler", "net start spooler", "net start LPDSVC"));
    EXPECT_THAT(Messages(), IsEmpty());
    EXPECT_EQ(machine.OpenRegistryKeyCount(), 0u);
}

TEST_F(NetworkPortTest, BlankAndMissingAddressesNameThePortAllTheSame)
{
    Create("0.0.0.0");
    EXPECT_TRUE(machine.RegistryKeyExists(kHklm, Key("IP_0.0.0.0")));
    Create("");
    EXPECT_STREQ(fields.networkPortName, "IP_");
    EXPECT_EQ(machine.FindRegistryValue(kHklm, Key("IP_"), "IPAddress")->bytes, Bytes{0});
}

// An existing key is overwritten but stays the administrator's: only a key made now is recorded.
TEST_F(NetworkPortTest, AnExistingPortKeyIsOverwritten)
{
    machine.SetRegistryDword(kHklm, Key("IP_10.0.0.1"), "PortNumber", 515);
    machine.SetRegistryString(kHklm, Key("IP_10.0.0.1"), "IPAddress", "10.0.0.100");
    Create("10.0.0.1");
    Create("10.0.0.2");
    EXPECT_EQ(ReadInstallationRecord(machine.platform(), kRecordKey),
              (std::vector<MadeThing>{{Made::Port, "IP_10.0.0.2"}}));
    EXPECT_EQ(machine.FindRegistryValue(kHklm, Key("IP_10.0.0.1"), "PortNumber")->bytes, (Bytes{0x8C, 0x23, 0, 0}));
    EXPECT_EQ(machine.FindRegistryValue(kHklm, Key("IP_10.0.0.1"), "IPAddress")->bytes,
              (Bytes{'1', '0', '.', '0', '.', '0', '.', '1', 0}));
}

TEST_F(NetworkPortTest, EachFailedWriteIsReportedAndTheOthersAreStillWritten)
{
    const std::string caption = Text(Words::ValueFailureCaption);
    const std::string expected[] = {
        MessageLine(Say(Words::PortNumberWriteFailed, 5), "zenthar", "exclamation", "none"),
        MessageLine(Say(Words::ProtocolWriteFailed, 5), caption),
        MessageLine(Say(Words::SnmpEnabledReadFailed, 5), caption),
        MessageLine(Say(Words::SnmpIndexWriteFailed, 5), caption),
        MessageLine(Say(Words::VersionWriteFailed, 5), caption),
        MessageLine(Say(Words::HostNameWriteFailed, 5), caption),
        MessageLine(Say(Words::HwAddressWriteFailed, 5), caption),
        MessageLine(Say(Words::IpAddressWriteFailed, 5), caption),
        MessageLine(Say(Words::CommunityWriteFailed, 5), caption),
    };
    for (unsigned n = 1; n <= 9; ++n) {
        SCOPED_TRACE(n);
        const std::size_t before = Messages().size();
        machine.DeleteRegistryKey(kHklm, Key("IP_10.0.0.1"));
        // The first value written records the new key in the installation record.
        machine.FailNext("RegSetValueExA", 5, n + 1);
        Create("10.0.0.1");
        const auto shown = Messages();
        EXPECT_THAT(std::vector<std::string>(shown.begin() + static_cast<std::ptrdiff_t>(before), shown.end()),
                    ElementsAre(expected[n - 1]));
        EXPECT_EQ(machine.RegistryValues(kHklm, Key("IP_10.0.0.1")).size(), 8u);
    }
    EXPECT_EQ(machine.Processes().size(), 4u * 9);
}

TEST_F(NetworkPortTest, AKeyThatCannotBeMadeStopsQuietlyAndOneThatCannotBeOpenedSkipsTheValues)
{
    machine.FailNext("RegCreateKeyExA", 5);
    Create("10.0.0.1");
    EXPECT_STREQ(fields.networkPortName, "IP_10.0.0.1");  // the printer still goes on this port
    EXPECT_FALSE(machine.RegistryKeyExists(kHklm, Key("IP_10.0.0.1")));
    EXPECT_THAT(machine.Processes(), IsEmpty());

    machine.FailNext("RegOpenKeyExA", 5);
    Create("10.0.0.1");
    EXPECT_THAT(machine.RegistryValues(kHklm, Key("IP_10.0.0.1")), IsEmpty());
    EXPECT_EQ(Commands().size(), 4u);
    EXPECT_THAT(Messages(), IsEmpty());
}

}  // namespace
}  // namespace zenthar::testing
