#include "uninstall/UninstallerApp.h"

#include <vector>

#include "core/TwinHandover.h"
#include "ui/Ui.h"
#include "uninstall/ConfirmRemovalDialog.h"
#include "uninstall/RemovalProgressDialog.h"
#include "uninstall/RemovalSummaryDialog.h"
#include "uninstall/Removal.h"

namespace zenthar::uninstall {

std::optional<int> HandOverToTwin(platform::Platform& platform, std::string_view arguments)
{
    const Twin twin{"DriverOrbixUninstaller64.exe", "removal", "removed", kExitNothingTried, nullptr};
    return zenthar::HandOverToTwin(platform, twin, arguments);
}

int RunUninstallerApp(platform::Platform& platform)
{
    const Plan plan = FindOurs(platform);
    if (plan.readError != 0) {
        ui::ShowMessageBox(nullptr, DescribeReadFailure(plan) + "\nNothing was changed.", nullptr,
                           ui::MessageIcon::Exclamation);
        return kExitNotAllRemoved;
    }
    if (plan.Empty()) {
        ui::ShowMessageBox(nullptr, kNothingFoundText, nullptr, ui::MessageIcon::None);
        return kExitRemoved;
    }

    ConfirmRemovalDialog confirm(plan);
    if (confirm.DoModal() != ui::kIdOk) return kExitNothingTried;

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
