#!/usr/bin/env bash
# Start-up time (exec to the first paint of the window) and peak RSS of Quorvane against
# the floor of a minimal Qt Widgets program, alternating runs on a fresh Xvfb.
# Usage: startup.sh BUILD_DIR [RUNS]
set -euo pipefail
build=$1
runs=${2:-9}
work=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

probe="$build/bench/startup_probe"
"$probe" "$build/bench/startup_floor" >/dev/null  # warm the file cache
"$probe" "$build/app/quorvane" >/dev/null
for i in $(seq "$runs"); do
    "$probe" "$build/bench/startup_floor" >>"$work/floor"
    "$probe" "$build/app/quorvane" >>"$work/quorvane"
done
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
floor_ms=$(cut -d' ' -f1 "$work/floor" | median)
app_ms=$(cut -d' ' -f1 "$work/quorvane" | median)
floor_kib=$(cut -d' ' -f2 "$work/floor" | median)
app_kib=$(cut -d' ' -f2 "$work/quorvane" | median)
printf 'runs each          : %d (alternating)\n' "$runs"
printf 'start-up, median   : quorvane %.1f ms, floor %.1f ms, ratio %.2f (target <= 1.30)\n' \
    "$app_ms" "$floor_ms" "$(awk -v a="$app_ms" -v f="$floor_ms" 'BEGIN { print a / f }')"
printf 'peak RSS, median   : quorvane %.1f MiB, floor %.1f MiB (target < 40 MiB)\n' \
    "$(awk -v k="$app_kib" 'BEGIN { print k / 1024 }')" "$(awk -v k="$floor_kib" 'BEGIN { print k / 1024 }')"
