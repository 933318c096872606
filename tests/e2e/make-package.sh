#!/usr/bin/env bash
# Writes the sample driver package into a Wine prefix: test material standing in for the
# files the installer copies and registers but does not make.
#
#   tests/e2e/make-package.sh DRIVE_C X86_MONITORS X64_MONITORS 32|64
#
# DRIVE_C is the prefix's drive_c. X86_MONITORS and X64_MONITORS hold the built KVUSBMON.dll
# and KVUSBMONUI.dll of each width: the i686 ones go to the package's 32-bit folder (Win8),
# which a 32-bit Windows installs from, the x86_64 ones to its 64-bit folders, which a 64-bit
# Windows installs from. Every other file is a line of text naming its folder and name, so
# that a check can tell which copy landed where: "package <folder>\<name>" in the installer
# folder, "system <folder>\<name>" for the universal driver that Windows keeps in the version
# folder of each driver directory (x64 and w32x86 on a 64-bit Windows, w32x86 alone on a
# 32-bit one, as Wine names them).
set -euo pipefail
drive_c=${1:?drive_c of the prefix}
x86_monitors=${2:?folder of the i686 KVUSBMON.dll and KVUSBMONUI.dll}
x64_monitors=${3:?folder of the x86_64 KVUSBMON.dll and KVUSBMONUI.dll}
width=${4:?32 or 64: the Windows of the prefix}
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
# folder|width of its monitor libraries (no Itanium build here: its folder gets the x64 ones)
monitor_folders=("Win8|x86" "Win64\\x64|x64" "Win64\\Itanium|x64")
code_pages=(437 850 852 863 864 866 874 932 936 949 950 1250 1251 1252 1253 1254 1255 1256 1257 1258 737 857 858)
system_folders=("w32x86")
[ "$width" = 64 ] && system_folders+=("x64")
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
for entry in "${monitor_folders[@]}"; do
  folder=${entry%%|*}
  monitors=$x64_monitors
  [ "${entry#*|}" = x86 ] && monitors=$x86_monitors
  cp "$monitors/KVUSBMON.dll" "$monitors/KVUSBMONUI.dll" "$package/$(unix_path "$folder")/"
done
# The programs are not package material: prepare-prefix.sh puts the shipped ones beside it.

drivers="$drive_c/windows/system32/spool/drivers"
for folder in "${system_folders[@]}"; do
  for name in "${system_files[@]}"; do placeholder "$drivers" system "$folder\\3" "$name"; done
done
