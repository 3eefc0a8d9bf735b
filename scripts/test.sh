#!/usr/bin/env bash
# Sets up the machine (idempotent), builds everything and runs every test under Wine.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VB_BUILD_DIR:-$root/build}"

VB_BUILD_DIR="$build" bash "$root/scripts/configure.sh" -DVB_WERROR="${VB_WERROR:-OFF}"
cmake --build "$build" -j"$(nproc)"
# Tests that open windows need a display; one virtual display serves the whole run.
cd "$build"
xvfb-run -a ctest --verbose --timeout 600
# The pure readers, built natively with the sanitizers, each fuzzed a few seconds: a finding
# fails the run, and the native build cannot fall behind the program's sources.
VB_BUILD_DIR="$build" bash "$root/bench/fuzz/native/build.sh" 5
# The run command as a tester uses it, in a demo folder of the build: the program starts, shows
# its main window, closes and ends with exit code 0.
VB_RUN_CHECK=1 VB_DEMO_DIR="$build/demo" VB_BUILD_DIR="$build" bash "$root/scripts/run.sh"
