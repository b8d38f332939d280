#!/usr/bin/env bash
# The desktop search service as the desktops use it: on a private session bus it is started by its bus name
# at the first request, asked through GNOME's search provider and KDE's runner with gdbus, and what it finds
# starts as from its list: an entry in its own folder, a failure as a notification, a reminder and a search
# taken further through the trovix command. Without its database it answers nothing and says why once; idle,
# it ends.
#
#   tests/e2e/search.sh TROVIX_SEARCH DB_TOOL
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh" # e2e_fail, e2e_until, e2e_recorder, e2e_recorded, e2e_bus_has

service_bin=${1:?usage: search.sh TROVIX_SEARCH DB_TOOL}
db_tool=${2:?usage: search.sh TROVIX_SEARCH DB_TOOL}
bus_name=org.example.trovix.SearchProvider
gnome_path=/org/example/trovix/SearchProvider
idle=4

if [ -z "${TROVIX_SEARCH_WORK:-}" ]; then
    for tool in dbus-run-session dbus-send dbus-monitor gdbus sqlcipher; do
        command -v "$tool" >/dev/null || e2e_fail "$tool is missing (./trovix.sh installs it)"
    done
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    folder=$work/trovix
    mkdir -p "$folder" "$work/share/dbus-1/services"
    "$db_tool" create "$folder" >/dev/null || e2e_fail "could not create the database"
    e2e_recorder "$work/tools/marker.sh"
    e2e_recorder "$work/bin/trovix"
    # The rows, written by the engine's own shell with the program's key and settings.
    key=$(sed -n 's/.*Key = QStringLiteral("\(.*\)");/\1/p' "$here/../../src/core/catalog.h")
    sqlcipher "$folder/trovix.mdb" >/dev/null <<SQL || e2e_fail "could not fill the database"
PRAGMA key = '$key';
PRAGMA cipher_page_size = 1024;
PRAGMA kdf_iter = 64000;
PRAGMA cipher_use_hmac = ON;
INSERT INTO softwares VALUES ('Timesheet', '$work/tools/marker.sh', 'Hours worked');
INSERT INTO softwares VALUES ('Broken', '$work/tools/missing', 'Not there');
INSERT INTO softwares VALUES ('<b>Bold</b> & co', '/bin/true', NULL);
INSERT INTO games VALUES ('My Timesheet Game', '/bin/true');
INSERT INTO windows VALUES ('timesheet-cli', '$work/tools/marker.sh --report "two words"');
INSERT INTO reminders VALUES ('Send timesheet', '2031-05-17 09:00:00', 0);
SQL
    "$db_tool" check "$folder" >/dev/null || e2e_fail "the filled database fails its check"
    # The service file the package installs, pointing at this build, this folder and a recording trovix;
    # its standard error goes to a file of its own.
    printf '#!/bin/sh\nexec "%s" --folder "%s" --program "%s" --idle %s 2>>"%s"\n' \
        "$service_bin" "$folder" "$work/bin/trovix" "$idle" "$work/service.log" >"$work/run-service"
    chmod +x "$work/run-service"
    printf '[D-BUS Service]\nName=%s\nExec=%s\n' "$bus_name" "$work/run-service" \
        >"$work/share/dbus-1/services/$bus_name.service"
    TROVIX_SEARCH_WORK=$work XDG_DATA_HOME=$work/share dbus-run-session -- "$0" "$@" 2>"$work/bus.log"
    status=$?
    [ $status -eq 0 ] || cat "$work/bus.log" >&2
    exit $status
fi

work=$TROVIX_SEARCH_WORK
folder=$work/trovix
monitor_pid=
trap 'kill $monitor_pid 2>/dev/null' EXIT
dbus-monitor --session "interface=org.freedesktop.Notifications,member=Notify" >"$work/notify.log" 2>&1 &
monitor_pid=$!

gnome() { gdbus call --session --timeout 10 --dest $bus_name --object-path $gnome_path \
    --method "org.gnome.Shell.SearchProvider2.$1" "${@:2}"; }
kde() { gdbus call --session --timeout 10 --dest $bus_name --object-path /runner --method "org.kde.krunner1.$1" "${@:2}"; }
# expect WHAT GOT WANTED
expect() { [ "$2" = "$3" ] || e2e_fail "$1: got $2, wanted $3"; }

# --- started by name at the first request
e2e_bus_has $bus_name && e2e_fail "the service runs before anyone asked"
expect "timesh" "$(gnome GetInitialResultSet "['timesh']")" "(['softwares:1', 'windows:1', 'games:1', 'reminders:1'],)"
e2e_bus_has $bus_name || e2e_fail "the service did not keep its name"
owner_pid=$(gdbus call --session --dest org.freedesktop.DBus --object-path / \
    --method org.freedesktop.DBus.GetConnectionUnixProcessID $bus_name | sed 's/.*uint32 \([0-9]*\).*/\1/')
