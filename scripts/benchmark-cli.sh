#!/usr/bin/env bash
# Start-up cost of telvoro-cli: the median time of the whole process of
# "telvoro-cli read PORT -o FILE" over RUNS runs (default 10), against the
# emulator answering at once on a line paced at 115200 baud, beside the
# median time of the exchange itself (connect and read, as the link timing
# program measures them inside one process against the same emulator).
# The difference is what starting the program costs; the target is 300 ms.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
runs=${1:-10}

build_project "$build" telvoro-cli tx48-emulator tst_linktiming > /dev/null

start_emulator --baud 115200
scratch=$(mktemp -d)
trap 'stop_emulator; rm -rf "$scratch"' EXIT
[[ -n $port ]] || { echo "The module emulator did not start." >&2; exit 1; }
# Settings and backups of the runs stay out of the user's folders.
export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data QT_QPA_PLATFORM=offscreen

for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$build/tools/telvoro-cli/telvoro-cli" read "$port" -o "$scratch/module.kvl"
    end=$(date +%s%N)
    echo $(( (end - start) / 1000000 ))
done | median > "$scratch/process"

for _ in $(seq "$runs"); do
    "$build/tests/core/tst_linktiming" -silent "exchangesAtModuleTiming:emulator answers at once" 2> /dev/null \
        | awk '$1 == "connect" || $1 == "read" { sum += $2 } END { print sum }'
done | median > "$scratch/exchange"

for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "$build/tools/telvoro-cli/telvoro-cli" --version > /dev/null
    end=$(date +%s%N)
    echo $(( (end - start) / 1000000 ))
done | median > "$scratch/version"

process=$(cat "$scratch/process")
exchange=$(cat "$scratch/exchange")
echo "telvoro-cli read against tx48-emulator (answers at once, 115200 baud), median of $runs runs:"
echo "  whole process           $process ms"
echo "  exchange (connect+read) $exchange ms"
echo "  telvoro-cli --version   $(cat "$scratch/version") ms (the program alone)"
echo "  start-up cost           $(awk -v p="$process" -v e="$exchange" 'BEGIN { print p - e }') ms (target: 300 ms or less)"
