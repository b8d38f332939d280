#!/usr/bin/env bash
# The real program on weston (headless) with Qt's Wayland platform and a notification server, driven through
# its accessibility interface (atspi.py): the splash, an entry stored, on top, a reminder due since midnight
# announced, marked done and notified, Minimize without a notification area, the notification's action,
# Quiet, Exit with status 0; on standard error only Qt's notes of what the session lacks.
set -u
[ -n "${E2E_OWN_BUS:-}" ] || exec env E2E_OWN_BUS=1 dbus-run-session -- "$0" "$@"
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
e2e_setup "$1" "$2" weston dunst dunstctl dbus-monitor /usr/bin/python3
e2e_notifications # the server draws on the X server; the program never sees that one
weston --backend=headless-backend.so --use-pixman --socket=wayland-trovix --idle-time=0 >"$work/weston.log" 2>&1 &
extra_pids="$extra_pids $!"
e2e_until 100 test -S "$XDG_RUNTIME_DIR/wayland-trovix" || e2e_fail "weston did not start: $(cat "$work/weston.log")"
ui() { /usr/bin/python3 "$here/atspi.py" "$@" || e2e_fail "under Wayland: $(cat "$work/stderr.log")"; }
# The accessibility bus first: the program offers its interface only when it finds one at its start.
/usr/bin/python3 -c 'import pyatspi; pyatspi.Registry.getDesktop(0)' || e2e_fail "no accessibility bus"

env -u DISPLAY WAYLAND_DISPLAY=wayland-trovix QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    "$program" 2>"$work/stderr.log" & app_pid=$!
ui "shows:$main"
ui press:S/W in:Softwares press:New "text:0:Wayland tool" text:1:/usr/bin/true press:Save
e2e_dump | grep -qF "Wayland tool	/usr/bin/true" || e2e_fail "the entry is not in the file: $(e2e_dump)"
ui "press:Always on Top" shows:A

tea='Tea <b>is</b> ready & hot'
ui press:Rem in:Reminders press:New "text:0:$tea" text:1:12 text:2:00 press:Save
e2e_until 100 e2e_notices 1 || e2e_fail "no notification within 10 s: $(cat "$work/stderr.log")"
e2e_dump | grep -qF "$tea	$(date '+%Y-%m-%d') 00:00:00	1" || e2e_fail "the reminder is not done: $(e2e_dump)"
ui press:Minimize
dunstctl action 0
ui in:Reminders press:Quiet
e2e_until 30 e2e_notices 0 || e2e_fail "Quiet left the notification on the desktop"
echo "through the splash; an entry stored; on top; a reminder announced, done and notified; Minimize; Quiet"

ui press:Exit
e2e_exits 0 Exit
# Qt's notes of what this session lacks: a notification area, window activation, a sound server.
unexpected=$(grep -v -e systemTrayWindowChanged -e requestActivate -e pa_context -e 'No audio' "$work/stderr.log")
[ -z "$unexpected" ] || e2e_fail "the program said under Wayland: $unexpected"
echo "Exit: status 0; standard error: $(sort -u "$work/stderr.log" | tr '\n' ' ')"
