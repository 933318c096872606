// The main dialog before any installation: start-up, the list, cloning and the copies box.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/AboutDialogIds.h"
#include "resources/DefaultPrinterDialogIds.h"
#include "resources/InstallCompleteDialogIds.h"
#include "resources/InstallerWords.h"
#include "resources/InterfaceDialogIds.h"
#include "resources/MainDialogIds.h"
#include "tests/common/InstallerRun.h"

namespace zenthar::testing {
namespace {

using zenthar::resources::Say;
using zenthar::resources::Words;

namespace about_ids = resources::about_ids;
namespace complete_ids = resources::complete_ids;
namespace default_ids = resources::default_ids;
namespace interface_ids = resources::interface_ids;
using resources::main_ids::kCloneCheck;
using resources::main_ids::kCopiesEdit;
using resources::main_ids::kExitButton;
using resources::main_ids::kInstallButton;
using resources::main_ids::kModelList;

using ui::headless::HeadlessDialog;
using Rows = std::vector<std::string>;
using Checks = std::vector<int>;

// What the main dialog shows, read by the user in the middle of a script.
struct Seen {
    Rows rows;
    Checks checks;
    bool installEnabled = false;
    bool exitEnabled = false;
    bool copiesEnabled = false;
    std::string copiesText;
    // The list's drawing still held off after a rebuild: it would never show its rows.
    bool listHeld = false;
};

Seen Look(HeadlessDialog& d)
{
    return {d.Rows(kModelList),
            d.RowChecks(kModelList),
            d.Find(kInstallButton)->Enabled(),
            d.Find(kExitButton)->Enabled(),
            d.Find(kCopiesEdit)->Enabled(),
            d.Find(kCopiesEdit)->text,
            d.Find(kModelList)->redrawHolds > 0};
}

Rows CloneRows(int count)
{
    Rows rows;
    for (int i = 1; i <= count; ++i) rows.push_back("NORVA Orbix #" + std::to_string(i));
    return rows;
}

const Rows kModels = {"NORVA MTR333", "NORVA MTR444", "NORVA KSV100-III"};

TEST(MainDialogStartUp, AFreshMachineShowsThreeUncheckedModels)
{
    InstallerRun run;
    Seen seen;
    run.Main().Then([&](HeadlessDialog& d) { seen = Look(d); }).PressEscape();
    run.Start();
    EXPECT_EQ(seen.rows, kModels);
    EXPECT_EQ(seen.checks, (Checks{0, 0, 0}));
    EXPECT_FALSE(seen.installEnabled);
    EXPECT_TRUE(seen.exitEnabled);
    EXPECT_FALSE(seen.copiesEnabled);
    EXPECT_EQ(seen.copiesText, "1");
    EXPECT_EQ(run.Transcript(), (std::vector<std::string>{"open main", "end main = IDCANCEL"}));
}

TEST(MainDialogStartUp, AnExistingModelIsIndeterminateAndStaysSo)
{
    InstallerRun run;
    run.AddExistingPrinter("NORVA MTR444");
    Seen before, after;
    run.Main()
        .Then([&](HeadlessDialog& d) { before = Look(d); })
        .ToggleRow(kModelList, 1)
        .SelectRow(kModelList, 1)
        .Then([&](HeadlessDialog& d) { after = Look(d); })
        .PressEscape();
    run.Start();
    EXPECT_EQ(before.checks, (Checks{0, 2, 0}));
    EXPECT_EQ(after.checks, (Checks{0, 2, 0}));
    EXPECT_TRUE(after.installEnabled);  // an indeterminate row counts as chosen
    EXPECT_EQ(run.state.rows.rowSelected[1], 0);
    EXPECT_EQ(run.state.rows.rowInstalled[1], 1);
}

TEST(MainDialogStartUp, APrinterWithAnotherDriverDoesNotMarkItsRow)
{
    InstallerRun run;
    sim::SimPrinter printer;
    printer.name = "NORVA MTR333";
    printer.driverName = "Generic / Text Only";
    printer.portName = "LPT1:";
    run.machine.AddPrinter(printer);
    run.AddExistingPrinter("norva mtr444");
    Seen seen;
    run.Main().Then([&](HeadlessDialog& d) { seen = Look(d); }).PressEscape();
    run.Start();
    EXPECT_EQ(seen.checks, (Checks{0, 0, 0}));
}

TEST(MainDialogStartUp, EachFailingSpoolerQueryIsReportedAndTheListStillFills)
{
    struct Case {
        const char* call;
        platform::Dword error;
        std::string message;
    };
    const Case cases[] = {
        {"OpenSCManagerA", 5, Say(Words::ScmFailed, 5)},
        {"OpenServiceA", 1060, Say(Words::ServiceFailed, 1060)},
        {"QueryServiceStatus", 6, Say(Words::QueryFailed, 6)},
    };
    for (const auto& c : cases) {
        InstallerRun run;
        run.machine.FailNext(c.call, c.error);
        Seen seen;
        run.Main().Then([&](HeadlessDialog& d) { seen = Look(d); }).PressEscape();
        run.Start();
        EXPECT_EQ(run.Transcript(),
                  (std::vector<std::string>{
                      "open main", "message \"" + c.message + "\" caption \"zenthar\" icon exclamation owner main",
                      "end main = IDCANCEL"}))
            << c.call;
        EXPECT_EQ(seen.rows, kModels) << c.call;
    }
}

TEST(MainDialogStartUp, ASpoolerThatCannotStartLeavesTheListEmpty)
{
    InstallerRun run;
    run.machine.SetServiceState("spooler", platform::SERVICE_STOPPED);
    run.machine.ScriptServiceStart("spooler", sim::ServiceStartScript::Fails(1058));
    Seen seen;
    std::vector<ui::headless::DrawOp> installOps, exitOps;
    run.Main()
        .Then([&](HeadlessDialog& d) {
            seen = Look(d);
            installOps = d.DrawControl(kInstallButton);
            exitOps = d.DrawControl(kExitButton);
        })
        .PressEscape();
    run.Start();
    EXPECT_EQ(run.Transcript()[1], "message \"" + OneLine(Text(Words::SpoolerStopped)) +
                                       "\" caption \"zenthar\" icon exclamation owner main");
    EXPECT_TRUE(seen.rows.empty());
    // Install keeps the template's state: enabled.
    EXPECT_TRUE(seen.installEnabled);
    // Both still look like buttons: a raised edge and their icon, not a flat label.
    for (const std::vector<ui::headless::DrawOp>& ops : {installOps, exitOps}) {
        EXPECT_TRUE(std::any_of(ops.begin(), ops.end(),
                                [](const auto& op) { return op.kind == ui::headless::DrawOp::Kind::Line; }));
        EXPECT_TRUE(std::any_of(ops.begin(), ops.end(),
                                [](const auto& op) { return op.kind == ui::headless::DrawOp::Kind::Icon; }));
    }
}

TEST(MainDialogStartUp, AStoppedSpoolerIsStartedAndWaitedFor)
{
    InstallerRun run;
    run.machine.SetServiceState("spooler", platform::SERVICE_STOPPED);
    run.machine.ScriptServiceStart("spooler", sim::ServiceStartScript::PendingThenRunning(2, {20000}));
    Seen seen;
    run.Main().Then([&](HeadlessDialog& d) { seen = Look(d); }).PressEscape();
    run.Start();
    EXPECT_EQ(run.machine.ServiceState("spooler"), platform::SERVICE_RUNNING);
    EXPECT_EQ(run.machine.Pauses(), (std::vector<platform::Dword>{2000, 2000}));
    EXPECT_EQ(seen.rows, kModels);
}

TEST(MainDialogCloning, TickingTheOptionChecksTheFreeClones)
{
    InstallerRun run;
    run.AddExistingPrinter("NORVA Orbix #1");
    run.AddExistingPrinter("NORVA Orbix #3");
    Seen one, four, back;
    run.Main()
        .Click(kCloneCheck)
        .Then([&](HeadlessDialog& d) { one = Look(d); })
        .SetText(kCopiesEdit, "4")
        .Then([&](HeadlessDialog& d) { four = Look(d); })
        .Click(kCloneCheck)
        .Then([&](HeadlessDialog& d) { back = Look(d); })
        .PressEscape();
    run.Start();
    EXPECT_EQ(one.rows, CloneRows(1));
    EXPECT_EQ(one.checks, (Checks{2}));
    EXPECT_TRUE(one.installEnabled);
    EXPECT_TRUE(one.copiesEnabled);
    EXPECT_EQ(four.rows, CloneRows(4));
    EXPECT_EQ(four.checks, (Checks{2, 1, 2, 1}));
    EXPECT_EQ(back.rows, kModels);
    EXPECT_EQ(back.checks, (Checks{0, 0, 0}));
    EXPECT_FALSE(back.installEnabled);
    EXPECT_FALSE(back.copiesEnabled);
    // No flag of the clone list survives into model mode.
    for (int i = 0; i < kRowFlagCount; ++i) EXPECT_EQ(run.state.rows.rowSelected[i], 0) << i;
}

TEST(MainDialogCloning, TheCopiesTextDecidesTheRows)
{
    struct Case {
        const char* typed;
        int rows;
        bool install;
        const char* shown;
    };
    const Case cases[] = {
        {"250", 200, true, "200"},
        {"0", 0, false, "0"},
        {"-3", 0, false, "-3"},
        {"abc", 0, false, "abc"},
        {"12abc", 12, true, "12abc"},
        {" +7", 7, true, " +7"},
        {"99999999999999999999", 200, true, "200"},
    };
    for (const auto& c : cases) {
        InstallerRun run;
        Seen seen;
        run.Main()
            .Click(kCloneCheck)
            .SetText(kCopiesEdit, c.typed)
            .Then([&](HeadlessDialog& d) { seen = Look(d); })
            .PressEscape();
        run.Start();
        EXPECT_EQ(seen.rows, CloneRows(c.rows)) << c.typed;
        EXPECT_EQ(seen.checks, Checks(static_cast<std::size_t>(c.rows), 1)) << c.typed;
        EXPECT_EQ(seen.installEnabled, c.install) << c.typed;
        EXPECT_EQ(seen.copiesText, c.shown) << c.typed;
        EXPECT_FALSE(seen.listHeld) << c.typed;
        for (int i = 0; i < kRowFlagCount; ++i) EXPECT_EQ(run.state.rows.rowSelected[i], i < c.rows ? 1 : 0) << c.typed;
    }
}

TEST(MainDialogCloning, TypingIntoTheBoxRebuildsAtEveryKeystroke)
{
    InstallerRun run;
    Seen seen;
    run.Main()
        .Click(kCloneCheck)
        .Type(kCopiesEdit, "300")
        .Then([&](HeadlessDialog& d) { seen = Look(d); })
        .PressEscape();
    run.Start();
    // "3", "30", then "300" is cut to "200" by the nested change.
    EXPECT_EQ(seen.rows.size(), 200u);
    EXPECT_EQ(seen.copiesText, "200");
}

TEST(MainDialogCloning, AModelCopiesChangeKeepsTheModelRows)
{
    InstallerRun run;
    Seen seen;
    // The box is disabled in model mode; the program can still change it.
    run.Main()
        .Then([](HeadlessDialog& d) { d.SetItemText(kCopiesEdit, "5"); })
        .Then([&](HeadlessDialog& d) { seen = Look(d); })
        .PressEscape();
    run.Start();
    EXPECT_EQ(seen.rows, kModels);
    EXPECT_TRUE(seen.installEnabled);  // the copies rule decides until the next selection change
}

// Install is disabled at start-up before anything has the focus, so no push button becomes
// the default: Enter on the list is the standard OK. Either way the program ends.
TEST(MainDialogKeys, EnterEndsTheDialogAndTheAboutBoxComesFromTheSystemMenu)
{
    InstallerRun run;
    std::vector<std::pair<unsigned, std::string>> menu;
    run.Main()
        .Then([&](HeadlessDialog& d) { menu = d.SystemMenuItems(); })
        .SysCommand(0x0010)
        .Focus(kModelList)
        .PressEnter();
    run.screen.Script(resources::kAboutDialog).Click(about_ids::kOk);
    run.Start();
    ASSERT_FALSE(menu.empty());
    EXPECT_EQ(menu.back(), (std::pair<unsigned, std::string>{0x0010, "Zenthar Information(&A)..."}));
    EXPECT_EQ(run.Transcript(),
              (std::vector<std::string>{"open main", "open about", "end about = IDOK", "end main = IDOK"}));
}

TEST(MainDialogKeys, TheExitButtonEndsTheProgram)
{
    InstallerRun run;
    run.Main().Click(kExitButton);
    run.Start();
    EXPECT_EQ(run.Transcript(), (std::vector<std::string>{"open main", "end main = IDCANCEL"}));
}

// A keyboard user ticks with Space: the dialog hears of it as of a click on the box, once the
// row shows its new state, so Install follows and the run takes what the list shows.
TEST(MainDialogKeys, SpaceOnARowCountsAsAClickOnItsBox)
{
    InstallerRun run;
    bool installAfterSpace = false;
    Checks beforeInstall;
    run.Main()
        .Focus(kModelList)
        .SelectRow(kModelList, 2)
        .PressSpace()
        .Then([&](HeadlessDialog& d) { installAfterSpace = d.Find(kInstallButton)->Enabled(); })
        .PressSpace()
        .ToggleRow(kModelList, 0)
        .ToggleRow(kModelList, 1)
        .PressSpace()
        .Then([&](HeadlessDialog& d) { beforeInstall = d.RowChecks(kModelList); })
        .Click(kInstallButton);
    run.Interface().Click(interface_ids::kSerialRadio).Click(interface_ids::kOk);
    run.DefaultPrinter().Click(default_ids::kOk);
    run.Complete().Click(complete_ids::kOk);
    run.Start();
    EXPECT_TRUE(installAfterSpace);
    EXPECT_EQ(beforeInstall, (Checks{1, 0, 0}));
    EXPECT_TRUE(run.machine.FindPrinter("NORVA MTR333"));
    EXPECT_FALSE(run.machine.FindPrinter("NORVA MTR444"));
    EXPECT_FALSE(run.machine.FindPrinter("NORVA KSV100-III"));
}

// Install follows what the user types or ticks; the focus stays where the user is working,
// so the next key goes to the copies box or the list, not to Exit.
TEST(MainDialogFocus, TheCopiesBoxAndTheListKeepTheFocusWhenInstallIsDisabled)
{
    InstallerRun run;
    int afterLetter = 0, afterClear = 0, afterUntick = 0;
    bool installAfterClear = true;
    run.Main()
        .Click(kCloneCheck)
        .Type(kCopiesEdit, "x")
        .Then([&](HeadlessDialog& d) { afterLetter = d.GetFocus(); })
        .Type(kCopiesEdit, "2")
        .Type(kCopiesEdit, "")
        .Then([&](HeadlessDialog& d) {
            afterClear = d.GetFocus();
            installAfterClear = d.Find(kInstallButton)->Enabled();
        })
        .Click(kCloneCheck)
        .ToggleRow(kModelList, 0)
        .ToggleRow(kModelList, 0)
        .Then([&](HeadlessDialog& d) { afterUntick = d.GetFocus(); })
        .PressEscape();
    run.Start();
    EXPECT_EQ(afterLetter, kCopiesEdit);
    EXPECT_EQ(afterClear, kCopiesEdit);
    EXPECT_FALSE(installAfterClear);
    EXPECT_EQ(afterUntick, kModelList);
}

// Whatever number of copies a clone run left behind, model mode shows and installs every
// model.
TEST(MainDialogModes, ModelModeAlwaysShowsTheThreeModels)
{
    // Copies 2, a run that stops at its first driver, then the third model.
    InstallerRun run;
    run.machine.FailNext("AddPrinterDriverA", 5);
    Seen afterUntick;
    run.Main()
        .Click(kCloneCheck)
        .Type(kCopiesEdit, "2")
        .Click(kInstallButton)
        .Click(kCloneCheck)
        .Then([&](HeadlessDialog& d) { afterUntick = Look(d); })
        .ToggleRow(kModelList, 2)
        .Click(kInstallButton);
    run.Interface().Click(interface_ids::kParallelRadio).Click(interface_ids::kOk);
    run.Interface().Click(interface_ids::kParallelRadio).Click(interface_ids::kOk);
    run.DefaultPrinter().Click(default_ids::kOk);
    run.Complete().Click(complete_ids::kOk);
    run.Start();
    EXPECT_EQ(afterUntick.rows, kModels);
    EXPECT_TRUE(run.machine.FindPrinter("NORVA KSV100-III"));
}

}  // namespace
}  // namespace zenthar::testing
