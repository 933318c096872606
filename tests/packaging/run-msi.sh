#!/usr/bin/env bash
# The Windows Installer package, read and run: its tables as msiinfo reads them, then Wine's
# msiexec on the end-to-end machine (without the installer folder, which the package brings):
#   install-by-properties  msiexec /i with properties gives the machine that the matching
#                          zenthar.exe /quiet command line gives on a copy of the same machine,
#                          in the installer folder the package made locked;
#   bad-properties         a property the program refuses fails the package, its reason in the
#                          package's log, and nothing of ours is left;
#   remove                 msiexec /x after the first case removes our printer, driver, entry
#                          and files; another maker's printer stays;
#   existing-folder        an installer folder made beforehand (by the prefix's user, the account
#                          msiexec runs as under Wine) is locked and installed into;
#   removal-refused        that installation's folder turned into a link to a copy of it: the
#                          removal refuses to run the uninstaller from it and fails;
#   log-link               a link at LOGFILE to another file: the package's log copies nothing
#                          of that file.
#
#   tests/packaging/run-msi.sh MSI BUILD_DIR RESULTS_DIR
#
# BUILD_DIR is the x86_64 Windows build (its e2e-user.exe sets up the foreign printer, its
# e2e-check.exe reads the machine back). One line "pass msi msi NAME" or "fail msi msi NAME" per case
# goes to RESULTS_DIR/steps.txt; logs to RESULTS_DIR/msi/. Where Wine's 32-bit loader does
# not run, only the tables are judged, and a note says why.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-env.sh"

msi=${1:?the .msi}
build=$(cd "${2:?x86_64 Windows build}" && pwd)
results=${3:?results folder}
mkdir -p "$results/msi" && results=$(cd "$results" && pwd)
out=$results/msi
cases=(tables install-by-properties bad-properties remove existing-folder removal-refused log-link)

verdict() { echo "$2 msi msi $1" >>"$results/steps.txt"; }
cannot_run() {
  local name
  echo "msi: $1" >&2
  for name in "${cases[@]}"; do verdict "$name" fail; done
  exit 1
}
[ -f "$msi" ] || cannot_run "no $msi (make msi)"
command -v msiinfo >/dev/null || cannot_run "msiinfo is missing (Debian package msitools)"

