#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test:
# the portable core natively (address/UB and thread sanitizers, and with clang
# for a brief run of each fuzz target), then the 32-bit and 64-bit Windows
# builds with their unit tests and end-to-end tests under Wine (the installer
# package among them), and last the release: its files, the packages' tables
# and two runs that give the same bytes. Where the host cannot run 32-bit
# code, the x86 build's Wine tests are reported skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
for preset in host host-tsan fuzz windows-x86 windows-x64; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
echo "== release"
/usr/bin/python3 -m pytest -v -p no:cacheprovider tests/release
