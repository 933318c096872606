// The framework contract: what every backend must do the same way. Runs natively against
// the headless backend and under Wine against the real windows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "resources/DefaultPrinterDialogIds.h"
#include "resources/InterfaceDialogIds.h"
#include "resources/IpAddressDialogIds.h"
#include "resources/MainDialogIds.h"
#include "resources/ResourceIds.h"
#include "tests/ui/UiDriver.h"
#include "ui/Controls.h"
#include "ui/Dialog.h"
#include "ui/Ui.h"

namespace zenthar::ui::contract {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
namespace ids = resources;
namespace address_ids = resources::address_ids;
namespace default_ids = resources::default_ids;
namespace interface_ids = resources::interface_ids;
namespace main_ids = resources::main_ids;

class DialogContract : public ::testing::Test {
protected:
    std::unique_ptr<Driver> driver = MakeDriver();
};

// ---- Edit boxes: data exchange and nested change notifications ----

class CopiesDialog : public Dialog {
public:
    CopiesDialog() : Dialog(ids::kMainDialog) {}
    std::string copiesText = "1";
    std::vector<std::string> log;
    Edit copies;
    CheckListBox list;
    ProgressBar progress;

protected:
    void DoDataExchange(DataExchange& dx) override
    {
        dx.Control(main_ids::kCopiesEdit, copies);
        dx.Control(main_ids::kModelList, list);
        dx.Control(main_ids::kProgressBar, progress);
        dx.Text(main_ids::kCopiesEdit, copiesText);
    }
    std::span<const MessageEntry> MessageMap() const override
    {
        static const MessageEntry kMessages[] = {
            OnEditChange(main_ids::kCopiesEdit, &CopiesDialog::OnCopiesChanged),
            OnClicked(main_ids::kExitButton, &CopiesDialog::OnExit),
        };
        return kMessages;
    }

private:
    void OnCopiesChanged()
    {
        const std::string text = copies.GetText();
        log.push_back("enter " + text);
        if (std::atoi(text.c_str()) > 200) copies.SetText("200");
        log.push_back("leave " + text);
    }
    void OnExit() { EndDialog(12); }
};

TEST_F(DialogContract, SettingEditTextRaisesTheChangeAgainNestedButNotDuringInitialisation)
{
    CopiesDialog dialog;
    std::string shownAtStart;
    driver->RunModal(dialog, [&](User& user) {
        shownAtStart = dialog.copies.GetText();
        user.Type(main_ids::kCopiesEdit, "250");
        user.PressEscape();
    });
    EXPECT_EQ(shownAtStart, "1");
    EXPECT_THAT(dialog.log, ElementsAre("enter 2", "leave 2", "enter 25", "leave 25", "enter 250", "enter 200",
                                        "leave 200", "leave 250"));
    // Escape does not exchange data: the member keeps what it had.
    EXPECT_EQ(dialog.copiesText, "1");
}

TEST_F(DialogContract, EnterWithoutDefaultButtonIsTheStandardOkWhichReadsTheControls)
{
    CopiesDialog dialog;
    const int result = driver->RunModal(dialog, [&](User& user) {
        user.Type(main_ids::kCopiesEdit, "12");
        user.Focus(main_ids::kModelList);
        user.PressEnter();
    });
    EXPECT_EQ(result, kIdOk);
    EXPECT_EQ(dialog.copiesText, "12");
}

TEST_F(DialogContract, EnterOnAFocusedPushButtonClicksIt)
{
    CopiesDialog dialog;
    int defaultButton = -1;
    const int result = driver->RunModal(dialog, [&](User& user) {
        user.Focus(main_ids::kExitButton);
        defaultButton = user.DefaultButton();
        user.PressEnter();
    });
    EXPECT_EQ(defaultButton, main_ids::kExitButton);
    EXPECT_EQ(result, 12);
}

TEST_F(DialogContract, EscapeCancels)
{
    CopiesDialog dialog;
    EXPECT_EQ(driver->RunModal(dialog, [](User& user) { user.PressEscape(); }), kIdCancel);
}

// ---- Check-list box ----

TEST_F(DialogContract, CheckListRowsHaveThreeStatesAndTheUserTogglesThem)
{
    CopiesDialog dialog;
    std::vector<int> afterClicks;
    std::vector<int> selected;
    int afterSpace = -1;
    int missingRow = -1;
    std::vector<std::string> rowsAfterDelete;
    std::vector<int> checksAfterDelete;
    driver->RunModal(dialog, [&](User& user) {
        for (const char* name : {"NORVA MTR333", "NORVA MTR444", "NORVA KSV100-III"}) dialog.list.AddString(name);
        dialog.list.SetCheck(0, 1);
        dialog.list.SetCheck(1, 2);
        missingRow = dialog.list.GetCheck(7);
        for (int row = 0; row < 3; ++row) {
            user.ToggleRow(main_ids::kModelList, row);
            afterClicks.push_back(dialog.list.GetCheck(row));
            selected.push_back(dialog.list.GetCurSel());
        }
        user.PressSpace();
        afterSpace = dialog.list.GetCheck(2);
        dialog.list.SetCheck(0, 2);
        dialog.list.DeleteString(1);
        for (int row = 0; row < dialog.list.GetCount(); ++row) {
            rowsAfterDelete.push_back(dialog.list.GetText(row));
            checksAfterDelete.push_back(dialog.list.GetCheck(row));
        }
        user.PressEscape();
    });
    EXPECT_EQ(missingRow, 0);
    // checked -> unchecked, indeterminate -> unchecked, unchecked -> checked
    EXPECT_THAT(afterClicks, ElementsAre(0, 0, 1));
    EXPECT_THAT(selected, ElementsAre(0, 1, 2));
    EXPECT_EQ(afterSpace, 0);
    EXPECT_THAT(rowsAfterDelete, ElementsAre("NORVA MTR333", "NORVA KSV100-III"));
    EXPECT_THAT(checksAfterDelete, ElementsAre(2, 0));
}

class SelectionDialog : public CopiesDialog {
public:
    std::vector<int> changes;
    // The check of the selected row as the handler saw it.
    std::vector<int> checksSeen;

protected:
    std::span<const MessageEntry> MessageMap() const override
    {
        static const MessageEntry kMessages[] = {OnListSelChange(main_ids::kModelList, &SelectionDialog::OnSelChange)};
        return kMessages;
    }

private:
    void OnSelChange()
    {
        changes.push_back(list.GetCurSel());
        checksSeen.push_back(list.GetCheck(list.GetCurSel()));
    }
};

TEST_F(DialogContract, ListReportsEverySelectionByTheUserButNotByTheProgram)
{
    SelectionDialog dialog;
    driver->RunModal(dialog, [&](User& user) {
        dialog.list.AddString("a");
        dialog.list.AddString("b");
        dialog.list.SetCurSel(1);
        user.SelectRow(main_ids::kModelList, 0);
        user.ToggleRow(main_ids::kModelList, 1);
        user.PressEscape();
    });
    EXPECT_THAT(dialog.changes, ElementsAre(0, 1));
}

// Space toggles the selected row's box and is reported as a click on the box is, once the
// row shows its new state.
TEST_F(DialogContract, SpaceOnARowIsReportedLikeAClickOnItsBox)
{
    SelectionDialog dialog;
    driver->RunModal(dialog, [&](User& user) {
        dialog.list.AddString("a");
        dialog.list.AddString("b");
        user.Focus(main_ids::kModelList);
        user.SelectRow(main_ids::kModelList, 1);
        user.PressSpace();
        user.PressSpace();
        user.PressEscape();
    });
    EXPECT_THAT(dialog.changes, ElementsAre(1, 1, 1));
    EXPECT_THAT(dialog.checksSeen, ElementsAre(0, 1, 0));
}

// ---- Progress bar ----

TEST_F(DialogContract, ProgressBarStepsAndKeepsItsPositionInRange)
{
    CopiesDialog dialog;
    std::vector<int> positions;
    driver->RunModal(dialog, [&](User& user) {
        dialog.progress.SetRange(0, 100);
        dialog.progress.SetStep(2);
        dialog.progress.SetPos(0);
        for (int i = 0; i < 3; ++i) dialog.progress.StepIt();
        positions.push_back(dialog.progress.GetPos());
        dialog.progress.SetPos(150);
        positions.push_back(dialog.progress.GetPos());
        dialog.progress.SetPos(-5);
        positions.push_back(dialog.progress.GetPos());
        user.PressEscape();
    });
    EXPECT_THAT(positions, ElementsAre(6, 100, 0));
}

// ---- Interface dialog: radio ranges, combos, the default push button ----

class PortsDialog : public Dialog {
public:
    PortsDialog() : Dialog(ids::kInterfaceDialog) {}
    ComboBox codePages;
    ComboBox ports;
    ComboBox processors;
    std::vector<int> clicks;
    std::vector<std::string> portChanges;

protected:
    void DoDataExchange(DataExchange& dx) override
    {
        dx.Control(interface_ids::kCodePageCombo, codePages);
        dx.Control(interface_ids::kPortCombo, ports);
        dx.Control(interface_ids::kProcessorCombo, processors);
    }
    std::span<const MessageEntry> MessageMap() const override
    {
        static const MessageEntry kMessages[] = {
            OnClicked(interface_ids::kEthernetRadio, &PortsDialog::OnEthernet),
            OnClicked(interface_ids::kWindowsXpRadio, &PortsDialog::OnHiddenRadio),
            OnComboSelChange(interface_ids::kPortCombo, &PortsDialog::OnPort),
        };
        return kMessages;
    }

private:
    void OnEthernet()
    {
        clicks.push_back(interface_ids::kEthernetRadio);
        CheckRadioButton(interface_ids::kFirstRadio, interface_ids::kLastRadio, interface_ids::kEthernetRadio);
    }
    void OnHiddenRadio() { clicks.push_back(interface_ids::kWindowsXpRadio); }
    void OnPort() { portChanges.push_back(ports.GetLBText(ports.GetCurSel())); }
};

TEST_F(DialogContract, RadioRangeClearsEveryOtherRadioOfTheRangeHiddenOnesIncluded)
{
    PortsDialog dialog;
    std::vector<int> checkedAfterStart;
    std::vector<int> checkedAfterHidden;
    std::vector<int> checkedAfterClick;
    bool hiddenVisible = true;
    const int ids[] = {interface_ids::kSerialRadio,  interface_ids::kBluetoothRadio, interface_ids::kParallelRadio,
                       interface_ids::kUsbRadio,     interface_ids::kEthernetRadio,  interface_ids::kWiFiRadio,
                       interface_ids::kWindows8Radio};
    driver->RunModal(dialog, [&](User& user) {
        dialog.Window()->SetCheck(interface_ids::kWindows8Radio, 1);
        dialog.CheckRadioButton(interface_ids::kFirstRadio, interface_ids::kLastRadio, interface_ids::kUsbRadio);
        for (int id : ids) checkedAfterStart.push_back(dialog.Window()->GetCheck(id));
        // A checked automatic radio clears the visible radios of its group, and the dialog's
        // last group goes on with its first controls: the interface radios.
        dialog.Window()->SetCheck(interface_ids::kWindows8Radio, 1);
        for (int id : ids) checkedAfterHidden.push_back(dialog.Window()->GetCheck(id));
        user.Click(interface_ids::kWindowsXpRadio);  // hidden: no mouse reaches it
        user.Click(interface_ids::kEthernetRadio);
        for (int id : ids) checkedAfterClick.push_back(dialog.Window()->GetCheck(id));
        hiddenVisible = dialog.Window()->IsItemVisible(interface_ids::kWindows8Radio);
        user.PressEscape();
    });
    EXPECT_THAT(checkedAfterStart, ElementsAre(0, 0, 0, 1, 0, 0, 0));
    EXPECT_THAT(checkedAfterHidden, ElementsAre(0, 0, 0, 0, 0, 0, 1));
    EXPECT_THAT(checkedAfterClick, ElementsAre(0, 0, 0, 0, 1, 0, 0));
    EXPECT_THAT(dialog.clicks, ElementsAre(interface_ids::kEthernetRadio));
    EXPECT_FALSE(hiddenVisible);
}

TEST_F(DialogContract, SortedComboOrdersAsWindowsAndUnsortedKeepsInsertionOrder)
{
    PortsDialog dialog;
    std::vector<std::string> ports;
    std::vector<std::string> codePages;
    std::vector<int> insertedAt;
    std::string selectedText;
    driver->RunModal(dialog, [&](User& user) {
        for (const char* name : {"LPT1:", "COM2:", "com3:", "COM10:", "USB"})
            insertedAt.push_back(dialog.ports.AddString(name));
        for (const char* label : {"US (ANSI) (1252)", "Greek   (737)", "Arabic  (864)"})
            dialog.codePages.AddString(label);
        for (int i = 0; i < dialog.ports.GetCount(); ++i) ports.push_back(dialog.ports.GetLBText(i));
        for (int i = 0; i < dialog.codePages.GetCount(); ++i) codePages.push_back(dialog.codePages.GetLBText(i));
        dialog.ports.SetCurSel(0);
        selectedText = dialog.GetItemText(interface_ids::kPortCombo);
        user.SelectCombo(interface_ids::kPortCombo, 2);
        dialog.ports.ResetContent();
        user.PressEscape();
    });
    EXPECT_THAT(insertedAt, ElementsAre(0, 0, 1, 0, 4));
    EXPECT_THAT(ports, ElementsAre("COM10:", "COM2:", "com3:", "LPT1:", "USB"));
    EXPECT_THAT(codePages, ElementsAre("US (ANSI) (1252)", "Greek   (737)", "Arabic  (864)"));
    EXPECT_EQ(selectedText, "COM10:");
    EXPECT_THAT(dialog.portChanges, ElementsAre("com3:"));
}

TEST_F(DialogContract, DisabledControlsIgnoreTheUser)
{
    PortsDialog dialog;
    std::vector<std::string> processorChanges;
    int selection = 0;
    bool enabled = true;
    driver->RunModal(dialog, [&](User& user) {
        dialog.processors.AddString("32-Bit OS");
        dialog.processors.AddString("64-Bit OS");
        dialog.processors.SetCurSel(1);
        user.SelectCombo(interface_ids::kProcessorCombo, 0);  // disabled in the template
        selection = dialog.processors.GetCurSel();
        dialog.EnableItem(interface_ids::kEthernetRadio, false);
        enabled = dialog.Window()->IsItemEnabled(interface_ids::kEthernetRadio);
        user.Click(interface_ids::kEthernetRadio);
        user.PressEscape();
    });
    EXPECT_EQ(selection, 1);
    EXPECT_FALSE(enabled);
    EXPECT_THAT(dialog.clicks, IsEmpty());
}

TEST_F(DialogContract, DefaultPushButtonFollowsTheKeyboardFocusAndStaysWhenItMovesOn)
{
    PortsDialog dialog;
    int whileOnExit = 0;
    int whileOnOk = 0;
    int whileOnCombo = 0;
    const int result = driver->RunModal(dialog, [&](User& user) {
        user.Focus(interface_ids::kExit);
        whileOnExit = user.DefaultButton();
        user.Focus(interface_ids::kOk);
        whileOnOk = user.DefaultButton();
        user.Focus(interface_ids::kExit);
        user.Focus(interface_ids::kCodePageCombo);
        whileOnCombo = user.DefaultButton();
        user.PressEnter();
    });
    EXPECT_EQ(whileOnExit, interface_ids::kExit);
    EXPECT_EQ(whileOnOk, interface_ids::kOk);
    EXPECT_EQ(whileOnCombo, interface_ids::kExit);
    EXPECT_EQ(result, kIdCancel);
}

TEST_F(DialogContract, ClickingAPushButtonDoesNotMakeItTheDefault)
{
    CopiesDialog dialog;
    const int result = driver->RunModal(dialog, [&](User& user) {
        dialog.EnableItem(main_ids::kInstallButton, true);
        user.Click(main_ids::kInstallButton);  // no handler: only the focus moves
        user.PressEnter();
    });
    EXPECT_EQ(result, kIdOk);
}

TEST_F(DialogContract, EnterOnACheckBoxIsTheStandardOk)
{
    Dialog dialog(ids::kDefaultPrinterDialog);
    const int result = driver->RunModal(dialog, [&](User& user) {
        user.Focus(default_ids::kSetDefaultCheck);
        user.PressEnter();
    });
    EXPECT_EQ(result, kIdOk);
}

TEST_F(DialogContract, EnterOnTheFocusedCancelButtonCancels)
{
    PortsDialog dialog;
    const int result = driver->RunModal(dialog, [&](User& user) {
        user.Focus(interface_ids::kExit);
        user.PressEnter();
    });
    EXPECT_EQ(result, kIdCancel);
}

// ---- Enabling, focus and the first control ----

class DefaultPrinterDialog : public Dialog {
public:
    DefaultPrinterDialog() : Dialog(ids::kDefaultPrinterDialog) {}
    int firstFocus = 0;

protected:
    bool OnInitDialog() override { return Dialog::OnInitDialog(); }
};

TEST_F(DialogContract, FocusStartsOnTheFirstTabStopAndADisabledButtonCannotBeClicked)
{
    DefaultPrinterDialog dialog;
    int firstFocus = 0;
    bool endedWhileDisabled = true;
    const int result = driver->RunModal(dialog, [&](User& user) {
        firstFocus = dialog.GetFocusId();
        dialog.EnableItem(kIdOk, false);
        user.Click(kIdOk);
        endedWhileDisabled = !dialog.HasWindow();
        dialog.EnableItem(kIdOk, true);
        user.Click(kIdOk);
    });
    EXPECT_EQ(firstFocus, default_ids::kSetDefaultCheck);
    EXPECT_FALSE(endedWhileDisabled);
    EXPECT_EQ(result, kIdOk);
}

TEST_F(DialogContract, CheckBoxFollowsClicks)
{
    DefaultPrinterDialog dialog;
    std::vector<int> states;
    driver->RunModal(dialog, [&](User& user) {
        dialog.Window()->SetCheck(default_ids::kSetDefaultCheck, 1);
        states.push_back(dialog.Window()->GetCheck(default_ids::kSetDefaultCheck));
        user.Click(default_ids::kSetDefaultCheck);
        states.push_back(dialog.Window()->GetCheck(default_ids::kSetDefaultCheck));
        user.Focus(default_ids::kSetDefaultCheck);
        user.PressSpace();
        states.push_back(dialog.Window()->GetCheck(default_ids::kSetDefaultCheck));
        user.PressEscape();
    });
    EXPECT_THAT(states, ElementsAre(1, 0, 1));
}

// ---- IP address field ----

class AddressDialog : public Dialog {
public:
    AddressDialog() : Dialog(ids::kIpAddressDialog) {}
    IpAddressField address;

protected:
    void DoDataExchange(DataExchange& dx) override { dx.Control(address_ids::kAddressField, address); }
};

TEST_F(DialogContract, IpAddressFieldsReadBlankAsZero)
{
    AddressDialog dialog;
    std::uint8_t f[4] = {};
    int filledAfterSet = 0;
    std::uint32_t afterUser = 0;
    int filledAfterUser = 0;
    const int result = driver->RunModal(dialog, [&](User& user) {
        dialog.address.SetAddress(0xC0A800C0u);
        filledAfterSet = dialog.address.GetAddress(f[0], f[1], f[2], f[3]);
        user.SetIpFields(address_ids::kAddressField, {"10", "", "2", ""});
        filledAfterUser = dialog.address.GetAddress(afterUser);
        user.PressEnter();  // the template's default push button is OK
    });
    EXPECT_EQ(filledAfterSet, 4);
    EXPECT_THAT(std::vector<int>(f, f + 4), ElementsAre(192, 168, 0, 192));
    EXPECT_EQ(filledAfterUser, 2);
    EXPECT_EQ(afterUser, 0x0A000200u);
    EXPECT_EQ(result, kIdOk);
}

// ---- Message boxes and the system menu ----

class MessagesDialog : public Dialog {
public:
    MessagesDialog() : Dialog(ids::kMainDialog) {}
    bool appended = false;
    std::vector<unsigned> commands;

protected:
    bool OnInitDialog() override
    {
        Dialog::OnInitDialog();
        appended = AppendSystemMenu(16, "Zenthar Information(&A)...");
        return true;
    }
    bool OnSysCommand(unsigned id) override
    {
        commands.push_back(id);
        if ((id & 0xFFF0u) != 16) return false;
        MessageBox("about", "About");
        return true;
    }
    std::span<const MessageEntry> MessageMap() const override
    {
        static const MessageEntry kMessages[] = {OnClicked(main_ids::kInstallButton, &MessagesDialog::OnInstall)};
        return kMessages;
    }

private:
    void OnInstall()
    {
        MessageBox("Install Canceled");
        AppMessageBox("Fail to Write PortNumber GetLastError=5");
        ShowMessageBox(nullptr, "Fail to Read USB Port Number", "RegQueryValueEx", MessageIcon::None);
    }
};

// Every box, with or without a named owner, belongs to the dialog in front, which takes no
// input while the box is up.

TEST_F(DialogContract, MessageBoxesShowTextCaptionIconAndOwner)
{
    MessagesDialog dialog;
    std::string title;
    driver->RunModal(dialog, [&](User& user) {
        title = AppTitle();
        user.Click(main_ids::kInstallButton);
        user.PressEscape();
    });
    ASSERT_FALSE(title.empty());
    const auto seen = driver->MessageBoxes();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].text, "Install Canceled");
    EXPECT_EQ(seen[0].caption, title);
    EXPECT_FALSE(seen[0].exclamation);
    EXPECT_EQ(seen[0].ownerTemplateId, ids::kMainDialog);
    EXPECT_EQ(seen[1].text, "Fail to Write PortNumber GetLastError=5");
    EXPECT_EQ(seen[1].caption, title);
    EXPECT_TRUE(seen[1].exclamation);
    EXPECT_EQ(seen[1].ownerTemplateId, ids::kMainDialog);
    EXPECT_EQ(seen[2].caption, "RegQueryValueEx");
    EXPECT_EQ(seen[2].ownerTemplateId, ids::kMainDialog);
    for (const SeenMessageBox& box : seen) EXPECT_FALSE(box.ownerEnabled) << box.text;
}