[ "$(readlink "/proc/$owner_pid/exe")" = "$(readlink -f "$service_bin")" ] || e2e_fail "the name is not the service's"

# --- terms that hit a name, a description, a reminder, nothing
expect "a description" "$(gnome GetInitialResultSet "['HOURS']")" "(['softwares:1'],)"
expect "a reminder" "$(gnome GetInitialResultSet "['send']")" "(['reminders:1'],)"
expect "nothing" "$(gnome GetInitialResultSet "['zebra']")" "(@as [],)"
expect "no terms" "$(gnome GetInitialResultSet "@as []")" "(@as [],)"
expect "a subsearch" "$(gnome GetSubsearchResultSet "['softwares:1', 'windows:1']" "['timesheet', 'cli']")" \
    "(['windows:1'],)"
metas=$(gnome GetResultMetas "['softwares:1', 'reminders:1', 'softwares:3', 'softwares:99']")
for want in "'name': <'Timesheet'>" "'description': <'Softwares'>" "'gicon': <'trovix-softwares'>" \
    "'description': <'2031-05-17 9:00:00 AM'>" "'gicon': <'trovix-reminders'>" "'name': <'<b>Bold</b> & co'>"; do
    grep -qF "$want" <<<"$metas" || e2e_fail "the metas lack $want: $metas"
done
[ "$(grep -o "'id'" <<<"$metas" | wc -l)" = 3 ] || e2e_fail "an unknown id was described: $metas"

matches=$(kde Match 'timesh')
expect "KRunner's order" "$(grep -o "('[a-z]*:[0-9]*'" <<<"$matches" | tr -d "('" | tr '\n' ' ')" \
    "softwares:1 windows:1 games:1 reminders:1 "
grep -qF "('softwares:1', 'Timesheet', 'trovix-softwares', 100, 1.0, {'subtext': <'Softwares'>})" <<<"$matches" \
    || e2e_fail "the first match is not as KRunner takes it: $matches"
expect "KRunner, nothing" "$(kde Match 'zebra')" "(@a(sssida{sv}) [],)"
expect "KRunner's actions" "$(kde Actions)" "(@a(sss) [],)"

# --- starting what was found, as Enter in its list
gnome ActivateResult softwares:1 "['timesh']" 0 >/dev/null
e2e_recorded "ActivateResult of a software"
expect "the software's folder and arguments" "$(cat "$work/got")" "$work/tools"
kde Run windows:1 '' >/dev/null
e2e_recorded "Run of a command line"
expect "the command line's folder and arguments" "$(cat "$work/got")" "$(printf '%s\n--report\ntwo words' "$work/tools")"
gnome ActivateResult softwares:2 "['broken']" 0 >/dev/null
e2e_until 50 grep -q '"File not found"' "$work/notify.log" || e2e_fail "no notification of the failed start: $(cat "$work/notify.log")"
grep -q '"Softwares"' "$work/notify.log" || e2e_fail "the notification does not name the list"
gnome ActivateResult reminders:1 "['send']" 0 >/dev/null
e2e_recorded "ActivateResult of a reminder"
expect "a reminder brings its window" "$(tail -n +2 "$work/got")" "$(printf -- '--window\nreminders')"
gnome LaunchSearch "['hours']" 0 >/dev/null
e2e_recorded "LaunchSearch"
expect "a search taken further" "$(tail -n +2 "$work/got")" "$(printf -- '--window\nsoftwares')"
gnome LaunchSearch "['zebra']" 0 >/dev/null
e2e_recorded "LaunchSearch without results"
expect "a search without results" "$(cat "$work/got")" "$HOME"

# --- no database: no results, one line on standard error, however often asked
: >"$work/service.log"
mv "$folder/trovix.mdb" "$work/away.mdb"
expect "without a database" "$(gnome GetInitialResultSet "['timesh']")" "(@as [],)"
expect "again without a database" "$(kde Match 'timesh')" "(@a(sssida{sv}) [],)"
[ "$(wc -l <"$work/service.log")" = 1 ] || e2e_fail "not one line on standard error: $(cat "$work/service.log")"
mv "$work/away.mdb" "$folder/trovix.mdb"
expect "the database back" "$(gnome GetInitialResultSet "['send']")" "(['reminders:1'],)"

# --- idle, it ends; asked again, it starts again
e2e_until $(((idle + 5) * 10)) eval '! e2e_bus_has $bus_name' || e2e_fail "the service did not end when idle"
e2e_until 50 eval '! kill -0 $owner_pid 2>/dev/null' || e2e_fail "the idle service's process is still there"
expect "started again" "$(gnome GetInitialResultSet "['hours']")" "(['softwares:1'],)"
echo "search: activated by name, GNOME and KDE answered, entries started, idle exit"
