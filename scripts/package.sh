#!/usr/bin/env bash
# Builds the Debian package of Telvoro (telvoro_<version>_<arch>.deb) in the
# project's folder: installs what is missing, builds the installed programs
# without the tests in a build tree of their own (<build tree>-package),
# packs them with CPack, and prints what lintian finds in the package when
# lintian is installed.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

install_packages
build_project "$package_build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
(cd "$package_build" && cpack -G DEB)
cp "$package_build"/telvoro_*.deb "$root/"
ls "$root"/telvoro_*.deb

# Debian's own check of the package, where lintian is installed (it is not
# needed to build): no error and no warning.
if command -v lintian > /dev/null; then
    for package in "$package_build"/telvoro_*.deb; do
        if lintian --fail-on error,warning "$package"; then
            echo "lintian: no error and no warning in $(basename "$package")"
        else
            echo "lintian finds errors or warnings in $(basename "$package") (listed above)." >&2
            exit 1
        fi
    done
else
    echo "lintian is not installed, so the package was not checked (apt-get install lintian)."
fi
