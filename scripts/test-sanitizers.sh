#!/usr/bin/env bash
# Builds Telvoro with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# in build-sanitizers/ and runs every test under them, off-screen. A test
# fails on a report in its own process; a report from any process, the
# emulators the tests start included, fails the run. Leaks of third-party
# libraries are suppressed in tests/lsan-suppressions.txt.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

build_sanitized

# Where the build points the sanitizers' reports (see CMakeLists.txt).
reports=$sanitizer_build/sanitizer-reports
rm -rf "$reports"
mkdir -p "$reports"

status=0
QT_QPA_PLATFORM=offscreen ctest --test-dir "$sanitizer_build" --output-on-failure --parallel "$(nproc)" || status=$?

for report in "$reports"/*; do
    [[ -e $report ]] || continue
    echo "==== Sanitizer report $(basename "$report")" >&2
    cat "$report" >&2
    status=1
done
exit "$status"
