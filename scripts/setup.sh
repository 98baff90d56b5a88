#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build and the tests need. Safe to run again.
set -euo pipefail

packages=(
    cmake ninja-build g++ googletest
    clang libclang-rt-14-dev llvm
    g++-mingw-w64-i686 binutils-mingw-w64-i686
    wine wine32:i386 wine64 fonts-wine
    xvfb xdotool imagemagick fonts-wqy-microhei
    python3 python3-pytest strace procps
)

missing=()
if dpkg --print-foreign-architectures | grep -qx i386; then
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
    done
else
    missing=("${packages[@]}")
fi
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo dpkg --add-architecture i386
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
