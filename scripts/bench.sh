#!/usr/bin/env bash
# Measures SerialKey.exe end to end under Wine: throughput, latency, idle cost and size.
# Takes about seven minutes; not part of the test run.
#
#   scripts/bench.sh [--json FILE] [--label NAME] [--exe OTHER.exe] [--quick]
#   scripts/bench.sh compare FILE [FILE ...]     tables of earlier runs side by side
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = compare ]; then
    exec /usr/bin/python3 tests/benchmarks/wedge.py "$@"
fi
scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
exec /usr/bin/python3 tests/benchmarks/wedge.py run "$@"
