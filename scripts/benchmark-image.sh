#!/usr/bin/env bash
# Builds the image codec benchmark and prints the time of one toImage and one
# fromImage call.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

build_project "$build" image-benchmark > /dev/null
"$build/tools/benchmark/image-benchmark"
