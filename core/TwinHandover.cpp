#include "core/TwinHandover.h"

#include "core/CommandLine.h"
#include "core/Owners.h"
#include "core/RunLog.h"
#include "core/SystemFiles.h"
#include "platform/Constants.h"
#include "resources/InstallerWords.h"

namespace zenthar {

namespace {

// "<folder of this program>\<file>", or "" when the program's own path cannot be read whole.
std::string BesideThisProgram(platform::Platform& platform, const char* fileName)
{
    char path[platform::MAX_PATH] = {};
    const auto length = platform.modules.GetModuleFileNameA(0, path, sizeof path);
    if (length.value == 0 || length.value >= sizeof path) return {};
    std::string folder(path, length.value);
    const auto slash = folder.find_last_of("\\/");
    folder.erase(slash == std::string::npos ? 0 : slash + 1);
    return folder + fileName;
}

}  // namespace

bool RunsUnderWow64(platform::Platform& platform)
{
    const auto function = Kernel32Export(platform, "IsWow64Process");
    if (function == 0) return false;
    bool wow64 = false;
    return platform.system.InvokeIsWow64Process(function, &wow64).value && wow64;
}

bool RunsAs64BitProgram(platform::Platform& platform)
{
    const auto function = Kernel32Export(platform, "GetNativeSystemInfo");
    if (function == 0) return false;
    platform::SystemInfo info{};
    platform.system.InvokeGetNativeSystemInfo(function, &info);
    const bool system64 = info.wProcessorArchitecture == platform::PROCESSOR_ARCHITECTURE_AMD64 ||
                          info.wProcessorArchitecture == platform::PROCESSOR_ARCHITECTURE_IA64;
    return system64 && !RunsUnderWow64(platform);
}

TwinRun RunTwinUnderWow64(platform::Platform& platform, const char* twinFileName, std::string_view arguments)
{
    TwinRun run;
    if (!RunsUnderWow64(platform)) return run;
    run.state = TwinRun::State::NotStarted;
    const std::string twin = BesideThisProgram(platform, twinFileName);
    if (twin.empty()) {
        run.error = platform::ERROR_FILENAME_EXCED_RANGE;
        return run;
    }
    // The twin reads its arguments after its quoted name, as the runtime splits them.
    std::string line = "\"" + twin + "\"";
    if (!arguments.empty() && arguments.front() != ' ' && arguments.front() != '\t') line += ' ';
    line += arguments;
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');

    platform::StartupInfoA startup{};
    startup.cb = sizeof startup;
    platform::ProcessInformation process{};
    const auto created = platform.processes.CreateProcessA(twin.c_str(), commandLine.data(), nullptr, nullptr, false, 0,
                                                           nullptr, nullptr, &startup, &process);
    if (!created.value) {
        run.error = created.error != 0 ? created.error : platform::ERROR_GEN_FAILURE;
        return run;
    }
    const HandleOwner processOwner(platform.kernel, process.hProcess);
    const HandleOwner threadOwner(platform.kernel, process.hThread);
    run.state = TwinRun::State::Ran;
    const auto waited = platform.kernel.WaitForSingleObject(process.hProcess, platform::INFINITE);
    platform::Dword exitCode = 0;
    const auto read = platform.processes.GetExitCodeProcess(process.hProcess, &exitCode);
    // A twin whose end cannot be learnt did not say it succeeded.
    run.exitCode = waited.value == platform::WAIT_OBJECT_0 && read.value ? exitCode : platform::ERROR_GEN_FAILURE;
    return run;
}

std::optional<int> HandOverToTwin(platform::Platform& platform, const Twin& twin, std::string_view arguments,
                                  const NoticeSink& screen)
{
    const TwinRun run = RunTwinUnderWow64(platform, twin.fileName, arguments);
    if (run.state == TwinRun::State::NotNeeded) return std::nullopt;
    if (run.state == TwinRun::State::Ran) return static_cast<int>(run.exitCode);

    const std::string text =
        resources::Say(resources::Words::TwinNotStarted, twin.work, twin.fileName, run.error, twin.notDone);
    TellBeforeRun(platform, arguments, text, twin.resultLine, screen);
    return twin.notStartedCode;
}

void TellBeforeRun(platform::Platform& platform, std::string_view arguments, const std::string& text,
                   const char* resultLine, const NoticeSink& screen)
{
    const std::vector<std::string> words = SplitArguments(arguments);
    if (!HasOption(words, "quiet")) {
        screen.Show(AppNotice(text));
        return;
    }
    RunLog log(platform);
    const std::string logPath = OptionValue(words, "log");
    if (!logPath.empty() && log.Open(logPath.c_str())) {
        log.Lines(text);
        if (resultLine) log.Line(resultLine);
    }
}

}  // namespace zenthar
