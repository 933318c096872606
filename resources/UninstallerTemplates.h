// The uninstaller's dialog templates, as data beside the installer's: FindDialogTemplate finds
// them too, so the same backends show them.
#pragma once

#include <span>

#include "resources/DialogTemplates.h"

namespace zenthar::resources {

// The three dialogs of DriverOrbixUninstaller.exe, in resource-id order.
std::span<const DialogTemplate> UninstallerDialogTemplates();

}  // namespace zenthar::resources
