#!/usr/bin/env bash
# Builds Telvoro and times its start and its end on a virtual X server: from
# launching the program to its main window being mapped on the screen, with
# fresh settings each time, and from "Zakończ" (Ctrl+Q) to the process having
# ended. Prints every run and the medians (default 15 runs, after one run to
# warm the caches).
# Usage: scripts/benchmark-startup.sh [RUNS [PROGRAM...]]
# Given several programs (for instance two builds to compare), it takes
# turns between them, so that other load on the machine falls on all alike.
# Needs Xvfb, xev and xdotool (Debian packages xvfb, x11-utils and xdotool).
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
runs=${1:-15}
programs=("${@:2}")

for tool in Xvfb xev xdotool; do
    if ! command -v "$tool" > /dev/null; then
        echo "$tool is missing: install the Debian packages xvfb, x11-utils and xdotool." >&2
        exit 1
    fi
done

if ((${#programs[@]} == 0)); then
    build_project "$build" telvoro > /dev/null
    programs=("$build/src/app/telvoro")
fi

work=$(mktemp -d)
program=
server=
watcher=
cleanup() {
    [[ -n $program ]] && kill "$program" 2> /dev/null
    [[ -n $watcher ]] && kill "$watcher" 2> /dev/null
    [[ -n $server ]] && kill "$server" 2> /dev/null
    rm -rf "$work"
}
trap cleanup EXIT
# A display number of its own, away from the ones people choose by hand.
display=
for number in $(seq 200 299); do
    if [[ ! -e /tmp/.X$number-lock && ! -e /tmp/.X11-unix/X$number ]]; then
        display=$number
        break
    fi
done
[[ -n $display ]] || { echo "No free X display number found." >&2; exit 1; }
Xvfb ":$display" -screen 0 1280x1024x24 -nolisten tcp 2> "$work/xvfb.log" &
server=$!
export DISPLAY=:$display
# One client watches every window being mapped; asking the server again and
# again instead could crowd it out on a busy machine.
for _ in $(seq 100); do
    xev -root -event substructure > "$work/events" 2> /dev/null &
    watcher=$!
    sleep 0.1
    kill -0 "$watcher" 2> /dev/null && break
    kill -0 "$server" 2> /dev/null || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
    watcher=
done
[[ -n $watcher ]] || { echo "Cannot watch the X server." >&2; exit 1; }

mapped() {
    grep -c MapNotify "$work/events" || true
}

# Milliseconds from launching the program until its first window is mapped,
# then from Ctrl+Q in that window until the process has ended (waited for as
# its parent: a process that has ended but was not yet waited for still
# answers kill -0).
start_once() {
    local settings=$work/settings
    rm -rf "$settings" && mkdir "$settings"
    local before started ended
    before=$(mapped)
    started=$(date +%s%N)
    XDG_CONFIG_HOME=$settings "$1" > "$work/output" 2>&1 &
    program=$!
    until (($(mapped) > before)); do
        if ! kill -0 "$program" 2> /dev/null; then
            echo "$1 ended before its window showed:" >&2
            cat "$work/output" >&2
            exit 1
        fi
        sleep 0.002
    done
    ended=$(date +%s%N)
    local window
    window=$(xdotool search --onlyvisible --pid "$program" --name Telvoro | head -n 1)
    xdotool windowfocus --sync "$window"
    local closing closed
    closing=$(date +%s%N)
    xdotool key --clearmodifiers ctrl+q
    wait "$program" 2> /dev/null || true
    closed=$(date +%s%N)
    program=
    echo "$(((ended - started) / 1000000)) $(((closed - closing) / 1000000))"
}

declare -a times ends
for index in "${!programs[@]}"; do
    start_once "${programs[$index]}" > /dev/null
    times[$index]=
    ends[$index]=
done
for run in $(seq "$runs"); do
    for index in "${!programs[@]}"; do
        read -r time end < <(start_once "${programs[$index]}")
        times[$index]+=" $time"
        ends[$index]+=" $end"
        echo "run $run, ${programs[$index]}: visible after $time ms, ended $end ms after Ctrl+Q"
    done
done
for index in "${!programs[@]}"; do
    echo "Median time to a visible window over $runs runs: $(printf '%s\n' ${times[$index]} | median) ms (${programs[$index]})"
    echo "Median time from Ctrl+Q to the end over $runs runs: $(printf '%s\n' ${ends[$index]} | median) ms (${programs[$index]})"
done
