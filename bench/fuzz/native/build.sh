#!/usr/bin/env bash
# Builds the native libFuzzer program of the pure readers (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer) into <build>/native-fuzz, and with seconds given runs each reader
# that long: bench/fuzz/native/build.sh [seconds].
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
build="${VB_BUILD_DIR:-$root/build}/native-fuzz"
sqlite="${VELLBROOK_CACHE:-$HOME/.cache/vellbrook}/sqlite"
mkdir -p "$build"
[ -f "$build/sqlite3.o" ] || clang -O2 -w -c "$sqlite/sqlite3.c" -o "$build/sqlite3.o" -DSQLITE_THREADSAFE=0
src="$root/src"
clang++ -std=c++17 -O1 -g -Wall -Wextra -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root/bench/fuzz/native/shim" -I"$root/bench/fuzz" -I"$sqlite" \
    -I"$src/framework" -I"$src/data" -I"$src/engine" -I"$src/ui" -I"$src/driver" \
    "$root/bench/fuzz/native/NativeTargets.cpp" "$root/bench/fuzz/FuzzText.cpp" \
    "$src/framework/Strings.cpp" "$src/data/ArchiveReader.cpp" "$src/data/JetSql.cpp" "$src/data/SqlQuoting.cpp" \
    "$src/data/SqlTokenizer.cpp" "$src/engine/GlobalScript.cpp" "$src/engine/GlobalScriptHeader.cpp" \
    "$src/ui/PreviewLineSplitter.cpp" "$src/driver/DevmodeBuffer.cpp" "$src/driver/VarInfo.cpp" \
    "$src/driver/VariableRules.cpp" "$src/driver/DateTimeFormats.cpp" "$build/sqlite3.o" -ldl -lpthread \
    -o "$build/vb_native_fuzz"
[ $# -gt 0 ] || exit 0
for target in sql global-script archive preview-lines driver-records; do
    mkdir -p "$build/corpus-$target"
    echo "== $target"
    VB_NATIVE_TARGET=$target "$build/vb_native_fuzz" -max_total_time="$1" -max_len=65536 -print_final_stats=1 \
        -artifact_prefix="$build/$target-" "$build/corpus-$target" 2>&1 | grep -E "^(stat::number_of_executed_units|stat::peak_rss|==[0-9]+==ERROR|SUMMARY|invariant)" || true
done
