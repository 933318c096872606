#include "uninstall/QuietUninstall.h"

#include <optional>
#include <string>

#include "core/CommandLine.h"
#include "core/InstallerFolder.h"
#include "core/OneRunAtATime.h"
#include "core/RunLog.h"
#include "resources/InstallerWords.h"
#include "uninstall/Removal.h"
#include "uninstall/RemovalTexts.h"

namespace zenthar::uninstall {

namespace {

constexpr const char* kUsage = "Usage: DriverOrbixUninstaller.exe /quiet [/log PATH]";

struct QuietOptions {
    std::optional<std::string> logPath;
    std::string problem;  // empty when the words were understood
};

QuietOptions ReadOptions(const std::vector<std::string>& arguments)
{
    QuietOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string option = OptionName(arguments[i]);
        if (option == "quiet") continue;
        if (option == "log") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                if (options.problem.empty()) options.problem = "/log needs the path of the log file";
                continue;
            }
            options.logPath = arguments[++i];
            continue;
        }
        // The rest is still read: a log asked for anywhere receives the complaint.
        if (options.problem.empty()) options.problem = "\"" + arguments[i] + "\" is not understood";
    }
    return options;
}

// Nothing is shown: each outcome is written as it comes, so a run stopped half-way still
// leaves what it did.
class LogView final : public RemovalView {
public:
    explicit LogView(RunLog& log) : log(log) {}
    void Removing(const Part&, int) override {}
    void Removed(const Outcome& outcome) override { log.Line(Describe(outcome)); }

private:
    RunLog& log;
};

}  // namespace

UninstallerExit RunQuietUninstall(platform::Platform& platform, const std::vector<std::string>& arguments)
{
    const QuietOptions options = ReadOptions(arguments);
    RunLog log(platform);
    if (options.logPath && !log.Open(options.logPath->c_str())) return UninstallerExit::NothingTried;
    if (!options.problem.empty()) {
        log.Line("Nothing was removed: " + options.problem + ".");
        log.Line(kUsage);
        return UninstallerExit::NothingTried;
    }
    MachineWideRun run(platform);
    if (!run.Take(kQuietRunWait)) {
        // The installer's own words: a second run reads the same from either program.
        log.Lines(std::string(resources::Text(resources::Words::AnotherRun)) + QuietRunWaitedText());
        return UninstallerExit::AnotherRunInProgress;
    }
    // The log lists the parts: the folder's lock is said only when refused.
    const FolderLock lock = LockInstallerFolder(platform);
    if (lock.refused) {
        log.Lines(FolderRefusalText(lock.text, "removed"));
        log.Line(kFolderNotLockedLine);
        return UninstallerExit::FolderNotLocked;
    }

    const Plan plan = FindOurs(platform);
    if (plan.readFailure) {
        log.Line(DescribeReadFailure(*plan.readFailure) + "; nothing was removed.");
        return UninstallerExit::NotAllRemoved;
    }
    if (plan.Empty()) {
        for (const auto& line : plan.left) log.Line(line);
        log.Line(kNothingFoundLine);
        return UninstallerExit::Removed;
    }

    LogView view(log);
    const auto outcomes = RemoveOurs(platform, plan, view);
    const UninstallerExit exitCode = ExitCodeOf(outcomes);
    for (const auto& line : plan.left) log.Line(line);
    log.Line(TotalsLine(outcomes, exitCode));
    return exitCode;
}

}  // namespace zenthar::uninstall
