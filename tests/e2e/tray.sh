#!/usr/bin/env bash
# The real program with a notification-area host and a sound server: Minimize
# hides the main window, a second start on the folder and a left press on the
# icon bring it back, the icon's menu "Exit" ends the program with status 0 and
# leaves no icon behind.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
e2e_setup "$1" "$2"
for tool in trayer pulseaudio pactl; do
    command -v "$tool" >/dev/null || e2e_fail "$tool is missing (./trovix.sh installs it)"
done
program="$work/trovix/trovix"

pulseaudio --daemonize=no --exit-idle-time=-1 -n --load="module-null-sink sink_name=quiet" \
    --load=module-native-protocol-unix >"$work/pulse.log" 2>&1 &
extra_pids="$!"
trayer --edge top --align right --widthtype request --height 24 >"$work/trayer.log" 2>&1 &
extra_pids="$extra_pids $!"
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || e2e_fail "the sound server did not start: $(cat "$work/pulse.log")"

"$program" 2>"$work/stderr.log" &
app_pid=$!
main_id=$(e2e_window "Marlen's TROVIX" 20) || e2e_fail "the main window did not appear"

# The icon is the program's window embedded in the tray host's panel.
panel=$(xdotool search --class '^trayer$' 2>/dev/null | while read -r id; do
    xwininfo -id "$id" -tree 2>/dev/null | grep -q '"TROVIX"' && echo "$id"; done | head -n 1)
[ -n "$panel" ] || e2e_fail "no icon in the notification area"
icon=$(xwininfo -id "$panel" -tree | awk '/"TROVIX"/ { print $1; exit }')
eval "$(xdotool getwindowgeometry --shell "$icon")"
icon_x=$((X + WIDTH / 2)) icon_y=$((Y + HEIGHT / 2))

# A toolbar click plays its sound on the sound server and the program goes on.
e2e_keys "$main_id" ctrl+y
e2e_gone "Marlen's TROVIX" 5 || e2e_fail "Minimize did not hide the main window"
kill -0 "$app_pid" || e2e_fail "the program ended on Minimize"

timeout 20 "$program" 2>>"$work/stderr.log"
status=$?
[ "$status" = 0 ] || e2e_fail "a second start beside the hidden program ended with status $status"
main_id=$(e2e_window "Marlen's TROVIX" 5) || e2e_fail "a second start did not bring the hidden main window back"
e2e_keys "$main_id" ctrl+y
e2e_gone "Marlen's TROVIX" 5 || e2e_fail "Minimize did not hide the main window again"

xdotool mousemove "$icon_x" "$icon_y" click 1
main_id=$(e2e_window "Marlen's TROVIX" 5) || e2e_fail "a left press on the icon did not bring the main window back"

eval "$(xdotool getwindowgeometry --shell "$main_id")"
xdotool mousemove $((X + 50)) $((Y + 45)) click 1
sleep 0.5
kill -0 "$app_pid" || e2e_fail "the program ended after a toolbar sound"
pactl list short clients | grep -qi trovix || echo "note: the toolbar sound did not reach the sound server"

# The icon's menu: a right press opens it, Exit ends the program.
xdotool mousemove "$icon_x" "$icon_y" click 3
sleep 0.5
menus=$(xwininfo -root -children | grep -c '"TROVIX".*[0-9]x[0-9]' || true)
xdotool key e
e2e_wait_exit "$app_pid" 10 || e2e_fail "the icon's Exit did not end the program"
app_pid=
[ "$exit_status" = 0 ] || e2e_fail "the icon's Exit ended the program with status $exit_status"
sleep 0.3
xwininfo -id "$panel" -tree 2>/dev/null | grep -q '"TROVIX"' && e2e_fail "the icon stayed behind in the notification area"
echo "tray: hidden, brought back, exited with status $exit_status; icon removed (menu windows seen: $menus)"
