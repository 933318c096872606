// Installations and removals of these printers change the same spooler entries, ports,
// registry keys and files: on one machine they run one at a time, in every session, whichever
// program and width runs them. Deployment tools overlap (a startup script and a distribution
// agent, a person at the till and a tool); the second run waits or says why it cannot start.
#pragma once

#include <string>

#include "core/Owners.h"
#include "platform/Platform.h"
#include "resources/InstallerWords.h"

namespace zenthar {

// In the Global namespace, so that runs in other sessions (a service's, a remote desktop's)
// see it too.
inline constexpr const char* kRunMutexName = "Global\\NORVA Orbix Printer 4.64 installation";
// How long a run without windows waits for another to end: longer than any run of ours takes
// without a person at it, short of holding a deployment agent for good.
inline constexpr platform::Dword kQuietRunWaitMinutes = 5;
inline constexpr platform::Dword kQuietRunWait = kQuietRunWaitMinutes * 60 * 1000;
// The end of the log line of a run that waited in vain: " (waited 5 minutes)".
inline std::string QuietRunWaitedText()
{
    return resources::Say(resources::Words::QuietRunWaited, kQuietRunWaitMinutes);
}

class MachineWideRun {
public:
    explicit MachineWideRun(platform::Platform& platform) : platform(platform) {}
    MachineWideRun(const MachineWideRun&) = delete;
    MachineWideRun& operator=(const MachineWideRun&) = delete;
    ~MachineWideRun();

    // Takes the machine for this run, waiting up to `milliseconds` for another run to end; false
    // when another run still has it. A system that cannot make the mutex (NT 4 has no Global
    // names) has no other run to wait for: that is said on the debugger output, and true.
    bool Take(platform::Dword milliseconds);

private:
    platform::Platform& platform;
    HandleOwner mutex;
    bool owned = false;
};

}  // namespace zenthar
