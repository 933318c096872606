// The designed pauses of an installation run (between its steps, during the USB search).
//
// A pause blocks the user-interface thread, as designed: no keyboard or mouse input is
// handled meanwhile. The program's entry point installs a hook that keeps the windows
// painted (and the program visibly alive) while it waits; without a hook, as in the tests,
// a pause is the platform's Sleep alone.
#pragma once

#include "platform/Platform.h"

namespace zenthar {

using PauseHook = void (*)(platform::Platform& platform, platform::Dword milliseconds);

void Pause(platform::Platform& platform, platform::Dword milliseconds);
void SetPauseHook(PauseHook hook);

}  // namespace zenthar
