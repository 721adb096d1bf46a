#!/bin/sh
# Builds the number-text fuzz target with clang's libFuzzer and runs it for a
# bounded time over the seed corpus; a crash or a broken property fails.
# Usage: fuzz.sh BUILD_DIR [SECONDS]
set -eu
build=$1
seconds=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$build/corpus"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I "$root" \
    "$root/tests/fuzz/accept_fuzz.cpp" "$root/numtext/numtext.cpp" "$root/core/display.cpp" "$root/core/limiter.cpp" \
    -o "$build/accept_fuzz"
"$build/accept_fuzz" -max_total_time="$seconds" -print_final_stats=1 "$build/corpus" "$root/tests/fuzz/corpus"
