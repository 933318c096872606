#include "core/OneRunAtATime.h"

#include <string>

#include "platform/Constants.h"
#include "resources/InstallerWords.h"

namespace zenthar {

bool MachineWideRun::Take(platform::Dword milliseconds)
{
    auto created =
        OwnHandle(platform.kernel, "CreateMutexA", platform.kernel.CreateMutexA(nullptr, false, kRunMutexName));
    if (!created) {
        platform.debug.OutputDebugStringA(
            resources::Say(resources::Words::MutexNotMade, created.Failed().error).c_str());
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
    platform.debug.OutputDebugStringA(resources::Say(resources::Words::WaitFailed, waited.error).c_str());
    return true;
}

MachineWideRun::~MachineWideRun()
{
    if (owned) platform.kernel.ReleaseMutex(mutex.Get());
}

}  // namespace zenthar
