// The search as the user sees it: the dialogs, the bar at every pause, the messages, and how
// often the printer was looked for.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "UsbFixture.h"
#include "connection/MessageBoxNotices.h"
#include "connection/UsbSearch.h"
#include "core/Notice.h"
#include "core/Pause.h"
#include "resources/InstallerWords.h"
#include "resources/ResourceIds.h"
#include "resources/UsbSearchDialogIds.h"
#include "resources/UsbWarningDialogIds.h"

namespace zenthar::testing {
namespace {

using zenthar::resources::Text;
using zenthar::resources::Words;

using platform::Dword;
using ui::headless::HeadlessDialog;
namespace ids = resources;

using resources::search_ids::kSearchBar;
namespace warning_ids = resources::warning_ids;

// One designed pause, with the search bar's position while it lasted (-1: no search window).
struct SeenPause {
    Dword milliseconds;
    int bar;
    friend bool operator==(const SeenPause&, const SeenPause&) = default;
};

void PrintTo(const SeenPause& pause, std::ostream* out)
{
    *out << pause.milliseconds << "ms@" << pause.bar;
}

class UsbSearchTest : public UsbTest {
protected:
    void SetUp() override
    {
        UsbTest::SetUp();
        current = this;
        SetPauseHook(&UsbSearchTest::Watch);
    }
    void TearDown() override
    {
        SetPauseHook(nullptr);
        current = nullptr;
        UsbTest::TearDown();
    }

    // Runs the search from inside the main dialog, in its windows, and ends a failed search
    // as the installation run does; the main dialog is closed with OK afterwards unless that
    // ended it.
    bool Search()
    {
        bool goesOn = false;
        ui::Dialog mainDialog(ids::kMainDialog);
        screen.Script(ids::kMainDialog)
            .Then([&](HeadlessDialog&) {
                UsbSearchWindows windows(&mainDialog);
                goesOn = SearchUsbPrinter(machine.platform(), channel, windows).outcome != UsbSearchOutcome::Failed;
                if (!goesOn) {
                    MessageBoxNotices(&mainDialog)
                        .Show(MainWindowNotice(resources::Text(resources::Words::UsbSearchFailed)));
                    Pause(machine.platform(), 500);
                    mainDialog.EndDialog(ui::kIdCancel);
                }
            })
            .End(ui::kIdOk);
        mainDialog.DoModal();
        return goesOn;
    }

    // Probes made: each looks at the set of present printers once.
    std::size_t Probes() const { return machine.CallCount("SetupDiGetClassDevsA"); }
    // The bar as the search window last showed it, also after it was destroyed.
    int FinalBar() const { return searchWindow ? searchWindow->Find(kSearchBar)->pos : -1; }

    static std::vector<SeenPause> Steps(int from, int to, int step, Dword milliseconds)
    {
        std::vector<SeenPause> steps;
        for (int bar = from; bar <= to; bar += step) steps.push_back({milliseconds, bar});
        return steps;
    }

    std::vector<SeenPause> pauses;
    std::function<void()> duringPause;
    HeadlessDialog* searchWindow = nullptr;

private:
    static void Watch(platform::Platform& platform, Dword milliseconds)
    {
        HeadlessDialog* window = current->screen.FindDialog(ids::kUsbSearchDialog);
        if (window) current->searchWindow = window;
        current->pauses.push_back({milliseconds, window && window->Visible() ? window->Find(kSearchBar)->pos : -1});
        if (current->duringPause) current->duringPause();
        platform.clock.Sleep(milliseconds);
    }

