// The uninstaller with its dialogs, on simulated machines the real installer has just worked
// on, answered by a scripted user: what the user saw, in order, and what the machine kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/UninstallerIds.h"
#include "tests/common/InstallerRun.h"
#include "tests/common/MachineFacts.h"
#include "uninstall/Removal.h"
#include "uninstall/UninstallerApp.h"

namespace zenthar::testing {
namespace {

using Lines = std::vector<std::string>;
namespace confirm = resources::confirm_removal;
namespace progress = resources::removal_progress;
namespace summary = resources::removal_summary;

// The uninstaller on the machine and screen an installer run leaves. Its transcript holds
// what the user saw after the installation: dialogs, message boxes, and each change of the
// progress window as it was painted.
class UninstallerRun {
public:
    explicit UninstallerRun(InstallerRun& installed) : installed(installed)
    {
        installed.screen.SetAppTitle("DriverOrbixUninstaller");
        flushed = installed.screen.Transcript().size();
        installed.screen.OnPainted([this](ui::headless::HeadlessDialog& window) { Painted(window); });
    }
    ~UninstallerRun() { installed.screen.OnPainted(nullptr); }

    ui::headless::UserScript& Confirm() { return installed.screen.Script(resources::kConfirmRemovalDialog); }
    ui::headless::UserScript& Summary() { return installed.screen.Script(resources::kRemovalSummaryDialog); }

    UninstallerExit Start()
    {
        const UninstallerExit exitCode = uninstall::RunUninstallerApp(installed.machine.platform());
        Flush();
        EXPECT_TRUE(installed.screen.Errors().empty()) << ::testing::PrintToString(installed.screen.Errors());
        EXPECT_TRUE(installed.machine.Misuses().empty()) << ::testing::PrintToString(installed.machine.Misuses());
        return exitCode;
    }

    Lines transcript;

private:
    void Painted(ui::headless::HeadlessDialog& window)
    {
        if (window.TemplateId() != resources::kRemovalProgressDialog) return;
        Flush();
        const auto* status = window.Find(progress::kStatusLine);
        const auto* bar = window.Find(progress::kProgressBar);
        const std::string line = "status \"" + status->text + "\" " + std::to_string(bar->pos);
        if (transcript.empty() || transcript.back() != line) transcript.push_back(line);
    }

    void Flush()
    {
        const auto& events = installed.screen.Transcript();
        for (; flushed < events.size(); ++flushed) transcript.push_back(events[flushed].Describe());
    }

    InstallerRun& installed;
    std::size_t flushed = 0;
};

void InstallClonesOnLpt(InstallerRun& run, const char* copies)
{
    run.Main().Click(1047).SetText(1048, copies).Click(1000);
    run.Interface().Click(1005).SelectComboText(1026, "LPT1:").Click(1);
    run.DefaultPrinter().Click(1);
    run.Complete().Click(1);
    run.Start();
}

TEST(UninstallerDialogs, CancelBeforeRemoveListsWhatIsOursAndChangesNothing)
{
    InstallerRun installed;
    installed.AddExistingPrinter("Foreign Label Printer", "COM2:");
    installed.Main().ToggleRow(1019, 1).Click(1000);
    installed.Interface().Click(1002).SelectComboText(1026, "COM2:").Click(1);
    installed.DefaultPrinter().Click(1);
    installed.Complete().Click(1);
    installed.Start();
    const MachineFacts before = WholeMachine(installed.machine);

    UninstallerRun run(installed);
    Lines rows;
    run.Confirm()
        .Then([&](ui::headless::HeadlessDialog& d) {
            rows = d.Rows(confirm::kPartList);
            EXPECT_EQ(d.GetFocus(), confirm::kRemoveButton);
            EXPECT_EQ(d.DefaultButton(), confirm::kRemoveButton);
        })
        .Click(confirm::kCancelButton);
    EXPECT_EQ(run.Start(), UninstallerExit::NothingTried);

    EXPECT_EQ(run.transcript, (Lines{"open remove", "end remove = IDCANCEL"}));
    EXPECT_EQ(rows, (Lines{"Printer \"NORVA MTR444\"", "Driver \"NORVA MTR444\"", "Port monitor \"KVPOS Port Monitor\"",
                           "Uninstall entry \"NORVA Orbix Printer 4.64\""}));
    EXPECT_EQ(Differences(before, WholeMachine(installed.machine)), Lines{});
}

// A printer with jobs waiting is not forced: the removal goes on with the others, and the
// summary names what stayed, why, and the system's error number, over the finished progress.
TEST(UninstallerDialogs, RemoveWalksTheProgressAndTheSummaryNamesWhatStayedWithItsErrorNumber)
{
    InstallerRun installed;
    InstallClonesOnLpt(installed, "2");
    installed.machine.SetPrinterJobs("NORVA Orbix #1", 2);

    UninstallerRun run(installed);
    std::string headline;
    Lines rows;
    int owner = 0;
    run.Confirm().Click(confirm::kRemoveButton);
    run.Summary()
        .Then([&](ui::headless::HeadlessDialog& d) {
            headline = d.Find(summary::kHeadline)->text;
            const std::string text = d.Find(summary::kOutcomeList)->text;
            for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 2) {
                end = text.find("\r\n", start);
                rows.push_back(text.substr(start, end - start));
            }
            owner = d.Owner().Parent() ? d.Owner().Parent()->TemplateId() : 0;
        })
        .PressEnter();
    EXPECT_EQ(run.Start(), UninstallerExit::NotAllRemoved);

