// On 64-bit Windows the shipped 32-bit program starts its 64-bit twin and stands aside; on any
// other Windows it does the work itself.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "connection/MessageBoxNotices.h"
#include "core/TwinHandover.h"
#include "platform/sim/SimMachine.h"
#include "resources/InstallerWords.h"
#include "ui/headless/HeadlessBackend.h"

namespace zenthar::testing {
namespace {

using zenthar::resources::Say;
using zenthar::resources::Text;
using zenthar::resources::Words;

constexpr const char* kFolder = "C:\\NORVA Orbix Printer 4.X";
constexpr const char* kLog = "C:\\twin.log";
const Twin kTwin{"zenthar64.exe", "installation", "installed", 2, "result: 2 not started"};
const std::string kMissingText =
    Say(Words::TwinNotStarted, Text(Words::Installation), "zenthar64.exe", 2, Text(Words::Installed));

struct Case {
    const char* name;
    sim::MachineProfile profile;
    bool twinThere;
    std::string arguments;
    std::optional<int> exitCode;  // nullopt: this program goes on itself
    std::string started;          // the command line the twin got; "" when none was started
    std::vector<std::string> messages;
    std::string log;  // what the log holds afterwards ("" when none was written)
};

sim::MachineProfile Native64()
{
    auto profile = sim::Profiles::Windows10x64();
    profile.wow64 = false;
    return profile;
}

sim::MachineProfile WithoutIsWow64Process()
{
    auto profile = sim::Profiles::Windows10x64();
    profile.hasIsWow64ProcessExport = false;
    return profile;
}

std::vector<Case> Cases()
{
    const std::string twin = std::string("\"") + kFolder + "\\zenthar64.exe\"";
    return {
        {"a 32-bit Windows", sim::Profiles::Windows10x86(), true, "/quiet", std::nullopt, "", {}, ""},
        {"the 64-bit program itself", Native64(), true, "/quiet", std::nullopt, "", {}, ""},
        {"a system without IsWow64Process", WithoutIsWow64Process(), true, "", std::nullopt, "", {}, ""},
        // The twin's exit code is the program's, whatever it means.
        {"WOW64, dialogs", sim::Profiles::Windows10x64(), true, "", 0, twin, {}, ""},
        {"WOW64, quiet",
         sim::Profiles::Windows10x64(),
         true,
         "/quiet /model \"NORVA MTR444\" /log C:\\twin.log",
         7,
         twin + " /quiet /model \"NORVA MTR444\" /log C:\\twin.log",
         {},
         ""},
        {"WOW64, twin missing, dialogs",
         sim::Profiles::Windows10x64(),
         false,
         "/clones 3",
         2,
         "",
         {"message \"" + kMissingText.substr(0, kMissingText.find('\n')) + "\\n" +
          kMissingText.substr(kMissingText.find('\n') + 1) + "\" caption \"zenthar\" icon exclamation owner none"},
         ""},
        {"WOW64, twin missing, quiet",
         sim::Profiles::Windows10x64(),
         false,
         "/quiet /log C:\\twin.log",
         2,
         "",
         {},
         kMissingText.substr(0, kMissingText.find('\n')) + "\r\n" + kMissingText.substr(kMissingText.find('\n') + 1) +
             "\r\nresult: 2 not started\r\n"},
    };
}

TEST(TwinHandover, ThirtyTwoBitProgramHandsTheWholeRunToItsTwinOn64BitWindowsOnly)
{
    for (const Case& row : Cases()) {
        SCOPED_TRACE(row.name);
        sim::SimMachine machine(row.profile);
        ui::headless::HeadlessBackend screen;
        ui::UseBackend(&screen);
        if (row.twinThere) machine.AddFile(std::string(kFolder) + "\\zenthar64.exe", "the twin");
        machine.ScriptCommand("zenthar64.exe\" /quiet /model", 7);

        EXPECT_EQ(HandOverToTwin(machine.platform(), kTwin, row.arguments, MessageBoxNotices(nullptr)), row.exitCode);

        std::string started;
        for (const auto& process : machine.Processes())
            if (process.created) started = process.commandLine;
        EXPECT_EQ(started, row.started);
        std::vector<std::string> messages;
        for (const auto& event : screen.Transcript()) messages.push_back(event.Describe());
        EXPECT_EQ(messages, row.messages);
        EXPECT_EQ(machine.FileContents(kLog).value_or(""), row.log);
        EXPECT_TRUE(machine.Misuses().empty()) << ::testing::PrintToString(machine.Misuses());
        ui::UseBackend(nullptr);
    }
}

}  // namespace
}  // namespace zenthar::testing