    static inline UsbSearchTest* current = nullptr;
};

TEST_F(UsbSearchTest, APrinterThereAtOnceFlashesTheBarThroughAndIsClosedAgain)
{
    machine.AddUsbPrinter(kPrinterPath, 3);

    EXPECT_TRUE(Search());
    EXPECT_EQ(Transcript(),
              (std::vector<std::string>{"open main", "create search", "destroy search", "end main = IDOK"}));
    EXPECT_EQ(pauses, Steps(20, 90, 10, 100));
    EXPECT_EQ(FinalBar(), 100);
    EXPECT_EQ(Probes(), 1u);
    EXPECT_EQ(Writes(), (std::vector<std::vector<std::uint8_t>>{{0}}));
    EXPECT_EQ(channel.IsOpen(), 0);
    EXPECT_FALSE(SetupLibraryLoaded());
    EXPECT_EQ(machine.DebugOutput().back(), "USB003");
}

TEST_F(UsbSearchTest, APrinterPluggedInDuringTheSearchEndsItAtTheNextProbe)
{
    screen.Script(ids::kUsbWarningDialog).Click(warning_ids::kOk);
    // The fifth probe of the search has just missed it.
    duringPause = [this] {
        if (pauses.size() == 5) machine.AddUsbPrinter(kPrinterPath, 12);
    };

    EXPECT_TRUE(Search());
    EXPECT_EQ(Transcript(), (std::vector<std::string>{"open main", "open warning", "end warning = IDOK",
                                                      "create search", "destroy search", "end main = IDOK"}));
    EXPECT_EQ(pauses, Steps(13, 25, 3, 1000));
    EXPECT_EQ(FinalBar(), 100);
    EXPECT_EQ(Probes(), 1u + 6u);
    EXPECT_EQ(Writes(), (std::vector<std::vector<std::uint8_t>>{{0}}));
    EXPECT_EQ(channel.UsbPortName(), "USB012");
    EXPECT_EQ(machine.DebugOutput().back(), "USB012");
}

TEST_F(UsbSearchTest, APrinterThatNeverComesEndsTheProgramAfterHalfAMinute)
{
    screen.Script(ids::kUsbWarningDialog).PressEnter();

    EXPECT_FALSE(Search());
    EXPECT_EQ(Transcript(), (std::vector<std::string>{
                                "open main", "open warning", "end warning = IDOK", "create search", "destroy search",
                                MessageLine(Text(Words::UsbSearchFailed)), "end main = IDCANCEL"}));
    auto expected = Steps(13, 97, 3, 1000);
    ASSERT_EQ(expected.size(), 29u);
    expected.push_back({500, -1});
    EXPECT_EQ(pauses, expected);
    EXPECT_EQ(Probes(), 1u + 30u);
    EXPECT_EQ(channel.IsOpen(), 0);
    EXPECT_EQ(machine.OpenHandleCount(), 0u);
}

TEST_F(UsbSearchTest, DecliningTheWarningSkipsTheSearchAndTheRunGoesOn)
{
    screen.Script(ids::kUsbWarningDialog).PressEscape();

    EXPECT_TRUE(Search());
    EXPECT_EQ(Transcript(),
              (std::vector<std::string>{"open main", "open warning", "end warning = IDCANCEL", "end main = IDOK"}));
    EXPECT_TRUE(pauses.empty());
    EXPECT_EQ(Probes(), 1u);
    EXPECT_EQ(channel.UsbPortName(), "");
}

TEST_F(UsbSearchTest, WithoutTheSetupLibraryTheSearchLetsTheRunThrough)
{
    machine.MakeLibraryMissing("SETUPAPI.DLL");

    EXPECT_TRUE(Search());
    EXPECT_EQ(Transcript(),
              (std::vector<std::string>{"open main", "create search", "destroy search", "end main = IDOK"}));
    EXPECT_EQ(pauses.size(), 8u);
    // Nothing is open that the zero byte could go to.
    EXPECT_EQ(channel.IsOpen(), 0);
    EXPECT_EQ(machine.CallCount("WriteFile"), 0u);
}

TEST_F(UsbSearchTest, TheWarningAndSearchWindowsShowTheirTemplates)
{
    screen.Script(ids::kUsbWarningDialog)
        .Then([](HeadlessDialog& d) {
            EXPECT_EQ(d.DefaultButton(), warning_ids::kOk);
            EXPECT_EQ(d.GetItemText(warning_ids::kClickStep), "3. Click  \"OK\"  button.");
        })
        .Click(warning_ids::kOk);
    duringPause = [this] {
        if (pauses.size() == 1) machine.AddUsbPrinter(kPrinterPath, 1);
    };
    EXPECT_TRUE(Search());
    ASSERT_NE(searchWindow, nullptr);
    EXPECT_EQ(searchWindow->GetItemText(resources::search_ids::kWaitText), "Please wait a minite ......");
    EXPECT_EQ(searchWindow->Template().caption, std::string("Now USB Port Searching......"));
}

}  // namespace
}  // namespace zenthar::testing
