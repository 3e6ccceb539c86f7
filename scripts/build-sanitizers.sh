#!/usr/bin/env bash
# Installs what is missing and builds Telvoro with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, together with the fuzz targets, in
# build-sanitizers/. Arguments name the targets to build (default: all).
# Used by scripts/test-sanitizers.sh and scripts/fuzz.sh.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Both lists at once: one apt-get run on a fresh machine.
"$root/scripts/install-packages.sh" \
    "$root/scripts/debian-packages.txt" "$root/scripts/debian-packages-clang.txt"

TELVORO_BUILD_DIR=${TELVORO_SANITIZER_BUILD_DIR:-$root/build-sanitizers} "$root/scripts/setup.sh" \
    -DCMAKE_CXX_COMPILER=clang++ -DTELVORO_SANITIZE=ON -DTELVORO_FUZZ=ON "$@"
