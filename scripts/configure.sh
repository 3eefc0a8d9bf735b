#!/usr/bin/env bash
# Sets up the machine (idempotent) and configures the cross build in VB_BUILD_DIR (default
# build/); further arguments go to cmake: configure.sh [-DVB_WERROR=ON ...].
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/setup.sh"
cmake -S "$root" -B "${VB_BUILD_DIR:-$root/build}" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
