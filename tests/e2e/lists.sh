#!/usr/bin/env bash
# The lists of the real program, used as a person would. Softwares: a saved entry whose path is a script
# starts in the script's folder on a double click; a drag from the third entry to the second, then Ctrl+M,
# renames the second; a right press and "d" delete the entry under the mouse. Windows Softwares: a command
# line with an argument starts with Enter. Documents: Ctrl+P sets the application, Enter hands it a document.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
e2e_setup "$1" "$2"
script="$work/my tools/hello"
e2e_recorder "$script"
e2e_recorder "$work/viewer"
e2e_start

e2e_keys "$main_id" ctrl+t sleep 0.5
e2e_new_entry "Hello tool" "$script" "Says hello"
e2e_dump | grep -qF "Hello tool	$script	Says hello" || e2e_fail "the entry is not in the database: $(e2e_dump)"
# The list windows open at the main window's client corner; the first entry is the tree's second row.
xdotool mousemove --window "$main_id" 130 117 click --repeat 2 --delay 100 1
e2e_recorded "a double click on the Softwares entry"
[ "$(cat "$work/got")" = "$work/my tools" ] || e2e_fail "the script did not start in its folder, without arguments: $(cat "$work/got")"

# Rows are 18 pixels apart. A drag from the third entry up to the second, then Ctrl+M, " 2" and Ctrl+S
# rename the highlighted entry; a right press on another entry and "&Delete" in its pop-up delete that one.
e2e_new_entry "Mid tool" "$script"
e2e_new_entry "Zed tool" "$script"
xdotool mousemove --window "$main_id" 130 117 click 1
xdotool mousemove --window "$main_id" 130 153 mousedown 1 mousemove --window "$main_id" 130 144 \
    mousemove --window "$main_id" 130 135 mouseup 1
e2e_keys "$main_id" ctrl+m sleep 0.3 key End type " 2"
xdotool key --clearmodifiers ctrl+s sleep 0.5
softwares() { e2e_dump | awk -F '\t' '/^# /{ table = $1; next } table == "# softwares" { printf "%s,", $1 }'; }
listed=$(softwares)
[ "$listed" = "Hello tool,Mid tool 2,Zed tool," ] || e2e_fail "the drag's entry was not the one changed: $listed"
xdotool mousemove --window "$main_id" 130 117 click 1
xdotool mousemove --window "$main_id" 130 153 click 3 sleep 0.5 key d sleep 0.3
listed=$(softwares)
[ "$listed" = "Hello tool,Mid tool 2," ] || e2e_fail "the pop-up's Delete missed the entry under the mouse: $listed"

xdotool key --clearmodifiers ctrl+w sleep 0.5
e2e_new_entry Greeter "'$script' 'dear reader'"
e2e_dump | grep -qF "Greeter	'$script' 'dear reader'" || e2e_fail "the command line is not in the database"
xdotool key Down Return
e2e_recorded "Enter on the command-line entry"
[ "$(tail -n +2 "$work/got")" = "dear reader" ] || e2e_fail "the argument did not arrive whole: $(cat "$work/got")"

# The application: Ctrl+P opens its box, Ctrl+P again stores what was typed.
e2e_keys "$main_id" ctrl+d sleep 0.5 key --clearmodifiers ctrl+p sleep 0.3 \
    key --clearmodifiers ctrl+End shift+ctrl+Home BackSpace
xdotool type --delay 20 "$work/viewer --view"
xdotool key --clearmodifiers ctrl+p sleep 0.5
e2e_dump | grep -qxF "DOCUMENTS	$work/viewer --view" || e2e_fail "the application was not stored: $(e2e_dump | grep DOCUMENTS)"
document="$work/May \"draft\" -x.txt"
echo "dear reader" >"$document"
e2e_new_entry Letter "$document"
xdotool key Down Return
e2e_recorded "Enter on the document"
[ "$(tail -n +2 "$work/got")" = "$(printf '%s\n%s' --view "$document")" ] || e2e_fail "the application got: $(cat "$work/got")"
echo "lists: started, renamed after the drag, deleted under the mouse; argument and document arrived whole"
