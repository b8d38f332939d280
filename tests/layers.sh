#!/usr/bin/env bash
# The layers of src/ include one way only: ui -> desktop -> core. A file of a lower layer that includes a
# higher one, or a core file that includes Qt's widgets, is named and fails the check. The search service
# stands on the core alone: it includes neither desktop/ nor ui/, nor anything of Qt's GUI.
set -u
src=${1:?usage: layers.sh SRC_DIR}
gui='#include *<(QtWidgets|QtGui)?/?Q(Widget|Application|GuiApplication|MainWindow|Dialog|Label|Action|Menu|SystemTrayIcon|Icon|Pixmap|Image|Font)\b'
found=$(
    grep -rnE "#include *[<\"](desktop|ui)/|$gui" "$src/core"
    grep -rnE '#include *"ui/' "$src/desktop"
    grep -rnE "#include *[<\"](desktop|ui)/|#include *<(QtWidgets|QtGui)/|$gui" "$src/search"
)
[ -z "$found" ] || { echo "includes against the layers (ui -> desktop -> core, search -> core):"; echo "$found"; exit 1; }
echo "layers: ui -> desktop -> core, search -> core, no include against them"
