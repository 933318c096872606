// The folder the programs and the driver package lie in, made safe before anything in it is
// used. The programs run elevated (and as SYSTEM under the Windows Installer), and they start
// their twins, copy drivers and monitors into the system's folders and run the uninstaller
// from this folder: whoever can change it can run code as an administrator. A folder made under
// C:\ lets every user who signs in change it, unless its maker locks it down.
#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"

namespace zenthar {

inline constexpr const char* kInstallerFolder = "C:\\NORVA Orbix Printer 4.X";

struct FolderLock {
    bool refused = false;
    // Refused: why, for the refusal's text; otherwise the log's step line.
    std::string text;
};

// Gives the folder and everything in it the owner Administrators and a protected DACL (SYSTEM
// and Administrators full control, Users read and execute, inherited by all below). Refused,
// with nothing changed: a folder that is a reparse point, one owned by anyone but SYSTEM,
// Administrators, TrustedInstaller or the account this program runs as (someone else made it,
// and may have put things in it), and one that cannot be locked. A system without file
// security (9x) and a folder that is not there are passed, with the step line saying so.
FolderLock LockInstallerFolder(platform::Platform& platform);

// For "/check", changing nothing: why the folder is not locked (a reparse point, an owner
// outside the set above, an entry that lets anyone else change it); none when it is.
std::optional<std::string> InstallerFolderDifference(platform::Platform& platform);

// The refusal as the person or the log reads it; `notDone` says what then did not happen
// ("installed").
std::string FolderRefusalText(const std::string& reason, const char* notDone);

}  // namespace zenthar
