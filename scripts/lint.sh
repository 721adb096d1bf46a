#!/bin/sh
# Format check, clang-tidy and cppcheck over our own code; any finding fails.
# Usage: lint.sh BUILD_DIR (holding compile_commands.json)
set -eu
build=$1
cd "$(dirname "$0")/.."
dirs="tables numtext core report behaviour ui app bench tests"
# The page's bindings build only with emscripten's headers, which the host's
# compile_commands.json lacks: they get the format check and cppcheck.
checked="$dirs web"
# shellcheck disable=SC2086
sources=$(find $checked -name node_modules -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | sort)
# shellcheck disable=SC2086
units=$(find $dirs -name '*.cpp' | sort)

echo "== clang-format"
# shellcheck disable=SC2086
clang-format --dry-run --Werror $sources

echo "== clang-tidy"
# shellcheck disable=SC2086
run-clang-tidy -quiet -p "$build" $units >"$build/clang-tidy.log" 2>&1 || true
if grep -E '(warning|error): ' "$build/clang-tidy.log"; then
    echo "clang-tidy found the problems above" >&2
    exit 1
fi

echo "== cppcheck"
# Google Benchmark calls the benchmarks with a State they may change; newer
# versions also say, as "information", that they limit the branches analysed.
# shellcheck disable=SC2086
cppcheck --enable=warning,style,performance,portability --std=c++20 --error-exitcode=1 --inline-suppr --quiet \
    --suppress=missingIncludeSystem --library=qt --library=googletest -DQUORVANE_X11 -I . \
    --suppress=constParameterCallback:bench/core_bench.cpp --suppress=normalCheckLevelMaxBranches \
    -i tests/web/node_modules $checked
echo "lint: no findings"
