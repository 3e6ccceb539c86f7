#!/usr/bin/env bash
# Builds the Debian package of Telvoro (telvoro_<version>_<arch>.deb) in the
# project's folder: installs what is missing, builds the installed programs
# without the tests in a build tree of its own, and packs them with CPack.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TELVORO_PACKAGE_BUILD_DIR:-$root/build-package}

"$root/scripts/install-packages.sh" "$root/scripts/debian-packages.txt"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$build" -j2
(cd "$build" && cpack -G DEB)
cp "$build"/telvoro_*.deb "$root/"
ls "$root"/telvoro_*.deb
