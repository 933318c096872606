#!/usr/bin/env bash
# Makes sure this machine has every package the build, the tests and the demo need.
# As root it installs what is missing; otherwise it prints the one command to run.
set -euo pipefail

packages=(
  g++ cmake make
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64
  wine wine64 wine32:i386 fonts-wine
  xvfb xauth x11-apps imagemagick xdotool file
  clang libclang-rt-14-dev clang-tidy clang-format-14 cppcheck python3
  wixl msitools osslsigncode openssl
)

missing=()
status=$(dpkg-query -W -f='${Package}:${Architecture} ${db:Status-Abbrev}\n' "${packages[@]}" 2>/dev/null || true)
for p in "${packages[@]}"; do
  name=${p%%:*}
  arch=${p#*:}; [ "$arch" = "$p" ] && arch=""
  if ! grep -E "^${name//+/\\+}:${arch:-[a-z0-9]+} ii" <<<"$status" >/dev/null; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

needs_i386=0
for p in "${missing[@]}"; do [[ $p == *:i386 ]] && needs_i386=1; done

if [ "$(id -u)" -ne 0 ]; then
  cmd="apt-get update && apt-get install -y ${missing[*]}"
  [ $needs_i386 -eq 1 ] && cmd="dpkg --add-architecture i386 && $cmd"
  echo "Missing packages. Run as root: $cmd" >&2
  exit 1
fi

echo "Installing: ${missing[*]}" >&2
if [ $needs_i386 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror in the middle of a sync answers with index files of the wrong size for a while: try
# again, and go on with the lists there are when it still will not take.
for attempt in 1 2 3; do
  apt-get update -qq && break
  echo "apt-get update failed (attempt $attempt)" >&2
  sleep $((attempt * 20))
done
install() { apt-get install -y -qq --no-install-recommends "$@" >/dev/null; }
install "${missing[@]}" && exit 0
# The 32-bit side is the one that breaks while a mirror syncs (an i386 list older than its
# amd64 twin). Without it the 32-bit runs are reported as not made on this machine, as they are
# where Wine's 32-bit loader cannot run; everything else still has to install.
native=()
for p in "${missing[@]}"; do [[ $p == *:i386 ]] || native+=("$p"); done
[ ${#native[@]} -eq ${#missing[@]} ] && exit 1
echo "The 32-bit packages would not install; going on without them" >&2
install "${native[@]}"
