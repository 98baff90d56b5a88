#!/usr/bin/env bash
# Shows SerialKey at work under Wine: COM1 is wired to a simulated serial device
# (a pseudo-terminal) that sends a few barcode-like lines, or to DEVICE if given.
#
#   scripts/demo.sh              simulated device
#   scripts/demo.sh /dev/ttyUSB0 a real device: scan or send, then press Ctrl+C
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
exec /usr/bin/python3 tests/wine/demo.py "$@"
