#!/usr/bin/env bash
# Installs the build tree into a temporary prefix and checks what a desktop
# needs of it: each program with its manual page, a valid menu entry whose
# command and icon are installed, a valid AppStream file naming that entry,
# the .kvl file type, the copyright file, and a program that answers
# --version there without a display.
# Usage: check-install.sh BUILD_DIR VERSION
set -euo pipefail

build=$1
version=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" > /dev/null
share=$prefix/share
id=io.github.telvoro.telvoro

for program in telvoro telvoro-cli tx48-emulator; do
    [[ -x $prefix/bin/$program ]] || fail "bin/$program is not installed"
done
for program in "$prefix"/bin/*; do
    name=$(basename "$program")
    zcat "$share/man/man1/$name.1.gz" | grep -q "^\.TH .*$version" || fail "$name has no manual page of version $version"
done

desktop=$share/applications/$id.desktop
desktop-file-validate "$desktop" || fail "the menu entry is not valid"
[[ -x $prefix/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop") ]] || fail "the menu entry starts no installed program"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[[ -f $share/icons/hicolor/scalable/apps/$icon.svg ]] || fail "no scalable icon $icon"
for size in 16 32 48 256; do
    png=$share/icons/hicolor/${size}x$size/apps/$icon.png
    [[ $(file -b "$png") == "PNG image data, $size x $size,"* ]] || fail "$png is not a $size px PNG"
done
grep -q '^MimeType=application/x-tx48-configuration;$' "$desktop" \
    && grep -q 'type="application/x-tx48-configuration"' "$share/mime/packages/telvoro.xml" \
    || fail "the menu entry does not open the .kvl file type"

metainfo=$share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net "$metainfo" > /dev/null || fail "the AppStream file is not valid"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" \
    || fail "the AppStream file does not name the menu entry"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the AppStream file has no release $version"

copyright=$share/doc/telvoro/copyright
grep -q '^License: GPL-3+$' "$copyright" && grep -q '^License: LGPL-3+$' "$copyright" \
    || fail "the copyright file does not name both licences"

answer=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/telvoro" --version)
[[ $answer == "Telvoro $version" ]] || fail "the installed program answers --version with: $answer"
echo "Install tree complete"
