#!/usr/bin/env bash
# Process start to the splash window on screen, on a private X server: the
# median of several starts, polled every 20 ms.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tests/e2e/lib.sh"
e2e_setup "$1" "$2"
program="$work/trovix/trovix"
times=()
for _ in 1 2 3 4 5; do
    start=$(e2e_now_ms)
    "$program" 2>/dev/null &
    app_pid=$!
    e2e_window TROVIX 20 >/dev/null || e2e_fail "the splash window did not appear"
    times+=($(($(e2e_now_ms) - start)))
    kill "$app_pid"; wait "$app_pid" 2>/dev/null; app_pid=
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
echo "process start to splash shown: median $(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p) ms (runs: $sorted)"
