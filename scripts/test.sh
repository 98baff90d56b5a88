#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test:
# the portable core natively (address/UB and thread sanitizers, and with clang
# for a brief run of each fuzz target), then the Windows build with its unit
# tests and end-to-end tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
for preset in host host-tsan fuzz windows; do
    echo "== $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
