#!/usr/bin/env bash
# Builds the image codec benchmark with optimisation and prints the time of
# one toImage and one fromImage call.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TELVORO_BENCHMARK_BUILD_DIR:-$root/build-benchmark}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build "$build" --target image-benchmark -j2 > /dev/null
"$build/tools/benchmark/image-benchmark"