TEST_F(DialogContract, SystemMenuItemReachesTheDialogAndOtherCommandsGetTheDefault)
{
    MessagesDialog dialog;
    const int result = driver->RunModal(dialog, [&](User& user) {
        user.SysCommand(16);
        user.SysCommand(kScClose);
    });
    EXPECT_TRUE(dialog.appended);
    EXPECT_THAT(dialog.commands, ElementsAre(16u, kScClose));
    ASSERT_EQ(driver->MessageBoxes().size(), 1u);
    EXPECT_EQ(driver->MessageBoxes()[0].caption, "About");
    EXPECT_EQ(result, kIdCancel);
}

TEST_F(DialogContract, DialogWithoutSystemMenuTakesNoMenuItem)
{
    PortsDialog dialog;
    bool appended = true;
    driver->RunModal(dialog, [&](User& user) {
        appended = dialog.AppendSystemMenu(16, "x");
        user.PressEscape();
    });
    EXPECT_FALSE(appended);
}

// ---- Extension points for custom controls ----

class OwnerDrawHook : public PushButton, public ControlHook {
public:
    struct FocusStep {
        unsigned message;
        bool wParam;
        bool enabled;
        bool hasFocus;
        friend bool operator==(const FocusStep&, const FocusStep&) = default;
    };
    std::vector<unsigned> messages;
    std::vector<FocusStep> focusSteps;
    std::vector<std::uint32_t> styleTypes;
    int draws = 0;
    int detaches = 0;
    Rect lastItem;
    std::uint32_t styleAfterAttach = 0;

