#include "core/OneRunAtATime.h"

#include <string>

#include "platform/Constants.h"

namespace zenthar {

bool MachineWideRun::Take(platform::Dword milliseconds)
{
    auto created =
        OwnHandle(platform.kernel, "CreateMutexA", platform.kernel.CreateMutexA(nullptr, false, kRunMutexName));
    if (!created) {
        platform.debug.OutputDebugStringA(("The mutex that keeps runs apart could not be made (error " +
                                           std::to_string(created.Failed().error) +
                                           "); this run does not wait for others")
                                              .c_str());
        return true;
    }
    mutex = std::move(*created);
    const auto waited = platform.kernel.WaitForSingleObject(mutex.Get(), milliseconds);
    // A run that ended without letting go (it crashed) left the machine as it was: take it.
    if (waited.value == platform::WAIT_OBJECT_0 || waited.value == platform::WAIT_ABANDONED) {
        owned = true;
        return true;
    }
    if (waited.value == platform::WAIT_TIMEOUT) return false;
    platform.debug.OutputDebugStringA(
        ("Waiting for other runs failed (error " + std::to_string(waited.error) + "); this run does not wait").c_str());
    return true;
}

MachineWideRun::~MachineWideRun()
{
    if (owned) platform.kernel.ReleaseMutex(mutex.Get());
}

}  // namespace zenthar
