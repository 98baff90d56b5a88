#!/usr/bin/env bash
# Shows SerialKey at work under Wine: COM1 is wired to a simulated serial device
# (a pseudo-terminal) that sends a few barcode-like lines, or to DEVICE if given.
# Runs the x86 build where the host can run 32-bit code, else the x64 build.
#
#   scripts/demo.sh [--arch x86|x64]              simulated device
#   scripts/demo.sh [--arch x86|x64] /dev/ttyUSB0 a real device: scan or send, then press Ctrl+C
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/windows-builds.sh
arch=
if [ "${1:-}" = --arch ]; then
    require_runnable "${2:-}"
    arch=$2
    shift 2
fi
[ -n "$arch" ] || { read -ra runnable <<<"$(runnable_builds)"; arch=${runnable[0]}; }
scripts/setup.sh
build_windows "$arch"
echo "Running the $arch build: build/windows-$arch/app/SerialKey.exe"
SERIALKEY_BUILD_DIR=build/windows-$arch exec /usr/bin/python3 tests/wine/demo.py "$@"