    void OnAttach(ControlWindow& window) override
    {
        window.SetStyle((window.Style() & ~0xFu) | 0xBu, true);
        styleAfterAttach = window.Style();
    }
    bool OnControlMessage(ControlWindow& window, ControlMessage& message, std::intptr_t& result) override
    {
        if (message.message == kWmLButtonDown || message.message == kBmSetStyle || message.message == kWmEnable)
            messages.push_back(message.message);
        if (message.message == kWmKillFocus || message.message == kWmEnable) {
            focusSteps.push_back({message.message, message.wParam != 0, window.IsEnabled(), window.HasFocus()});
        }
        if (message.message == kBmSetStyle) {
            styleTypes.push_back(static_cast<std::uint32_t>(message.wParam & 0xFu));
            isDefault = (message.wParam & 0xFu) == 1;
            message.wParam = (message.wParam & ~0xFu) | 0xBu;  // stays owner-drawn
        }
        if (message.message == kWmGetDlgCode) {
            result = window.CallDefault(message) | (isDefault ? kDlgcDefPushButton : kDlgcUndefPushButton);
            return true;
        }
        return false;
    }
    void OnDetach() override { ++detaches; }
    void OnDrawItem(ControlWindow&, DrawSurface& surface, const DrawItemInfo& info) override
    {
        ++draws;
        lastItem = info.item;
        surface.FillRect(info.item, GetSysColor(kColorBtnFace));
    }

private:
    bool isDefault = false;
};

