// The program's entry point: the one place that joins the installer to the real Windows
// backends. Until the installer's dialogs exist it has nothing to show, and it must not
// pretend to install anything, so it only says so to the debugger and ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    OutputDebugStringA("Zenthar: the installer's dialogs are not built yet; nothing to do.\n");
    return 0;
}
