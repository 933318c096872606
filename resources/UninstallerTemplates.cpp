#include "resources/UninstallerTemplates.h"

#include "resources/ResourceIds.h"
#include "resources/UninstallerIds.h"

namespace zenthar::resources {
namespace {

constexpr StyleBits kShown = kWsChild | kWsVisible;

constexpr ControlTemplate Place(int id, ControlClass cls, const char* text, int x, int y, int cx, int cy,
                                StyleBits style)
{
    return {id,
            cls,
            text,
            0,
            static_cast<std::int16_t>(x),
            static_cast<std::int16_t>(y),
            static_cast<std::int16_t>(cx),
            static_cast<std::int16_t>(cy),
            kShown | style,
            0};
}

constexpr ControlTemplate ProgramIcon(int x, int y)
{
    constexpr int kIconSize = 20;  // dialog units: a 32-pixel icon in the dialog's font
    ControlTemplate icon = Place(kNoControlId, ControlClass::Static, "", x, y, kIconSize, kIconSize, kSsIcon);
    icon.imageResource = kUninstallIcon;
    return icon;
}

// A read-only list of plain rows: the user scrolls it but has nothing to choose.
constexpr StyleBits kPlainList = kLbsNoIntegralHeight | kWsVScroll | kWsBorder | kWsTabStop;
// The summary's rows are sentences of any length: a read-only text box wraps them.
constexpr StyleBits kEsMultiline = 0x4u;
constexpr StyleBits kEsAutoVScroll = 0x40u;
constexpr StyleBits kEsReadOnly = 0x800u;
constexpr StyleBits kReadOnlyText = kEsMultiline | kEsAutoVScroll | kEsReadOnly | kWsVScroll | kWsBorder | kWsTabStop;
constexpr StyleBits kLabel = kSsLeft | kSsNoPrefix | kWsGroup;
constexpr StyleBits kDialogFrame = kDsModalFrame | kDsSetFont | kDsCenter | kWsPopup | kWsCaption;

constexpr ControlTemplate kConfirmControls[] = {
    ProgramIcon(10, 8),
    Place(kNoControlId, ControlClass::Static, "These parts of the NORVA Orbix printer driver will be removed:", 38, 14,
          232, 8, kLabel),
    Place(confirm_removal::kPartList, ControlClass::ListBox, "", 10, 34, 260, 112, kPlainList),
    Place(kNoControlId, ControlClass::Static, "Other printers, drivers and ports are left as they are.", 10, 152, 260,
          8, kLabel),
    Place(confirm_removal::kRemoveButton, ControlClass::Button, "&Remove", 146, 170, 60, 18,
          kBsDefPushButton | kWsTabStop | kWsGroup),
    Place(confirm_removal::kCancelButton, ControlClass::Button, "&Cancel", 210, 170, 60, 18,
          kBsPushButton | kWsTabStop),
};

constexpr ControlTemplate kProgressControls[] = {
    Place(kNoControlId, ControlClass::Static, "Progress Status : ", 10, 12, 62, 8, kLabel),
    Place(removal_progress::kStatusLine, ControlClass::Static, "", 74, 12, 216, 8, kLabel),
    Place(removal_progress::kProgressBar, ControlClass::Progress, "", 10, 28, 280, 14, 0),
};

constexpr ControlTemplate kSummaryControls[] = {
    Place(removal_summary::kHeadline, ControlClass::Static, "", 10, 8, 320, 18, kLabel),
    Place(removal_summary::kOutcomeList, ControlClass::Edit, "", 10, 30, 320, 130, kReadOnlyText),
    Place(removal_summary::kOkButton, ControlClass::Button, "&OK", 140, 170, 60, 18,
          kBsDefPushButton | kWsTabStop | kWsGroup),
};

constexpr DialogTemplate kTemplates[] = {
    {kConfirmRemovalDialog, "DriverOrbixUninstaller - Remove NORVA Orbix Printer Driver", 0, 0, 280, 196,
     "MS Sans Serif", 9, kDialogFrame | kWsSysMenu, kWsExAppWindow, kConfirmControls},
    // No system menu: the removal cannot be stopped half-way.
    {kRemovalProgressDialog, "DriverOrbixUninstaller - Removing NORVA Orbix Printer Driver", 0, 0, 300, 54,
     "MS Sans Serif", 9, kDialogFrame, kWsExAppWindow, kProgressControls},
    {kRemovalSummaryDialog, "DriverOrbixUninstaller - Removal Summary", 0, 0, 340, 196, "MS Sans Serif", 9,
     kDialogFrame | kWsSysMenu, 0, kSummaryControls},
};

}  // namespace

std::span<const DialogTemplate> UninstallerDialogTemplates()
{
    return kTemplates;
}

}  // namespace zenthar::resources
