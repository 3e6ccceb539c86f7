#!/usr/bin/env bash
# Cost of a series of modules: "telvoro-cli series" over a table of MODULES
# rows (default 10), each verified, against the emulator answering at once on
# a line paced at 115200 baud, beside the median of RUNS (default 5) single
# "telvoro-cli write" runs, each a verified write of one configuration of the
# table as a whole process. The time per module of the series less the time
# of a single write is what the series adds per module; the target is 100 ms
# or less.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
modules=${1:-10}
runs=${2:-5}

build_project "$build" telvoro-cli tx48-emulator > /dev/null

start_emulator --baud 115200
scratch=$(mktemp -d)
trap 'stop_emulator; rm -rf "$scratch"' EXIT
[[ -n $port ]] || { echo "The module emulator did not start." >&2; exit 1; }
# Settings, backups and reports of the runs stay out of the user's folders.
export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data QT_QPA_PLATFORM=offscreen
cli=$build/tools/telvoro-cli/telvoro-cli

"$cli" read "$port" -o "$scratch/base.kvl"
# Each module gets its own phone number and output name, so every write
# sends its blocks.
{
    echo "Modem;phones[1].number;digitalOutputs[0].name"
    for i in $(seq "$modules"); do
        printf 'Stacja %d;6001%05d;Pompa %d\n' "$i" "$i" "$i"
    done
} > "$scratch/table.csv"

start=$(date +%s%N)
printf '\n%.0s' $(seq "$modules") | "$cli" series "$scratch/base.kvl" "$scratch/table.csv" "$port" \
    --report "$scratch/report.csv" > /dev/null 2>&1
end=$(date +%s%N)
series=$(( (end - start) / 1000000 ))
verified=$(grep -c ';zapisano i sprawdzono;' "$scratch/report.csv" || true)
[[ $verified == "$modules" ]] || { echo "The series verified $verified of $modules modules." >&2; exit 1; }

# A single write that changes the same fields each time: two files taken in turn.
"$cli" export "$scratch/base.kvl" -o "$scratch/a.json"
sed 's/"name": "[^"]*"/"name": "Pompa A"/' "$scratch/a.json" > "$scratch/b.json"
for i in $(seq "$runs"); do
    file=$scratch/a.json
    (( i % 2 )) && file=$scratch/b.json
    start=$(date +%s%N)
    "$cli" write "$port" "$file" > /dev/null
    end=$(date +%s%N)
    echo $(( (end - start) / 1000000 ))
done | median > "$scratch/single"

single=$(cat "$scratch/single")
per_module=$(awk -v s="$series" -v m="$modules" 'BEGIN { printf "%d", s / m }')
echo "telvoro-cli series against tx48-emulator (answers at once, 115200 baud):"
echo "  series of $modules modules       $series ms"
echo "  per module                $per_module ms"
echo "  single verified write     $single ms (median of $runs whole processes)"
echo "  added per module          $(awk -v p="$per_module" -v w="$single" 'BEGIN { print p - w }') ms (target: 100 ms or less)"
