#!/usr/bin/env bash
# Builds Telvoro and renders the main window off-screen to docs/main-window.png.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TELVORO_BUILD_DIR:-$root/build}

"$root/scripts/setup.sh" telvoro-screenshot
"$build/tools/screenshot/telvoro-screenshot" "$root/docs/main-window.png"
echo "Written: docs/main-window.png"
