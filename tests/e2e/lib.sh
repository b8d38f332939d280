# Shared steps of the end-to-end runs: a private X server, a copy of the
# program folder, and waiting for windows and processes.

e2e_fail() { echo "FAIL: $*" >&2; exit 1; }

# e2e_setup PROGRAM_DIR DB_TOOL: a scratch program folder with a fresh database in $work/trovix.
e2e_setup() {
    local program_dir=$1 db_tool=$2
    for tool in Xvfb xdotool xprop import; do
        command -v "$tool" >/dev/null || e2e_fail "$tool is missing (./trovix.sh installs it)"
    done
    work=$(mktemp -d)
    cp -r "$program_dir" "$work/trovix"
    rm -f "$work/trovix/trovix.mdb"
    "$db_tool" create "$work/trovix" >/dev/null || e2e_fail "could not create the database"
    # The server picks a free display itself and writes its number once it listens, so runs that
    # start at the same moment never share a display. Without -noreset it resets whenever its last
    # client leaves and refuses connections meanwhile: a program started right after another one
    # ended could not connect.
    Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    [ -s "$work/display" ] || e2e_fail "Xvfb did not start"
    export DISPLAY=":$(head -n 1 "$work/display")"
    xdpyinfo >/dev/null 2>&1 || e2e_fail "Xvfb did not answer on $DISPLAY"
    export XDG_RUNTIME_DIR="$work/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    unset WAYLAND_DISPLAY
    export QT_QPA_PLATFORM=xcb
    trap e2e_cleanup EXIT
}

e2e_cleanup() {
    [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null
    for pid in ${extra_pids:-}; do kill "$pid" 2>/dev/null; done
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}

# e2e_window NAME SECONDS: prints the id of the visible window with exactly that name.
e2e_window() {
    local name=$1 seconds=$2 id
    for _ in $(seq $((seconds * 50))); do
        id=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.02
    done
    return 1
}

# e2e_gone NAME SECONDS: succeeds once no visible window has that name.
e2e_gone() {
    local name=$1 seconds=$2
    for _ in $(seq $((seconds * 10))); do
        xdotool search --onlyvisible --name "^${name}\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    return 1
}

# e2e_wait_exit PID SECONDS: sets $exit_status to the process's exit status; fails if it runs on.
e2e_wait_exit() {
    local pid=$1 seconds=$2
    for _ in $(seq $((seconds * 10))); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            exit_status=$?
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# e2e_keys WINDOW KEYS...: focuses the window and types the keys.
e2e_keys() {
    local id=$1
    shift
    xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
    sleep 0.2
    xdotool key --clearmodifiers "$@"
}

# e2e_new_entry NAME PATH [DESCRIPTION]: in the active list window, Ctrl+N, the name, the path (and the
# description, past the Browse button), Ctrl+S.
e2e_new_entry() {
    xdotool key --clearmodifiers ctrl+n
    sleep 0.3
    xdotool type --delay 20 "$1"
    xdotool key Tab
    xdotool type --delay 20 "$2"
    if [ $# -ge 3 ]; then
        xdotool key Tab Tab
        xdotool type --delay 20 "$3"
    fi
    xdotool key --clearmodifiers ctrl+s
    sleep 0.5
}

# e2e_quit WINDOW PID: "&Exit" from the main window's Arrange menu; sets $exit_status, fails when the
# program runs on.
e2e_quit() {
    e2e_keys "$1" alt+a
    sleep 0.3
    xdotool key e
    e2e_wait_exit "$2" 10 || e2e_fail "Exit did not end the program"
}

e2e_now_ms() { date +%s%3N; }
