// Template facts that are easy to get wrong when the tables are typed in.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "resources/ControlNames.h"
#include "resources/DialogTemplates.h"
#include "resources/ResourceIds.h"
#include "resources/StringTable.h"
#include "resources/UninstallerTemplates.h"

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
    EXPECT_STREQ(Control(kUsbSearchDialog, search_ids::kWaitText).text, "Please wait a minite ......");
    EXPECT_STREQ(FindDialogTemplate(kAboutDialog)->fontName, "MS San Serif");
    EXPECT_STREQ(FindDialogTemplate(kMainDialog)->fontName, "MS Sans Serif");
    EXPECT_STREQ(Control(kUsbWarningDialog, warning_ids::kClickStep).text, "3. Click  \"OK\"  button.");
    EXPECT_STREQ(Control(kMainDialog, main_ids::kModelNameLabel).text, "Model Name     : ");
    EXPECT_STREQ(Control(kInterfaceDialog, interface_ids::kProcessorLabel).text, "Processor  : ");
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
        EXPECT_GE(control.id, interface_ids::kFirstRadio);
        EXPECT_LE(control.id, interface_ids::kLastRadio);
        const bool family = control.id >= interface_ids::kWindowsXpRadio;
        EXPECT_EQ(family, !(control.style & kWsVisible)) << control.id;
        if (family) {
            EXPECT_GT(control.y, dialog.cy) << control.id;
        }
    }
    EXPECT_EQ(radios, 13);
    EXPECT_TRUE(Control(kInterfaceDialog, interface_ids::kWiFiRadio).style & kWsGroup);
    EXPECT_TRUE(Control(kInterfaceDialog, interface_ids::kEthernetRadio).style & kWsTabStop);
}

TEST(Templates, CombosSortOnlyThePortListAndTheProcessorIsDisabled)
{
    EXPECT_TRUE(Control(kInterfaceDialog, interface_ids::kPortCombo).style & kCbsSort);
    EXPECT_FALSE(Control(kInterfaceDialog, interface_ids::kCodePageCombo).style & kCbsSort);
    EXPECT_TRUE(Control(kInterfaceDialog, interface_ids::kProcessorCombo).style & kWsDisabled);
    for (int id : {interface_ids::kCodePageCombo, interface_ids::kPortCombo, interface_ids::kProcessorCombo})
        EXPECT_EQ(Control(kInterfaceDialog, id).style & 0x3u, kCbsDropDownList);
}

TEST(Templates, ModelListIsAnOwnerDrawnCheckListAndTheCopiesBoxIsCentred)
{
    const StyleBits list = Control(kMainDialog, main_ids::kModelList).style;
    for (StyleBits bit :
         {kLbsOwnerDrawFixed, kLbsHasStrings, kLbsNotify, kLbsNoIntegralHeight, kWsVScroll, kWsBorder, kWsTabStop}) {
        EXPECT_TRUE(list & bit) << std::hex << bit;
    }
    EXPECT_FALSE(list & kLbsSort);
    const StyleBits edit = Control(kMainDialog, main_ids::kCopiesEdit).style;
    EXPECT_TRUE(edit & kEsCenter);
    EXPECT_TRUE(edit & kEsAutoHScroll);
}

TEST(Templates, FramesAndDefaultButtons)
{
    EXPECT_TRUE(FindDialogTemplate(kMainDialog)->style & kWsSysMenu);
    EXPECT_TRUE(FindDialogTemplate(kMainDialog)->exStyle & kWsExAppWindow);
    for (int id :
         {kInterfaceDialog, kInstallCompleteDialog, kDefaultPrinterDialog, kUsbWarningDialog, kIpAddressDialog}) {
        EXPECT_FALSE(FindDialogTemplate(id)->style & kWsSysMenu) << id;
        EXPECT_TRUE(FindDialogTemplate(id)->exStyle & kWsExToolWindow) << id;
    }
    const DialogTemplate& search = *FindDialogTemplate(kUsbSearchDialog);
    EXPECT_TRUE(search.style & kDsCenter);
    EXPECT_TRUE(search.style & kDsSysModal);
    EXPECT_EQ(Control(kInterfaceDialog, interface_ids::kOk).style & kBsTypeMask, kBsDefPushButton);
    EXPECT_EQ(Control(kInterfaceDialog, interface_ids::kExit).style & kBsTypeMask, kBsDefPushButton);
    EXPECT_EQ(Control(kMainDialog, main_ids::kInstallButton).style & kBsTypeMask, kBsPushButton);
    EXPECT_EQ(Control(kIpAddressDialog, address_ids::kAddressField).controlClass, ControlClass::IpAddress);
    EXPECT_STREQ(WindowClassName(ControlClass::IpAddress), "SysIPAddress32");
    EXPECT_STREQ(WindowClassName(ControlClass::Progress), "msctls_progress32");
}

// The names the end-to-end scenarios use: each addressed control of a template has exactly one,
// each name is "dialog.control" with one prefix per dialog, and names a control of that dialog.
TEST(Templates, EveryAddressedControlHasOneNameAndEveryNameItsControl)
{
    std::set<std::string> names;
    std::map<std::string, int> dialogOfPrefix;
    for (const ControlName& entry : AllControlNames()) {
        const std::string name(entry.name);
        EXPECT_TRUE(names.insert(name).second) << name;
        const std::size_t dot = name.find('.');
        ASSERT_NE(dot, std::string::npos) << name;
        EXPECT_GT(dot, 0u) << name;
        EXPECT_LT(dot + 1, name.size()) << name;
        const auto [prefix, added] = dialogOfPrefix.emplace(name.substr(0, dot), entry.dialog);
        EXPECT_EQ(prefix->second, entry.dialog) << name << ": the prefix names another dialog";
        EXPECT_EQ(DialogNameOf(entry.dialog), prefix->first) << name << ": the transcripts call its dialog otherwise";
        const DialogTemplate* dialog = FindDialogTemplate(entry.dialog);
        ASSERT_NE(dialog, nullptr) << name;
        EXPECT_NE(dialog->FindControl(entry.id), nullptr) << name << " is no control of dialog " << entry.dialog;
        const ControlName* found = FindControlName(name);
        ASSERT_NE(found, nullptr) << name;
        EXPECT_EQ(found->id, entry.id) << name;
    }
    std::vector<DialogTemplate> everyDialog(AllDialogTemplates().begin(), AllDialogTemplates().end());
    everyDialog.insert(everyDialog.end(), UninstallerDialogTemplates().begin(), UninstallerDialogTemplates().end());
    for (const DialogTemplate& dialog : everyDialog) {
        for (const ControlTemplate& control : dialog.controls) {
            if (control.id == kNoControlId) continue;
            EXPECT_FALSE(ControlNameOf(dialog.id, control.id).empty())
                << dialog.id << "/" << control.id << " has no name";
        }
    }
    EXPECT_EQ(FindControlName("main.nothing"), nullptr);
    EXPECT_EQ(FindControlName("1000"), nullptr);
}

}  // namespace
}  // namespace zenthar::resources
