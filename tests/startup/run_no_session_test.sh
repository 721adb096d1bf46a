#!/usr/bin/env bash
# Every way of not reaching a graphical session ends with the program's own
# message, naming what Qt tried, and exit code 1: never Qt's abort.
# Usage: run_no_session_test.sh PATH_TO_QUORVANE
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
while IFS='|' read -r environment expected; do
    status=0 expected=${expected//@/$work}
    env -i PATH="$PATH" XDG_RUNTIME_DIR="$work" $environment "$1" >/dev/null 2>"$work/said" || status=$?; said=$(<"$work/said")
    [ "$status" = 1 ] && [[ $said == *"$expected"* && $said == *"xvfb-run -a quorvane"* && $said != *einstall* ]] ||
        { echo "FAIL: $environment: exit code $status, said: $said" >&2 && exit 1; }
done <<'ROWS'
QT_QPA_PLATFORM=bogus|platform "bogus": Qt has no such platform plugin
WAYLAND_DISPLAY=dead|platform "wayland": no Wayland compositor answers at "@/dead"
DISPLAY=:199 WAYLAND_DISPLAY=dead|platform "xcb": no X server answers on display ":199"
|platform "xcb": no X display is named (DISPLAY is not set)
DISPLAY=:199|platform "xcb": no X server answers on display ":199"
ROWS
echo "no-session checks passed"
