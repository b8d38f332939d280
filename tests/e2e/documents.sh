#!/usr/bin/env bash
# The real program on a real X server: Ctrl+D opens the Documents, Ctrl+P sets
# the application to a recording script and Ctrl+P again stores it, a new
# document is saved, and Enter on it hands the document, whole, to the script.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
e2e_setup "$1" "$2"
db_tool=$2
program="$work/trovix/trovix"

recorder="$work/record"
cat >"$recorder" <<SCRIPT
#!/bin/sh
{ pwd; for a; do printf '%s\n' "\$a"; done; } > "$work/record.tmp"
mv "$work/record.tmp" "$work/record.txt"
SCRIPT
chmod +x "$recorder"
document="$work/May \"draft\" -x.txt"
echo "dear reader" >"$document"

"$program" 2>"$work/stderr.log" &
app_pid=$!
main_id=$(e2e_window "Marlen's TROVIX" 20) || e2e_fail "the main window did not appear"
sleep 0.5

e2e_keys "$main_id" ctrl+d
sleep 0.5
xdotool key --clearmodifiers ctrl+p
sleep 0.3
xdotool key --clearmodifiers ctrl+End shift+ctrl+Home BackSpace
xdotool type --delay 20 "$recorder --view"
xdotool key --clearmodifiers ctrl+p
sleep 0.5
"$db_tool" dump "$work/trovix" | grep -qxF "DOCUMENTS	$recorder --view" \
    || e2e_fail "the application was not stored: $("$db_tool" dump "$work/trovix" | grep DOCUMENTS)"

e2e_new_entry Letter "$document"
import -window "$main_id" "$work/documents.png" 2>/dev/null
[ -n "${TROVIX_E2E_SHOTS:-}" ] && cp "$work/documents.png" "$TROVIX_E2E_SHOTS/documents.png"
xdotool key Down Return
for _ in $(seq 100); do [ -s "$work/record.txt" ] && break; sleep 0.1; done
[ -s "$work/record.txt" ] || e2e_fail "Enter on the document did not start the application"
expected=$(printf '%s\n%s\n' "--view" "$document")
[ "$(tail -n +2 "$work/record.txt")" = "$expected" ] || e2e_fail "the application got: $(cat "$work/record.txt")"
echo "documents: the application got --view and '$document' as one argument"

kill "$app_pid"
app_pid=
