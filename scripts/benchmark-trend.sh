#!/usr/bin/env bash
# Builds the trend benchmark and prints the memory of a full day's record of
# the live inputs, the time to write it as CSV, and the time to show one more
# poll in the hour-long view.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

build_project "$build" trend-benchmark > /dev/null
"$build/tools/benchmark/trend-benchmark"
