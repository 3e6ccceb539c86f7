#!/usr/bin/env bash
# Installs the Debian packages Telvoro needs (only those missing) and builds
# the targets named as arguments, or everything when none is named.
# Arguments that start with -D are options for configuring the build tree.
# Works as root and, for a normal user, through sudo.
# TELVORO_WARNINGS_AS_ERRORS=ON (as CI sets it) fails the build on a warning.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TELVORO_BUILD_DIR:-$root/build}

"$root/scripts/install-packages.sh" "$root/scripts/debian-packages.txt"

options=()
targets=()
for argument in "$@"; do
    if [[ $argument == -D* ]]; then
        options+=("$argument")
    else
        targets+=(--target "$argument")
    fi
done
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_COMPILE_WARNING_AS_ERROR="${TELVORO_WARNINGS_AS_ERRORS:-OFF}" "${options[@]}"
cmake --build "$build" -j2 "${targets[@]}"
