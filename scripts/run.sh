#!/usr/bin/env bash
# Installs what is missing, builds Telvoro and the TX48 module emulator (only
# those two), and starts Telvoro with the emulator on a virtual serial port,
# so everything can be tried without a module. A real module's port is listed
# beside the emulator's.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages
build_project "$build" telvoro tx48-emulator

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} && -z ${QT_QPA_PLATFORM:-} ]]; then
    echo "Telvoro is built but not started: this machine has no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    exit 1
fi

start_emulator
if [[ -z $port ]]; then
    echo "The module emulator did not start; Telvoro starts without it." >&2
fi

echo "Module emulator on $port"
TX48_EXTRA_PORTS=$port "$build/src/app/telvoro"
