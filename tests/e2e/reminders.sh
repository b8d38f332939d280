#!/usr/bin/env bash
# The real program with the real clock, a tray host, a sound server and a notification server on a bus of its
# own: a reminder a minute past is announced within 7 s (window back from the tray, marked done, notified with
# the message as typed) and chimes; one saved 10 s ahead meanwhile is announced 10 to 17 s later, its
# notification in the place of the first one's; its action brings the window back from the tray, and closing
# it ends the chime and leaves no notification behind.
set -u
[ -n "${E2E_OWN_BUS:-}" ] || exec env E2E_OWN_BUS=1 dbus-run-session -- "$0" "$@"
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
e2e_setup "$1" "$2" trayer pulseaudio pactl dunst dunstctl dbus-monitor
e2e_tray
e2e_notifications
export TROVIX_SOUND_LOG="$work/sounds.log"
: >"$TROVIX_SOUND_LOG"
chimes() { grep -c '^notify.wav$' "$TROVIX_SOUND_LOG" || true; }
chimed() { [ "$(chimes)" -gt "$1" ]; }

# type_reminder MESSAGE EPOCH_SECONDS: New, then past the date's three parts (today) to hour and minute.
type_reminder() {
    xdotool key --clearmodifiers ctrl+n sleep 0.3 type --delay 10 "$1"
    xdotool key --clearmodifiers Tab Tab Tab Tab type --delay 10 "$(date -d "@$2" +%-I)"
    xdotool key --clearmodifiers Tab type --delay 10 "$(date -d "@$2" +%M)"
    xdotool key Tab
    [ "$(date -d "@$2" +%p)" = PM ] && xdotool key Down
}

e2e_start

# Just after midnight a minute ago is yesterday, which New's date does not show.
while [ "$(date +%H%M)" = 0000 ]; do sleep 1; done
e2e_keys "$main_id" ctrl+r sleep 0.5
tea='Tea <b>is</b> ready & hot'
due=$(($(date +%s) - 60))
type_reminder "$tea" $due
xdotool key --clearmodifiers ctrl+s sleep 0.3
e2e_dump | grep -qF "$tea	$(date -d "@$due" '+%Y-%m-%d %H:%M:00')	0" || e2e_fail "the reminder was not stored pending"
xdotool key --clearmodifiers ctrl+y
e2e_until 50 e2e_hidden "$main" || e2e_fail "Minimize did not hide the main window"
hidden=$(e2e_now_ms)
e2e_until 90 chimed 0 || e2e_fail "the reminder was not announced within 9 s"
announced=$(e2e_now_ms)
[ $((announced - hidden)) -le 7000 ] || e2e_fail "the reminder was announced after $((announced - hidden)) ms"
main_id=$(e2e_window "$main" 3) || e2e_fail "the announcement did not bring the main window back"
e2e_dump | grep -F "$tea	" | grep -q "	1$" || e2e_fail "the announced reminder is not marked done"
echo "announced $((announced - hidden)) ms after the main window was hidden; it is back, the reminder is done"

# The notification as the program sent it, and as the server shows it: the message as plain text.
e2e_until 30 e2e_notices 1 || e2e_fail "no notification is shown"
for field in 'string "TROVIX"' 'string "trovix"' "string \"$tea\"" \
    "string \"$(date -d "@$due" '+%Y-%m-%d %-I:%M:00 %p')\"" 'byte 2' 'string "org.example.trovix"'; do
    grep -qF "$field" "$work/notify.log" || e2e_fail "the notification lacks $field: $(cat "$work/notify.log")"
done

# The chime every 2 s.
sleep 4.5
[ "$(chimes)" -ge 3 ] || e2e_fail "the chime did not repeat: $(chimes) sounds in 4.5 s"

# A reminder 10 s ahead, typed for the next minute and saved at its 50th second while the first one chimes.
while [ "$(date +%-S)" -ge 48 ] || [ "$(date +%-S)" -lt 20 ]; do sleep 0.5; done
due=$(($(date +%s) / 60 * 60 + 60))
e2e_focus "$main_id"
train='Leave for the <i>train</i> & go'
type_reminder "$train" "$due"
while [ $(($(date +%s) + 10)) -lt "$due" ]; do sleep 0.05; done
xdotool key --clearmodifiers ctrl+s
saved=$(e2e_now_ms)
train_done() { e2e_dump | grep -qF "$train	$(date -d "@$due" '+%Y-%m-%d %H:%M:00')	1"; }
e2e_until 250 train_done || e2e_fail "the reminder 10 s ahead was not announced within 25 s"
late=$(( $(e2e_now_ms) - due * 1000 ))
after=$(( $(e2e_now_ms) - saved ))
[ "$after" -ge 9500 ] && [ "$after" -le 17500 ] || e2e_fail "announced $after ms after saving, not 10 to 17 s"
echo "a reminder saved 10 s ahead was announced $after ms after saving ($late ms after it fell due)"
# Its notification takes the place of the first one's.
e2e_until 30 grep -qF "string \"$train\"" "$work/notify.log" || e2e_fail "no notification for the second reminder"
sleep 1
e2e_notices 1 || e2e_fail "the second announcement left $(dunstctl count displayed) notifications, not one"

# Its action, taken at once after hiding, brings the main window back from the tray with the keyboard: Tab
# moves on to the hour and the minute. Closing the notification is Quiet.
xdotool key --clearmodifiers ctrl+y
e2e_until 50 e2e_hidden "$main" || e2e_fail "Minimize did not hide the main window"
dunstctl action 0
main_id=$(e2e_window "$main" 3) || e2e_fail "the notification's action did not bring the main window back"
sleep 0.5
type_reminder "Keys reach the clock" $(($(date +%s) + 3600))
xdotool key --clearmodifiers ctrl+s sleep 0.3
e2e_dump | grep -q "^Keys reach the clock	" || e2e_fail "back at once after hiding, the window took no Tab: $(e2e_dump)"
dunstctl close && sleep 0.3
quiet=$(chimes)
sleep 4.5
[ "$(chimes)" = "$quiet" ] || e2e_fail "the chime went on after the notification was closed"
e2e_notices 0 || e2e_fail "closing the notification left $(dunstctl count displayed) on the desktop"
dunstctl history | grep -qF "Leave for the &lt;i&gt;train&lt;/i&gt; &amp; go" \
    || e2e_fail "the server did not show the message as plain text: $(dunstctl history)"
