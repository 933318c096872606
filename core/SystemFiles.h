// File-system helpers of the installation that the port monitor and the driver registration
// both need.
#pragma once

#include <string>

#include "core/Failure.h"
#include "core/Owners.h"
#include "platform/Platform.h"

namespace zenthar {

// The address of a kernel32 function that not every system has, or 0 where it has none.
platform::ProcAddress Kernel32Export(platform::Platform& platform, const char* name);

// A Windows library loaded from the system directory, never a file of the same name that lies
// beside the program or in the current directory: LoadLibraryExA with
// LOAD_LIBRARY_SEARCH_SYSTEM32, or LoadLibraryA of the full path where the system does not
// know that flag (87).
Result<ModuleOwner> LoadSystemLibrary(platform::Platform& platform, const char* name);

// Lets this thread see the native system folders from now on (a 32-bit program on 64-bit
// Windows is otherwise redirected to SysWOW64). True also where the system has no redirection.
bool DisableFsRedirection(platform::Platform& platform);

// The native system folders for this thread while it lives, and redirection as it was
// afterwards: windows and everything else the program does see the folders as it expects.
class NativeSystemFolders {
public:
    explicit NativeSystemFolders(platform::Platform& platform);
    ~NativeSystemFolders();
    NativeSystemFolders(const NativeSystemFolders&) = delete;
    NativeSystemFolders& operator=(const NativeSystemFolders&) = delete;

private:
    platform::Platform& platform;
    platform::ProcAddress revert = 0;
    void* oldValue = nullptr;
};

// Puts the system's WBEM copy of FRAMEDYN.dll into the system directory, which the spooler
// needs to register the driver on some systems.
void CopyFrameDyn(platform::Platform& platform);

}  // namespace zenthar
