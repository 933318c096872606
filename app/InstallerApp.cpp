#include "app/InstallerApp.h"

#include "app/MainDialog.h"
#include "app/QuietInstallation.h"
#include "core/CommandLine.h"
#include "ui/Ui.h"

namespace zenthar {

void RunInstallerApp(platform::Platform& platform, ProcessState& state)
{
    MainDialog mainDialog(platform, state);
    // The result does not matter: every way out of the dialog ends the program.
    mainDialog.DoModal();
}

int RunProgram(platform::Platform& platform, ProcessState& state, std::string_view commandLine)
{
    const std::vector<std::string> arguments = SplitArguments(commandLine);
    if (HasOption(arguments, "quiet")) return static_cast<int>(RunQuietInstallation(platform, state, arguments));
    if (AsksUsage(arguments)) {
        ui::ShowMessageBox(nullptr, UsageText(), nullptr, ui::MessageIcon::None);
        return 0;
    }
    RunInstallerApp(platform, state);
    return 0;
}

}  // namespace zenthar