# ---- The tables -----------------------------------------------------------------------------
tables_hold() {
  local sequence actions properties files
  # msiinfo ends its lines with CR LF.
  sequence=$(msiinfo export "$msi" InstallExecuteSequence | tr -d '\r') || return 1
  actions=$(msiinfo export "$msi" CustomAction | tr -d '\r') || return 1
  properties=$(msiinfo export "$msi" Property | tr -d '\r') || return 1
  files=$(msiinfo export "$msi" File | tr -d '\r' | cut -f3) || return 1
  local want
  # Per machine, a product code of its own, the fixed upgrade code, the upgrade of an older one.
  for want in $'ALLUSERS\t1' $'ProductName\tNORVA Orbix Printer 4.64' \
              $'UpgradeCode\t{99789734-8605-4AAF-A93E-A88E2852D5B8}' $'ROOTDRIVE\tC:\\'; do
    grep -qxF "$want" <<<"$properties" || { echo "Property lacks: $want"; return 1; }
  done
  grep -q $'^ProductCode\t{' <<<"$properties" || { echo "no ProductCode"; return 1; }
  grep -q $'^RemoveExistingProducts\t' <<<"$sequence" || { echo "no major upgrade"; return 1; }
  # The deferred actions without impersonation (3073), each after the immediate one that gives
  # it its data: the folder's locking between InstallInitialize and InstallFiles, the
  # installation between InstallFiles and InstallFinalize, the removal before RemoveFiles.
  for want in $'RunQuietInstall\t3073\tZentharMsiActions\tRunQuietInstall' \
              $'RunQuietUninstall\t3073\tZentharMsiActions\tRunQuietUninstall' \
              $'LockInstallFolder\t3073\tZentharMsiActions\tLockInstallFolder'; do
    grep -qF "$want" <<<"$actions" || { echo "CustomAction lacks: $want"; return 1; }
  done
  grep -q $'^SetLockInstallFolderData\t[0-9]*\tLockInstallFolder\t\\[INSTALLFOLDER\\]\t$' <<<"$actions" ||
    { echo "the locking's data is not the installer folder alone"; return 1; }
  grep -qF $'RunQuietInstall\t[INSTALLFOLDER]\t[MODEL]\t[CLONES]\t[INTERFACE]\t[PORT]\t[ADDRESS]\t[CODEPAGE]\t[DEFAULT]\t[LOGFILE]' <<<"$actions" ||
    { echo "the installation's data lacks a property"; return 1; }
  position() { awk -F'\t' -v a="$1" '$1 == a { print $3 }' <<<"$sequence"; }
  local set run files_in finalize set_removal removal remove_files
  set=$(position SetQuietInstallData) run=$(position RunQuietInstall) files_in=$(position InstallFiles)
  finalize=$(position InstallFinalize) set_removal=$(position SetQuietUninstallData)
  removal=$(position RunQuietUninstall) remove_files=$(position RemoveFiles)
  [ -n "$set" ] && [ -n "$run" ] && [ -n "$set_removal" ] && [ -n "$removal" ] || { echo "an action is not sequenced"; return 1; }
  [ "$files_in" -lt "$set" ] && [ "$set" -lt "$run" ] && [ "$run" -lt "$finalize" ] ||
    { echo "the installation runs at $run, not between InstallFiles ($files_in) and InstallFinalize ($finalize)"; return 1; }
  [ "$set_removal" -lt "$removal" ] && [ "$removal" -lt "$remove_files" ] ||
    { echo "the removal runs at $removal, not before RemoveFiles ($remove_files)"; return 1; }
  local set_lock lock initialize
  set_lock=$(position SetLockInstallFolderData) lock=$(position LockInstallFolder) initialize=$(position InstallInitialize)
  [ -n "$set_lock" ] && [ -n "$lock" ] && [ "$initialize" -lt "$set_lock" ] && [ "$set_lock" -lt "$lock" ] &&
    [ "$lock" -lt "$files_in" ] ||
    { echo "the locking runs at ${lock:-no place}, not between InstallInitialize ($initialize) and InstallFiles ($files_in)"; return 1; }
  for want in SetLockInstallFolderData LockInstallFolder SetQuietInstallData RunQuietInstall; do
    grep -q "^$want"$'\tNOT Installed AND NOT REMOVE\t' <<<"$sequence" || { echo "the condition of $want"; return 1; }
  done
  grep -q $'^RunQuietUninstall\tREMOVE~="ALL" AND NOT UPGRADINGPRODUCTCODE\t' <<<"$sequence" ||
    { echo "the removal's condition"; return 1; }
  # The programs and the driver files.
  for want in zenthar.exe zenthar64.exe DriverOrbixUninstaller.exe DriverOrbixUninstaller64.exe VXTHM4.GPD KVUSBMON.dll; do
    grep -qi "|$want\$\|^$want\$" <<<"$files" || { echo "File lacks $want"; return 1; }
  done
}
if tables_hold >"$out/tables.txt" 2>&1; then verdict tables pass; else cat "$out/tables.txt" >&2; verdict tables fail; fi

# ---- Under Wine -----------------------------------------------------------------------------
# The package's actions and the programs it starts first are 32-bit.
if ! why=$(wine32_probe); then
  note msi "msi the package was not run under Wine on this machine: $why"
  exit 0
fi
for exe in tests/e2e/e2e-user.exe tests/e2e/e2e-check.exe; do
  [ -f "$build/$exe" ] || cannot_run "no $build/$exe"
done
"$here/../e2e/prepare-prefix.sh" "$build" >/dev/null || cannot_run "the end-to-end machine could not be prepared"
wine_use x86_64

# machine NAME [extracted|none] [no-datatype]: a fresh copy of the end-to-end machine whose
# installer folder is the package's own files (extracted) or gone (none, which the package
# brings), with Wine's data type for the printer the runs add (see run-e2e.sh) unless a run
# adds none.
machine() {
  local prefix folder
  prefix=$("$here/../e2e/prepare-prefix.sh" "$build" "msi-$1" | tail -1)
  folder="$prefix/drive_c/NORVA Orbix Printer 4.X"
  rm -rf "$folder"
  [ "${2:-}" = extracted ] && msiextract -C "$prefix/drive_c" "$msi" >/dev/null
  if [ "${3:-}" != no-datatype ]; then
    WINEPREFIX=$prefix "$WINE" reg add 'HKLM\System\CurrentControlSet\Control\Print\Printers\NORVA MTR444' \
      /v Datatype /d RAW /f >/dev/null 2>&1
  fi
  wine_stop "$prefix"
  echo "$prefix"
}

