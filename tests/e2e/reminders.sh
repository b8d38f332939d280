#!/usr/bin/env bash
# The real program with the real clock, a notification-area host and a sound
# server: a reminder saved a minute in the past is announced within 7 s, with
# the main window brought back from the tray and the reminder marked done in the
# database file; the chime repeats until Quiet; a reminder saved 10 s ahead is
# announced 10 to 17 s later.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
e2e_setup "$1" "$2"
db_tool=$2
for tool in trayer pulseaudio pactl; do
    command -v "$tool" >/dev/null || e2e_fail "$tool is missing (./trovix.sh installs it)"
done
program="$work/trovix/trovix"
sounds="$work/sounds.log"
: >"$sounds"

pulseaudio --daemonize=no --exit-idle-time=-1 -n --load="module-null-sink sink_name=quiet" \
    --load=module-native-protocol-unix >"$work/pulse.log" 2>&1 &
extra_pids="$!"
trayer --edge top --align right --widthtype request --height 24 >"$work/trayer.log" 2>&1 &
extra_pids="$extra_pids $!"
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done

chimes() { grep -c '^notify.wav$' "$sounds" || true; }
visible() { xdotool search --onlyvisible --name "^Marlen's TROVIX\$" >/dev/null 2>&1; }

# Types a reminder for the given moment (seconds since the epoch) into the open reminders window.
type_reminder() {
    local message=$1 at=$2
    xdotool key --clearmodifiers ctrl+n
    sleep 0.3
    xdotool type --delay 10 "$message"
    # Past the three parts of the date (today, as New sets it) to the hour and minute.
    xdotool key Tab Tab Tab Tab
    xdotool type --delay 10 "$(date -d "@$at" +%-I)"
    xdotool key Tab
    xdotool type --delay 10 "$(date -d "@$at" +%M)"
    xdotool key Tab
    [ "$(date -d "@$at" +%p)" = PM ] && xdotool key Down
}

TROVIX_SOUND_LOG="$sounds" "$program" 2>"$work/stderr.log" &
app_pid=$!
main_id=$(e2e_window "Marlen's TROVIX" 20) || e2e_fail "the main window did not appear"
sleep 0.5

# Just after midnight a minute ago is yesterday, which New's date does not show.
while [ "$(date +%H%M)" = 0000 ]; do sleep 1; done
e2e_keys "$main_id" ctrl+r
sleep 0.5
type_reminder "Tea is ready" $(($(date +%s) - 60))
xdotool key --clearmodifiers ctrl+s
sleep 0.3
"$db_tool" dump "$work/trovix" | grep -q "^Tea is ready	.*	0$" || e2e_fail "the reminder was not stored pending"
xdotool key --clearmodifiers ctrl+y
e2e_gone "Marlen's TROVIX" 5 || e2e_fail "Minimize did not hide the main window"
hidden=$(e2e_now_ms)
for _ in $(seq 90); do [ "$(chimes)" -ge 1 ] && break; sleep 0.1; done
announced=$(e2e_now_ms)
[ "$(chimes)" -ge 1 ] || e2e_fail "the reminder was not announced within 9 s"
[ $((announced - hidden)) -le 7000 ] || e2e_fail "the reminder was announced after $((announced - hidden)) ms"
main_id=$(e2e_window "Marlen's TROVIX" 3) || e2e_fail "the announcement did not bring the main window back"
"$db_tool" dump "$work/trovix" | grep -q "^Tea is ready	.*	1$" || e2e_fail "the announced reminder is not marked done"
import -window "$main_id" "$work/reminders.png" 2>/dev/null
[ -n "${TROVIX_E2E_SHOTS:-}" ] && cp "$work/reminders.png" "$TROVIX_E2E_SHOTS/reminders.png"
echo "announced $((announced - hidden)) ms after the main window was hidden; it is back, the reminder is done"

# The chime every 2 s, until Quiet.
sleep 4.5
before=$(chimes)
[ "$before" -ge 3 ] || e2e_fail "the chime did not repeat: $before sounds in 4.5 s"
e2e_keys "$main_id" ctrl+p
sleep 0.3
quiet=$(chimes)
sleep 4.5
[ "$(chimes)" = "$quiet" ] || e2e_fail "the chime went on after Quiet"
echo "chime: $before sounds before Quiet, none after"

# A reminder 10 s ahead: typed for the next minute, saved at its 50th second.
while [ "$(date +%-S)" -ge 48 ] || [ "$(date +%-S)" -lt 20 ]; do sleep 0.5; done
due=$(($(date +%s) / 60 * 60 + 60))
type_reminder "Leave for the train" "$due"
while [ $(($(date +%s) + 10)) -lt "$due" ]; do sleep 0.05; done
xdotool key --clearmodifiers ctrl+s
saved=$(e2e_now_ms)
start=$(chimes)
for _ in $(seq 250); do [ "$(chimes)" -gt "$start" ] && break; sleep 0.1; done
[ "$(chimes)" -gt "$start" ] || e2e_fail "the reminder 10 s ahead was not announced within 25 s"
late=$(( $(e2e_now_ms) - due * 1000 ))
after=$(( $(e2e_now_ms) - saved ))
[ "$after" -ge 9500 ] && [ "$after" -le 17500 ] || e2e_fail "announced $after ms after saving, not 10 to 17 s"
"$db_tool" dump "$work/trovix" | grep -q "^Leave for the train	.*	1$" || e2e_fail "the second reminder is not done"
echo "a reminder saved 10 s ahead was announced $after ms after saving ($late ms after it fell due)"

kill "$app_pid"
app_pid=
