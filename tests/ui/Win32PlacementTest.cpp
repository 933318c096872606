// Where the real windows open: an owned dialog centred over its owner, as Windows places the
// dialogs it owns, wherever the owner stands and however its template places it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "resources/ResourceIds.h"
#include "tests/ui/UiDriver.h"
#include "ui/Dialog.h"
#include "ui/win32/Win32Backend.h"

namespace zenthar::ui::contract {
namespace {

using win32::Win32Backend;

POINT CentreOf(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST(Win32Placement, AnOwnedDialogOpensCentredOverItsOwner)
{
    std::unique_ptr<Driver> driver = MakeDriver();
    // The main dialog as owner, moved away from the screen's corner; the two dialogs it owns
    // during an installation, both placed at (0, 0) by their templates.
    Dialog owner(resources::kMainDialog);
    ASSERT_TRUE(owner.Create());
    HWND ownerWindow = Win32Backend::DialogHandle(owner);
    SetWindowPos(ownerWindow, nullptr, 130, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    for (const int templateId : {resources::kDefaultPrinterDialog, resources::kInstallCompleteDialog}) {
        Dialog owned(templateId, &owner);
        POINT seen{};
        driver->RunModal(owned, [&](User& user) {
            seen = CentreOf(Win32Backend::DialogHandle(owned));
            user.End(kIdOk);
        });
        const POINT expected = CentreOf(ownerWindow);
        EXPECT_LE(std::abs(seen.x - expected.x), 1) << templateId;
        EXPECT_LE(std::abs(seen.y - expected.y), 1) << templateId;
    }
    owner.DestroyWindow();
}

}  // namespace
}  // namespace zenthar::ui::contract