# in_display PREFIX COMMAND...: the command under Xvfb with the prefix's server started.
in_display() {
  local prefix=$1; shift
  xvfb-run -a -s "-screen 0 1024x768x24" env WINEPREFIX="$prefix" bash -c '
    . "$0"; wine_use x86_64; wine_start "$WINEPREFIX" >/dev/null 2>&1; "$@"; rc=$?; wine_stop "$WINEPREFIX"; exit $rc' \
    "$here/../../scripts/wine-env.sh" "$@"
}

msiexec() {   # PREFIX LOGNAME ARG...: msiexec with a verbose log in $out
  local prefix=$1 log=$2; shift 2
  in_display "$prefix" timeout -k 10 600 "$WINE" msiexec "$@" /qn /l*v "$(winepath_of "$out/$log")"
}

check() {   # PREFIX NAME: the machine against $out/NAME.checks
  WINEPREFIX=$1 timeout -k 10 120 "$WINE" "$build/tests/e2e/e2e-check.exe" "$(winepath_of "$out/$2.checks")" \
    >"$out/$2.txt" 2>&1
  local rc=$?
  wine_stop "$1"
  return $rc
}

package=$(winepath_of "$(cd "$(dirname "$msi")" && pwd)/$(basename "$msi")")
entry='Software\Microsoft\Windows\CurrentVersion\Uninstall\NORVA Orbix Printer 4.64'
installed_checks() {
  cat <<EOF
printer "NORVA MTR444" COM1:
driver "NORVA MTR444"
record "NORVA MTR444" 866
default "NORVA MTR444"
value "$entry" UninstallString sz "C:\\NORVA Orbix Printer 4.X\\DriverOrbixUninstaller.exe"
EOF
}

# install-by-properties: the package, and beside it the program's own command line.
by_msi=$(machine by-msi none)
msiexec "$by_msi" install.log /i "$package" "MODEL=NORVA MTR444" INTERFACE=serial PORT=COM1: CODEPAGE=866 DEFAULT=1 \
  'LOGFILE=C:\orbix.log'
msi_rc=$?
by_program=$(machine by-program extracted)
in_display "$by_program" timeout -k 10 300 "$WINE32" 'C:\NORVA Orbix Printer 4.X\zenthar.exe' /quiet \
  /model "NORVA MTR444" /interface serial /port COM1: /codepage 866 /default '/log' 'C:\orbix.log'
