// DriverOrbixUninstaller.exe's entry point: the windowless run when the command line asks for
// it, otherwise the uninstaller's dialogs on the real Windows backends.
#include <windows.h>

#include "core/CommandLine.h"
#include "platform/win32/Win32Platform.h"
#include "ui/win32/Win32Backend.h"
#include "uninstall/QuietUninstall.h"
#include "uninstall/UninstallerApp.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    zenthar::win32::Win32Platform platform;
    const std::vector<std::string> arguments = zenthar::SplitArguments(commandLine ? commandLine : "");
    if (zenthar::uninstall::WantsQuietRun(arguments))
        return zenthar::uninstall::RunQuietUninstall(platform.Get(), arguments);

    zenthar::ui::win32::Win32Backend ui;
    zenthar::ui::UseBackend(&ui);
    const int exitCode = zenthar::uninstall::RunUninstallerApp(platform.Get());
    zenthar::ui::UseBackend(nullptr);
    return exitCode;
}
