# Sourced by the scripts that start the module emulator.
# start_emulator BUILD starts BUILD's tx48-emulator in the background, stops
# it when the script ends, and sets `port` to its pseudo-terminal (empty when
# the emulator did not report one within 5 s).
start_emulator() {
    emulator_output=$(mktemp)
    "$1/tools/emulator/tx48-emulator" > "$emulator_output" &
    emulator=$!
    trap 'kill "$emulator" 2>/dev/null; rm -f "$emulator_output"' EXIT
    port=
    for _ in $(seq 50); do
        port=$(head -n 1 "$emulator_output")
        [[ -n $port ]] && return
        sleep 0.1
    done
}