program_rc=$?
{ installed_checks; echo 'file-line C:\orbix.log "result: 0 installed (or everything chosen existed already)"'; } >"$out/installed.checks"
cp "$out/installed.checks" "$out/by-msi.checks"
cp "$out/installed.checks" "$out/by-program.checks"
# Under the package the program's own entry is hidden: the package's is the one listed (in the
# 32-bit view, as a 32-bit package's entry is on 64-bit Windows).
product=$(msiinfo export "$msi" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductCode" { print $2 }')
{ echo "value \"$entry\" SystemComponent dword 1"
  echo "value \"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product\" DisplayName sz \"NORVA Orbix Printer 4.64\""
} >>"$out/by-msi.checks"
# The same machine: the spooler's registry, printers, drivers and monitors, in both copies.
print_key() {
  WINEPREFIX=$1 "$WINE" reg export 'HKLM\System\CurrentControlSet\Control\Print' "$(winepath_of "$out/$2")" /y /reg:64 >/dev/null 2>&1
  wine_stop "$1"
  iconv -f UTF-16LE -t UTF-8 "$out/$2" 2>/dev/null | tr -d '\r' | grep -v '^"ChangeID"\|^"StatusChange' >"$out/$2.txt"
}
if [ $msi_rc -eq 0 ] && [ $program_rc -eq 0 ] && check "$by_msi" by-msi && check "$by_program" by-program &&
   print_key "$by_msi" print-by-msi.reg && print_key "$by_program" print-by-program.reg &&
   diff "$out/print-by-msi.reg.txt" "$out/print-by-program.reg.txt" >"$out/print.diff" &&
   grep -q 'zenthar.exe: result: 0 ' "$out/install.log" &&
   grep -qF 'The installer folder "C:\NORVA Orbix Printer 4.X" was made locked (' "$out/install.log"; then
  verdict install-by-properties pass
else
  echo "install-by-properties: msiexec $msi_rc, program $program_rc; see $out" >&2
  verdict install-by-properties fail
fi

# bad-properties: the program refuses an interface it does not know; the package fails and
# takes its files back.
bad=$(machine bad none no-datatype)
msiexec "$bad" bad.log /i "$package" "MODEL=NORVA MTR444" INTERFACE=token-ring
bad_rc=$?
cat >"$out/bad.checks" <<EOF
no-printer "NORVA MTR444"
no-key "$entry"
no-file "C:\\NORVA Orbix Printer 4.X\\zenthar.exe"
no-file "C:\\NORVA Orbix Printer 4.X\\Win8\\VXTHM4.GPD"
EOF
if [ $bad_rc -ne 0 ] && check "$bad" bad && grep -q 'zenthar.exe: result: 1 bad arguments' "$out/bad.log" &&
   grep -q 'zenthar.exe ended with exit code 1' "$out/bad.log"; then
  verdict bad-properties pass
else
  echo "bad-properties: msiexec $bad_rc; see $out" >&2
  verdict bad-properties fail
fi

# remove: the first machine, with another maker's printer added since.
printf 'add-printer "Other Maker T1" LPT2:\n' >"$out/foreign.steps"
WINEPREFIX=$by_msi timeout -k 10 120 "$WINE" "$build/tests/e2e/e2e-user.exe" 'C:\windows\notepad.exe' \
  "$(winepath_of "$out/foreign.steps")" "$(winepath_of "$out")" >"$out/foreign.txt" 2>&1
foreign_rc=$?
wine_stop "$by_msi"
msiexec "$by_msi" remove.log /x "$package"
remove_rc=$?
cat >"$out/remove.checks" <<EOF
no-printer "NORVA MTR444"
no-key "$entry"
no-key "System\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Drivers\\Version-3\\NORVA MTR444"
no-file "C:\\NORVA Orbix Printer 4.X\\zenthar.exe"
no-file "C:\\NORVA Orbix Printer 4.X\\DriverOrbixUninstaller.exe"
printer "Other Maker T1" LPT2:
EOF
if [ $foreign_rc -eq 0 ] && [ $remove_rc -eq 0 ] && check "$by_msi" remove; then
  verdict remove pass
else
  echo "remove: foreign printer $foreign_rc, msiexec $remove_rc; see $out" >&2
  verdict remove fail
fi

# existing-folder: the folder is there before the package, with a file in it, made by the
# prefix's user (under Wine the owner of every file, and the account msiexec runs as).
existing=$(machine existing none)
folder="$existing/drive_c/NORVA Orbix Printer 4.X"
mkdir -p "$folder" && echo "made before the package" >"$folder/before.txt"
msiexec "$existing" existing.log /i "$package" "MODEL=NORVA MTR444" INTERFACE=serial PORT=COM1:
existing_rc=$?
if [ $existing_rc -eq 0 ] && grep -qF 'The installer folder "C:\NORVA Orbix Printer 4.X" was locked (' "$out/existing.log" &&
   grep -q 'zenthar.exe ended with exit code 0' "$out/existing.log"; then
  verdict existing-folder pass
else
  echo "existing-folder: msiexec $existing_rc; see $out" >&2
  verdict existing-folder fail
fi

# removal-refused: that installation's folder moved aside and a link to it put in its place;
# the removal runs nothing from it, fails, and leaves our printer.
[ $existing_rc -eq 0 ] && mv "$folder" "$existing/drive_c/moved" && ln -s moved "$folder"
msiexec "$existing" refused.log /x "$package"
refused_rc=$?
printf 'printer "NORVA MTR444" COM1:\n' >"$out/refused.checks"
if [ $existing_rc -eq 0 ] && [ $refused_rc -ne 0 ] && check "$existing" refused &&
   grep -qF 'DriverOrbixUninstaller.exe was not run: the folder "C:\NORVA Orbix Printer 4.X" is not locked: it is a reparse point' \
     "$out/refused.log" && ! grep -q '^Running .*DriverOrbixUninstaller' "$out/refused.log"; then
  verdict removal-refused pass
else
  echo "removal-refused: installation $existing_rc, msiexec $refused_rc; see $out" >&2
  verdict removal-refused fail
fi

# log-link: LOGFILE is a link to another file, standing for one only SYSTEM may read; the
# package's log says so and takes nothing from it.
linked=$(machine log-link none no-datatype)
echo "secret 4711" >"$linked/drive_c/secret.txt"
ln -s secret.txt "$linked/drive_c/linked.log"
msiexec "$linked" log-link.log /i "$package" "MODEL=NORVA MTR444" INTERFACE=token-ring 'LOGFILE=C:\linked.log'
if grep -qF 'zenthar.exe: its log C:\linked.log was not copied: it leads to C:\secret.txt' "$out/log-link.log" &&
   ! grep -q 'secret 4711' "$out/log-link.log"; then
  verdict log-link pass
else
  echo "log-link: see $out/log-link.log" >&2
  verdict log-link fail
fi
