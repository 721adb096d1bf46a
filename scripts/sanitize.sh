#!/bin/sh
# Builds the unit and window tests with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them; then, built by clang in a folder
# of its own, the fuzz targets of the readers of untrusted text, each run
# for a minute (tests/fuzz). Any report fails.
# Usage: sanitize.sh BUILD_DIR FUZZ_BUILD_DIR [CMAKE_OPTION...]
set -eu
build=$1
fuzz_build=$2
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_SANITIZE=ON -DBUILD_TESTING=ON "$@" >/dev/null
cmake --build "$build" --target numtext_test core_test behaviour_test ui_test
# No fake stacks for returns (detect_stack_use_after_return): they make the
# JSON parser seven times slower; GCC's -Wall warns of a returned or
# dangling address of a local.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=print_suppressions=0
ctest --test-dir "$build" -L unit --output-on-failure --no-tests=error

# The compiler is only chosen when a build folder is first configured.
CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUORVANE_FUZZ=ON "$@" >/dev/null
cmake --build "$fuzz_build"
# Verbose: each run's figures (executions, their rate, coverage) are shown.
ctest --test-dir "$fuzz_build" -L fuzz --output-on-failure --no-tests=error --verbose
