#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test off-screen.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TELVORO_BUILD_DIR:-$root/build}

"$root/scripts/setup.sh"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure --timeout 600
