#!/usr/bin/env bash
# The running program's own processor time over a minute of rest, on a private
# X server, with the database given (reminders pending, none due): its due check
# looks every 6 s and nothing else should run.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tests/e2e/lib.sh"
e2e_setup "$1" "$2"
cp "$3" "$work/trovix/trovix.mdb"
program="$work/trovix/trovix"
seconds=${4:-60}
"$program" 2>/dev/null &
app_pid=$!
e2e_window "Marlen's TROVIX" 20 >/dev/null || e2e_fail "the main window did not appear"
sleep 3
ticks() { awk '{ print $14 + $15 }' "/proc/$app_pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$seconds"
after=$(ticks)
rss=$(awk '/VmRSS/ { print $2 }' "/proc/$app_pid/status")
echo "idle over ${seconds} s with reminders pending: $(awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
    'BEGIN { printf "%.3f", 100 * t / hz / s }')% of one core (target < 0.1%); RSS $((rss / 1024)) MB"
