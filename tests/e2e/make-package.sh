#!/usr/bin/env bash
# Writes the sample driver package into a Wine prefix: test material standing in for the
# files the installer copies and registers but does not make.
#
#   tests/e2e/make-package.sh DRIVE_C MONITOR_FOLDER
#
# DRIVE_C is the prefix's drive_c; MONITOR_FOLDER holds the built KVUSBMON.dll and
# KVUSBMONUI.dll (x86_64: the prefix is a 64-bit Windows, whose installation takes the
# monitor of Win64\x64). Every other file is a line of text naming its folder and name, so
# that a check can tell which copy landed where: "package <folder>\<name>" in the installer
# folder, "system <folder>\<name>" for the universal driver that a 64-bit Windows keeps in
# the version folder of each driver directory (x64 and w32x86, as Wine names them).
set -euo pipefail
drive_c=${1:?drive_c of the prefix}
monitors=${2:?folder of KVUSBMON.dll and KVUSBMONUI.dll}
package="$drive_c/NORVA Orbix Printer 4.X"

# Folder, then the files the file sets take from it (StdNames.gpd is STDNAMES.GPD: Windows
# names compare without regard to case).
file_sets=(
  "WinNT|RASDD.DLL RASDDUI.DLL RASDDUI.HLP THERMAL.DLL"
  "WinXP|UNIDRV.DLL UNIDRVUI.DLL UNIDRV.HLP VXTHM4.GPD VXTHM4.DLL UNIRES.DLL STDNAMES.GPD VXTHM4E.DLL VXTHM4.INI VXTHM4UI.DLL"
  "Win8|UNIDRV.DLL UNIDRVUI.DLL UNIDRV.HLP VXTHM4.GPD VXTHM4.DLL UNIRES.DLL STDNAMES.GPD VXTHM4E.DLL VXTHM4.INI VXTHM4UI.DLL"
  "Win64\\XP|UNIDRV.DLL UNIDRVUI.DLL UNIDRV.HLP UNIRES.DLL"
  "Win64\\2003|UNIDRV.DLL UNIDRVUI.DLL UNIDRV.HLP UNIRES.DLL"
  "Win64\\x64|VXTHM4.DLL VXTHM4E.DLL VXTHM4.INI VXTHM4UI.DLL"
  "Win64\\Server2012|VXTHM4.DLL VXTHM4E.DLL VXTHM4.INI VXTHM4UI.DLL"
  "Win64\\Itanium|VXTHM4.DLL VXTHM4E.DLL VXTHM4UI.DLL"
  "Win64\\Itanium\\Win8|VXTHM4.DLL VXTHM4E.DLL VXTHM4UI.DLL"
)
monitor_folders=("Win8" "Win64\\x64" "Win64\\Itanium")
code_pages=(437 850 852 863 864 866 874 932 936 949 950 1250 1251 1252 1253 1254 1255 1256 1257 1258 737 857 858)
system_folders=("x64" "w32x86")
system_files=(UNIDRV.DLL UNIDRVUI.DLL UNIRES.DLL UNIDRV.HLP)

unix_path() { echo "${1//\\//}"; }

placeholder() {   # root kind folder name
  local dir
  dir="$1/$(unix_path "$3")"
  mkdir -p "$dir"
  printf '%s %s\\%s\r\n' "$2" "$3" "$4" >"$dir/$4"
}

rm -rf "$package"
for entry in "${file_sets[@]}"; do
  folder=${entry%%|*}
  for name in ${entry#*|}; do placeholder "$package" package "$folder" "$name"; done
done
for language in WinXP Win8; do
  for page in "${code_pages[@]}"; do placeholder "$package" package "$language\\Language" "VXTHM4_$page.GPD"; done
done
for folder in "${monitor_folders[@]}"; do
  cp "$monitors/KVUSBMON.dll" "$monitors/KVUSBMONUI.dll" "$package/$(unix_path "$folder")/"
done
# DriverOrbixUninstaller.exe is not package material: prepare-prefix.sh puts the build's own
# beside it in each copy of the machine.

drivers="$drive_c/windows/system32/spool/drivers"
for folder in "${system_folders[@]}"; do
  for name in "${system_files[@]}"; do placeholder "$drivers" system "$folder\\3" "$name"; done
done
