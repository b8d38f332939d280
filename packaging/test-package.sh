#!/usr/bin/env bash
# The Debian package from end to end: cpack makes it, lintian, appstreamcli and desktop-file-validate
# accept it, dpkg installs it on this machine, and a user without root starts /usr/bin/trovix on a private
# X server: the first start makes their program folder, an entry saved through the windows is still there
# after a restart, the restart mends what an upgrade leaves behind, and starts beside the running program
# end with status 0. The package is purged at the end, also when a step fails.
#
#   packaging/test-package.sh BUILD_DIR      (as root; BUILD_DIR built and configured)
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../tests/e2e/lib.sh" # e2e_fail, e2e_window, e2e_keys, e2e_new_entry, e2e_exits

[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
build=$(cd "$1" && pwd) || e2e_fail "no build folder $1"
[ "$(id -u)" -eq 0 ] || e2e_fail "the test installs a package: run it as root"
for tool in cpack dpkg-deb lintian appstreamcli desktop-file-validate Xvfb xdotool xprop setpriv dbus-run-session gdbus; do
    command -v "$tool" >/dev/null || e2e_fail "$tool is missing"
done
if dpkg-query -W -f='${Status}' trovix 2>/dev/null | grep -q 'ok installed'; then
    e2e_fail "trovix is installed already; the test would replace and then remove it"
fi

started=$(date +%s)
uid=65534 # nobody: no rights, no home; each run gives it a home of its own below
work=$(mktemp -d)
chmod 755 "$work"
installed=
app_pid=
xvfb_pid=
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    wait 2>/dev/null
    [ -n "$installed" ] && dpkg --purge trovix >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT

# --- making and checking the package
cpack_log=$(cd "$build" && cpack -G DEB 2>&1) || e2e_fail "cpack failed: $cpack_log"
deb=$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' <<<"$cpack_log")
[ -f "$deb" ] || e2e_fail "cpack named no package: $cpack_log"
echo "package: $deb"

lintian --fail-on error "$deb" 2>&1 | grep -v '^running with root' | tee "$work/lintian.log"
[ "${PIPESTATUS[0]}" -eq 0 ] || e2e_fail "lintian reports errors"
echo "lintian: no errors, $(grep -c '^W:' "$work/lintian.log") warnings"

dpkg-deb -x "$deb" "$work/root"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.example.trovix.metainfo.xml" \
    || e2e_fail "appstreamcli rejects the metainfo"
desktop-file-validate "$work/root/usr/share/applications/org.example.trovix.desktop" \
    || e2e_fail "desktop-file-validate rejects the desktop entry"
# Starting with the session: the menu entry, switched off until the user switches it on.
autostart=$work/root/etc/xdg/autostart/org.example.trovix.desktop
desktop-file-validate "$autostart" || e2e_fail "desktop-file-validate rejects the autostart entry"
[ "$(grep -vx 'Hidden=true' "$autostart")" = "$(cat "$work/root/usr/share/applications/org.example.trovix.desktop")" ] \
    || e2e_fail "the autostart entry is not the menu entry switched off"
[ -e "$work/root/opt/trovix/trovix.mdb" ] && e2e_fail "the package carries a database"

dpkg -i "$deb" >"$work/dpkg.log" 2>&1 || e2e_fail "dpkg -i failed: $(cat "$work/dpkg.log")"
installed=yes

# --- the user's starts
exec 3>"$work/display"
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
display=:$(head -n 1 "$work/display")
[ "$display" != : ] || e2e_fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=$display

home=$work/home
mkdir -p "$home/runtime"
chmod 700 "$home/runtime"
chown -R "$uid:$uid" "$home"
folder=$home/.local/share/trovix

# as_user HOME COMMAND...: runs the command as the user, in the clean environment of a desktop session.
as_user() {
    local user_home=$1
    shift
    setpriv --reuid="$uid" --regid="$uid" --clear-groups --inh-caps=-all \
        env -i HOME="$user_home" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" XDG_RUNTIME_DIR="$home/runtime" \
        QT_QPA_PLATFORM=xcb LANG=C.UTF-8 "$@"
}

# start_program: sets app_pid (the job) and program_pid (the process that owns the main window).
start_program() {
    as_user "$home" /usr/bin/trovix 2>>"$work/stderr.log" &
    app_pid=$!
    main_id=$(e2e_window "Marlen's TROVIX" 30) || e2e_fail "the main window did not appear: $(cat "$work/stderr.log")"
    program_pid=$(xdotool getwindowpid "$main_id") || e2e_fail "the main window names no process"
    sleep 0.5
}

# quit_program: "&Exit" from the main window's Arrange menu; the program must end with status 0.
quit_program() {
    e2e_keys "$main_id" alt+a sleep 0.3 key e
    e2e_exits 0 Exit
}

dump() { as_user "$home" /usr/lib/trovix/trovix-db dump "$folder"; }

start_program
[ -f "$folder/trovix" ] && [ ! -L "$folder/trovix" ] || e2e_fail "the user's folder has no copy of the program"
for name in trovix.hlp TOTD notify.wav delete.wav over.wav; do
    [ "$(readlink "$folder/$name")" = "/opt/trovix/$name" ] || e2e_fail "$name is not linked to /opt/trovix"
done
[ "$(stat -c %u "$folder/trovix.mdb")" = "$uid" ] || e2e_fail "the user's database is missing or not his"
as_user "$home" /usr/lib/trovix/trovix-db check "$folder" >/dev/null || e2e_fail "the new database fails its check"
[ "$(readlink /proc/"$program_pid"/exe)" = "$folder/trovix" ] || e2e_fail "the program does not run from the user's folder"
# The desktop entry's StartupWMClass is what ties the window to the entry in a task bar.
wm_class=$(sed -n 's/^StartupWMClass=//p' "$work/root/usr/share/applications/org.example.trovix.desktop")
xprop -id "$main_id" WM_CLASS | grep -qF "\"$wm_class\"" || e2e_fail "the window's class is not $wm_class"
echo "first start: $(ls -A "$folder" | tr '\n' ' ')"

# Everything the running program has mapped comes from the package's own dependencies.
closure=$(
    declare -A seen
    provides=$(dpkg-query -W -f='${Package} ${Provides}\n')
    queue=(trovix)
    while [ ${#queue[@]} -gt 0 ]; do
        package=${queue[0]}
        queue=("${queue[@]:1}")
        [ -n "${seen[$package]:-}" ] && continue
        seen[$package]=1
        echo "$package"
        relations=$(dpkg-query -W -f='${Depends}, ${Pre-Depends}' "$package" 2>/dev/null)
        IFS=, read -ra groups <<<"$relations"
        for group in "${groups[@]}"; do
            # The first alternative that is installed or provided by an installed package.
            IFS='|' read -ra alternatives <<<"$group"
            for alternative in "${alternatives[@]}"; do
                name=$(sed 's/(.*)//; s/:any//; s/[[:space:]]//g' <<<"$alternative")
                [ -n "$name" ] || continue
                if dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'ok installed'; then
                    queue+=("$name")
                    break
                fi
                provider=$(awk -v n="$name" '{for (i = 2; i <= NF; i++) { p = $i; sub(/,$/, "", p); if (p == n) { print $1; exit } }}' <<<"$provides")
                if [ -n "$provider" ]; then
                    queue+=("$provider")
                    break
                fi
            done
        done
    done
)
# libX11 opens libXcursor when it is there and draws plain cursors without it.
optional=" libxcursor1 "
unlisted=
for lib in $(awk '$6 ~ /\.so/ { print $6 }' /proc/"$program_pid"/maps | sort -u); do
    owner=$(dpkg -S "$lib" 2>/dev/null || dpkg -S "${lib#/usr}" 2>/dev/null) || owner="none: "
    owner=${owner%%:*}
    [[ $optional == *" $owner "* ]] && continue
    grep -qx "$owner" <<<"$closure" || unlisted="$unlisted $lib ($owner)"
done
[ -z "$unlisted" ] || e2e_fail "the program loads libraries its dependencies do not bring:$unlisted"
echo "every library the program loaded comes from its dependencies"

# An entry saved through the Softwares window: Ctrl+T, Ctrl+N, name, path, description, Ctrl+S.
e2e_keys "$main_id" ctrl+t
sleep 0.5
e2e_new_entry "Packaged tool" /usr/bin/true "Saved by the package test"
entry="Packaged tool	/usr/bin/true	Saved by the package test"
dump | grep -qF "$entry" || e2e_fail "the entry is not in the user's database: $(dump)"
xdotool key --clearmodifiers ctrl+F4 # the Softwares window's Exit: the main window's menus come back
sleep 0.5
quit_program

# What an upgrade leaves behind: a program copy that is not the installed one, a link gone, a link to a file
# the new version no longer has. The database stays as it is.
printf 'old program\n' >"$folder/trovix"
rm "$folder/TOTD"
ln -s /opt/trovix/gone.wav "$folder/gone.wav"
chown -h "$uid:$uid" "$folder/trovix" "$folder/gone.wav"

start_program
cmp -s /opt/trovix/trovix "$folder/trovix" || e2e_fail "the restart did not refresh the program copy"
[ "$(readlink "$folder/TOTD")" = /opt/trovix/TOTD ] || e2e_fail "the restart did not mend the TOTD link"
[ -L "$folder/gone.wav" ] && e2e_fail "the restart kept a link to a file that is gone"
dump | grep -qF "$entry" || e2e_fail "the entry is gone after the restart"
# Three more starts at once beside the running program: each brings it forward and ends with status 0.
later=()
for _ in 1 2 3; do
    as_user "$home" /usr/bin/trovix 2>>"$work/stderr.log" &
    later+=($!)
done
for pid in "${later[@]}"; do
    e2e_exits 0 "a start beside the running program" "$pid"
done
[ "$(xdotool search --onlyvisible --name "^Marlen's TROVIX\$" | wc -l)" = 1 ] || e2e_fail "two main windows"
quit_program
echo "restart: the entry is there; the copy and the links were mended; three more starts ended"

# The desktop search: the service, the bus's service file, GNOME's provider, KRunner's plugin and the icons.
# Asked on a private session bus as the desktop asks, the bus starts the installed service, which finds the
# entry in the user's own database while TROVIX does not run.
search_service=/usr/share/dbus-1/services/org.example.trovix.SearchProvider.service
[ -x /usr/lib/trovix/trovix-search ] || e2e_fail "the search service is not installed"
grep -qx 'Exec=/usr/lib/trovix/trovix-search' "$search_service" || e2e_fail "the bus cannot start the service: $(cat "$search_service")"
grep -qx 'DesktopId=org.example.trovix.desktop' /usr/share/gnome-shell/search-providers/org.example.trovix.search-provider.ini \
    || e2e_fail "GNOME's search provider is missing or names another desktop entry"
grep -qx 'X-Plasma-DBusRunner-Service=org.example.trovix.SearchProvider' /usr/share/krunner/dbusplugins/org.example.trovix.desktop \
    || e2e_fail "KRunner's plugin is missing or names another service"
for list in softwares games windows documents reminders; do
    [ -f "/usr/share/icons/hicolor/scalable/apps/trovix-$list.svg" ] || e2e_fail "the icon trovix-$list is missing"
done
found=$(as_user "$home" dbus-run-session -- gdbus call --session --timeout 10 --dest org.example.trovix.SearchProvider \
    --object-path /org/example/trovix/SearchProvider --method org.gnome.Shell.SearchProvider2.GetInitialResultSet \
    "['packaged']" 2>>"$work/stderr.log")
[[ $found == "(['softwares:"*"'],)" ]] || e2e_fail "the installed search service did not find the entry: $found"
echo "search: the installed service started by the bus found the saved entry"

# Four first starts at once for another user: one folder, one good database, nothing left half made. The
# program cannot reach the display these starts are given and stops; the setup before it is what counts.
other=$work/other
mkdir "$other"
chown "$uid:$uid" "$other"
race_pids=()
for i in 1 2 3 4; do
    (
        ulimit -c 0
        DISPLAY=:none as_user "$other" /usr/bin/trovix >"$work/race$i.log" 2>&1
    ) &
    race_pids+=($!)
done
for pid in "${race_pids[@]}"; do wait "$pid"; done
# Each start that got through its setup reached the program, which says why it stops.
for log in "$work"/race*.log; do
    grep -q 'could not connect to display' "$log" || e2e_fail "a start at the same time failed: $(cat "$log")"
done
as_user "$other" /usr/lib/trovix/trovix-db check "$other/.local/share/trovix" >/dev/null \
    || e2e_fail "starts at the same time left a bad database"
[ "$(LC_ALL=C ls -A "$other/.local/share/trovix" | tr '\n' ' ')" = "TOTD delete.wav notify.wav over.wav trovix trovix.hlp trovix.mdb " ] \
    || e2e_fail "starts at the same time left: $(ls -A "$other/.local/share/trovix")"
echo "four starts at once: one folder, one database"

dpkg --purge trovix >/dev/null 2>&1 || e2e_fail "dpkg --purge failed"
installed=
[ -e /opt/trovix ] && e2e_fail "/opt/trovix is left after the purge"
echo "package test passed in $(($(date +%s) - started)) s"
