#!/usr/bin/env bash
# Builds the native libFuzzer program of the pure readers (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) into <build>/native-fuzz, and with seconds given runs each reader
# that long: bench/fuzz/native/build.sh [seconds]. With VB_WERROR=ON warnings are errors.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
build="${VB_BUILD_DIR:-$root/build}/native-fuzz"
# clang, its sanitizer and fuzzer runtime, and the SQLite amalgamation come from the set-up.
bash "$root/scripts/setup.sh"
sqlite="${VELLBROOK_CACHE:-$HOME/.cache/vellbrook}/sqlite"
mkdir -p "$build"
[ -f "$build/sqlite3.o" ] || clang -O2 -w -c "$sqlite/sqlite3.c" -o "$build/sqlite3.o" -DSQLITE_THREADSAFE=0
src="$root/src"
werror=()
[ "${VB_WERROR:-OFF}" != ON ] || werror=(-Werror)
clang++ -std=c++17 -O1 -g -Wall -Wextra "${werror[@]}" -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root/bench/fuzz/native/shim" -I"$root/bench/fuzz" -I"$sqlite" \
    -I"$src/framework" -I"$src/data" -I"$src/engine" -I"$src/ui" -I"$src/driver" \
    "$root/bench/fuzz/native/NativeTargets.cpp" "$root/bench/fuzz/FuzzText.cpp" \
    "$src/framework/Strings.cpp" "$src/data/ArchiveReader.cpp" "$src/data/JetSql.cpp" "$src/data/SqlQuoting.cpp" \
    "$src/data/SqlTokenizer.cpp" "$src/engine/GlobalScript.cpp" "$src/engine/GlobalScriptHeader.cpp" \
    "$src/ui/PreviewLineSplitter.cpp" "$src/driver/DevmodeBuffer.cpp" "$src/driver/VarInfo.cpp" \
    "$src/driver/VariableRules.cpp" "$src/driver/DateTimeFormats.cpp" "$build/sqlite3.o" -ldl -lpthread \
    -o "$build/vb_native_fuzz"
echo "[native-fuzz] built $build/vb_native_fuzz"
[ $# -gt 0 ] || exit 0
# A finding (a sanitizer's report, a broken invariant, a hang or an oversized allocation) ends
# that reader's run with its input saved beside the corpus, and the script with exit code 1.
found=0
for target in sql global-script archive preview-lines driver-records; do
    mkdir -p "$build/corpus-$target"
    seeds=("$root/bench/fuzz/corpus/$target")
    [ -d "${seeds[0]}" ] || seeds=()
    echo "== $target"
    code=0
    VB_NATIVE_TARGET=$target "$build/vb_native_fuzz" -max_total_time="$1" -max_len=65536 -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/$target-" \
        "$build/corpus-$target" "${seeds[@]}" >"$build/$target.log" 2>&1 || code=$?
    grep -E "^(stat::number_of_executed_units|stat::peak_rss|==[0-9]+==ERROR|SUMMARY|invariant|artifact_prefix)" \
        "$build/$target.log" || true
    if [ "$code" -ne 0 ]; then
        tail -n 40 "$build/$target.log"
        echo "$target: finding (exit code $code); the full log is $build/$target.log"
        found=1
    fi
done
exit "$found"
