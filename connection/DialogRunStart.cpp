#include "connection/DialogRunStart.h"

#include "core/InstallerFolder.h"
#include "resources/InstallerWords.h"
#include "ui/Ui.h"

namespace zenthar {

std::optional<StartRefused> StartDialogRun(platform::Platform& platform, MachineWideRun& run, const char* notDone)
{
    if (!run.Take(0)) {
        ui::ShowMessageBox(nullptr, resources::Text(resources::Words::AnotherRun), nullptr,
                           ui::MessageIcon::Exclamation);
        return StartRefused::AnotherRun;
    }
    if (const FolderLock lock = LockInstallerFolder(platform); lock.refused) {
        ui::ShowMessageBox(nullptr, FolderRefusalText(lock.text, notDone), nullptr, ui::MessageIcon::Exclamation);
        return StartRefused::FolderNotLocked;
    }
    return std::nullopt;
}

}  // namespace zenthar
