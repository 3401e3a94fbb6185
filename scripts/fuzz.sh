#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/) and runs each for the given number of seconds
# (60 by default), starting from the seeds in tests/data/fuzz/<target>/. What a run finds new stays in a
# working corpus under build-fuzz/corpus/; a crash leaves its input there too and fails the script.
#   scripts/fuzz.sh [seconds] [target ...]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(messagechannel devicefile ectfile description)
build="$top/build-fuzz"
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DSALTIRE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target $(printf 'fuzz_%s ' "${targets[@]}")
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
for target in "${targets[@]}"; do
    corpus="$build/corpus/$target"
    mkdir -p "$corpus" "$build/crashes/$target"
    echo "fuzz_$target: $seconds s"
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/crashes/$target/" \
        "$corpus" "$top/tests/data/fuzz/$target" 2>&1 | tail -n 12
done
