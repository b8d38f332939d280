#!/usr/bin/env bash
# The running program at rest over a minute, on a private X server, with the database given and every
# list window open: its processor time and its resident memory at the end, against the floor, a bare Qt
# window with a timer of the same period at rest over the same time. The program rests once more on a
# database whose lists are empty: what the listed entries cost at rest is the difference, shared out
# over the 50,000 entries of the full database (10,000 in each of the five lists).
#   idle.sh PROGRAM_DIR DB_TOOL DATABASE EMPTY_DATABASE FLOOR_WINDOW [SECONDS]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tests/e2e/lib.sh"
e2e_setup "$1" "$2"
full_database=$3
empty_database=$4
floor_program=$5
seconds=${6:-60}
entries=50000
hz=$(getconf CLK_TCK)

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
rss_kb() { awk '/VmRSS/ { print $2 }' "/proc/$1/status"; }

# rest PID: prints the share of one core in percent and the RSS in kB after $seconds of rest.
rest() {
    local before after
    before=$(ticks "$1")
    sleep "$seconds"
    after=$(ticks "$1")
    awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" 'BEGIN { printf "%.4f ", 100 * t / hz / s }'
    rss_kb "$1"
}

# program_at_rest DATABASE: the program on that database with every window open, then at rest; sets
# rest_cpu and rest_rss as rest prints them. A minute's rest outlasts the program's wait before it gives
# back the memory it keeps for reads.
program_at_rest() {
    local window keys
    cp "$1" "$work/trovix/trovix.mdb"
    "$work/trovix/trovix" 2>/dev/null &
    app_pid=$!
    window=$(e2e_window "$main" 20) || e2e_fail "the main window did not appear"
    sleep 1
    # Every list window, from its menu shortcut in the main window: softwares, games, command-line
    # programs, documents, reminders.
    for keys in ctrl+t ctrl+g ctrl+w ctrl+d ctrl+r; do
        e2e_keys "$window" "$keys"
        sleep 1
    done
    # What was measured can be looked at: TROVIX_IDLE_SCREENSHOT names a file for a picture of the screen.
    [ "$1" = "$full_database" ] && [ -n "${TROVIX_IDLE_SCREENSHOT:-}" ] && import -window root "$TROVIX_IDLE_SCREENSHOT"
    sleep 3
    read -r rest_cpu rest_rss < <(rest "$app_pid")
    [ -n "${rest_rss:-}" ] || e2e_fail "the program ended while at rest on $1"
    kill "$app_pid"
    wait "$app_pid" 2>/dev/null
    app_pid=
}

program_at_rest "$full_database"
program_cpu=$rest_cpu program_rss=$rest_rss
program_at_rest "$empty_database"
empty_cpu=$rest_cpu empty_rss=$rest_rss

"$floor_program" "floor window" 2>/dev/null &
app_pid=$!
e2e_window "floor window" 20 >/dev/null || e2e_fail "the floor window did not appear"
sleep 3
read -r floor_cpu floor_rss < <(rest "$app_pid")

echo "at rest with empty lists: $empty_cpu % of one core, $((empty_rss / 1024)) MB"
awk -v p="$program_cpu" -v f="$floor_cpu" -v s="$seconds" 'BEGIN {
    printf "@row|idle CPU over %d s, every window open, 10k entries each|%.3f %%|%.3f %%|< 0.1 %% of one core|%s\n",
        s, p, f, (p < 0.1) ? "met" : "NOT met" }'
awk -v p="$program_rss" -v f="$floor_rss" 'BEGIN {
    printf "@row|idle RSS, every window open, 10k entries each|%.1f MB|%.1f MB (%.2f×)|< 45 MB|%s\n",
        p / 1024, f / 1024, p / f, (p < 45 * 1024) ? "met" : "NOT met" }'
awk -v p="$program_rss" -v e="$empty_rss" -v n="$entries" 'BEGIN {
    b = (p - e) * 1024 / n
    printf "@row|idle memory per listed entry|%.1f B|-|≤ 150 B|%s\n", b, (b <= 150) ? "met" : "NOT met" }'
