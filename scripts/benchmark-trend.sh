#!/usr/bin/env bash
# Builds the trend benchmark and prints the memory of a full day's record of
# the live inputs, the time to write it as CSV, and the time to show one more
# poll in the hour-long view.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TELVORO_BUILD_DIR:-$root/build}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" --target trend-benchmark -j2 > /dev/null
"$build/tools/benchmark/trend-benchmark"
