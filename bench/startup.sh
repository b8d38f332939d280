#!/usr/bin/env bash
# Process start to the splash window on screen, on a private X server, against the floor: a bare Qt
# window started the same way. The median of five starts each, polled every 20 ms, taken in turns so
# that both meet the same load on the machine.
#   startup.sh PROGRAM_DIR DB_TOOL FLOOR_WINDOW
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tests/e2e/lib.sh"
e2e_setup "$1" "$2"
program="$work/trovix/trovix"
floor_program=$3

# time_to_window TITLE COMMAND...: milliseconds from the start until a visible window has the title.
time_to_window() {
    local title=$1 start
    shift
    start=$(e2e_now_ms)
    "$@" 2>/dev/null &
    app_pid=$!
    e2e_window "$title" 20 >/dev/null || e2e_fail "the window \"$title\" did not appear"
    echo $(($(e2e_now_ms) - start))
    kill "$app_pid"
    wait "$app_pid" 2>/dev/null
    app_pid=
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

times=()
floors=()
for _ in 1 2 3 4 5; do
    times+=("$(time_to_window TROVIX "$program")")
    floors+=("$(time_to_window "floor window" "$floor_program" "floor window")")
done
echo "start to splash, runs: ${times[*]} ms; bare window: ${floors[*]} ms"
program_ms=$(median "${times[@]}")
floor_ms=$(median "${floors[@]}")
awk -v p="$program_ms" -v f="$floor_ms" 'BEGIN {
    printf "@row|start to splash shown|%d ms|%d ms (%.2f×)|≤ 2× floor|%s\n", p, f, p / f, (p <= 2 * f) ? "met" : "NOT met" }'
