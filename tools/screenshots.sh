#!/usr/bin/env bash
# Takes the README's pictures of every window afresh: the end-to-end runs use the real program on a
# private X server and leave a picture of each window they drive in docs/images/.
#   tools/screenshots.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
export TROVIX_E2E_SHOTS=$root/docs/images
mkdir -p "$TROVIX_E2E_SHOTS"
for run in startup lists desktop reminders; do
    echo "== $run"
    "$root/tests/e2e/$run.sh" "$build/trovix" "$build/tools/trovix-db"
done
ls -l "$TROVIX_E2E_SHOTS"
