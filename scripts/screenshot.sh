#!/usr/bin/env bash
# The window after the default pass (both Aceita, then Calcula), captured on
# a private Xvfb for the README.
# Usage: screenshot.sh PATH_TO_QUORVANE OUTPUT.png
set -euo pipefail
program=$1
output=$2
work=$(mktemp -d)
app=""
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")" LC_ALL=C.UTF-8 LANG=C.UTF-8
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$program" >/dev/null 2>&1 &
app=$!
window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Quorvane V [0-9.]+$' | head -n1)
for point in "542 117" "542 242" "542 447"; do  # Aceita, Aceita, Calcula
    # shellcheck disable=SC2086
    xdotool mousemove --sync $point click 1
    sleep 0.3
done
xdotool mousemove 700 700
sleep 0.3
import -window "$window" "$output"
echo "wrote $output"
