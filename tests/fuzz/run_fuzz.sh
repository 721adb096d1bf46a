#!/bin/sh
# Runs a libFuzzer target over seed folders, which it never writes to.
# SECONDS 0: each seed once. Otherwise: mutates a copy of the seeds for that
# long, an input that runs over ten seconds failing as a hang, with the
# dictionary beside this script if there is one for the target. A failing
# input is left in OUT_DIR (crash-*, timeout-*, oom-*), with the run's log.
# Usage: run_fuzz.sh FUZZER SECONDS OUT_DIR SEED_DIR...
set -eu
fuzzer=$1
seconds=$2
out=$3
shift 3
mkdir -p "$out"

# One sanitizer report stops the run and fails it.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

seeds=""
for dir in "$@"; do
    [ ! -d "$dir" ] || seeds="$seeds $dir"
done
[ -n "$seeds" ] || { echo "run_fuzz.sh: no seed folder among: $*" >&2; exit 2; }

if [ "$seconds" = 0 ]; then
    # shellcheck disable=SC2086
    find $seeds -type f -exec "$fuzzer" {} +
    exit
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM
mkdir "$work/corpus"
# shellcheck disable=SC2086
find $seeds -type f -exec cp {} "$work/corpus/" \;
chmod -R u+w "$work/corpus"

name=$(basename "$fuzzer")
dict=$(dirname "$0")/${name%_fuzz}.dict
set -- -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/"
[ -f "$dict" ] && set -- "$@" -dict="$dict"
log=$out/run.log
status=0
"$fuzzer" "$@" "$work/corpus" >"$log" 2>&1 || status=$?
# The figures: executions, their rate, coverage (cov: edges, ft: features).
if [ "$status" = 0 ]; then
    grep -E '^(#[0-9]+[[:space:]]+DONE|Done [0-9]+ runs|stat::)' "$log" || tail -n 20 "$log"
else
    tail -n 150 "$log"
    echo "$name failed (exit $status): the input is in $out, the whole log in $log" >&2
fi
exit "$status"
