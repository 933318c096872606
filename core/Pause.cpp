#include "core/Pause.h"

#include <atomic>

namespace zenthar {

namespace {
std::atomic<PauseHook> pauseHook{nullptr};
}

void Pause(platform::Platform& platform, platform::Dword milliseconds)
{
    if (const PauseHook hook = pauseHook.load()) {
        hook(platform, milliseconds);
    } else {
        platform.clock.Sleep(milliseconds);
    }
}

void SetPauseHook(PauseHook hook)
{
    pauseHook.store(hook);
}

}  // namespace zenthar