class HookDialog : public Dialog {
public:
    HookDialog() : Dialog(ids::kMainDialog) {}
    OwnerDrawHook install;
    int clicks = 0;
    int focusAfterDisable = 0;

protected:
    void DoDataExchange(DataExchange& dx) override { dx.Control(main_ids::kInstallButton, install); }
    std::span<const MessageEntry> MessageMap() const override
    {
        static const MessageEntry kMessages[] = {OnClicked(main_ids::kInstallButton, &HookDialog::OnInstall)};
        return kMessages;
    }

private:
    void OnInstall() { ++clicks; }
};

TEST_F(DialogContract, AttachedControlSeesItsMessagesAndDrawsItself)
{
    HookDialog dialog;
    int defaultButton = 0;
    driver->RunModal(dialog, [&](User& user) {
        user.Redraw(main_ids::kInstallButton);
        user.Focus(main_ids::kInstallButton);
        defaultButton = user.DefaultButton();
        user.Click(main_ids::kInstallButton);
        dialog.EnableItem(main_ids::kInstallButton, false);
        dialog.EnableItem(main_ids::kInstallButton, true);
        user.PressEscape();
    });
    EXPECT_EQ(dialog.install.styleAfterAttach & 0xFu, 0xBu);
    EXPECT_EQ(dialog.clicks, 1);
    EXPECT_GE(dialog.install.draws, 1);
    EXPECT_GT(dialog.install.lastItem.Width(), 0);
    // The dialog manager asks the button whether it is a push button, then restyles it.
    EXPECT_EQ(defaultButton, main_ids::kInstallButton);
    ASSERT_FALSE(dialog.install.styleTypes.empty());
    EXPECT_EQ(dialog.install.styleTypes.front(), 1u);
    EXPECT_THAT(std::count(dialog.install.messages.begin(), dialog.install.messages.end(), kWmLButtonDown), 1);
    EXPECT_THAT(std::count(dialog.install.messages.begin(), dialog.install.messages.end(), kWmEnable), 2);
    // The control's window went with the dialog: the hook hears of it once.
    EXPECT_EQ(dialog.install.detaches, 1);
}

