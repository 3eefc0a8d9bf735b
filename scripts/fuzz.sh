#!/usr/bin/env bash
# Runs every fuzz harness long under Wine: a million inputs each, or for the given number of
# seconds each. A run that stops at a finding (its input is saved in <build>/fuzz-findings) is
# started again with the next seed until the harness's inputs or time are used up. Ends with exit
# code 1 when any harness found something.
#   scripts/fuzz.sh                 a million inputs per harness
#   scripts/fuzz.sh 600             ten minutes per harness
#   scripts/fuzz.sh 600 sql base64  only these harnesses
# VB_BUILD_DIR names the build folder (default build/), VB_FUZZ_SEED the first seed (default 1).
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VB_BUILD_DIR:-$root/build}"
seconds="${1:-0}"
shift $(( $# > 0 ? 1 : 0 ))
harnesses=("$@")
[ ${#harnesses[@]} -gt 0 ] || harnesses=(definition-file base64 print-file-list sql global-script driver-records result-preview)
inputs_wanted=1000000

VB_BUILD_DIR="$build" bash "$root/scripts/configure.sh" || exit 1
cmake --build "$build" --target vb_fuzz -j"$(nproc)" >/dev/null || exit 1
export VB_WINEPREFIX="$build/wineprefix"
"$root/scripts/wine-server.sh" start
trap '"$root/scripts/wine-server.sh" stop' EXIT
cd "$build"

failed=0
printf '%-16s %10s %9s %9s  %s\n' harness inputs seconds findings kinds
for harness in "${harnesses[@]}"; do
    inputs=0 elapsed=0 findings=0 kinds="" seed="${VB_FUZZ_SEED:-1}"
    while :; do
        if [ "$seconds" != 0 ]; then
            left=$(awk -v s="$seconds" -v e="$elapsed" 'BEGIN { print s - e }')
            awk -v l="$left" 'BEGIN { exit !(l > 0.5) }' || break
            budget=(--count 0 --seconds "$left")
        else
            [ "$inputs" -lt "$inputs_wanted" ] || break
            budget=(--count $(( inputs_wanted - inputs )))
        fi
        output=$("$root/scripts/wine-run.sh" bin/vb_fuzz.exe "$harness" --seed "$seed" "${budget[@]}" 2>&1)
        code=$?
        summary=$(grep -E "^$harness: [0-9]+ inputs" <<<"$output" | tail -1)
        if [ -z "$summary" ]; then
            echo "$output" >&2
            echo "$harness: the harness did not report (exit code $code)" >&2
            failed=1
            break
        fi
        read -r run took <<<"$(awk '{ print $2, $4 }' <<<"$summary")"
        inputs=$(( inputs + run ))
        elapsed=$(awk -v a="$elapsed" -v b="$took" 'BEGIN { print a + b }')
        case $code in
            0) break ;;
            1) kinds+=" invariant" ;;
            2) kinds+=" crash" ;;
            3) kinds+=" hang" ;;
            4) kinds+=" allocation" ;;
            *) kinds+=" exit$code" ;;
        esac
        findings=$(( findings + 1 ))
        grep -E "^$harness (invariant|crash|hang|allocation)|saved as" <<<"$output" >&2
        seed=$(( seed + 1 ))
    done
    printf '%-16s %10d %9.0f %9d %s\n' "$harness" "$inputs" "$elapsed" "$findings" "$kinds"
    [ "$findings" -eq 0 ] || failed=1
done
exit "$failed"
