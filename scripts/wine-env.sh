# Wine settings shared by the scripts. Source it, then call wine_base_prefix once.
#
# Every prefix is a 64-bit one, made by wine64. The 64-bit build's programs run through wine64;
# the 32-bit build's (the shipped program among them) through Wine's 32-bit loader in the same
# prefix, as on a 64-bit Windows. Some machines cannot execute 32-bit Linux programs and so not
# that loader: wine32_probe says whether this one can. wine_use i386|x86_64 picks the loader.
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

# A booted prefix, made once; every test or scenario works in a copy of it.
wine_base_prefix() {
  if [ ! -f "$WINE_BASE/.booted" ]; then
    rm -rf "$WINE_BASE"; mkdir -p "$WINE_ROOT"
    WINEPREFIX=$WINE_BASE WINELOADER=$WINE64 "$WINE64" wineboot -u >/dev/null 2>&1
    # A crash must never leave a dialog that waits for a click that no one gives.
    WINEPREFIX=$WINE_BASE WINELOADER=$WINE64 "$WINE64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    # Xvfb has no window manager: Wine then draws the windows' own captions and frames, so
    # the pictures show what a user would see.
    WINEPREFIX=$WINE_BASE WINELOADER=$WINE64 "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
    WINEPREFIX=$WINE_BASE WINELOADER=$WINE64 "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    WINEPREFIX=$WINE_BASE "$WINESERVER" -w
    if [ -f "$WINE_BASE/system.reg" ]; then
      touch "$WINE_BASE/.booted"
    else
      echo "wine: the base prefix $WINE_BASE did not boot" >&2; return 1
    fi
  fi
}

# wine_copy_prefix NAME: a fresh copy of the base prefix; prints its path.
wine_copy_prefix() {
  local dest=$WINE_ROOT/$1
  rm -rf "$dest"; cp -a "$WINE_BASE" "$dest"; rm -f "$dest/.booted"; echo "$dest"
}

# wine_start PREFIX: starts the prefix's wine server and its background services once, so
# that each program run after it starts at once. Run it where the programs will run (under
# the same display), since the background services keep the display they started with.
wine_start() {
  WINEPREFIX=$1 "$WINESERVER" -p
  WINEPREFIX=$1 WINELOADER=$WINE64 timeout 120 "$WINE64" cmd /c exit >/dev/null 2>&1 || true
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
