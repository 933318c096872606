// The driver package in the installer folder of a simulated machine: every file a file set
// or the port monitor names, each holding its own folder and name, so that a test can tell
// where a copy came from.
#pragma once

#include <string>

#include "install/DriverFileSets.h"
#include "platform/sim/SimMachine.h"

namespace zenthar::testing {

inline constexpr const char* kInstallerFolder = "C:\\NORVA Orbix Printer 4.X";

inline void AddSamplePackage(sim::SimMachine& machine)
{
    const char* folders[] = {"WinNT",
                             "WinXP",
                             "Win8",
                             "Win64\\XP",
                             "Win64\\2003",
                             "Win64\\x64",
                             "Win64\\Server2012",
                             "Win64\\Itanium",
                             "Win64\\Itanium\\Win8"};
    const char* names[] = {"UNIDRV.DLL",   "UNIDRVUI.DLL", "UNIDRV.HLP",   "VXTHM4.GPD",    "VXTHM4.DLL", "UNIRES.DLL",
                           "STDNAMES.GPD", "VXTHM4E.DLL",  "VXTHM4.INI",   "VXTHM4UI.DLL",  "RASDD.DLL",  "RASDDUI.DLL",
                           "RASDDUI.HLP",  "THERMAL.DLL",  "KVUSBMON.dll", "KVUSBMONUI.dll"};
    for (const char* folder : folders)
        for (const char* name : names)
            machine.AddFile(std::string(kInstallerFolder) + "\\" + folder + "\\" + name,
                            std::string(folder) + "\\" + name);
    for (const char* language : {"WinXP", "Win8"})
        for (const char* gpd : LanguageGpdNames)
            machine.AddFile(std::string(kInstallerFolder) + "\\" + language + "\\Language\\" + gpd,
                            std::string(language) + "\\Language\\" + gpd);
    machine.AddFile(std::string(kInstallerFolder) + "\\DriverOrbixUninstaller.exe", "uninstaller");
}

// The universal driver a 64-bit system has installed itself, which the 64-bit sets take.
inline void AddSystemUniversalDriver(sim::SimMachine& machine)
{
    const std::string version = machine.DriverDirectory() + "\\3\\";
    for (const char* name : {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL", "UNIDRV.HLP"})
        machine.AddFile(version + name, std::string("system ") + name);
}

}  // namespace zenthar::testing