    EXPECT_EQ(run.transcript,
              (Lines{"open remove", "end remove = IDOK", "create removing",
                     "status \"Removing printer \"NORVA Orbix #1\" ...\" 0",
                     "status \"Removing printer \"NORVA Orbix #2\" ...\" 16",
                     "status \"Removing driver \"NORVA Orbix #1\" ...\" 33",
                     "status \"Removing driver \"NORVA Orbix #2\" ...\" 50",
                     "status \"Removing port monitor \"KVPOS Port Monitor\" ...\" 66",
                     "status \"Removing uninstall entry \"NORVA Orbix Printer 4.64\" ...\" 83",
                     "status \"Removal Completed!!!\" 100", "open summary", "end summary = IDOK", "destroy removing"}));
    EXPECT_EQ(owner, resources::kRemovalProgressDialog);
    EXPECT_EQ(headline, "Removal completed with errors !!!\n3 of 6 parts could not be removed; the system's error "
                        "number is given with each.");
    EXPECT_EQ(rows,
              (Lines{"Could not remove printer \"NORVA Orbix #1\": 2 jobs are waiting (error 3009)",
                     "Removed printer \"NORVA Orbix #2\"",
                     "Could not remove driver \"NORVA Orbix #1\": printer \"NORVA Orbix #1\" still uses it (error "
                     "3001)",
                     "Removed driver \"NORVA Orbix #2\"", "Removed port monitor \"KVPOS Port Monitor\"",
                     "Could not remove uninstall entry \"NORVA Orbix Printer 4.64\": kept while anything else of "
                     "the driver is left, to run this again (error 170)"}));
    EXPECT_TRUE(installed.machine.FindPrinter("NORVA Orbix #1"));
    EXPECT_FALSE(installed.machine.FindPrinter("NORVA Orbix #2"));
}

// What is left on purpose follows the outcomes, with why.
TEST(UninstallerDialogs, TheSummaryNamesWhatWasLeftAndWhy)
{
    InstallerRun installed;
    InstallClonesOnLpt(installed, "1");
    installed.machine.AddPrinter("Label Printer", "USBPOS0", "Generic / Text Only");

    UninstallerRun run(installed);
    std::string text;
    std::string headline;
    run.Confirm().Click(confirm::kRemoveButton);
    run.Summary()
        .Then([&](ui::headless::HeadlessDialog& d) {
            text = d.Find(summary::kOutcomeList)->text;
            headline = d.Find(summary::kHeadline)->text;
        })
        .PressEnter();
    EXPECT_EQ(run.Start(), UninstallerExit::Removed);
    EXPECT_EQ(headline,
              "Removal completed !!!\nEverything below was removed except the parts marked \"Left\", which stay.");
    EXPECT_EQ(text.substr(text.rfind("\r\n") + 2),
              "Left port monitor \"KVPOS Port Monitor\": its port \"USBPOS0\" is used by printer \"Label Printer\"");
}

TEST(UninstallerDialogs, NothingOfOursIsSaidInAMessageAndNothingChanges)
{
    InstallerRun installed;
    installed.AddExistingPrinter("Foreign Label Printer");
    // Bears our name, but its driver is another's.
    installed.machine.AddPrinter("NORVA MTR444", "LPT1:", "Foreign Label Printer");
    const MachineFacts before = WholeMachine(installed.machine);

    UninstallerRun run(installed);
    EXPECT_EQ(run.Start(), UninstallerExit::Removed);
    EXPECT_EQ(run.transcript,
              (Lines{"message \"No NORVA Orbix printer, printer driver, port or port monitor was found on this "
                     "computer.\\nNothing was changed.\" caption \"DriverOrbixUninstaller\" icon none owner none"}));
    EXPECT_EQ(Differences(before, WholeMachine(installed.machine)), Lines{});
}

// What is ours cannot be told when the spooler cannot be read: the user is told so, not that
// nothing was found.
TEST(UninstallerDialogs, AnUnreadableSpoolerIsSaidWithItsErrorAndNothingChanges)
{
    InstallerRun installed;
    InstallClonesOnLpt(installed, "1");
    const MachineFacts before = WholeMachine(installed.machine);
    installed.machine.FailAlways("EnumPrintersA", 1722);

    UninstallerRun run(installed);
    EXPECT_EQ(run.Start(), UninstallerExit::NotAllRemoved);
    EXPECT_EQ(run.transcript, (Lines{"message \"Could not read the print spooler: EnumPrintersA failed (error 1722)\\n"
                                     "Nothing was changed.\" caption \"DriverOrbixUninstaller\" icon exclamation owner "
                                     "none"}));
    EXPECT_EQ(Differences(before, WholeMachine(installed.machine)), Lines{});
}

}  // namespace
}  // namespace zenthar::testing
