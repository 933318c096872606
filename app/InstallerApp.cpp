#include "app/InstallerApp.h"

#include "app/MainDialog.h"
#include "app/QuietInstallation.h"
#include "app/QuietOptions.h"
#include "app/StartupChecks.h"
#include "connection/DialogRunStart.h"
#include "connection/MessageBoxNotices.h"
#include "connection/PlatformDetection.h"
#include "core/CommandLine.h"
#include "core/InstallerFolder.h"
#include "core/OneRunAtATime.h"
#include "core/RunLog.h"
#include "core/TwinHandover.h"
#include "resources/InstallerWords.h"
#include "ui/Ui.h"

namespace zenthar {

namespace {

// Why this program cannot work here, said before anything changes: in a message box, or for
// "/quiet" in the log "/log PATH" names, with the run's last line.
int Refuse(platform::Platform& platform, std::string_view commandLine, const std::string& text, ExitCode code)
{
    const std::vector<std::string> words = SplitArguments(commandLine);
    if (!HasOption(words, "quiet")) {
        ui::ShowMessageBox(nullptr, text, nullptr, ui::MessageIcon::Exclamation);
        return static_cast<int>(code);
    }
    RunLog log(platform);
    const std::string logPath = OptionValue(words, "log");
    if (!logPath.empty() && log.Open(logPath.c_str())) {
        log.Lines(text);
        log.Line(ResultLine(code, false));
    }
    return static_cast<int>(code);
}

}  // namespace

void RunInstallerApp(platform::Platform& platform, ProcessState& state)
{
    MainDialog mainDialog(platform, state);
    // The result does not matter: every way out of the dialog ends the program.
    mainDialog.DoModal();
}

namespace {

// The twin lies in the installer folder's place: it is started only from a locked folder. A check
// locks nothing, and so starts no twin from a folder that is not.
std::optional<int> RefuseTwinFromUnsafeFolder(platform::Platform& platform, std::string_view commandLine)
{
    const std::vector<std::string> arguments = SplitArguments(commandLine);
    if (HasOption(arguments, "quiet") && HasOption(arguments, "check")) {
        const auto difference = InstallerFolderDifference(platform);
        if (!difference) return std::nullopt;
        RunLog log(platform);
        const std::string logPath = OptionValue(arguments, "log");
        if (!logPath.empty() && log.Open(logPath.c_str())) {
            log.Line(resources::Say(resources::Words::LogDifference, *difference));
            log.Line(ResultLine(ExitCode::NotAsAsked, true));
        }
        return static_cast<int>(ExitCode::NotAsAsked);
    }
    const FolderLock lock = LockInstallerFolder(platform);
    if (!lock.refused) return std::nullopt;
    TellBeforeRun(platform, commandLine, FolderRefusalText(lock.text, resources::Text(resources::Words::Installed)),
                  ResultLine(ExitCode::FolderNotLocked, false).c_str(), MessageBoxNotices(nullptr));
    return static_cast<int>(ExitCode::FolderNotLocked);
}

}  // namespace

std::optional<int> HandOverToTwin(platform::Platform& platform, std::string_view commandLine)
{
    // Both widths run emulated on an Arm PC, where the twin would only file a driver the
    // spooler cannot use: this program says so itself, before it locks or starts anything.
    if (RunsOnArmPc(platform))
        return Refuse(platform, commandLine, resources::Text(resources::Words::ArmPc), ExitCode::WindowsNotSupported);
    if (RunsUnderWow64(platform))
        if (const auto refused = RefuseTwinFromUnsafeFolder(platform, commandLine)) return refused;
    static const std::string result = resources::Say(resources::Words::LogResult,
                                                     static_cast<int>(ExitCode::WindowsNotSupported),
                                                     resources::Text(resources::Words::TwinResult));
    const Twin twin{"zenthar64.exe", resources::Text(resources::Words::Installation),
                    resources::Text(resources::Words::Installed), static_cast<int>(ExitCode::WindowsNotSupported),
                    result.c_str()};
    return zenthar::HandOverToTwin(platform, twin, commandLine, MessageBoxNotices(nullptr));
}

ExitCode RunProgram(platform::Platform& platform, ProcessState& state, std::string_view commandLine)
{
    const std::vector<std::string> arguments = SplitArguments(commandLine);
    if (HasOption(arguments, "quiet")) return RunQuietInstallation(platform, state, arguments);
    if (AsksUsage(arguments)) {
        ui::ShowMessageBox(nullptr, UsageText(), nullptr, ui::MessageIcon::None);
        return ExitCode::Installed;
    }
    if (ProtectedPrintModeOn(platform)) {
        ui::ShowMessageBox(nullptr, resources::Text(resources::Words::ProtectedPrintMode), nullptr,
                           ui::MessageIcon::Exclamation);
        return ExitCode::ProtectedPrintMode;
    }
    MachineWideRun run(platform);
    if (const auto refused = StartDialogRun(platform, run, resources::Text(resources::Words::Installed)))
        return *refused == StartRefused::AnotherRun ? ExitCode::AnotherRunInProgress : ExitCode::FolderNotLocked;
    RunInstallerApp(platform, state);
    return ExitCode::Installed;
}

}  // namespace zenthar
