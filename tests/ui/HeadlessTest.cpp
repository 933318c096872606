// What only the headless backend offers: the scripted user, the transcript, the recorded
// drawing, and its stand-ins for the program's resources.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "resources/InterfaceDialogIds.h"
#include "resources/MainDialogIds.h"
#include "resources/ResourceIds.h"
#include "ui/Controls.h"
#include "ui/Ui.h"
#include "ui/headless/HeadlessBackend.h"

namespace zenthar::ui::headless {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace ids = resources;
namespace interface_ids = resources::interface_ids;
namespace main_ids = resources::main_ids;

class HeadlessTest : public ::testing::Test {
protected:
    HeadlessTest() { UseBackend(&backend); }
    ~HeadlessTest() override { UseBackend(nullptr); }
    HeadlessBackend backend;
};

class Outer : public Dialog {
public:
    Outer() : Dialog(ids::kMainDialog) {}

protected:
    std::span<const MessageEntry> MessageMap() const override
    {
        static const MessageEntry kMessages[] = {OnClicked(main_ids::kInstallButton, &Outer::OnInstall)};
        return kMessages;
    }

private:
    void OnInstall()
    {
        Dialog inner(ids::kDefaultPrinterDialog);
        if (inner.DoModal() != kIdOk) MessageBox("Install Canceled");
        Dialog search(ids::kUsbSearchDialog, this);
        search.Create();
        search.ShowWindow();
        search.DestroyWindow();
        AppMessageBox("USB Port Search Failed");
        // A box of another thread must not attach to this thread's windows.
        std::thread([] { AppMessageBox("from another thread"); }).join();
    }
};

TEST_F(HeadlessTest, TranscriptRecordsDialogsAndMessageBoxesInTheOrderTheUserSawThem)
{
    backend.Script(ids::kMainDialog).Click(main_ids::kInstallButton).PressEscape();
    bool outerEnabledBehindInner = true;
    backend.Script(ids::kDefaultPrinterDialog)
        .Then([&](HeadlessDialog&) { outerEnabledBehindInner = backend.FindDialog(ids::kMainDialog)->DialogEnabled(); })
        .PressEscape();
    std::vector<int> shownWhileBoxUp;
    std::vector<int> enabledWhileBoxUp;
    backend.OnMessageBox([&](const Event&) {
        shownWhileBoxUp.push_back(backend.FindDialog(ids::kMainDialog) != nullptr);
        enabledWhileBoxUp.push_back(backend.FindDialog(ids::kMainDialog)->DialogEnabled());
    });
    Outer outer;
    EXPECT_EQ(outer.DoModal(), kIdCancel);
    EXPECT_THAT(backend.TranscriptLines(),
                ElementsAre("open main", "open default", "end default = IDCANCEL",
                            "message \"Install Canceled\" caption \"zenthar\" icon none owner main", "create search",
                            "destroy search",
                            "message \"USB Port Search Failed\" caption \"zenthar\" icon exclamation owner main",
                            "message \"from another thread\" caption \"zenthar\" icon exclamation owner none",
                            "end main = IDCANCEL"));
    EXPECT_THAT(shownWhileBoxUp, ElementsAre(1, 1, 1));
    // A dialog opened without a parent, and every box, belongs to the dialog in front, which
    // takes no input meanwhile and gets it back afterwards.
    EXPECT_EQ(backend.Transcript()[1].ownerTemplateId, ids::kMainDialog);
    EXPECT_FALSE(outerEnabledBehindInner);
    EXPECT_THAT(enabledWhileBoxUp, ElementsAre(0, 0, 1));
    EXPECT_THAT(backend.Errors(), IsEmpty());
}

TEST_F(HeadlessTest, MissingOrShortScriptsAndStepsOnControlsItLacksAreReported)
{
    Dialog unscripted(ids::kUsbWarningDialog);
    EXPECT_EQ(unscripted.DoModal(), kIdCancel);
    backend.Script(ids::kUsbWarningDialog).Focus(1);
    Dialog shortScript(ids::kUsbWarningDialog);
    EXPECT_EQ(shortScript.DoModal(), kIdCancel);
    EXPECT_EQ(backend.Errors().size(), 2u);
    Dialog noTemplate(4711);
    EXPECT_EQ(noTemplate.DoModal(), -1);

    // A step on a control the dialog lacks, or on one of another kind, is the script's fault;
    // a click on a disabled control only does nothing, as a person's would.
    backend.Script(ids::kUsbWarningDialog)
        .Click(4711)
        .SetText(kIdOk, "typed into a button")
        .Then([](HeadlessDialog& dialog) { dialog.EnableItem(kIdOk, false); })
        .Click(kIdOk)
        .PressEscape();
    Dialog wrongSteps(ids::kUsbWarningDialog);
    EXPECT_EQ(wrongSteps.DoModal(), kIdCancel);
    EXPECT_THAT(backend.Errors(),
                ElementsAre(testing::_, testing::_, testing::_,
                            "dialog 142: click on control 4711, which the dialog does not have",
                            "dialog 142: set text on control 1, which is not a control of that kind"));
}

TEST_F(HeadlessTest, EachRunTakesTheNextScriptOfItsTemplate)
{
    backend.Script(ids::kIpAddressDialog).PressEnter();
    backend.Script(ids::kIpAddressDialog).PressEscape();
    backend.Script(ids::kIpAddressDialog).End(7);
    Dialog dialog(ids::kIpAddressDialog);
    EXPECT_EQ(dialog.DoModal(), kIdOk);
    EXPECT_EQ(dialog.DoModal(), kIdCancel);
    EXPECT_EQ(dialog.DoModal(), 7);
}

class CopiesOnly : public Dialog {
public:
    CopiesOnly() : Dialog(ids::kMainDialog) {}
    char copies[8] = {};

protected:
    void DoDataExchange(DataExchange& dx) override { dx.Text(main_ids::kCopiesEdit, copies, sizeof copies); }
};

TEST_F(HeadlessTest, FixedSizeFieldsTakeABoundedCopyOfTheText)
{
    backend.Script(ids::kMainDialog).SetText(main_ids::kCopiesEdit, "123456789012").PressEnter();
    CopiesOnly dialog;
    std::memcpy(dialog.copies, "5", 2);
    EXPECT_EQ(dialog.DoModal(), kIdOk);
    EXPECT_STREQ(dialog.copies, "1234567");
}

TEST_F(HeadlessTest, SortedComboPutsPunctuationBeforeDigits)
{
    backend.Script(ids::kInterfaceDialog).Then([](HeadlessDialog& d) {
        for (const char* port : {"COM2:", "COM10:", "COM1:"}) d.AddString(interface_ids::kPortCombo, port);
        EXPECT_THAT(d.Rows(interface_ids::kPortCombo), ElementsAre("COM1:", "COM10:", "COM2:"));
        d.EndDialog(kIdCancel);
    });
    Dialog dialog(ids::kInterfaceDialog);
    dialog.DoModal();
}

class PaintingDialog : public Dialog {
public:
    PaintingDialog() : Dialog(ids::kMainDialog) {}
    IconHandle icon = LoadIconResource(ids::kAppIcon);

protected:
    bool OnPaint(DrawSurface& surface) override
    {
        if (!IsIconic()) return false;
        const Rect client = ClientRect();
        surface.DrawIcon((client.Width() - GetSystemMetric(kSmCxIcon) + 1) / 2,
                         (client.Height() - GetSystemMetric(kSmCyIcon) + 1) / 2, icon);
        return true;
    }
};

TEST_F(HeadlessTest, PaintHookRunsOnUpdateAndSystemCommandsMinimise)
{
    PaintingDialog dialog;
    std::vector<DrawOp> normal, minimised;
    backend.Script(ids::kMainDialog)
        .Then([&](HeadlessDialog& d) { normal = d.Paint(); })
        .SysCommand(0xF020)
        .Then([&](HeadlessDialog& d) {
            d.Invalidate(true);
            d.UpdateWindow();
            minimised = d.Paint();
            EXPECT_EQ(d.PaintCount(), 3);
        })
        .PressEscape();
    dialog.DoModal();
    EXPECT_THAT(normal, IsEmpty());
    ASSERT_EQ(minimised.size(), 1u);
    EXPECT_EQ(minimised[0].kind, DrawOp::Kind::Icon);
    EXPECT_EQ(minimised[0].handle, dialog.icon);
    EXPECT_EQ(minimised[0].from, (Point{0, 0}));
}

TEST_F(HeadlessTest, ResourcesCanBeTakenAwayAndIconsAreCounted)
{
    const BitmapHandle usb = LoadBitmapResource(ids::kUsbBitmap);
    EXPECT_EQ(GetBitmapSize(usb), (Size{302, 299}));
    backend.RemoveResource(ids::kWifiBitmap);
    EXPECT_EQ(LoadBitmapResource(ids::kWifiBitmap), 0u);
    EXPECT_EQ(GetBitmapSize(0), (Size{}));
    const IconHandle ok = LoadIconResource(ids::kOkIcon);
    EXPECT_NE(ok, 0u);
    EXPECT_EQ(LoadIconResource(4711), 0u);
    EXPECT_EQ(backend.LiveIconCount(), 1);
    DestroyIconHandle(ok);
    EXPECT_EQ(backend.LiveIconCount(), 0);
    backend.SetAppTitle("setup");
    EXPECT_EQ(AppTitle(), "setup");
}

TEST(RecordingSurface, MeasuresWrappedTextWithoutMnemonicPrefixes)
{
    RecordingSurface surface;
    Rect box{0, 0, 54, 0};
    const int height = surface.DrawText("Installation(&I) now please", box, kDtCenter | kDtWordBreak | kDtCalcRect, 0);
    EXPECT_EQ(height, 3 * RecordingSurface::kLineHeight);
    EXPECT_EQ(box.Width(), 15 * RecordingSurface::kCharWidth);  // the unbreakable "Installation(I)"
    EXPECT_THAT(surface.Ops(), IsEmpty());
    EXPECT_THAT(RecordingSurface::LayoutLines("a&&b\nc d", 100, true), ElementsAre("a&b", "c d"));
}

}  // namespace
}  // namespace zenthar::ui::headless
