#!/usr/bin/env bash
# The real program on a real X server: the splash, then the main window about a
# second later; Ctrl+O puts it on top and panel 3 reads "A"; Exit ends it with
# status 0. Without its database it says why on standard error and exits 1.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
e2e_setup "$1" "$2"
program="$work/trovix/trovix"

"$program" 2>"$work/stderr.log" &
app_pid=$!
started=$(e2e_now_ms)
e2e_window TROVIX 20 >/dev/null || e2e_fail "the splash window did not appear"
splash_seen=$(e2e_now_ms)
main_id=$(e2e_window "Marlen's TROVIX" 20) || e2e_fail "the main window did not appear"
main_seen=$(e2e_now_ms)
e2e_gone TROVIX 5 || e2e_fail "the splash window stayed after the main window appeared"
echo "splash after $((splash_seen - started)) ms, main window $((main_seen - splash_seen)) ms after the splash"
[ $((main_seen - splash_seen)) -ge 500 ] || e2e_fail "the main window came too early: the splash should run about a second"

# Panel 3 sits at the right end of the status bar; compare its pixels before and after.
eval "$(xdotool getwindowgeometry --shell "$main_id")"
panel_crop="100x22+$((WIDTH - 100))+$((HEIGHT - 22))"
import -window "$main_id" -crop "$panel_crop" "$work/panel-before.png" 2>/dev/null

e2e_keys "$main_id" ctrl+o
sleep 0.5
main_id=$(e2e_window "Marlen's TROVIX" 5) || e2e_fail "the main window vanished after Ctrl+O"
xprop -id "$main_id" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || e2e_fail "Ctrl+O did not put the window on top"
import -window "$main_id" "$work/main.png" 2>/dev/null
import -window "$main_id" -crop "$panel_crop" "$work/panel-after.png" 2>/dev/null
if [ -s "$work/panel-before.png" ] && cmp -s "$work/panel-before.png" "$work/panel-after.png"; then
    e2e_fail "panel 3 did not change after Ctrl+O"
fi
[ -n "${TROVIX_E2E_SHOTS:-}" ] && cp "$work/main.png" "$TROVIX_E2E_SHOTS/main.png"

# Arrange, Exit.
e2e_quit "$main_id" "$app_pid"
app_pid=
[ "$exit_status" = 0 ] || e2e_fail "Exit ended the program with status $exit_status: $(cat "$work/stderr.log")"
echo "exit status after Exit: $exit_status"

# Without its database the program says why and exits 1.
rm -f "$work/trovix/trovix.mdb"
"$program" 2>"$work/stderr.log" &
app_pid=$!
for _ in $(seq 100); do grep -q trovix.mdb "$work/stderr.log" && break; sleep 0.1; done
grep -q "$work/trovix/trovix.mdb" "$work/stderr.log" || e2e_fail "no reason on standard error: $(cat "$work/stderr.log")"
box=$(e2e_window TROVIX 10) || e2e_fail "no message box for the missing database"
e2e_keys "$box" Return
e2e_wait_exit "$app_pid" 10 || e2e_fail "the program did not end after its message"
app_pid=
[ "$exit_status" = 1 ] || e2e_fail "a missing database ended the program with status $exit_status"
xdotool search --name "Marlen's TROVIX" >/dev/null 2>&1 && e2e_fail "the main window appeared without a database"
echo "without a database: $(grep trovix.mdb "$work/stderr.log"); status $exit_status"
