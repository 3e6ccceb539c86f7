#!/usr/bin/env bash
# Runs every fuzz target of tests/fuzz for SECONDS seconds (default 600),
# built with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitizers/. Each run first replays the
# target's seed inputs (tests/fuzz/corpus/<target>/) and the inputs of past
# findings (tests/fuzz/regressions/<target>/). An input that breaks a target
# is written to build-sanitizers/fuzz-findings/<target>/; once the fault is
# mended, add it to the target's regression inputs.
# CI runs it for a short time as a smoke test: ./scripts/fuzz.sh 30
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
seconds=${1:-600}

build_sanitized fuzz-targets

export UBSAN_OPTIONS=print_stacktrace=1
status=0
while read -r name program; do
    # New inputs the fuzzer finds go to the first folder, outside the sources.
    inputs=("$sanitizer_build/fuzz-corpus/$name")
    for folder in "$root/tests/fuzz/corpus/$name" "$root/tests/fuzz/regressions/$name"; do
        [[ -d $folder ]] && inputs+=("$folder")
    done
    findings=$sanitizer_build/fuzz-findings/$name
    mkdir -p "${inputs[0]}" "$findings"
    echo "==== Fuzzing $name for $seconds s"
    if ! "$program" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
            -artifact_prefix="$findings/" "${inputs[@]}"; then
        echo "==== $name failed; the input is in $findings" >&2
        status=1
    fi
done < "$sanitizer_build/tests/fuzz/targets.txt"
exit "$status"