// What a control being disabled hears about the focus: with the focus, it loses it to nowhere
// (already disabled) and only then hears that it was disabled; without it, only the latter.
TEST_F(DialogContract, ADisabledControlLosesTheFocusToNowhereBeforeItIsTold)
{
    HookDialog dialog;
    int focusWhileEnabled = 0, focusAfterDisable = -1;
    std::vector<OwnerDrawHook::FocusStep> withFocus, withoutFocus;
    driver->RunModal(dialog, [&](User& user) {
        user.Focus(main_ids::kInstallButton);
        focusWhileEnabled = dialog.GetFocusId();
        dialog.install.focusSteps.clear();
        dialog.EnableItem(main_ids::kInstallButton, false);
        focusAfterDisable = dialog.GetFocusId();
        withFocus = dialog.install.focusSteps;
        dialog.EnableItem(main_ids::kInstallButton, true);
        user.Focus(main_ids::kExitButton);
        dialog.install.focusSteps.clear();
        dialog.EnableItem(main_ids::kInstallButton, false);
        withoutFocus = dialog.install.focusSteps;
        user.PressEscape();
    });
    using Step = OwnerDrawHook::FocusStep;
    EXPECT_EQ(focusWhileEnabled, main_ids::kInstallButton);
    EXPECT_EQ(focusAfterDisable, 0);
    EXPECT_THAT(withFocus, ElementsAre(Step{kWmKillFocus, false, false, false}, Step{kWmEnable, false, false, false}));
    EXPECT_THAT(withoutFocus, ElementsAre(Step{kWmEnable, false, false, false}));
}

