#!/usr/bin/env bash
# Runs a Windows program under Wine in the build folder's private prefix.
# VB_WINEPREFIX is set by ctest; a hand run falls back to the default build folder.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export WINEPREFIX="${VB_WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
exec wine "$@"
