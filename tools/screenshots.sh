#!/usr/bin/env bash
# Takes the README's pictures of every window: the real program on a private X server, driven by the keys
# through one fixed journey (the same folder, entries, application and reminder every time), so that two
# builds can be compared picture by picture and by the database dump the journey leaves.
#   tools/screenshots.sh [BUILD_DIR] [OUT_DIR] [DPI]
# OUT_DIR defaults to docs/images, DPI to 96; OUT_DIR/journey.dump receives the dump.
set -euo pipefail
root=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=${2:-$root/docs/images}
dpi=${3:-96}
mkdir -p "$out" && out=$(cd "$out" && pwd)
main="Marlen's TROVIX"
work=/tmp/trovix-pictures
rm -rf "$work" && mkdir -p "$work/tools"
cp -r "$build/trovix" "$work/trovix" && rm -f "$work/trovix/trovix.mdb"
"$build/tools/trovix-db" create "$work/trovix" >/dev/null
printf '#!/bin/sh\n' >"$work/tools/hello" && chmod +x "$work/tools/hello"

Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill ${app_pid:-} $xvfb_pid 2>/dev/null; wait 2>/dev/null' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")" QT_QPA_PLATFORM=xcb QT_FONT_DPI=$dpi TZ=UTC LANG=C.UTF-8
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY

window() {
    for _ in $(seq 250); do
        xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep . && return 0
        sleep 0.02
    done
    echo "no window named '$1'" >&2 && return 1
}
keys() { xdotool key --clearmodifiers "$@" sleep 0.4; }
typed() { xdotool type --delay 15 "$1"; }
# shot WINDOW NAME: the window's picture once it has settled. The about box's title blinks twice a second:
# of four pictures a quarter of a second apart, the lightest is the title without its underline.
shot() { sleep 0.6 && import -window "$1" "$out/$2.png" && echo "$out/$2.png"; }
blinking_shot() {
    local i
    for i in 1 2 3 4; do sleep 0.25 && import -window "$1" "$work/phase$i.png"; done
    for i in 1 2 3 4; do echo "$(convert "$work/phase$i.png" -format '%[fx:mean]' info:) $i"; done \
        | sort -g | tail -n 1 | { read -r _ i && cp "$work/phase$i.png" "$out/$2.png"; }
    echo "$out/$2.png"
}
entry() {
    keys ctrl+n && typed "$1" && xdotool key Tab && typed "$2"
    [ $# -lt 3 ] || { xdotool key Tab Tab && typed "$3"; }
    keys ctrl+s
}

"$work/trovix/trovix" 2>"$work/stderr.log" &
app_pid=$!
main_id=$(window "$main")
xdotool windowfocus "$main_id" && sleep 0.5
shot "$main_id" main

keys ctrl+t
entry "Hello tool" "$work/tools/hello" "Says hello"
entry "Mid tool" "$work/tools/hello"
shot "$main_id" softwares
keys ctrl+g
entry "Evening chess" "$work/tools/hello"
shot "$main_id" games
keys ctrl+w
entry Greeter "'$work/tools/hello' 'dear reader'"
shot "$main_id" windows
keys ctrl+d ctrl+p ctrl+End shift+ctrl+Home BackSpace && typed "$work/tools/hello --view" && keys ctrl+p
entry "A <b>letter</b>" "$work/May \"draft\" -x.txt"
shot "$main_id" documents
keys ctrl+r ctrl+n && typed "Tea <b>is</b> ready & hot"
# The date picker moves on to the next part by itself once a part is full.
xdotool key Tab && typed 20310517
xdotool key Tab && typed 9 && xdotool key Tab && typed 30 && xdotool key Tab Down
keys ctrl+s
shot "$main_id" reminders

keys F2 && shot "$(window "Tip of the Day")" tip && keys Return
keys F3 && blinking_shot "$(window "TROVIX 1.0 .*")" about && keys Escape
keys F1 && shot "$(window "TROVIX Help")" help && keys alt+F4
xdotool windowfocus "$main_id" && sleep 0.3
keys alt+a && keys e
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
app_pid=
"$build/tools/trovix-db" dump "$work/trovix" >"$out/journey.dump"
echo "$out/journey.dump"
