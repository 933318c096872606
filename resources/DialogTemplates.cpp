#include "resources/DialogTemplates.h"

#include <initializer_list>

#include "resources/AboutDialogIds.h"
#include "resources/DefaultPrinterDialogIds.h"
#include "resources/InstallCompleteDialogIds.h"
#include "resources/InterfaceDialogIds.h"
#include "resources/IpAddressDialogIds.h"
#include "resources/MainDialogIds.h"
#include "resources/ResourceIds.h"
#include "resources/UninstallerTemplates.h"
#include "resources/UsbSearchDialogIds.h"
#include "resources/UsbWarningDialogIds.h"
#include "resources/Version.h"

namespace zenthar::resources {
namespace {

// Item builders with the default styles a resource compiler gives each statement.
constexpr StyleBits kItem = kWsChild | kWsVisible;

constexpr ControlTemplate Item(int id, ControlClass cls, const char* text, int x, int y, int cx, int cy,
                               StyleBits style, StyleBits exStyle = 0)
{
    return {id,
            cls,
            text,
            0,
            static_cast<std::int16_t>(x),
            static_cast<std::int16_t>(y),
            static_cast<std::int16_t>(cx),
            static_cast<std::int16_t>(cy),
            style,
            exStyle};
}

constexpr ControlTemplate LeftText(int id, const char* text, int x, int y, int cx, int cy)
{
    return Item(id, ControlClass::Static, text, x, y, cx, cy, kItem | kSsLeft | kWsGroup);
}

constexpr ControlTemplate RightText(int id, const char* text, int x, int y, int cx, int cy)
{
    return Item(id, ControlClass::Static, text, x, y, cx, cy, kItem | kSsRight | kWsGroup);
}

constexpr ControlTemplate CentredText(int id, const char* text, int x, int y, int cx, int cy)
{
    return Item(id, ControlClass::Static, text, x, y, cx, cy, kItem | kSsCenter | kWsGroup);
}

constexpr ControlTemplate GroupBox(int id, const char* text, int x, int y, int cx, int cy)
{
    return Item(id, ControlClass::Button, text, x, y, cx, cy, kItem | kBsGroupBox);
}

constexpr ControlTemplate PushButton(int id, const char* text, int x, int y, int cx, int cy)
{
    return Item(id, ControlClass::Button, text, x, y, cx, cy, kItem | kBsPushButton | kWsTabStop);
}

constexpr ControlTemplate DefPushButton(int id, const char* text, int x, int y, int cx, int cy)
{
    return Item(id, ControlClass::Button, text, x, y, cx, cy, kItem | kBsDefPushButton | kWsTabStop);
}

constexpr ControlTemplate AutoCheckBox(int id, const char* text, int x, int y, int cx, int cy)
{
    return Item(id, ControlClass::Button, text, x, y, cx, cy, kItem | kBsAutoCheckBox | kWsTabStop);
}

constexpr ControlTemplate AutoRadio(int id, const char* text, int x, int y, int cx, int cy, StyleBits extra = 0,
                                    bool visible = true)
{
    return Item(id, ControlClass::Button, text, x, y, cx, cy,
                kWsChild | (visible ? kWsVisible : 0) | kBsAutoRadioButton | extra);
}

constexpr ControlTemplate DropDownList(int id, int x, int y, int cx, int cy, StyleBits extra)
{
    return Item(id, ControlClass::ComboBox, "", x, y, cx, cy,
                kItem | kCbsDropDownList | kWsVScroll | kWsTabStop | extra);
}

// An icon static's size in dialog units; Windows sizes it to the icon anyway.
constexpr int kIconCells = 20;

constexpr ControlTemplate Icon(int id, int resource, int x, int y)
{
    ControlTemplate item = Item(id, ControlClass::Static, "", x, y, kIconCells, kIconCells, kItem | kSsIcon);
    item.imageResource = resource;
    return item;
}

constexpr StyleBits kModalFrame = kDsModalFrame | kDsSetFont | kWsPopup | kWsCaption;

// 100: the about box.
constexpr ControlTemplate kAboutControls[] = {
    Icon(kNoControlId, kAppIcon, 11, 17),
    Item(kNoControlId, ControlClass::Static, "Zenthar Version " ZENTHAR_VERSION_TEXT, 40, 15, 150, 8,
         kItem | kSsLeft | kSsNoPrefix | kWsGroup),
    Item(kNoControlId, ControlClass::Static, "Printer driver installer for NORVA Orbix printers", 40, 29, 150, 8,
         kItem | kSsLeft | kSsNoPrefix | kWsGroup),
    Item(about_ids::kOk, ControlClass::Button, "OK", 198, 7, 50, 43, kItem | kBsDefPushButton | kWsTabStop | kWsGroup),
};

// 102: the main dialog.
constexpr ControlTemplate kMainControls[] = {
    GroupBox(main_ids::kModelGroup, "Model Information", 16, 15, 248, 70),
    LeftText(main_ids::kModelNameLabel, "Model Name     : ", 24, 31, 69, 8),
    LeftText(main_ids::kModelName, "NORVA Orbix Printer", 98, 32, 143, 8),
    LeftText(main_ids::kInstallerVersionLabel, "Installer Version : ", 24, 49, 70, 8),
    LeftText(kNoControlId, ZENTHAR_VERSION_TEXT, 98, 50, 91, 8),
    LeftText(main_ids::kDriverVersionLabel, "Driver Version    : ", 24, 68, 68, 8),
    LeftText(kNoControlId, "4.64", 98, 68, 98, 8),
    Item(main_ids::kModelList, ControlClass::ListBox, "", 16, 96, 127, 74,
         kItem | kLbsOwnerDrawFixed | kLbsHasStrings | kLbsNotify | kLbsNoIntegralHeight | kWsVScroll | kWsBorder |
             kWsTabStop),
    GroupBox(main_ids::kCloneGroup, "Printer Driver Cloning Option", 145, 92, 119, 78),
    AutoCheckBox(main_ids::kCloneCheck, "Clone Printer Driver", 156, 109, 95, 11),
    LeftText(main_ids::kCopiesLabel, "Number of Printer Driver to install", 149, 131, 111, 8),
    Item(main_ids::kCopiesEdit, ControlClass::Edit, "", 156, 146, 37, 12,
         kItem | kEsCenter | kEsAutoHScroll | kWsBorder | kWsTabStop),
    LeftText(kNoControlId, "Copy [ 1 ~ 200 ]", 197, 148, 60, 8),
    LeftText(main_ids::kStatusLabel, "Progress Status : ", 16, 182, 60, 11),
    LeftText(main_ids::kStatusLine, "", 86, 182, 175, 8),
    Item(main_ids::kProgressBar, ControlClass::Progress, "", 15, 198, 249, 15, kItem),
    PushButton(main_ids::kInstallButton, "Installation(&I)", 15, 226, 101, 33),
    PushButton(main_ids::kExitButton, "Exit(&E)", 163, 226, 101, 33),
};

// 129: the interface dialog. The family radios lie below the visible area and are never shown.
constexpr ControlTemplate kInterfaceControls[] = {
    GroupBox(interface_ids::kInterfaceGroup, "Printer interface", 13, 11, 170, 138),
    AutoRadio(interface_ids::kSerialRadio, "Serial", 22, 25, 40, 11),
    AutoRadio(interface_ids::kBluetoothRadio, "Bluetooth", 22, 45, 43, 11),
    AutoRadio(interface_ids::kParallelRadio, "Parallel", 22, 65, 39, 11),
    AutoRadio(interface_ids::kUsbRadio, "USB", 22, 87, 35, 11),
    AutoRadio(interface_ids::kEthernetRadio, "Ethernet", 22, 107, 41, 11, kWsTabStop),
    AutoRadio(interface_ids::kWiFiRadio, "Wi-Fi", 22, 128, 33, 11, kWsGroup),
    Item(interface_ids::kPictureFrame, ControlClass::Static, "", 85, 27, 88, 110, kItem | kSsBlackFrame),
    RightText(interface_ids::kProcessorLabel, "Processor  : ", 16, 161, 42, 9),
    DropDownList(interface_ids::kProcessorCombo, 61, 158, 122, 45, kWsDisabled),
    RightText(interface_ids::kCodePageLabel, "Code Page : ", 16, 181, 42, 9),
    DropDownList(interface_ids::kCodePageCombo, 61, 178, 122, 113, 0),
    RightText(interface_ids::kPortLabel, "Printer Port : ", 17, 202, 41, 8),
    DropDownList(interface_ids::kPortCombo, 61, 199, 122, 113, kCbsSort),
    DefPushButton(interface_ids::kOk, "&OK", 14, 228, 70, 26),
    DefPushButton(interface_ids::kExit, "&Exit", 112, 228, 70, 26),
    AutoRadio(interface_ids::kWindowsXpRadio, "Windows XP", 14, 315, 53, 8, 0, false),
    AutoRadio(interface_ids::kWindows2003Radio, "Windows 2003", 15, 334, 58, 8, 0, false),
    AutoRadio(interface_ids::kWindowsVistaRadio, "Windows Vista", 15, 350, 58, 8, 0, false),
    AutoRadio(interface_ids::kWindows2008Radio, "Windows 2008", 81, 300, 63, 8, 0, false),
    AutoRadio(interface_ids::kWindows7Radio, "Windows 7", 81, 314, 63, 8, 0, false),
    AutoRadio(interface_ids::kWindows8Radio, "Windows 8.x or 10", 81, 328, 71, 8, 0, false),
    AutoRadio(interface_ids::kWindows2012Radio, "Windows 2012", 81, 343, 63, 8, 0, false),
};

// 138: installation complete.
constexpr ControlTemplate kInstallCompleteControls[] = {
    GroupBox(kNoControlId, "", 16, 14, 182, 37),
    CentredText(complete_ids::kCompletedText, "Installation completed !!!", 23, 30, 165, 9),
    PushButton(complete_ids::kOk, "&OK", 70, 63, 84, 29),
};

// 140: default printer question.
constexpr ControlTemplate kDefaultPrinterControls[] = {
    AutoCheckBox(default_ids::kSetDefaultCheck, "Do you want to Set Default Printer", 25, 21, 116, 8),
    PushButton(default_ids::kOk, "&OK", 47, 45, 70, 28),
};

// 141: the USB search progress, created modeless.
constexpr ControlTemplate kUsbSearchControls[] = {
    LeftText(search_ids::kWaitText, "Please wait a minite ......", 15, 14, 155, 8),
    Item(search_ids::kSearchBar, ControlClass::Progress, "", 14, 27, 159, 9, kItem | kPbsSmooth),
};

// 142: USB connection warning.
constexpr ControlTemplate kUsbWarningControls[] = {
    LeftText(warning_ids::kConnectStep, "1. Connect USB Printer to Desktop Computer.", 18, 16, 149, 8),
    LeftText(warning_ids::kTurnOnStep, "2. Turn on the printer.", 18, 30, 151, 8),
    LeftText(warning_ids::kClickStep, "3. Click  \"OK\"  button.", 18, 44, 151, 8),
    DefPushButton(warning_ids::kOk, "OK", 61, 63, 50, 13),
};

// 143: printer IP address.
constexpr ControlTemplate kIpAddressControls[] = {
    RightText(address_ids::kAddressLabel, "IP Address : ", 17, 17, 41, 8),
    Item(address_ids::kAddressField, ControlClass::IpAddress, "", 63, 16, 94, 12, kItem | kWsTabStop),
    DefPushButton(address_ids::kOk, "OK", 63, 40, 50, 14),
};

constexpr DialogTemplate kTemplates[] = {
    {kAboutDialog, "Zenthar Information", 0, 0, 255, 56, "MS San Serif", 9, kModalFrame | kWsSysMenu, 0,
     kAboutControls},
    {kMainDialog, "NORVA Orbix Printer Driver Installation Program", 0, 0, 279, 280, "MS Sans Serif", 9,
     kModalFrame | kWsSysMenu, kWsExAppWindow, kMainControls},
    {kInterfaceDialog, "Select Printer's Port Infomation Dialog", 0, 0, 196, 274, "MS Sans Serif", 10, kModalFrame,
     kWsExToolWindow, kInterfaceControls},
    {kInstallCompleteDialog, "Installation Complete!!!", 0, 0, 213, 110, "MS Sans Serif", 10, kModalFrame,
     kWsExToolWindow, kInstallCompleteControls},
    {kDefaultPrinterDialog, "Set Default Printer Information Dialog", 0, 0, 168, 91, "MS Sans Serif", 10, kModalFrame,
     kWsExToolWindow, kDefaultPrinterControls},
    {kUsbSearchDialog, "Now USB Port Searching......", 0, 0, 187, 52, "System", 10,
     kModalFrame | kDsCenter | kDsSysModal, 0, kUsbSearchControls},
    {kUsbWarningDialog, "USB Connection Warning", 0, 0, 187, 94, "System", 10, kModalFrame, kWsExToolWindow,
     kUsbWarningControls},
    {kIpAddressDialog, "Printer IP Address", 0, 0, 176, 69, "System", 10, kModalFrame, kWsExToolWindow,
     kIpAddressControls},
};

struct ClassName {
    ControlClass controlClass;
    const char* name;
};

constexpr ClassName kClassNames[] = {
    {ControlClass::Button, "BUTTON"},
    {ControlClass::Edit, "EDIT"},
    {ControlClass::Static, "STATIC"},
    {ControlClass::ListBox, "LISTBOX"},
    {ControlClass::ComboBox, "COMBOBOX"},
    {ControlClass::Progress, "msctls_progress32"},
    {ControlClass::IpAddress, "SysIPAddress32"},
};

}  // namespace

const ControlTemplate* DialogTemplate::FindControl(int controlId) const
{
    for (const ControlTemplate& control : controls) {
        if (control.id == controlId) return &control;
    }
    return nullptr;
}

std::span<const DialogTemplate> AllDialogTemplates()
{
    return kTemplates;
}

const DialogTemplate* FindDialogTemplate(int id)
{
    // The installer's, then the uninstaller's: both programs share the backends.
    for (const std::span<const DialogTemplate> table : {AllDialogTemplates(), UninstallerDialogTemplates()}) {
        for (const DialogTemplate& dialog : table) {
            if (dialog.id == id) return &dialog;
        }
    }
    return nullptr;
}

const char* WindowClassName(ControlClass controlClass)
{
    for (const ClassName& entry : kClassNames) {
        if (entry.controlClass == controlClass) return entry.name;
    }
    return "STATIC";
}

}  // namespace zenthar::resources
