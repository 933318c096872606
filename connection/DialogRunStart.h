// What a run at the dialogs makes sure of before anything else, the installer's and the
// uninstaller's alike: no other installation or removal is running, and the installer folder
// is safe to use. A refusal is told at once in a message box, rather than keeping a person
// waiting without a window.
#pragma once

#include <optional>

#include "core/OneRunAtATime.h"
#include "platform/Platform.h"

namespace zenthar {

enum class StartRefused { AnotherRun, FolderNotLocked };

// `run` holds the machine for the rest of the run once taken; `notDone` ends the folder's
// message ("installed", "removed").
std::optional<StartRefused> StartDialogRun(platform::Platform& platform, MachineWideRun& run, const char* notDone);

}  // namespace zenthar
