#!/usr/bin/env bash
# Checks the arrows between the source trees:
# - src/core includes only its own headers, QtCore's and Qt Serial Port's
#   (and the C and C++ libraries): nothing of the window, no widget and no
#   generated form;
# - src/print includes its own headers and those of src/core, QtCore's and
#   Qt GUI's: no widget and nothing of the window;
# - tools/telvoro-cli and tools/emulator include nothing from src/gui, and of
#   Qt only what src/core may include; telvoro-cli may also include the
#   headers of src/print, which is how it reaches Qt GUI.
# Prints every include that breaks a rule, with its file and line, and exits 1
# when there is one.
# Usage: check-layering.sh PROJECT_FOLDER QT_INCLUDE_FOLDER [STAMP_FILE]
set -euo pipefail

root=$1
qt=$2
stamp=${3:-}
core_qt_modules=(QtCore QtSerialPort)
print_qt_modules=(QtCore QtGui)
allowed_qt_modules=()
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

# check FILE ROOT...: a Qt header must be of allowed_qt_modules; a quoted
# include must be found beside FILE or under one of the ROOTs, never under
# src/gui.
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

# check_tree FOLDER ROOT...: check every source file of FOLDER.
check_tree() {
    local file
    while IFS= read -r -d '' file; do
        check "$file" "${@:2}"
    done < <(find "$1" \( -name '*.h' -o -name '*.cpp' \) -print0)
}

allowed_qt_modules=("${core_qt_modules[@]}")
check_tree "$root/src/core" "$root/src/core"
check_tree "$root/tools/telvoro-cli" "$root/src/core" "$root/src/print" "$root/tools/telvoro-cli"
check_tree "$root/tools/emulator" "$root/src/core" "$root/tools/emulator"
allowed_qt_modules=("${print_qt_modules[@]}")
check_tree "$root/src/print" "$root/src/core" "$root/src/print"

if ((faults > 0)); then
    echo "$faults include(s) break the layering: src/core and the command-line tools use QtCore, Qt Serial Port" \
         "and src/core only (telvoro-cli also src/print); src/print QtCore, Qt GUI and src/core only." >&2
    exit 1
fi
[[ -z $stamp ]] || touch "$stamp"
