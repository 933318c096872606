#include "uninstall/UninstallerApp.h"

#include <vector>

#include "connection/DialogRunStart.h"
#include "connection/MessageBoxNotices.h"
#include "core/InstallerFolder.h"
#include "core/OneRunAtATime.h"
#include "core/TwinHandover.h"
#include "ui/Ui.h"
#include "uninstall/ConfirmRemovalDialog.h"
#include "uninstall/Removal.h"
#include "uninstall/RemovalProgressDialog.h"
#include "uninstall/RemovalSummaryDialog.h"
#include "uninstall/RemovalTexts.h"

namespace zenthar::uninstall {

std::optional<UninstallerExit> HandOverToTwin(platform::Platform& platform, std::string_view arguments)
{
    // The twin lies in the installer folder: it is started only from a locked one.
    if (RunsUnderWow64(platform)) {
        if (const FolderLock lock = LockInstallerFolder(platform); lock.refused) {
            TellBeforeRun(platform, arguments, FolderRefusalText(lock.text, "removed"), kFolderNotLockedLine,
                          MessageBoxNotices(nullptr));
            return UninstallerExit::FolderNotLocked;
        }
    }
    const Twin twin{"DriverOrbixUninstaller64.exe", "removal", "removed",
                    static_cast<int>(UninstallerExit::NothingTried), nullptr};
    const auto exitCode = zenthar::HandOverToTwin(platform, twin, arguments, MessageBoxNotices(nullptr));
    if (!exitCode) return std::nullopt;
    // The twin's code is passed on as it came, even one this program never gives (a crash).
    return static_cast<UninstallerExit>(*exitCode);
}

UninstallerExit RunUninstallerApp(platform::Platform& platform)
{
    MachineWideRun run(platform);
    if (const auto refused = StartDialogRun(platform, run, "removed"))
        return *refused == StartRefused::AnotherRun ? UninstallerExit::AnotherRunInProgress
                                                    : UninstallerExit::FolderNotLocked;
    const Plan plan = FindOurs(platform);
    if (plan.readFailure) {
        ui::ShowMessageBox(nullptr, DescribeReadFailure(*plan.readFailure) + "\nNothing was changed.", nullptr,
                           ui::MessageIcon::Exclamation);
        return UninstallerExit::NotAllRemoved;
    }
    if (plan.Empty()) {
        ui::ShowMessageBox(nullptr, kNothingFoundText, nullptr, ui::MessageIcon::None);
        return UninstallerExit::Removed;
    }

    ConfirmRemovalDialog confirm(plan);
    if (confirm.DoModal() != ui::kIdOk) return UninstallerExit::NothingTried;

    RemovalProgressDialog progress;
    const bool shown = progress.Open();
    const std::vector<Outcome> outcomes = RemoveOurs(platform, plan, progress);
    progress.Finished();

    RemovalSummaryDialog summary(outcomes, plan.left, shown ? &progress : nullptr);
    summary.DoModal();
    progress.DestroyWindow();

    return ExitCodeOf(outcomes);
}

}  // namespace zenthar::uninstall