class RecordingPanel : public PanelHook {
public:
    std::vector<Size> sizes;
    int paints = 0;
    int destroyed = 0;
    std::uint32_t style = 0;
    void OnPaint(PanelWindow& window, DrawSurface& surface) override
    {
        ++paints;
        style = window.Style();
        surface.FillRect(window.ClientRect(), GetSysColor(kColorBtnFace));
    }
    void OnSize(PanelWindow&, int width, int height) override { sizes.push_back({width, height}); }
    void OnPanelDestroyed() override { ++destroyed; }
};

class PanelDialog : public Dialog {
public:
    PanelDialog() : Dialog(ids::kInterfaceDialog) {}
    RecordingPanel panel;
    PanelWindow* first = nullptr;
    PanelWindow* second = nullptr;
    PanelWindow* missing = nullptr;
};

TEST_F(DialogContract, PanelTakesThePlaceOfAStaticAndCanBeMadeAgain)
{
    PanelDialog dialog;
    int firstId = 0;
    int destroyedWhileOpen = 0;
    Rect firstClient;
    driver->RunModal(dialog, [&](User& user) {
        dialog.missing = dialog.ReplaceStatic(4711, dialog.panel);
        dialog.first = dialog.ReplaceStatic(interface_ids::kPictureFrame, dialog.panel);
        if (dialog.first) {
            firstId = dialog.first->Id();
            firstClient = dialog.first->ClientRect();
        }
        dialog.second = dialog.ReplaceStatic(interface_ids::kPictureFrame, dialog.panel);
        destroyedWhileOpen = dialog.panel.destroyed;
        user.Redraw(interface_ids::kPictureFrame);
        user.PressEscape();
    });
    EXPECT_EQ(dialog.missing, nullptr);
    ASSERT_NE(dialog.second, nullptr);
    EXPECT_EQ(firstId, interface_ids::kPictureFrame);
    ASSERT_EQ(dialog.panel.sizes.size(), 2u);
    EXPECT_EQ(dialog.panel.sizes[0], dialog.panel.sizes[1]);
    EXPECT_EQ(dialog.panel.sizes[0], (Size{firstClient.Width(), firstClient.Height()}));
    EXPECT_GT(firstClient.Width(), 100);
    EXPECT_EQ(destroyedWhileOpen, 1);
    EXPECT_GE(dialog.panel.paints, 1);
    EXPECT_EQ(dialog.panel.style & 0x1Fu, 0x7u);  // the static's black-frame style came along
}

}  // namespace
}  // namespace zenthar::ui::contract
