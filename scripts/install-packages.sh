#!/usr/bin/env bash
# Installs the Debian packages named in the given lists (one a line, '#'
# starts a comment) that are not installed yet. Works as root and, for a
# normal user, through sudo.
set -euo pipefail

missing=()
for list in "$@"; do
    while read -r package; do
        [[ -z $package || $package == \#* ]] && continue
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done < "$list"
done

if ((${#missing[@]})); then
    as_root=()
    if [[ $(id -u) -ne 0 ]]; then
        as_root=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y --no-install-recommends "${missing[@]}"
fi
