# Wine settings shared by the scripts. Source it, then call wine_base_prefix once.
#
# Two kinds of machine. A 64-bit prefix, made by wine64 (WINE_BASE): the 64-bit build's programs
# run through wine64, the 32-bit build's through Wine's 32-bit loader in the same prefix, as on
# a 64-bit Windows. A 32-bit prefix (WINEARCH=win32, WINE_BASE32), made and run by the 32-bit
# loader alone, as a 32-bit Windows. Some machines cannot execute 32-bit Linux programs and so
# not that loader: wine32_probe says whether this one can. wine_use i386|x86_64 picks the
# loader; wine_use_prefix PREFIX the one that prefix boots with.
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
# ZENTHAR_WINE64, ZENTHAR_WINE32, ZENTHAR_WINESERVER stand other programs in for Wine's (the
# scripts' self-test runs fake ones).
WINE64=${ZENTHAR_WINE64:-/usr/lib/wine/wine64}
WINE32=${ZENTHAR_WINE32:-/usr/lib/wine/wine}
WINESERVER=${ZENTHAR_WINESERVER:-/usr/lib/wine/wineserver}
# A program that starts one of the other width finds that loader from WINELOADER.
export WINELOADER=$WINE64
WINE=$WINE64

# wine_use i386|x86_64: the loader for the programs of that machine from now on.
wine_use() {
  case $1 in
    i386) WINE=$WINE32 ;;
    *) WINE=$WINE64 ;;
  esac
  export WINELOADER=$WINE
}

# wine32_probe: whether Wine's 32-bit loader runs here (it only prints its version); when it
# does not, prints why on one line and fails.
wine32_probe() {
  local out rc
  if [ ! -e "$WINE32" ]; then echo "$WINE32 is not installed"; return 1; fi
  out=$(timeout 20 "$WINE32" --version 2>&1)
  rc=$?
  case $rc in
    0) return 0 ;;
    124) echo "$WINE32 --version did not answer within 20 s"; return 1 ;;
    *) echo "$WINE32 --version failed (exit $rc): $(head -1 <<<"$out")"; return 1 ;;
  esac
}

# ZENTHAR_WINE_ROOT keeps one user's prefixes apart from another's.
WINE_ROOT=${ZENTHAR_WINE_ROOT:-$BUILD/wine}
WINE_BASE=$WINE_ROOT/base
WINE_BASE32=$WINE_ROOT/base32

# wine_boot PREFIX ARCH LOADER: a booted prefix of that kind, made once; every test or
# scenario works in a copy of it.
wine_boot() {
  local prefix=$1 arch=$2 loader=$3
  if [ ! -f "$prefix/.booted" ]; then
    rm -rf "$prefix"; mkdir -p "$WINE_ROOT"
    WINEPREFIX=$prefix WINEARCH=$arch WINELOADER=$loader "$loader" wineboot -u >/dev/null 2>&1
    # A crash must never leave a dialog that waits for a click that no one gives.
    WINEPREFIX=$prefix WINELOADER=$loader "$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # Xvfb has no window manager: Wine then draws the windows' own captions and frames, so
    # the pictures show what a user would see.
    WINEPREFIX=$prefix WINELOADER=$loader "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
    WINEPREFIX=$prefix WINELOADER=$loader "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    WINEPREFIX=$prefix "$WINESERVER" -w
    if [ -f "$prefix/system.reg" ] && grep -q "^#arch=$arch" "$prefix/system.reg"; then
      touch "$prefix/.booted"
    else
      echo "wine: the $arch prefix $prefix did not boot" >&2; return 1
    fi
  fi
}

# The 64-bit machine, the one most suites use.
wine_base_prefix() { wine_boot "$WINE_BASE" win64 "$WINE64"; }
# The 32-bit machine; only where Wine's 32-bit loader runs (wine32_probe).
wine_base_prefix32() { wine_boot "$WINE_BASE32" win32 "$WINE32"; }

# wine_use_prefix PREFIX: the loader that prefix was made with (the 32-bit one for a 32-bit
# Windows, which has no 64-bit side at all).
wine_use_prefix() {
  if grep -q '^#arch=win32' "$1/system.reg" 2>/dev/null; then wine_use i386; else wine_use x86_64; fi
}

# wine_copy_prefix NAME [BASE]: a fresh copy of the base prefix (or of BASE); prints its path.
wine_copy_prefix() {
  local dest=$WINE_ROOT/$1
  rm -rf "$dest"; cp -a "${2:-$WINE_BASE}" "$dest"; rm -f "$dest/.booted"; echo "$dest"
}

# wine_start PREFIX: starts the prefix's wine server and its background services once, so
# that each program run after it starts at once. Run it where the programs will run (under
# the same display), since the background services keep the display they started with.
wine_start() {
  local loader=$WINE64
  grep -q '^#arch=win32' "$1/system.reg" 2>/dev/null && loader=$WINE32
  WINEPREFIX=$1 "$WINESERVER" -p
  WINEPREFIX=$1 WINELOADER=$loader timeout 120 "$loader" cmd /c exit >/dev/null 2>&1 || true
}

# wine_stop PREFIX: ends every Wine process of the prefix and waits for its server to go.
wine_stop() {
  WINEPREFIX=$1 "$WINESERVER" -k 2>/dev/null || true
  WINEPREFIX=$1 timeout 30 "$WINESERVER" -w 2>/dev/null || true
}

# winepath_of UNIXPATH: the same file as a Windows program sees it (drive Z: is /).
winepath_of() {
  local p=$1
  echo "Z:${p//\//\\}"
}

# pe_machine FILE: the machine a Windows program is built for (i386, x86_64 or unknown).
pe_machine() {
  local offset machine
  offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  [ -n "$offset" ] || { echo unknown; return; }
  machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
  case $machine in
    014c) echo i386 ;;
    8664) echo x86_64 ;;
    *) echo unknown ;;
  esac
}
