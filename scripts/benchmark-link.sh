#!/usr/bin/env bash
# Builds the module emulator and the link timing check, then times connecting,
# reading and writing both blocks against the emulator at the module's own
# 500 ms period. Each line gives the wait the exchange is built on and the
# time spent above it.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TELVORO_BUILD_DIR:-$root/build}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" --target tx48-emulator tst_linktiming -j2 > /dev/null

echo "Link timing against tx48-emulator (real 500 ms period):"
QT_QPA_PLATFORM=offscreen "$build/tests/link/tst_linktiming" -silent
