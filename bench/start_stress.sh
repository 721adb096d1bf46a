#!/usr/bin/env bash
# Starts the program COUNT times as README advises without a desktop, each
# time under its own xvfb-run, as the only client of a fresh Xvfb (which
# resets when its last client leaves), and counts the windows shown and the
# aborts. Measures, asserts nothing.
# Usage: start_stress.sh PATH_TO_QUORVANE [COUNT]
set -uo pipefail
program=$1 count=${2:-100}
windows=0 aborts=0 others=0
# Nothing else connects while the program starts: look for its window only
# once it has had time to connect, or to abort. Exit 0: a window; else the
# program's own exit code.
once='"$0" & app=$!; sleep 1
if kill -0 $app 2>/dev/null && timeout 10 xdotool search --sync --onlyvisible --name "^Quorvane V" >/dev/null; then
    kill $app; wait $app; exit 0; fi
wait $app'
for ((i = 0; i < count; i++)); do
    xvfb-run -a -s '-screen 0 1024x768x24 -nolisten tcp' bash -c "$once" "$program" >/dev/null 2>&1
    case $? in
        0) windows=$((windows + 1)) ;;
        134) aborts=$((aborts + 1)) ;;
        *) others=$((others + 1)) ;;
    esac
done
echo "start-up under xvfb-run, $count starts: $windows windows shown, $aborts aborts, $others other exits"
