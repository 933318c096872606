// The real windows when the program's code throws inside a message: the exception stays on
// our side of the window procedure, the message gets its default processing, and the dialog
// goes on answering the user.
#include <gtest/gtest.h>

#include <stdexcept>

#include "resources/InterfaceDialogIds.h"
#include "resources/ResourceIds.h"
#include "tests/ui/UiDriver.h"
#include "ui/Dialog.h"

namespace zenthar::ui::contract {
namespace {

namespace ids = resources;
namespace interface_ids = resources::interface_ids;

class ThrowingPanel : public PanelHook {
public:
    int paints = 0;
    void OnPaint(PanelWindow&, DrawSurface&) override
    {
        ++paints;
        throw std::runtime_error("panel paint");
    }
};

class ThrowingDialog : public Dialog {
public:
    ThrowingDialog() : Dialog(ids::kInterfaceDialog) {}
    ThrowingPanel panel;
    PanelWindow* replaced = nullptr;
    int okClicks = 0;

protected:
    void OnOK() override
    {
        ++okClicks;
        throw std::runtime_error("command");
    }
};

TEST(Win32Guard, AnExceptionInACommandOrAPaintLeavesTheDialogWorking)
{
    std::unique_ptr<Driver> driver = MakeDriver();
    ThrowingDialog dialog;
    const int result = driver->RunModal(dialog, [&](User& user) {
        dialog.replaced = dialog.ReplaceStatic(interface_ids::kPictureFrame, dialog.panel);
        user.Redraw(interface_ids::kPictureFrame);
        user.Click(kIdOk);
        user.Click(kIdCancel);
    });
    EXPECT_NE(dialog.replaced, nullptr);
    EXPECT_GE(dialog.panel.paints, 1);
    EXPECT_EQ(dialog.okClicks, 1);
    // Cancel still ended it, with its own result rather than the driver's give-up value.
    EXPECT_EQ(result, kIdCancel);
}

}  // namespace
}  // namespace zenthar::ui::contract
