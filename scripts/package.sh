#!/usr/bin/env bash
# Builds the Debian package of Telvoro (telvoro_<version>_<arch>.deb) in the
# project's folder: installs what is missing, builds the installed programs
# without the tests in a build tree of their own (<build tree>-package), and
# packs them with CPack.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages
build_project "$package_build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
(cd "$package_build" && cpack -G DEB)
cp "$package_build"/telvoro_*.deb "$root/"
ls "$root"/telvoro_*.deb
