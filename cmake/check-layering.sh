#!/usr/bin/env bash
# Checks the arrows between the source trees:
# - src/core includes only its own headers, QtCore's and Qt Serial Port's
#   (and the C and C++ libraries): nothing of the window, no widget and no
#   generated form;
# - tools/telvoro-cli and tools/emulator include nothing from src/gui, and of
#   Qt only what src/core may include.
# Prints every include that breaks a rule, with its file and line, and exits 1
# when there is one.
# Usage: check-layering.sh PROJECT_FOLDER QT_INCLUDE_FOLDER [STAMP_FILE]
set -euo pipefail

root=$1
qt=$2
stamp=${3:-}
allowed_qt_modules=(QtCore QtSerialPort)
faults=0

fault() {
    echo "$1: $2" >&2
    faults=$((faults + 1))
}

# A Qt header is allowed when one of the allowed modules has it, as <QFoo> or
# as <QtCore/QFoo>.
allowed_qt_header() {
    local header=$1 module
    for module in "${allowed_qt_modules[@]}"; do
        [[ $header == "$module" || $header == "$module/"* ]] && return 0
        [[ -e $qt/$module/$header ]] && return 0
    done
    return 1
}

# check FILE ROOT...: a quoted include must be found beside FILE or under one
# of the ROOTs, never under src/gui.
check() {
    local file=$1
    local roots=("${@:2}")
    local number=0 line header found base
    while IFS= read -r line; do
        number=$((number + 1))
        [[ $line =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*([\"\<])([^\"\>]+)[\"\>] ]] || continue
        header=${BASH_REMATCH[2]}
        if [[ ${BASH_REMATCH[1]} == '<' ]]; then
            if [[ $header == Q* ]] && ! allowed_qt_header "$header"; then
                fault "${file#"$root"/}:$number" "includes <$header>, which is not part of ${allowed_qt_modules[*]}"
            fi
            continue
        fi
        if [[ $header == ui_* || $header == *gui/* ]]; then
            fault "${file#"$root"/}:$number" "includes \"$header\" of the window's tree"
            continue
        fi
        found=
        for base in "$(dirname "$file")" "${roots[@]}"; do
            if [[ -e $base/$header ]]; then
                found=$base/$header
                break
            fi
        done
        if [[ -z $found ]]; then
            fault "${file#"$root"/}:$number" "includes \"$header\", which is neither beside it nor in ${roots[*]#"$root"/}"
        fi
    done < "$file"
}

while IFS= read -r -d '' file; do
    check "$file" "$root/src/core"
done < <(find "$root/src/core" \( -name "*.h" -o -name "*.cpp" \) -print0)
for tool in telvoro-cli emulator; do
    while IFS= read -r -d '' file; do
        check "$file" "$root/src/core" "$root/tools/$tool"
    done < <(find "$root/tools/$tool" \( -name '*.h' -o -name '*.cpp' \) -print0)
done

if ((faults > 0)); then
    echo "$faults include(s) break the layering: src/core and the command-line tools use QtCore, Qt Serial Port and src/core only." >&2
    exit 1
fi
[[ -z $stamp ]] || touch "$stamp"
