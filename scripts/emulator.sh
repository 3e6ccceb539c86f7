# Sourced by the scripts that start the module emulator.
# start_emulator BUILD [OPTION...] starts BUILD's tx48-emulator with the
# options in the background, stops it when the script ends (stop_emulator;
# a script with its own EXIT trap calls it from there), and sets `port` to
# its pseudo-terminal (empty when the emulator did not report one within 5 s).
start_emulator() {
    emulator_output=$(mktemp)
    "$1/tools/emulator/tx48-emulator" "${@:2}" > "$emulator_output" &
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
