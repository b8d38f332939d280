#!/usr/bin/env bash
# The real program on a real X server: F2 opens the Tip of the Day at the first
# line of the delivered TOTD and Enter closes it; F3 opens the about box and Esc
# closes it; a double click on the message panel opens the tips again, and
# activating the main window closes them.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
e2e_setup "$1" "$2"
program="$work/trovix/trovix"
command -v xclip >/dev/null || e2e_fail "xclip is missing (./trovix.sh installs it)"

# copy_tip WINDOW: the text of the tip on show, selected and copied as a user would.
copy_tip() {
    local id=$1
    xdotool mousemove --window "$id" 150 100 click 1
    sleep 0.2
    xdotool key --clearmodifiers ctrl+a ctrl+c
    sleep 0.3
    xclip -o -selection clipboard 2>/dev/null
}

"$program" 2>"$work/stderr.log" &
app_pid=$!
main_id=$(e2e_window "Marlen's TROVIX" 20) || e2e_fail "the main window did not appear"
sleep 0.5

e2e_keys "$main_id" F2
tip_id=$(e2e_window "Tip of the Day" 5) || e2e_fail "F2 did not open the Tip of the Day"
sleep 0.3
import -window "$tip_id" "$work/tip.png" 2>/dev/null
[ -n "${TROVIX_E2E_SHOTS:-}" ] && cp "$work/tip.png" "$TROVIX_E2E_SHOTS/tip.png"
first_tip=$(head -n 1 "$work/trovix/TOTD" | tr -d '\r')
shown=$(copy_tip "$tip_id")
[ "$shown" = "$first_tip" ] || e2e_fail "the first tip shown was '$shown', not '$first_tip'"
echo "F2: Tip of the Day shows '$shown'"
xdotool key Return
e2e_gone "Tip of the Day" 5 || e2e_fail "Enter did not close the Tip of the Day"
echo "Enter closed it"

e2e_keys "$main_id" F3
about_id=$(e2e_window "TROVIX 1.0 .*" 5) || e2e_fail "F3 did not open the about box"
sleep 0.3
import -window "$about_id" "$work/about.png" 2>/dev/null
[ -n "${TROVIX_E2E_SHOTS:-}" ] && cp "$work/about.png" "$TROVIX_E2E_SHOTS/about.png"
e2e_keys "$about_id" Escape
e2e_gone "TROVIX 1.0 .*" 5 || e2e_fail "Esc did not close the about box"
echo "F3 opened the about box, Esc closed it"

# Panel 2 lies between the 96 pixels of panel 1 and the last 100 of panel 3.
eval "$(xdotool getwindowgeometry --shell "$main_id")"
xdotool mousemove --window "$main_id" $((WIDTH / 2)) $((HEIGHT - 8)) click --repeat 2 --delay 80 1
tip_id=$(e2e_window "Tip of the Day" 5) || e2e_fail "a double click on panel 2 did not open the Tip of the Day"
echo "a double click on panel 2 opened it"
# No window manager runs here: a window becomes active by taking the focus.
sleep 0.3
xdotool windowfocus --sync "$tip_id" 2>/dev/null || xdotool windowfocus "$tip_id"
sleep 0.3
xdotool windowfocus --sync "$main_id" 2>/dev/null || xdotool windowfocus "$main_id"
e2e_gone "Tip of the Day" 5 || e2e_fail "activating the main window left the Tip of the Day open"
echo "activating the main window closed it"

kill "$app_pid"
app_pid=
