// The program's entry point: the one place that joins the installer to the real Windows
// backends.
#include <windows.h>

#include "app/InstallerApp.h"
#include "core/Pause.h"
#include "entry/SystemLibrariesOnly.h"
#include "platform/win32/Win32Platform.h"
#include "ui/win32/Win32Backend.h"

namespace {

// A designed pause keeps the windows painted and lets the system see the program alive, so
// that a long run is never shown as "Not Responding"; keyboard and mouse input waits in the
// queue until the run is over, as it would during a plain Sleep.
void PaintingPause(zenthar::platform::Platform&, zenthar::platform::Dword milliseconds)
{
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&message);
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) break;
        // Wakes early only to paint.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_PAINT);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    zenthar::entry::LoadLibrariesFromSystemDirectoryOnly();
    zenthar::win32::Win32Platform platform;
    zenthar::ui::win32::Win32Backend ui;
    zenthar::ui::UseBackend(&ui);
    zenthar::SetPauseHook(&PaintingPause);

    const std::string_view arguments = commandLine ? commandLine : "";
    if (const auto twinExitCode = zenthar::HandOverToTwin(platform.Get(), arguments)) {
        zenthar::ui::UseBackend(nullptr);
        return *twinExitCode;
    }
    zenthar::ProcessState state(platform.Get());
    const int exitCode = static_cast<int>(zenthar::RunProgram(platform.Get(), state, arguments));

    zenthar::ui::UseBackend(nullptr);
    return exitCode;
}
