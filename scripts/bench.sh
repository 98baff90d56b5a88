#!/usr/bin/env bash
# Measures SerialKey.exe end to end under Wine: throughput, latency, idle cost and size, for
# every Windows build that this host can run, one column each. About twelve minutes a build;
# not part of the test run. Each build's figures are kept in build/bench-ARCH.json.
#
#   scripts/bench.sh [--arch x86|x64] [--quick] [--cores N] [--exe OTHER.exe]
#   scripts/bench.sh compare FILE [FILE ...]     tables of earlier runs side by side
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = compare ]; then
    exec /usr/bin/python3 tests/benchmarks/wedge.py "$@"
fi
source scripts/windows-builds.sh
archs=() options=()
while [ $# -gt 0 ]; do
    case $1 in
        --arch) require_runnable "${2:-}"; archs+=("$2"); shift 2 ;;
        *) options+=("$1"); shift ;;
    esac
done
[ ${#archs[@]} -gt 0 ] || read -ra archs <<<"$(runnable_builds)"
scripts/setup.sh
results=()
for arch in "${archs[@]}"; do
    build_windows "$arch"
    echo "measuring the $arch build ..."
    SERIALKEY_BUILD_DIR=build/windows-$arch /usr/bin/python3 tests/benchmarks/wedge.py run \
        --json "build/bench-$arch.json" "${options[@]}" >/dev/null
    results+=("build/bench-$arch.json")
done
exec /usr/bin/python3 tests/benchmarks/wedge.py compare "${results[@]}"
