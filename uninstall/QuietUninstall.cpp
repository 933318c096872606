#include "uninstall/QuietUninstall.h"

#include <optional>

#include "core/CommandLine.h"
#include "core/RunLog.h"
#include "uninstall/Removal.h"

namespace zenthar::uninstall {

namespace {

constexpr int kAllRemoved = 0;
constexpr int kSomethingLeft = 1;
// Nothing was tried: the command line was not understood, or the log asked for could not be
// written. Kept apart from 1 so that a script can tell "did not run" from "ran, left something".
constexpr int kNotRun = 2;

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

bool WantsQuietRun(const std::vector<std::string>& arguments)
{
    for (const auto& argument : arguments)
        if (OptionName(argument) == "quiet") return true;
    return false;
}

int RunQuietUninstall(platform::Platform& platform, const std::vector<std::string>& arguments)
{
    const QuietOptions options = ReadOptions(arguments);
    RunLog log(platform);
    if (options.logPath && log.Open(options.logPath->c_str()) != 0) return kNotRun;
    if (!options.problem.empty()) {
        log.Line("Nothing was removed: " + options.problem + ".");
        log.Line(kUsage);
        return kNotRun;
    }

    const Plan plan = FindOurs(platform);
    if (plan.readError != 0) {
        log.Line(DescribeReadFailure(plan) + "; nothing was removed.");
        return kSomethingLeft;
    }
    if (plan.Empty()) {
        log.Line("Nothing of the NORVA Orbix printer driver was found; nothing was changed.");
        return kAllRemoved;
    }

    LogView view(log);
    const auto outcomes = RemoveOurs(platform, plan, view);
    std::size_t left = 0;
    for (const auto& outcome : outcomes)
        if (outcome.error != 0) ++left;
    const int exitCode = left == 0 ? kAllRemoved : kSomethingLeft;
    log.Line(std::to_string(outcomes.size() - left) + " removed, " + std::to_string(left) +
             " could not be removed; exit code " + std::to_string(exitCode) + ".");
    return exitCode;
}

}  // namespace zenthar::uninstall
