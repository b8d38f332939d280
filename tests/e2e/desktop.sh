#!/usr/bin/env bash
# The real program under a window manager beside a notification-area host. On top or not, F2's Tip of the Day
# (the TOTD's first line; Enter closes it), F3's about box (Esc), F1's help (also while on top is switched) and
# Browse's file dialog come up in front of the main window. A double click on the message panel opens the tips,
# activating the main window closes them. Minimize hides the main window, a second start and a left press on
# the icon bring it back, the icon menu's Exit ends the program with status 0 and the icon.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
e2e_setup "$1" "$2" xclip xwininfo trayer pulseaudio pactl openbox
e2e_tray
e2e_wm
e2e_start

# opened KEY NAME WHAT: the key opens the window of that name (its id printed), in front of the main window.
opened() {
    local id
    e2e_keys "$main_id" "$1"
    id=$(e2e_window "$2" 5) || e2e_fail "$1 did not open $3"
    sleep 0.3
    e2e_in_front "$id" "$main_id" || e2e_fail "$3 is behind the main window (on top: $on_top)"
    echo "$id"
}
for on_top in no yes; do
    tip_id=$(opened F2 "Tip of the Day" "the Tip of the Day") || exit 1
    if [ $on_top = no ]; then
        # The tip's text, selected and copied as a user would.
        xdotool mousemove --window "$tip_id" 150 100 click 1 sleep 0.2 key --clearmodifiers ctrl+a ctrl+c sleep 0.3
        shown=$(xclip -o -selection clipboard 2>/dev/null)
        first_tip=$(head -n 1 "$work/trovix/TOTD" | tr -d '\r')
        [ "$shown" = "$first_tip" ] || e2e_fail "the first tip shown was '$shown', not '$first_tip'"
    fi
    xdotool key Return
    e2e_until 50 e2e_hidden "Tip of the Day" || e2e_fail "Enter did not close the Tip of the Day"

    about_id=$(opened F3 "TROVIX 1.0 .*" "the about box") || exit 1
    e2e_keys "$about_id" Escape
    e2e_until 50 e2e_hidden "TROVIX 1.0 .*" || e2e_fail "Esc did not close the about box"

    # The help stays in front while a click on panel 3 (in the last 100 pixels) switches on top, and back.
    help_id=$(opened F1 "TROVIX Help" "the help") || exit 1
    xdotool windowmove "$help_id" 0 0 sleep 0.3
    eval "$(xdotool getwindowgeometry --shell "$main_id")"
    for _ in 1 2; do
        xdotool mousemove --window "$main_id" $((WIDTH - 30)) $((HEIGHT - 8)) click 1 sleep 0.5
        e2e_in_front "$help_id" "$main_id" || e2e_fail "the help went behind the main window as on top was switched"
    done
    e2e_keys "$help_id" alt+F4
    e2e_until 50 e2e_hidden "TROVIX Help" || e2e_fail "Alt+F4 did not close the help"

    # Browse in Softwares: the name box, the path box, then the button.
    e2e_keys "$main_id" ctrl+t sleep 0.5 key ctrl+n sleep 0.3 key Tab Tab space sleep 1
    dialog_id=$(xdotool getactivewindow)
    [ "$dialog_id" != "$main_id" ] && e2e_in_front "$dialog_id" "$main_id" \
        || e2e_fail "Browse's file dialog is not in front of the main window (on top: $on_top)"
    xdotool key Escape sleep 0.3 key ctrl+z ctrl+F4 sleep 0.3

    e2e_keys "$main_id" ctrl+o sleep 0.5
    xprop -id "$main_id" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE
    [ $? = $([ $on_top = no ] && echo 0 || echo 1) ] || e2e_fail "Ctrl+O did not switch on top (it was: $on_top)"
done

# Panel 2 lies between the 96 pixels of panel 1 and the last 100 of panel 3.
eval "$(xdotool getwindowgeometry --shell "$main_id")"
xdotool mousemove --window "$main_id" $((WIDTH / 2)) $((HEIGHT - 8)) click --repeat 2 --delay 80 1
tip_id=$(e2e_window "Tip of the Day" 5) || e2e_fail "a double click on panel 2 did not open the Tip of the Day"
sleep 0.3
e2e_focus "$tip_id"; sleep 0.3
e2e_focus "$main_id"
e2e_until 50 e2e_hidden "Tip of the Day" || e2e_fail "activating the main window left the Tip of the Day open"

# The icon is the program's window embedded in the tray host's panel.
panel=$(xdotool search --class '^trayer$' 2>/dev/null | while read -r id; do
    xwininfo -id "$id" -tree 2>/dev/null | grep -q '"TROVIX"' && echo "$id"; done | head -n 1)
[ -n "$panel" ] || e2e_fail "no icon in the notification area"
eval "$(xdotool getwindowgeometry --shell "$(xwininfo -id "$panel" -tree | awk '/"TROVIX"/ { print $1; exit }')")"
icon_x=$((X + WIDTH / 2)) icon_y=$((Y + HEIGHT / 2))

e2e_keys "$main_id" ctrl+y
e2e_until 50 e2e_hidden "$main" || e2e_fail "Minimize did not hide the main window"
kill -0 "$app_pid" || e2e_fail "the program ended on Minimize"
timeout 20 "$program" 2>>"$work/stderr.log" || e2e_fail "a second start beside the hidden program ended with status $?"
main_id=$(e2e_window "$main" 5) || e2e_fail "a second start did not bring the hidden main window back"
e2e_keys "$main_id" ctrl+y
e2e_until 50 e2e_hidden "$main" || e2e_fail "Minimize did not hide the main window again"
xdotool mousemove "$icon_x" "$icon_y" click 1
e2e_window "$main" 5 >/dev/null || e2e_fail "a left press on the icon did not bring the main window back"

# The icon's menu: a right press opens it, Exit ends the program.
xdotool mousemove "$icon_x" "$icon_y" click 3 sleep 0.5 key e
e2e_exits 0 "the icon menu's Exit"
sleep 0.3
xwininfo -id "$panel" -tree 2>/dev/null | grep -q '"TROVIX"' && e2e_fail "the icon stayed behind in the notification area"
echo "F2 showed '$shown'; tips, about and tray as expected"
