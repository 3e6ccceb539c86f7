#!/usr/bin/env bash
# Builds Telvoro and renders the main window off-screen to docs/main-window.png,
# and the "Online" tab after a minute and a bit of polling the module emulator
# to docs/online-trend.png (this takes about 70 s).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages
build_project "$build" telvoro-screenshot tx48-emulator
"$build/tools/screenshot/telvoro-screenshot" "$root/docs/main-window.png"
echo "Written: docs/main-window.png"

start_emulator
[[ -n $port ]] || { echo "The module emulator did not start." >&2; exit 1; }
"$build/tools/screenshot/telvoro-screenshot" "$root/docs/online-trend.png" 3 "$port" 70
echo "Written: docs/online-trend.png"
