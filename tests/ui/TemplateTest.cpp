// Template facts that are easy to get wrong when the tables are typed in.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"

namespace zenthar::resources {
namespace {

const ControlTemplate& Control(int dialog, int id)
{
    const DialogTemplate* source = FindDialogTemplate(dialog);
    EXPECT_NE(source, nullptr);
    const ControlTemplate* control = source ? source->FindControl(id) : nullptr;
    EXPECT_NE(control, nullptr) << dialog << "/" << id;
    static const ControlTemplate none{};
    return control ? *control : none;
}

TEST(Templates, EveryDialogOfTheProgramIsThereOnceWithItsControlIdsUnique)
{
    std::set<int> seen;
    for (const DialogTemplate& dialog : AllDialogTemplates()) {
        EXPECT_TRUE(seen.insert(dialog.id).second) << dialog.id;
        std::set<int> controlIds;
        for (const ControlTemplate& control : dialog.controls) {
            if (control.id == kNoControlId) continue;
            EXPECT_TRUE(controlIds.insert(control.id).second) << dialog.id << "/" << control.id;
            EXPECT_TRUE(control.style & kWsChild) << dialog.id << "/" << control.id;
        }
    }
    EXPECT_EQ(seen, (std::set<int>{100, 102, 129, 138, 140, 141, 142, 143}));
    EXPECT_EQ(FindDialogTemplate(101), nullptr);
}

TEST(Templates, TextsKeepTheirSpellingAndSpacing)
{
    EXPECT_STREQ(FindDialogTemplate(kInterfaceDialog)->caption, "Select Printer's Port Infomation Dialog");
    EXPECT_STREQ(Control(kUsbSearchDialog, 1028).text, "Please wait a minite ......");
    EXPECT_STREQ(FindDialogTemplate(kAboutDialog)->fontName, "MS San Serif");
    EXPECT_STREQ(FindDialogTemplate(kMainDialog)->fontName, "MS Sans Serif");
    EXPECT_STREQ(Control(kUsbWarningDialog, 1039).text, "3. Click  \"OK\"  button.");
    EXPECT_STREQ(Control(kMainDialog, 1032).text, "Model Name     : ");
    EXPECT_STREQ(Control(kInterfaceDialog, 1031).text, "Processor  : ");
    EXPECT_STREQ(LoadStringResource(kAboutMenuString), "Zenthar Information(&A)...");
    EXPECT_STREQ(LoadStringResource(4711), "");
}

TEST(Templates, FamilyRadiosAreHiddenBelowTheInterfaceDialogAndShareOneIdRange)
{
    const DialogTemplate& dialog = *FindDialogTemplate(kInterfaceDialog);
    int radios = 0;
    for (const ControlTemplate& control : dialog.controls) {
        const bool radio = control.controlClass == ControlClass::Button &&
                           (control.style & kBsTypeMask) == kBsAutoRadioButton;
        if (!radio) continue;
        ++radios;
        EXPECT_GE(control.id, 1002);
        EXPECT_LE(control.id, 1048);
        const bool family = control.id >= 1009;
        EXPECT_EQ(family, !(control.style & kWsVisible)) << control.id;
        if (family) {
            EXPECT_GT(control.y, dialog.cy) << control.id;
        }
    }
    EXPECT_EQ(radios, 13);
    EXPECT_TRUE(Control(kInterfaceDialog, 1008).style & kWsGroup);
    EXPECT_TRUE(Control(kInterfaceDialog, 1007).style & kWsTabStop);
}

TEST(Templates, CombosSortOnlyThePortListAndTheProcessorIsDisabled)
{
    EXPECT_TRUE(Control(kInterfaceDialog, 1026).style & kCbsSort);
    EXPECT_FALSE(Control(kInterfaceDialog, 1025).style & kCbsSort);
    EXPECT_TRUE(Control(kInterfaceDialog, 1027).style & kWsDisabled);
    for (int id : {1025, 1026, 1027}) EXPECT_EQ(Control(kInterfaceDialog, id).style & 0x3u, kCbsDropDownList);
}

TEST(Templates, ModelListIsAnOwnerDrawnCheckListAndTheCopiesBoxIsCentred)
{
    const StyleBits list = Control(kMainDialog, 1019).style;
    for (StyleBits bit : {kLbsOwnerDrawFixed, kLbsHasStrings, kLbsNotify, kLbsNoIntegralHeight, kWsVScroll, kWsBorder,
                          kWsTabStop}) {
        EXPECT_TRUE(list & bit) << std::hex << bit;
    }
    EXPECT_FALSE(list & kLbsSort);
    const StyleBits edit = Control(kMainDialog, 1048).style;
    EXPECT_TRUE(edit & kEsCenter);
    EXPECT_TRUE(edit & kEsAutoHScroll);
}

TEST(Templates, FramesAndDefaultButtons)
{
    EXPECT_TRUE(FindDialogTemplate(kMainDialog)->style & kWsSysMenu);
    EXPECT_TRUE(FindDialogTemplate(kMainDialog)->exStyle & kWsExAppWindow);
    for (int id : {kInterfaceDialog, kInstallCompleteDialog, kDefaultPrinterDialog, kUsbWarningDialog, kIpAddressDialog}) {
        EXPECT_FALSE(FindDialogTemplate(id)->style & kWsSysMenu) << id;
        EXPECT_TRUE(FindDialogTemplate(id)->exStyle & kWsExToolWindow) << id;
    }
    const DialogTemplate& search = *FindDialogTemplate(kUsbSearchDialog);
    EXPECT_TRUE(search.style & kDsCenter);
    EXPECT_TRUE(search.style & kDsSysModal);
    EXPECT_EQ(Control(kInterfaceDialog, 1).style & kBsTypeMask, kBsDefPushButton);
    EXPECT_EQ(Control(kInterfaceDialog, 2).style & kBsTypeMask, kBsDefPushButton);
    EXPECT_EQ(Control(kMainDialog, 1000).style & kBsTypeMask, kBsPushButton);
    EXPECT_EQ(Control(kIpAddressDialog, 1044).controlClass, ControlClass::IpAddress);
    EXPECT_STREQ(WindowClassName(ControlClass::IpAddress), "SysIPAddress32");
    EXPECT_STREQ(WindowClassName(ControlClass::Progress), "msctls_progress32");
}

}  // namespace
}  // namespace zenthar::resources
