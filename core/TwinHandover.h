// The 32-bit programs hand their whole run to their 64-bit twins on 64-bit Windows. There the
// spooler's null environment means the caller's own: a 32-bit program would file the driver
// for "Windows NT x86", and the 64-bit spooler service could then make no printer on it
// (1797). The twin, the same program built for the machine, lies beside the shipped one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/Notice.h"
#include "platform/Platform.h"

namespace zenthar {

// Whether this program is 32-bit on a 64-bit Windows. A system without IsWow64Process has no
// 64-bit side; a call that fails is taken the same way, and the program does the work itself.
bool RunsUnderWow64(platform::Platform& platform);

// Whether this program is 64-bit: the system is, and the program runs without WOW64.
bool RunsAs64BitProgram(platform::Platform& platform);

struct TwinRun {
    enum class State {
        NotNeeded,   // not under WOW64: this program does the work
        Ran,         // the twin ran to its end; `exitCode` is its code
        NotStarted,  // under WOW64, but the twin could not be started; `error` says why
    };
    State state = State::NotNeeded;
    platform::Dword exitCode = 0;
    platform::Dword error = 0;
};

// Under WOW64, starts `twinFileName` from this program's own folder with `arguments` (what
// follows the program's name on its command line) and waits for it to end, however long the
// person at its dialogs takes.
TwinRun RunTwinUnderWow64(platform::Platform& platform, const char* twinFileName, std::string_view arguments);

// One program's twin and what it says when the twin cannot be started.
struct Twin {
    const char* fileName;    // "zenthar64.exe"
    const char* work;        // what the twin does: "installation"
    const char* notDone;     // what then did not happen: "installed"
    int notStartedCode;      // the exit code then
    const char* resultLine;  // the log's last line then; nullptr for none
};

// Says what stopped the program before its run: to `screen` as the program's own warning, or for
// "/quiet" in the log that "/log PATH" names, followed there by `resultLine` (none when null).
void TellBeforeRun(platform::Platform& platform, std::string_view arguments, const std::string& text,
                   const char* resultLine, const NoticeSink& screen);

// The program's start on 64-bit Windows: the twin's exit code once it has run; when it could
// not be started, `notStartedCode` after saying why (to `screen`, or for "/quiet" in the log
// that "/log PATH" names). Nothing when this program does the work itself.
std::optional<int> HandOverToTwin(platform::Platform& platform, const Twin& twin, std::string_view arguments,
                                  const NoticeSink& screen);

}  // namespace zenthar
