#!/usr/bin/env bash
# Builds Telvoro and renders the main window off-screen to docs/main-window.png,
# and the "Online" tab after a minute and a bit of polling the module emulator
# to docs/online-trend.png (this takes about 70 s).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TELVORO_BUILD_DIR:-$root/build}

"$root/scripts/setup.sh" telvoro-screenshot
"$build/tools/screenshot/telvoro-screenshot" "$root/docs/main-window.png"
echo "Written: docs/main-window.png"

source "$root/scripts/emulator.sh"
start_emulator "$build"
[[ -n $port ]] || { echo "The module emulator did not start." >&2; exit 1; }
"$build/tools/screenshot/telvoro-screenshot" "$root/docs/online-trend.png" 3 "$port" 70
echo "Written: docs/online-trend.png"
