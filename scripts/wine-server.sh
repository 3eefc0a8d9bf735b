#!/usr/bin/env bash
# Starts or ends the wine server of the build folder's private prefix. Starting it once before
# the tests saves every test the server's start-up, and ending it afterwards keeps a lingering
# server from holding ctest's output pipe open.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export WINEPREFIX="${VB_WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
case "${1:-}" in
    start)
        mkdir -p "$WINEPREFIX"
        # A server of an earlier run may still be on its way out, and a new one cannot start
        # beside it; one left running for good is ended.
        timeout 30 wineserver -w </dev/null >/dev/null 2>&1 || wineserver -k </dev/null >/dev/null 2>&1 || true
        wineserver -p </dev/null >/dev/null 2>&1
        wine wineboot -i </dev/null >/dev/null 2>&1
        ;;
    stop)
        wineserver -k </dev/null >/dev/null 2>&1 || true
        ;;
    *)
        echo "usage: $0 start|stop" >&2
        exit 2
        ;;
esac
