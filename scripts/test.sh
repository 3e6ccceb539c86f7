#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test off-screen.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages
build_project "$build"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure --timeout 600 --parallel "$(nproc)"
