# Sourced by the scripts in this folder: the project's folder (root), its
# build tree (build), the Debian packages, the build step, the median of a
# list of figures, and the module emulator.
#
# TELVORO_BUILD_DIR names the build tree (default: build/ in the project's
# folder). The sanitizer and package builds, with their own compiler and
# options, sit beside it: <build tree>-sanitizers and <build tree>-package.
# TELVORO_WARNINGS_AS_ERRORS=ON (as CI sets it) makes any warning fail a
# build; unset, a build tree keeps what it was configured with.

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TELVORO_BUILD_DIR:-$root/build}
sanitizer_build=$build-sanitizers
package_build=$build-package

# install_packages [LIST...]: installs the Debian packages of
# debian-packages.txt and of the given lists (one a line, '#' starts a
# comment) that are not installed yet, in one apt-get run. Works as root
# and, for a normal user, through sudo.
install_packages() {
    local missing=() list package
    for list in "$root/scripts/debian-packages.txt" "$@"; do
        while read -r package; do
            [[ -z $package || $package == \#* ]] && continue
            if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
                missing+=("$package")
            fi
        done < "$list"
    done
    ((${#missing[@]})) || return 0
    local as_root=()
    [[ $(id -u) -ne 0 ]] && as_root=(sudo)
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y --no-install-recommends "${missing[@]}"
}

# build_project TREE [-DOPTION...] [TARGET...]: configures the build tree
# TREE (RelWithDebInfo unless an option says otherwise) and builds the named
# targets, or everything when none is named.
build_project() {
    local tree=$1 options=() targets=() argument
    shift
    for argument in "$@"; do
        if [[ $argument == -D* ]]; then
            options+=("$argument")
        else
            targets+=(--target "$argument")
        fi
    done
    if [[ -n ${TELVORO_WARNINGS_AS_ERRORS:-} ]]; then
        options=(-DCMAKE_COMPILE_WARNING_AS_ERROR="$TELVORO_WARNINGS_AS_ERRORS" "${options[@]}")
    fi
    cmake -S "$root" -B "$tree" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}"
    cmake --build "$tree" -j2 "${targets[@]}"
}

# build_sanitized [TARGET...]: installs what is missing and builds the named
# targets (default: all) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, together with the fuzz targets, in the
# sanitizer build tree.
build_sanitized() {
    install_packages "$root/scripts/debian-packages-clang.txt"
    build_project "$sanitizer_build" -DCMAKE_CXX_COMPILER=clang++ -DTELVORO_SANITIZE=ON -DTELVORO_FUZZ=ON "$@"
}

# median: the median of the numbers on standard input, one a line (of an
# even count, the mean of the two in the middle).
median() {
    sort -n | awk '{ value[NR] = $1 } END { print (NR % 2) ? value[(NR + 1) / 2] : (value[NR / 2] + value[NR / 2 + 1]) / 2 }'
}

# start_emulator [OPTION...] starts the build tree's tx48-emulator with the
# options in the background, stops it when the script ends (stop_emulator;
# a script with its own EXIT trap calls it from there), and sets `port` to
# its pseudo-terminal (empty when the emulator did not report one within 5 s).
start_emulator() {
    emulator_output=$(mktemp)
    "$build/tools/emulator/tx48-emulator" "$@" > "$emulator_output" &
    emulator=$!
    trap stop_emulator EXIT
    port=
    for _ in $(seq 50); do
        port=$(head -n 1 "$emulator_output")
        [[ -n $port ]] && return
        sleep 0.1
    done
}

stop_emulator() {
    kill "$emulator" 2>/dev/null || true
    rm -f "$emulator_output"
}
