#!/usr/bin/env bash
# The layers of src/ include one way only: ui -> desktop -> core. A file of a lower layer that includes a
# higher one, or a core file that includes Qt's widgets, is named and fails the check.
set -u
src=${1:?usage: layers.sh SRC_DIR}
found=$(
    grep -rnE '#include *[<"](desktop|ui)/|#include *<(QtWidgets|QtGui)?/?Q(Widget|Application|MainWindow|Dialog|Label|Action|Menu|SystemTrayIcon|Icon|Pixmap|Font)\b' "$src/core"
    grep -rnE '#include *"ui/' "$src/desktop"
)
[ -z "$found" ] || { echo "includes against the layers (ui -> desktop -> core):"; echo "$found"; exit 1; }
echo "layers: ui -> desktop -> core, no include against them"
