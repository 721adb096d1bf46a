#!/bin/sh
# Runs a libFuzzer target over copies of its seeds: a folder's files, or a
# kept session's keys (a file each) made into one input, its state then its
# blocks, NUL apart, after a byte that asks for them to be sealed again.
# SECONDS 0: each seed once. Otherwise: mutates the seeds for that long,
# an input that runs over ten seconds failing as a hang, with the dictionary
# beside this script if there is one for the target. A failing input is
# left in OUT_DIR (crash-*, timeout-*, oom-*), with the run's log.
# Usage: run_fuzz.sh FUZZER SECONDS OUT_DIR SEED_DIR...
set -eu
fuzzer=$1 seconds=$2 out=$3
shift 3
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
trap 'exit 1' INT TERM
mkdir "$work/corpus"
for dir in "$@"; do
    if [ -f "$dir/quorvane-session" ]; then
        { printf '\001'; cat "$dir/quorvane-session"
          for block in "$dir"/quorvane-session.block.*; do printf '\000'; cat "$block"; done; } >"$work/corpus/kept"
    else
        cp "$dir"/* "$work/corpus/"
    fi
done

# One sanitizer report stops the run and fails it.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
if [ "$seconds" = 0 ]; then
    exec "$fuzzer" "$work"/corpus/*
fi
name=$(basename "$fuzzer")
dict=$(dirname "$0")/${name%_fuzz}.dict
set -- -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/"
[ ! -f "$dict" ] || set -- "$@" -dict="$dict"
status=0
"$fuzzer" "$@" "$work/corpus" >"$out/run.log" 2>&1 || status=$?
# The figures: executions, their rate, coverage (cov: edges, ft: features).
if [ "$status" = 0 ]; then
    grep -E '^(#[0-9]+[[:space:]]+DONE|Done [0-9]+ runs|stat::)' "$out/run.log" || tail -n 20 "$out/run.log"
else
    tail -n 150 "$out/run.log"
    echo "$name failed (exit $status): the input is in $out, the whole log in $out/run.log" >&2
fi
exit "$status"
