#!/usr/bin/env bash
# Installs what is missing and builds Telvoro with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, together with the fuzz targets, in
# build-sanitizers/. Arguments name the targets to build (default: all).
# Used by scripts/test-sanitizers.sh and scripts/fuzz.sh.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TELVORO_SANITIZER_BUILD_DIR:-$root/build-sanitizers}

"$root/scripts/install-packages.sh" \
    "$root/scripts/debian-packages.txt" "$root/scripts/debian-packages-clang.txt"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DTELVORO_SANITIZE=ON -DTELVORO_FUZZ=ON \
    -DCMAKE_COMPILE_WARNING_AS_ERROR="${TELVORO_WARNINGS_AS_ERRORS:-OFF}"
targets=()
for target in "$@"; do
    targets+=(--target "$target")
done
cmake --build "$build" -j2 "${targets[@]}"
