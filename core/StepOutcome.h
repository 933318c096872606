// What a step gives back when it either worked or failed with Windows' error number and has
// nothing more to say: one shape for such steps instead of a bare number whose 0 means success.
#pragma once

#include "platform/Types.h"

namespace zenthar {

class StepOutcome {
public:
    static StepOutcome Done() { return StepOutcome(true, 0); }
    static StepOutcome Failed(platform::Dword error) { return StepOutcome(false, error); }

    bool Worked() const { return worked; }
    // The error number of a step that failed; 0 for one that worked.
    platform::Dword Error() const { return error; }

private:
    StepOutcome(bool worked, platform::Dword error) : worked(worked), error(error) {}

    bool worked;
    platform::Dword error;
};

}  // namespace zenthar
