#!/usr/bin/env bash
# Sets up (idempotent), builds and starts Vellbrook under Wine in a demo program folder outside
# the repository (VB_DEMO_DIR, default ~/.local/share/vellbrook-demo) with a Wine prefix of its
# own. A second start reuses the folder and keeps what the tester changed.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VB_BUILD_DIR:-$root/build}"
demo="${VB_DEMO_DIR:-${HOME:-/root}/.local/share/vellbrook-demo}"

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target Vellbrook sample_driver -j"$(nproc)"
bash "$root/scripts/demo-folder.sh" "$demo" "$build/bin"

export WINEPREFIX="${VB_DEMO_PREFIX:-$demo.wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
# The prefix is made before the first window: a program started while it is being made may end
# at once.
[ -f "$WINEPREFIX/system.reg" ] || wine wineboot -i </dev/null >/dev/null 2>&1
cd "$demo"
exec wine "$demo/Vellbrook.exe"
