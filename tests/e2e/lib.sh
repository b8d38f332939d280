# Shared steps of the end-to-end runs: a private X server, a copy of the program folder, the program
# started, a script that records how it was started, and waiting for windows, files and processes.

main="Marlen's TROVIX"
e2e_fail() { echo "FAIL: $*" >&2; exit 1; }
e2e_now_ms() { date +%s%3N; }
e2e_dump() { "$db_tool" dump "$work/trovix"; }

# e2e_until TRIES COMMAND...: runs the command every tenth of a second until it succeeds, TRIES times.
e2e_until() { for _ in $(seq "$1"); do "${@:2}" && return 0; sleep 0.1; done; "${@:2}"; }
e2e_hidden() { ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
e2e_ended() { ! kill -0 "$1" 2>/dev/null; }

# e2e_setup PROGRAM_DIR DB_TOOL [TOOL...]: a scratch program folder with a fresh database in
# $work/trovix ($program in it, $db_tool beside it) on a private X server; the tools must be there.
e2e_setup() {
    db_tool=$2
    for tool in Xvfb xdotool xprop import "${@:3}"; do
        command -v "$tool" >/dev/null || e2e_fail "$tool is missing (./trovix.sh installs it)"
    done
    work=$(mktemp -d) && program="$work/trovix/trovix"
    cp -r "$1" "$work/trovix" && rm -f "$work/trovix/trovix.mdb"
    "$db_tool" create "$work/trovix" >/dev/null || e2e_fail "could not create the database"
    # The server picks a free display and writes its number once it listens, so runs started at the
    # same moment never share one. -noreset: no reset, refusing connections, when the last client leaves.
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    e2e_until 100 test -s "$work/display" || e2e_fail "Xvfb did not start"
    export DISPLAY=":$(head -n 1 "$work/display")"
    xdpyinfo >/dev/null 2>&1 || e2e_fail "Xvfb did not answer on $DISPLAY"
    export XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY
    trap 'kill ${app_pid:-} ${extra_pids:-} $xvfb_pid 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
}

# e2e_tray: a sound server and a notification-area host, for the icon and the chimes.
e2e_tray() {
    pulseaudio --daemonize=no --exit-idle-time=-1 -n --load="module-null-sink sink_name=quiet" \
        --load=module-native-protocol-unix >"$work/pulse.log" 2>&1 &
    extra_pids="$!"
    trayer --edge top --align right --widthtype request --height 24 >"$work/trayer.log" 2>&1 &
    extra_pids="$extra_pids $!"
    e2e_until 50 pactl info >/dev/null 2>&1 || e2e_fail "the sound server did not start: $(cat "$work/pulse.log")"
}

# e2e_wm: a real window manager (openbox) on the run's X server, which stacks, activates and keeps windows on
# top as a desktop does; e2e_in_front WINDOW OTHER: it stacks WINDOW above OTHER (_NET_CLIENT_LIST_STACKING,
# bottom first).
e2e_wm() {
    openbox --sm-disable >"$work/openbox.log" 2>&1 & extra_pids="${extra_pids:-} $!"
    e2e_until 50 eval 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || e2e_fail "openbox did not start"
}
e2e_in_front() {
    local order
    order=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/, /\n/g' | while read -r id; do printf '%d\n' "$id"; done)
    [ "$(grep -nx "$1" <<<"$order" | cut -d: -f1)" -gt "$(grep -nx "$2" <<<"$order" | cut -d: -f1)" ] 2>/dev/null
}

# e2e_notifications: dunst on the session bus, every Notify call in $work/notify.log; e2e_notices N: N shown.
e2e_notifications() {
    XDG_CONFIG_HOME="$work" dunst >"$work/dunst.log" 2>&1 & extra_pids="${extra_pids:-} $!"
    dbus-monitor interface=org.freedesktop.Notifications,member=Notify >"$work/notify.log" 2>&1 & extra_pids+=" $!"
    e2e_until 50 e2e_bus_has org.freedesktop.Notifications || e2e_fail "the notification server did not start"
}
e2e_bus_has() { dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q true; }
e2e_notices() { dunstctl count displayed | grep -qx "$1"; }

# e2e_start: starts the program ($app_pid) and waits for its main window ($main_id).
e2e_start() {
    "$program" 2>"$work/stderr.log" & app_pid=$!
    main_id=$(e2e_window "$main" 20) || e2e_fail "the main window did not appear"
    sleep 0.5
}

# e2e_recorder PATH: a script that writes its working folder, then each argument on a line, to
# $work/record in one step; e2e_recorded WHAT waits for that record and moves it to $work/got.
e2e_recorder() {
    mkdir -p "${1%/*}"
    printf '#!/bin/sh\n{ pwd; for a; do printf "%%s\\n" "$a"; done; } >"%s.tmp"\nmv "%s.tmp" "%s"\n' \
        "$work/record" "$work/record" "$work/record" >"$1"
    chmod +x "$1"
}
e2e_recorded() {
    e2e_until 100 test -s "$work/record" || e2e_fail "$1 did not start the recording script"
    mv "$work/record" "$work/got"
}

# e2e_window NAME SECONDS: prints the id of the visible window with exactly that name.
e2e_window() {
    for _ in $(seq $(($2 * 50))); do
        xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep . && return 0
        sleep 0.02
    done
    return 1
}

# e2e_keys WINDOW KEYS...: focuses the window and types the keys.
e2e_focus() { xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; }
e2e_keys() { e2e_focus "$1"; sleep 0.2; xdotool key --clearmodifiers "${@:2}"; }

# e2e_new_entry NAME PATH [DESCRIPTION]: in the active list window, Ctrl+N, the name, the path (and the
# description, past the Browse button), Ctrl+S.
e2e_new_entry() {
    xdotool key --clearmodifiers ctrl+n sleep 0.3 type --delay 20 "$1"
    xdotool key Tab type --delay 20 "$2"
    [ $# -lt 3 ] || xdotool key Tab Tab type --delay 20 "$3"
    xdotool key --clearmodifiers ctrl+s sleep 0.5
}

# e2e_exits STATUS WHAT [PID]: after WHAT the program ($app_pid, or PID) ends within 20 s with that status.
e2e_exits() {
    local pid=${3:-$app_pid}
    e2e_until 200 e2e_ended "$pid" || e2e_fail "$2 did not end the program"
    wait "$pid"; local status=$?
    [ -n "${3:-}" ] || app_pid=
    [ "$status" = "$1" ] || e2e_fail "$2 ended the program with status $status: $(cat "$work/stderr.log")"
}
