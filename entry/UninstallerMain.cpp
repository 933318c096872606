// DriverOrbixUninstaller.exe's entry point: the windowless run when the command line asks for
// it, otherwise the uninstaller's dialogs on the real Windows backends.
#include <windows.h>

#include <string>
#include <vector>

#include "core/CommandLine.h"
#include "entry/SystemLibrariesOnly.h"
#include "platform/win32/Win32Platform.h"
#include "ui/win32/Win32Backend.h"
#include "uninstall/QuietUninstall.h"
#include "uninstall/UninstallerApp.h"

namespace {

// What follows the program's name on its command line. The uninstall entry names the program
// by its path without quotes, blanks and all, and the system starts it from there; the C
// runtime's lpCmdLine would then begin inside the path. So the path the program was started
// from is skipped whole when the line begins with it; otherwise the runtime's rule applies
// (a quoted name to its closing quote, else to the first blank).
std::string ArgumentText()
{
    const std::string line = GetCommandLineA();
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH && line.size() >= length && _strnicmp(line.c_str(), path, length) == 0 &&
        (line.size() == length || line[length] == ' ' || line[length] == '\t'))
        return line.substr(length);
    std::size_t end = line.find_first_of(" \t");
    if (!line.empty() && line[0] == '"') {
        end = line.find('"', 1);
        if (end != std::string::npos) ++end;
    }
    return end == std::string::npos ? std::string() : line.substr(end);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    zenthar::entry::LoadLibrariesFromSystemDirectoryOnly();
    zenthar::win32::Win32Platform platform;
    zenthar::ui::win32::Win32Backend ui;
    zenthar::ui::UseBackend(&ui);
    const std::string argumentText = ArgumentText();
    if (const auto twinExitCode = zenthar::uninstall::HandOverToTwin(platform.Get(), argumentText)) {
        zenthar::ui::UseBackend(nullptr);
        return static_cast<int>(*twinExitCode);
    }
    const std::vector<std::string> arguments = zenthar::SplitArguments(argumentText);
    if (zenthar::HasOption(arguments, "quiet")) {
        const auto exitCode = zenthar::uninstall::RunQuietUninstall(platform.Get(), arguments);
        zenthar::ui::UseBackend(nullptr);
        return static_cast<int>(exitCode);
    }

    const auto exitCode = zenthar::uninstall::RunUninstallerApp(platform.Get());
    zenthar::ui::UseBackend(nullptr);
    return static_cast<int>(exitCode);
}
