#!/usr/bin/env bash
# Installs the build tree into a temporary prefix and checks what a desktop
# needs of it: each program with its manual page, a valid menu entry whose
# command and icon are installed, a valid AppStream file naming that entry,
# the .kvl file type, the copyright file and changelog, and a program that
# answers --version there without a display. Where lintian is installed (it
# is not needed to build or test), the Debian package of the build too must
# give it no error and no warning; "no-lintian" skips that for a build that
# is not packaged (the sanitizers').
# Usage: check-install.sh BUILD_DIR VERSION [no-lintian]
set -euo pipefail

build=$1
version=$2
package_check=${3:-lintian}
prefix=$(mktemp -d)
package_folder=$(mktemp -d)
trap 'rm -rf "$prefix" "$package_folder"' EXIT
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
zcat "$share/doc/telvoro/changelog.gz" | head -n 1 | grep -q "^telvoro ($version) " \
    || fail "the changelog has no entry of version $version first"

answer=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/telvoro" --version)
[[ $answer == "Telvoro $version" ]] || fail "the installed program answers --version with: $answer"
# The report needs Qt GUI's off-screen platform and fonts, not a display.
{ printf '\x00\x00\x07\xb0'; head -c 1968 /dev/zero; } > "$prefix/zero.kvl"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/telvoro-cli" report "$prefix/zero.kvl" \
    -o "$prefix/zero.pdf" 2> /dev/null || fail "the installed telvoro-cli makes no report"
[[ $(head -c 5 "$prefix/zero.pdf") == "%PDF-" ]] || fail "the installed telvoro-cli's report is no PDF"
if [[ $package_check == lintian ]] && command -v lintian > /dev/null; then
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$package_folder" > "$package_folder/cpack.log" 2>&1 \
        || fail "cpack could not build the package:"$'\n'"$(cat "$package_folder/cpack.log")"
    findings=$(lintian --fail-on error,warning "$package_folder"/telvoro_*.deb) \
        || fail "lintian finds errors or warnings in the package:"$'\n'"$findings"
    echo "lintian: no error and no warning"
fi
echo "Install tree complete"
