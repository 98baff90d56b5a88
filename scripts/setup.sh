#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build and the tests need. Safe to run again.
# 32-bit Wine is installed only where the host can run 32-bit code: elsewhere it could not
# start, and Debian's wine wrapper would pick it over the 64-bit loader.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake ninja-build g++ googletest
    clang libclang-rt-14-dev llvm
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
    wine wine64 fonts-wine
    xvfb xdotool imagemagick fonts-wqy-microhei
    tigervnc-standalone-server x11-xkb-utils
    python3 python3-pytest strace procps
    msitools wixl
)
x86=false
if scripts/host-runs-x86.sh >/dev/null; then
    x86=true
    packages+=(wine32:i386)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
if $x86 && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
