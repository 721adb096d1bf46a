#!/bin/sh
# Builds the unit and window tests with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them; any report fails.
# Usage: sanitize.sh BUILD_DIR [CMAKE_OPTION...]
set -eu
build=$1
shift
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
