#!/usr/bin/env bash
# Installs the Debian packages Telvoro needs (only those missing) and builds it.
# Works as root and, for a normal user, through sudo.
# TELVORO_WARNINGS_AS_ERRORS=ON (as CI sets it) fails the build on a warning.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TELVORO_BUILD_DIR:-$root/build}

"$root/scripts/install-packages.sh" "$root/scripts/debian-packages.txt"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_COMPILE_WARNING_AS_ERROR="${TELVORO_WARNINGS_AS_ERRORS:-OFF}"
cmake --build "$build" -j2
