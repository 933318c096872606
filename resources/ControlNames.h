// Every addressed control by a name a person can read: the dialog's short name, a dot, the
// control's name ("main.install", "interface.ethernet"). The end-to-end scenarios say these
// instead of numbers; a test holds the table to the templates, one name per addressed control.
#pragma once

#include <span>
#include <string_view>

#include "resources/AboutDialogIds.h"
#include "resources/DefaultPrinterDialogIds.h"
#include "resources/InstallCompleteDialogIds.h"
#include "resources/InterfaceDialogIds.h"
#include "resources/IpAddressDialogIds.h"
#include "resources/MainDialogIds.h"
#include "resources/ResourceIds.h"
#include "resources/UninstallerIds.h"
#include "resources/UsbSearchDialogIds.h"
#include "resources/UsbWarningDialogIds.h"

namespace zenthar::resources {

struct ControlName {
    int dialog;  // the dialog template's resource id
    std::string_view name;
    int id;
};

namespace control_names {

inline constexpr ControlName kAll[] = {
    {kAboutDialog, "about.ok", about_ids::kOk},

    {kMainDialog, "main.model-group", main_ids::kModelGroup},
    {kMainDialog, "main.model-name-label", main_ids::kModelNameLabel},
    {kMainDialog, "main.installer-version-label", main_ids::kInstallerVersionLabel},
    {kMainDialog, "main.driver-version-label", main_ids::kDriverVersionLabel},
    {kMainDialog, "main.model-name", main_ids::kModelName},
    {kMainDialog, "main.list", main_ids::kModelList},
    {kMainDialog, "main.clone-group", main_ids::kCloneGroup},
    {kMainDialog, "main.clone", main_ids::kCloneCheck},
    {kMainDialog, "main.copies-label", main_ids::kCopiesLabel},
    {kMainDialog, "main.copies", main_ids::kCopiesEdit},
    {kMainDialog, "main.status-label", main_ids::kStatusLabel},
    {kMainDialog, "main.status", main_ids::kStatusLine},
    {kMainDialog, "main.progress", main_ids::kProgressBar},
    {kMainDialog, "main.install", main_ids::kInstallButton},
    {kMainDialog, "main.exit", main_ids::kExitButton},

    {kInterfaceDialog, "interface.group", interface_ids::kInterfaceGroup},
    {kInterfaceDialog, "interface.serial", interface_ids::kSerialRadio},
    {kInterfaceDialog, "interface.bluetooth", interface_ids::kBluetoothRadio},
    {kInterfaceDialog, "interface.parallel", interface_ids::kParallelRadio},
    {kInterfaceDialog, "interface.usb", interface_ids::kUsbRadio},
    {kInterfaceDialog, "interface.ethernet", interface_ids::kEthernetRadio},
    {kInterfaceDialog, "interface.wifi", interface_ids::kWiFiRadio},
    {kInterfaceDialog, "interface.windows-xp", interface_ids::kWindowsXpRadio},
    {kInterfaceDialog, "interface.windows-2003", interface_ids::kWindows2003Radio},
    {kInterfaceDialog, "interface.windows-vista", interface_ids::kWindowsVistaRadio},
    {kInterfaceDialog, "interface.windows-2008", interface_ids::kWindows2008Radio},
    {kInterfaceDialog, "interface.windows-7", interface_ids::kWindows7Radio},
    {kInterfaceDialog, "interface.windows-8", interface_ids::kWindows8Radio},
    {kInterfaceDialog, "interface.windows-2012", interface_ids::kWindows2012Radio},
    {kInterfaceDialog, "interface.picture", interface_ids::kPictureFrame},
    {kInterfaceDialog, "interface.processor-label", interface_ids::kProcessorLabel},
    {kInterfaceDialog, "interface.processor", interface_ids::kProcessorCombo},
    {kInterfaceDialog, "interface.codepage-label", interface_ids::kCodePageLabel},
    {kInterfaceDialog, "interface.codepage", interface_ids::kCodePageCombo},
    {kInterfaceDialog, "interface.port-label", interface_ids::kPortLabel},
    {kInterfaceDialog, "interface.port", interface_ids::kPortCombo},
    {kInterfaceDialog, "interface.ok", interface_ids::kOk},
    {kInterfaceDialog, "interface.exit", interface_ids::kExit},

    {kInstallCompleteDialog, "complete.text", complete_ids::kCompletedText},
    {kInstallCompleteDialog, "complete.ok", complete_ids::kOk},

    {kDefaultPrinterDialog, "default.set-default", default_ids::kSetDefaultCheck},
    {kDefaultPrinterDialog, "default.ok", default_ids::kOk},

    {kUsbSearchDialog, "search.wait-text", search_ids::kWaitText},
    {kUsbSearchDialog, "search.bar", search_ids::kSearchBar},

    {kUsbWarningDialog, "warning.connect", warning_ids::kConnectStep},
    {kUsbWarningDialog, "warning.turn-on", warning_ids::kTurnOnStep},
    {kUsbWarningDialog, "warning.click", warning_ids::kClickStep},
    {kUsbWarningDialog, "warning.ok", warning_ids::kOk},

    {kIpAddressDialog, "address.label", address_ids::kAddressLabel},
    {kIpAddressDialog, "address.field", address_ids::kAddressField},
    {kIpAddressDialog, "address.ok", address_ids::kOk},

    {kConfirmRemovalDialog, "remove.parts", confirm_removal::kPartList},
    {kConfirmRemovalDialog, "remove.remove", confirm_removal::kRemoveButton},
    {kConfirmRemovalDialog, "remove.cancel", confirm_removal::kCancelButton},

    {kRemovalProgressDialog, "removing.status", removal_progress::kStatusLine},
    {kRemovalProgressDialog, "removing.progress", removal_progress::kProgressBar},

    {kRemovalSummaryDialog, "summary.headline", removal_summary::kHeadline},
    {kRemovalSummaryDialog, "summary.outcomes", removal_summary::kOutcomeList},
    {kRemovalSummaryDialog, "summary.ok", removal_summary::kOkButton},
};

}  // namespace control_names

// The control of that name, or null.
constexpr const ControlName* FindControlName(std::string_view name)
{
    for (const ControlName& entry : control_names::kAll) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

// A dialog by the short name its controls' names begin with ("main", "interface"), or an empty
// view for a dialog without named controls.
constexpr std::string_view DialogNameOf(int dialog)
{
    for (const ControlName& entry : control_names::kAll) {
        if (entry.dialog == dialog) return entry.name.substr(0, entry.name.find('.'));
    }
    return {};
}

// The name of a dialog's control, or an empty view.
constexpr std::string_view ControlNameOf(int dialog, int id)
{
    for (const ControlName& entry : control_names::kAll) {
        if (entry.dialog == dialog && entry.id == id) return entry.name;
    }
    return {};
}

inline std::span<const ControlName> AllControlNames()
{
    return control_names::kAll;
}

}  // namespace zenthar::resources
