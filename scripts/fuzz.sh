#!/usr/bin/env bash
# Builds the fuzz targets and runs each for SECONDS (default 300), growing a
# working corpus per target under build/fuzz/corpus from the committed seeds;
# prints every input that broke a target and then fails.
#
#   scripts/fuzz.sh          five minutes per target
#   scripts/fuzz.sh 3600     an hour per target
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
scripts/setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# Only this run's finds: earlier ones were printed by their own runs.
rm -rf build/fuzz/crashes
status=0
for seeds in tests/fuzz/corpus/*/; do
    target=$(basename "$seeds")
    corpus=build/fuzz/corpus/$target
    crashes=build/fuzz/crashes/$target
    mkdir -p "$corpus" "$crashes"
    echo "== $target, ${seconds} s"
    # libFuzzer writes to the first directory only; the seeds are just read.
    "build/fuzz/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$crashes/" "$corpus" "$seeds" || status=1
done

for input in $(find build/fuzz/crashes -type f); do
    echo "== $input, replay with: build/fuzz/tests/fuzz/$(basename "$(dirname "$input")") $input"
    od -A x -t x1z -v "$input"
done
exit $status
