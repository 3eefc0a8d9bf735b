#!/usr/bin/env bash
# Screenshot of a window of the real program, started under Xvfb in a temporary program folder
# with the demo data: <build>/shots/<name>.png. Usage: screenshot.sh main|editor|viewer
# (editor: the main window with the member list that typing "Driver." in the script opens;
# viewer: the result viewer on a failed item of a results database that a snapshot Build run
# and a comparison Build run with the sample driver's output switched made).
# Uses the build folder's test prefix (VB_BUILD_DIR, default build/), which must exist.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VB_BUILD_DIR:-$root/build}"
shot="${1:-}"
case "$shot" in
    main | editor | viewer) ;;
    *) echo "usage: $0 main|editor|viewer" >&2; exit 2 ;;
esac

if [ -z "${VB_SCREENSHOT_INNER:-}" ]; then
    cmake --build "$build" --target Vellbrook sample_driver editor_typing viewer_tests -j2 >/dev/null
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
[ -f "$WINEPREFIX/system.reg" ] || wine wineboot -i </dev/null >/dev/null 2>&1
if [ "$shot" = viewer ]; then
    # The viewer test's own program makes both Build runs in a folder of its own, opens the
    # viewer (caption "Dialog") on the failed rows and selects one; it closes by itself.
    wine "$build/bin/viewer_tests.exe" --gtest_also_run_disabled_tests \
        --gtest_filter='*DISABLED_ShowsAFailedItemForTheScreenshot' >/dev/null 2>&1 &
    viewer_pid=$!
    for _ in $(seq 1 150); do
        xwininfo -root -tree 2>/dev/null | grep -q '"Dialog"' && break
        sleep 0.2
    done
    # Let it select the row and paint both panes.
    sleep 3
    mkdir -p "$build/shots"
    import -window root "$build/shots/$shot.png"
    wait "$viewer_pid" || true
    echo "$build/shots/$shot.png"
    exit 0
fi
bash "$root/scripts/demo-folder.sh" "$folder" "$build/bin"
source "$root/scripts/program-window.sh"
start_program "$folder"
# Let the dialog paint its controls and icons.
sleep 2
if [ "$shot" = editor ]; then
    # On the empty line 6 of the global script, shown at start.
    wine "$build/bin/editor_typing.exe" 6 "Driver." >/dev/null 2>&1
    sleep 2
fi
mkdir -p "$build/shots"
import -window root "$build/shots/$shot.png"
# Closed as the close box would: the program saves its settings and ends. The typed script would
# ask to be saved: that program is left to the clean-up, which ends the prefix's processes.
[ "$shot" = editor ] || close_program || true
echo "$build/shots/$shot.png"
