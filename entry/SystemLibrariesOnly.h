// The first step of each program: every library loaded from now on, by the program or by a
// library on its behalf, comes from the system directory only, never from the program's folder
// or the current directory, where a file of a user's choosing may lie.
#pragma once

#include <windows.h>

namespace zenthar::entry {

inline void LoadLibrariesFromSystemDirectoryOnly()
{
    // Windows 8 and later, and 7 with its loader update; elsewhere the program's own loads name
    // the system directory themselves.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel) return;
    const auto address = reinterpret_cast<INT_PTR>(GetProcAddress(kernel, "SetDefaultDllDirectories"));
    if (address == 0) return;
    reinterpret_cast<SetDefaultDllDirectoriesFunction>(address)(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace zenthar::entry
