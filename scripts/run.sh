#!/usr/bin/env bash
# Sets up (idempotent), builds and starts Vellbrook under Wine in a demo program folder outside
# the repository (VB_DEMO_DIR, default ~/.local/share/vellbrook-demo) with a Wine prefix of its
# own. A second start reuses the folder and keeps what the tester changed.
# With VB_RUN_CHECK=1 it starts the program under Xvfb instead, waits for the main window, closes
# it and fails unless the program ended with exit code 0 (the test command runs it so).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VB_BUILD_DIR:-$root/build}"
demo="${VB_DEMO_DIR:-${HOME:-/root}/.local/share/vellbrook-demo}"

if [ -n "${VB_RUN_CHECK:-}" ] && [ -z "${VB_RUN_CHECK_INNER:-}" ]; then
    export VB_RUN_CHECK_INNER=1
    exec xvfb-run -a bash "$0" "$@"
fi

VB_BUILD_DIR="$build" bash "$root/scripts/configure.sh"
cmake --build "$build" --target Vellbrook sample_driver -j"$(nproc)"
bash "$root/scripts/demo-folder.sh" "$demo" "$build/bin"

export WINEPREFIX="${VB_DEMO_PREFIX:-$demo.wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
# The prefix is made before the first window: a program started while it is being made may end
# at once.
[ -f "$WINEPREFIX/system.reg" ] || wine wineboot -i </dev/null >/dev/null 2>&1
if [ -n "${VB_RUN_CHECK:-}" ]; then
    source "$root/scripts/program-window.sh"
    start_program "$demo"
    close_program
    wineserver -k >/dev/null 2>&1 || true
    echo "[run] the program started, showed its main window and ended with exit code 0"
    exit 0
fi
cd "$demo"
exec wine "$demo/Vellbrook.exe"
