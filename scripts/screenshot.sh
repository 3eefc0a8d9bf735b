#!/usr/bin/env bash
# Screenshot of a window of the real program, started under Xvfb in a temporary program folder
# with the demo data: build/shots/<name>.png. Usage: screenshot.sh main
# Uses the build folder's test prefix (VB_BUILD_DIR, default build/), which must exist.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VB_BUILD_DIR:-$root/build}"
shot="${1:-}"
[ "$shot" = main ] || { echo "usage: $0 main" >&2; exit 2; }

if [ -z "${VB_SCREENSHOT_INNER:-}" ]; then
    cmake --build "$build" --target Vellbrook sample_driver -j2 >/dev/null
    export VB_SCREENSHOT_INNER=1
    exec xvfb-run -a -s "-screen 0 1500x860x24" bash "$0" "$@"
fi

folder="$(mktemp -d)"
export WINEPREFIX="${VB_WINEPREFIX:-$build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$folder"
}
trap cleanup EXIT
bash "$root/scripts/demo-folder.sh" "$folder" "$build/bin"
[ -f "$WINEPREFIX/system.reg" ] || wine wineboot -i </dev/null >/dev/null 2>&1
source "$root/scripts/program-window.sh"
start_program "$folder"
# Let the dialog paint its controls and icons.
sleep 2
mkdir -p "$root/build/shots"
import -window root "$root/build/shots/$shot.png"
# Closed as the close box would: the program saves its settings and ends.
close_program || true
echo "build/shots/$shot.png"
