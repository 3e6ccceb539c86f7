#!/usr/bin/env bash
# Installs the Debian packages Telvoro needs (only those missing) and builds
# the targets named as arguments, or everything when none is named, in the
# build tree (TELVORO_BUILD_DIR, default build/).
# Arguments that start with -D are options for configuring the build tree.
# Works as root and, for a normal user, through sudo.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages
build_project "$build" "$@"
