#include "resources/DialogTemplates.h"

#include <initializer_list>

#include "resources/ResourceIds.h"
#include "resources/UninstallerTemplates.h"

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
    return Item(id, ControlClass::ComboBox, "", x, y, cx, cy, kItem | kCbsDropDownList | kWsVScroll | kWsTabStop | extra);
}

constexpr ControlTemplate Icon(int id, int resource, int x, int y)
{
    ControlTemplate item = Item(id, ControlClass::Static, "", x, y, 20, 20, kItem | kSsIcon);
    item.imageResource = resource;
    return item;
}

constexpr StyleBits kModalFrame = kDsModalFrame | kDsSetFont | kWsPopup | kWsCaption;

// 100: the about box.
constexpr ControlTemplate kAboutControls[] = {
    Icon(kNoControlId, kAppIcon, 11, 17),
    Item(kNoControlId, ControlClass::Static, "Zenthar Version 4.52", 40, 15, 150, 8, kItem | kSsLeft | kSsNoPrefix | kWsGroup),
    Item(kNoControlId, ControlClass::Static, "Printer driver installer for NORVA Orbix printers", 40, 29, 150, 8,
         kItem | kSsLeft | kSsNoPrefix | kWsGroup),
    Item(1, ControlClass::Button, "OK", 198, 7, 50, 43, kItem | kBsDefPushButton | kWsTabStop | kWsGroup),
};

// 102: the main dialog.
constexpr ControlTemplate kMainControls[] = {
    GroupBox(1031, "Model Information", 16, 15, 248, 70),
    LeftText(1032, "Model Name     : ", 24, 31, 69, 8),
    LeftText(1035, "NORVA Orbix Printer", 98, 32, 143, 8),
    LeftText(1033, "Installer Version : ", 24, 49, 70, 8),
    LeftText(kNoControlId, "4.52", 98, 50, 91, 8),
    LeftText(1034, "Driver Version    : ", 24, 68, 68, 8),
    LeftText(kNoControlId, "4.64", 98, 68, 98, 8),
    Item(1019, ControlClass::ListBox, "", 16, 96, 127, 74,
         kItem | kLbsOwnerDrawFixed | kLbsHasStrings | kLbsNotify | kLbsNoIntegralHeight | kWsVScroll | kWsBorder |
             kWsTabStop),
    GroupBox(1049, "Printer Driver Cloning Option", 145, 92, 119, 78),
    AutoCheckBox(1047, "Clone Printer Driver", 156, 109, 95, 11),
    LeftText(1050, "Number of Printer Driver to install", 149, 131, 111, 8),
    Item(1048, ControlClass::Edit, "", 156, 146, 37, 12, kItem | kEsCenter | kEsAutoHScroll | kWsBorder | kWsTabStop),
    LeftText(kNoControlId, "Copy [ 1 ~ 200 ]", 197, 148, 60, 8),
    LeftText(1036, "Progress Status : ", 16, 182, 60, 11),
    LeftText(1015, "", 86, 182, 175, 8),
    Item(1013, ControlClass::Progress, "", 15, 198, 249, 15, kItem),
    PushButton(1000, "Installation(&I)", 15, 226, 101, 33),
    PushButton(1012, "Exit(&E)", 163, 226, 101, 33),
};

// 129: the interface dialog. The family radios lie below the visible area and are never shown.
constexpr ControlTemplate kInterfaceControls[] = {
    GroupBox(1030, "Printer interface", 13, 11, 170, 138),
    AutoRadio(1002, "Serial", 22, 25, 40, 11),
    AutoRadio(1004, "Bluetooth", 22, 45, 43, 11),
    AutoRadio(1005, "Parallel", 22, 65, 39, 11),
    AutoRadio(1006, "USB", 22, 87, 35, 11),
    AutoRadio(1007, "Ethernet", 22, 107, 41, 11, kWsTabStop),
    AutoRadio(1008, "Wi-Fi", 22, 128, 33, 11, kWsGroup),
    Item(1016, ControlClass::Static, "", 85, 27, 88, 110, kItem | kSsBlackFrame),
    RightText(1031, "Processor  : ", 16, 161, 42, 9),
    DropDownList(1027, 61, 158, 122, 45, kWsDisabled),
    RightText(1029, "Code Page : ", 16, 181, 42, 9),
    DropDownList(1025, 61, 178, 122, 113, 0),
    RightText(1042, "Printer Port : ", 17, 202, 41, 8),
    DropDownList(1026, 61, 199, 122, 113, kCbsSort),
    DefPushButton(1, "&OK", 14, 228, 70, 26),
    DefPushButton(2, "&Exit", 112, 228, 70, 26),
    AutoRadio(1009, "Windows XP", 14, 315, 53, 8, 0, false),
    AutoRadio(1010, "Windows 2003", 15, 334, 58, 8, 0, false),
    AutoRadio(1024, "Windows Vista", 15, 350, 58, 8, 0, false),
    AutoRadio(1045, "Windows 2008", 81, 300, 63, 8, 0, false),
    AutoRadio(1046, "Windows 7", 81, 314, 63, 8, 0, false),
    AutoRadio(1047, "Windows 8.x or 10", 81, 328, 71, 8, 0, false),
    AutoRadio(1048, "Windows 2012", 81, 343, 63, 8, 0, false),
};

// 138: installation complete.
constexpr ControlTemplate kInstallCompleteControls[] = {
    GroupBox(kNoControlId, "", 16, 14, 182, 37),
    CentredText(1040, "Installation completed !!!", 23, 30, 165, 9),
    PushButton(1, "&OK", 70, 63, 84, 29),
};

// 140: default printer question.
constexpr ControlTemplate kDefaultPrinterControls[] = {
    AutoCheckBox(1023, "Do you want to Set Default Printer", 25, 21, 116, 8),
    PushButton(1, "&OK", 47, 45, 70, 28),
};

// 141: the USB search progress, created modeless.
constexpr ControlTemplate kUsbSearchControls[] = {
    LeftText(1028, "Please wait a minite ......", 15, 14, 155, 8),
    Item(1026, ControlClass::Progress, "", 14, 27, 159, 9, kItem | kPbsSmooth),
};

// 142: USB connection warning.
constexpr ControlTemplate kUsbWarningControls[] = {
    LeftText(1037, "1. Connect USB Printer to Desktop Computer.", 18, 16, 149, 8),
    LeftText(1038, "2. Turn on the printer.", 18, 30, 151, 8),
    LeftText(1039, "3. Click  \"OK\"  button.", 18, 44, 151, 8),
    DefPushButton(1, "OK", 61, 63, 50, 13),
};

// 143: printer IP address.
constexpr ControlTemplate kIpAddressControls[] = {
    RightText(1043, "IP Address : ", 17, 17, 41, 8),
    Item(1044, ControlClass::IpAddress, "", 63, 16, 94, 12, kItem | kWsTabStop),
    DefPushButton(1, "OK", 63, 40, 50, 14),
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
    {ControlClass::Button, "BUTTON"},           {ControlClass::Edit, "EDIT"},
    {ControlClass::Static, "STATIC"},           {ControlClass::ListBox, "LISTBOX"},
    {ControlClass::ComboBox, "COMBOBOX"},       {ControlClass::Progress, "msctls_progress32"},
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
