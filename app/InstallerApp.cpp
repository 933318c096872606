#include "app/InstallerApp.h"

#include "app/MainDialog.h"
#include "app/QuietInstallation.h"
#include "app/QuietOptions.h"
#include "core/CommandLine.h"
#include "core/TwinHandover.h"
#include "ui/Ui.h"

namespace zenthar {

void RunInstallerApp(platform::Platform& platform, ProcessState& state)
{
    MainDialog mainDialog(platform, state);
    // The result does not matter: every way out of the dialog ends the program.
    mainDialog.DoModal();
}

std::optional<int> HandOverToTwin(platform::Platform& platform, std::string_view commandLine)
{
    static const std::string result = "result: " + std::to_string(static_cast<int>(ExitCode::WindowsNotSupported)) +
                                      " the 64-bit installer could not be started";
    const Twin twin{"zenthar64.exe", "installation", "installed", static_cast<int>(ExitCode::WindowsNotSupported),
                    result.c_str()};
    return zenthar::HandOverToTwin(platform, twin, commandLine);
}

ExitCode RunProgram(platform::Platform& platform, ProcessState& state, std::string_view commandLine)
{
    const std::vector<std::string> arguments = SplitArguments(commandLine);
    if (HasOption(arguments, "quiet")) return RunQuietInstallation(platform, state, arguments);
    if (AsksUsage(arguments)) {
        ui::ShowMessageBox(nullptr, UsageText(), nullptr, ui::MessageIcon::None);
        return ExitCode::Installed;
    }
    RunInstallerApp(platform, state);
    return ExitCode::Installed;
}

}  // namespace zenthar
