// "COMSPEC" values: the command interpreter that the service restart runs.
#include <cstdint>

#include "FuzzSupport.h"
#include "core/ServiceControl.h"
#include "platform/Constants.h"

namespace {

using namespace zenthar;

constexpr std::size_t kCommandLineSize = 4096;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 3 * kCommandLineSize) return 0;
    const std::string value = fuzz::AsText(std::string(reinterpret_cast<const char*>(data), size));
    fuzz::World world;
    if (value.empty()) {
        world.machine.RemoveEnvironmentVariable("COMSPEC");
    } else {
        world.machine.SetEnvironmentVariable("COMSPEC", value);
    }
    const auto result = RunCommand(world.machine.platform(), "net stop", "spooler");

    const std::string interpreter = value.empty() ? std::string("CMD.EXE") : value;
    const std::string commandLine = interpreter + " /c net stop spooler";
    const auto processes = world.machine.Processes();
    if (commandLine.size() < kCommandLineSize) {
        FUZZ_CHECK(processes.size() == 1, "a command line that fits is run");
        FUZZ_CHECK(processes[0].commandLine == commandLine, "interpreter, /c, command and argument, in order");
    } else {
        FUZZ_CHECK(processes.empty(), "a command line that does not fit is not run, not even cut");
        FUZZ_CHECK(!result && result.Failed().error == platform::ERROR_FILENAME_EXCED_RANGE,
                   "and the refusal is its result");
    }
    FUZZ_CHECK(world.machine.Misuses().empty(), "no misuse of the platform");
    return 0;
}
