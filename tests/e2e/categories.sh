#!/usr/bin/env bash
# The real program on a real X server, used as a person would: Ctrl+T opens the
# Softwares, a new entry whose path is a script is saved, a double click on its
# node starts the script, and the entry is in the database file. Then the same
# in the Windows Softwares with a command line that carries an argument.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
e2e_setup "$1" "$2"
db_tool=$2
program="$work/trovix/trovix"

mkdir -p "$work/my tools"
script="$work/my tools/hello"
cat >"$script" <<SCRIPT
#!/bin/sh
{ pwd; printf '%s\n' "\$@"; } > "$work/marker.tmp"
mv "$work/marker.tmp" "$work/marker"
SCRIPT
chmod +x "$script"

wait_marker() {
    for _ in $(seq 100); do [ -s "$work/marker" ] && return 0; sleep 0.1; done
    return 1
}

"$program" 2>"$work/stderr.log" &
app_pid=$!
main_id=$(e2e_window "Marlen's TROVIX" 20) || e2e_fail "the main window did not appear"
sleep 0.5

# Softwares: Ctrl+T, Ctrl+N, name, path, description, Ctrl+S.
e2e_keys "$main_id" ctrl+t
sleep 0.5
e2e_new_entry "Hello tool" "$script" "Says hello"
"$db_tool" dump "$work/trovix" | grep -qF "Hello tool	$script	Says hello" \
    || e2e_fail "the entry is not in the database: $("$db_tool" dump "$work/trovix")"

# The list windows open at the main window's client corner; the first entry is the tree's second row.
import -window "$main_id" "$work/softwares.png" 2>/dev/null
[ -n "${TROVIX_E2E_SHOTS:-}" ] && cp "$work/softwares.png" "$TROVIX_E2E_SHOTS/softwares.png"
xdotool mousemove --window "$main_id" 130 117 click --repeat 2 --delay 100 1
wait_marker || e2e_fail "a double click on the entry did not start the script"
[ "$(head -n 1 "$work/marker")" = "$work/my tools" ] || e2e_fail "the script did not start in its folder: $(cat "$work/marker")"
echo "softwares: started in $(head -n 1 "$work/marker")"
rm -f "$work/marker"

# Rows are 18 pixels apart. Press on the third entry, drag up to the second, release: Ctrl+M, a "2" at
# the end of the name and Ctrl+S rename the highlighted entry. Then a right press on another entry and
# "&Delete" in its pop-up delete that one.
e2e_new_entry "Mid tool" "$script"
e2e_new_entry "Zed tool" "$script"
xdotool mousemove --window "$main_id" 130 117 click 1
xdotool mousemove --window "$main_id" 130 153 mousedown 1 mousemove --window "$main_id" 130 144 \
    mousemove --window "$main_id" 130 135 mouseup 1
e2e_keys "$main_id" ctrl+m
sleep 0.3
xdotool key End
xdotool type " 2"
xdotool key --clearmodifiers ctrl+s
sleep 0.5
softwares() { "$db_tool" dump "$work/trovix" | awk -F '\t' '/^# /{ table = $1; next } table == "# softwares" { printf "%s,", $1 }'; }
listed=$(softwares)
[ "$listed" = "Hello tool,Mid tool 2,Zed tool," ] || e2e_fail "the drag's entry was not the one changed: $listed"
xdotool mousemove --window "$main_id" 130 117 click 1
xdotool mousemove --window "$main_id" 130 153 click 3
sleep 0.5
xdotool key d
sleep 0.3
listed=$(softwares)
[ "$listed" = "Hello tool,Mid tool 2," ] || e2e_fail "the pop-up's Delete missed the entry under the mouse: $listed"
echo "softwares: a drag and a right press select the entry that Modify and Delete act on"

# Windows Softwares: a command line with an argument, started with Enter on the entry.
xdotool key --clearmodifiers ctrl+w
sleep 0.5
e2e_new_entry Greeter "'$script' 'dear reader'"
xdotool key Down Return
wait_marker || e2e_fail "Enter on the command-line entry did not start the script"
[ "$(sed -n 2p "$work/marker")" = "dear reader" ] || e2e_fail "the argument did not arrive whole: $(cat "$work/marker")"
echo "windows softwares: started with argument '$(sed -n 2p "$work/marker")'"
"$db_tool" dump "$work/trovix" | grep -qF "Greeter	'$script' 'dear reader'" || e2e_fail "the command line is not in the database"
[ -n "${TROVIX_E2E_SHOTS:-}" ] && import -window "$main_id" "$TROVIX_E2E_SHOTS/windows.png"

# Games: Ctrl+G, an entry with its path, Ctrl+S.
xdotool key --clearmodifiers ctrl+g
sleep 0.5
e2e_new_entry "Evening chess" "$script"
"$db_tool" dump "$work/trovix" | grep -qF "Evening chess	$script" || e2e_fail "the game is not in the database"
[ -n "${TROVIX_E2E_SHOTS:-}" ] && import -window "$main_id" "$TROVIX_E2E_SHOTS/games.png"

kill "$app_pid"
app_pid=
