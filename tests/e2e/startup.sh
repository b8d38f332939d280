#!/usr/bin/env bash
# The real program on a real X server under a window manager: the splash, then the main window about a
# second later; later starts on the same folder bring it forward and end with status 0, one naming a list
# window with that window in front; Exit ends it with status 0. Killed, it leaves nothing in the way of the
# next start. Without its database it says why on standard error and exits 1.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
e2e_setup "$1" "$2" openbox
e2e_wm

# starts COUNT RUNNING: COUNT starts at once on the folder; RUNNING of them must run on (their pids in
# $running), every other one must end with status 0, and one main window must be there.
alive() { local n=0 pid; for pid in $pids; do kill -0 "$pid" 2>/dev/null && n=$((n + 1)); done; [ "$n" -le "$1" ]; }
starts() {
    local pid
    pids= running=
    for _ in $(seq "$1"); do "$program" 2>>"$work/starts.log" & pids="$pids $!"; done
    e2e_until 100 alive "$2"
    for pid in $pids; do
        e2e_ended "$pid" || { running="$running $pid"; continue; }
        wait "$pid" || e2e_fail "a start beside a running program ended with status $?: $(cat "$work/starts.log")"
    done
    [ "$(echo $running | wc -w)" = "$2" ] || e2e_fail "$1 starts at once left $(echo $running | wc -w) running, not $2"
    sleep 0.5
    main_id=$(e2e_window "$main" 20) || e2e_fail "no main window after $1 starts at once"
    [ "$(xdotool search --onlyvisible --name "^$main\$" | wc -l)" = 1 ] || e2e_fail "$1 starts at once gave more than one main window"
}

"$program" 2>"$work/stderr.log" & app_pid=$!
started=$(e2e_now_ms)
e2e_window TROVIX 20 >/dev/null || e2e_fail "the splash window did not appear"
splash_seen=$(e2e_now_ms)
main_id=$(e2e_window "$main" 20) || e2e_fail "the main window did not appear"
main_seen=$(e2e_now_ms)
e2e_until 50 e2e_hidden TROVIX || e2e_fail "the splash window stayed after the main window appeared"
echo "splash after $((splash_seen - started)) ms, main window $((main_seen - splash_seen)) ms after the splash"
[ $((main_seen - splash_seen)) -ge 500 ] || e2e_fail "the main window came too early: the splash should run about a second"
starts 3 0
kill -0 "$app_pid" || e2e_fail "later starts ended the running program"

# A later start naming a list window brings the minimized program back with that window active: the keys
# typed next make a reminder. A name of no window, or none, ends a start with status 2 and one line naming
# the windows, before anything opens.
for wrong in "--window nowhere" "--window"; do
    status=0; "$program" $wrong 2>"$work/wrong.log" || status=$?
    [ "$status" = 2 ] && [ "$(wc -l <"$work/wrong.log")" = 1 ] && grep -q 'softwares, games, windows, documents, reminders' \
        "$work/wrong.log" || e2e_fail "trovix $wrong ended with status $status: $(cat "$work/wrong.log")"
done
e2e_keys "$main_id" ctrl+y
e2e_until 50 e2e_hidden "$main" || e2e_fail "Minimize did not minimize the main window"
timeout 20 "$program" --window reminders 2>>"$work/starts.log" || e2e_fail "trovix --window reminders ended with status $?"
main_id=$(e2e_window "$main" 5) || e2e_fail "trovix --window reminders did not bring the main window back"
e2e_until 50 eval '[ "$(xdotool getactivewindow)" = "$main_id" ]' || e2e_fail "the main window is not the active one"
while [ "$(date +%H%M)" = 2359 ]; do sleep 1; done
xdotool key --clearmodifiers ctrl+n sleep 0.3 type --delay 10 "Asked for by name"
xdotool key --clearmodifiers Tab Tab Tab Tab type --delay 10 11
xdotool key --clearmodifiers Tab type --delay 10 59
xdotool key --clearmodifiers Tab Down ctrl+s sleep 0.5
e2e_dump | grep -qxF "Asked for by name	$(date +%Y-%m-%d) 23:59:00	0" \
    || e2e_fail "the reminders window was not the active one: $(e2e_dump)"
xdotool key --clearmodifiers ctrl+F4 sleep 0.3

e2e_keys "$main_id" alt+a sleep 0.3 key e
e2e_exits 0 "Exit from the Arrange menu"

# Killed, the program leaves no lock behind: of four starts at once, one runs, the others end.
e2e_start
kill -9 "$app_pid"
wait "$app_pid" 2>/dev/null
starts 4 1
app_pid=${running# }
e2e_keys "$main_id" alt+a sleep 0.3 key e
e2e_exits 0 "Exit after a killed run"

# Without its database the program says why and exits 1.
rm -f "$work/trovix/trovix.mdb"
"$program" 2>"$work/stderr.log" & app_pid=$!
e2e_until 100 grep -q "$work/trovix/trovix.mdb" "$work/stderr.log" || e2e_fail "no reason on standard error: $(cat "$work/stderr.log")"
box=$(e2e_window TROVIX 10) || e2e_fail "no message box for the missing database"
e2e_keys "$box" Return
e2e_exits 1 "Enter on the missing database's message"
xdotool search --name "$main" >/dev/null 2>&1 && e2e_fail "the main window appeared without a database"
echo "later starts forwarded; after kill -9 four starts left one; without a database: $(cat "$work/stderr.log")"
