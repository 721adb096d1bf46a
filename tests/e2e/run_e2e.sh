#!/usr/bin/env bash
# What only a real desktop shows: real keys, the clipboard after the window is
# gone, a dark theme, the exit code. Starts its own Xvfb (no window manager, no
# clipboard manager) and uses the built program with xdotool and xclip.
# Usage: run_e2e.sh PATH_TO_QUORVANE
set -euo pipefail

program=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
xvfb_pid=""
app_pid=""
failures=0

cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

for tool in Xvfb xdotool xclip convert; do
    if ! command -v "$tool" >/dev/null; then
        echo "FAIL: $tool is not installed; the set-up step (make test) installs it." >&2
        exit 1
    fi
done

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "FAIL: the X server (Xvfb) did not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 1
fi
display_number=$(head -n1 "$work/display")
export DISPLAY=":$display_number"
# A fixed locale: '.' as decimal separator and Qt's "d MMM yyyy" short date.
export LC_ALL=C.UTF-8 LANG=C.UTF-8 XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Waits until `xdotool search` finds (or, with "gone", no longer finds) a
# visible window of that exact title.
wait_window() {
    for _ in $(seq 50); do
        found=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)
        if [ "${2:-}" = gone ]; then [ -z "$found" ] && return 0; else [ -n "$found" ] && return 0; fi
        sleep 0.1
    done
    return 1
}

start() {
    env "$@" "$program" >"$work/app.log" 2>&1 &
    app_pid=$!
    if ! wait_window 'Quorvane V 2\.1\.0'; then
        fail "the window did not appear"
        cat "$work/app.log" >&2
        exit 1
    fi
    xdotool windowfocus --sync "$found"
}

keys() {
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.2
    done
}

echo "-- the default pass with Tab and Return only; the report outlives the window"
start
keys Tab Tab Tab Tab Tab Tab Return Return Return Tab Tab Return  # Aceita, Aceita, Calcula; Sair
if wait_window Quorvane; then
    xdotool windowfocus --sync "$found" key Return
else
    fail "no message after Sair"
fi
wait_window 'Quorvane.*' gone || fail "a window is still shown after Sair"
kill -0 "$app_pid" 2>/dev/null || fail "the program ended without a clipboard manager to take the report"
{
    printf 'Dados para Quorvane%36s%s\r\n' '' "$(LC_ALL=C date '+%-d %b %Y')"
    sed 's/$/\r/' "$here/../support/default_block.txt"
} >"$work/expected"
xclip -selection clipboard -o >"$work/clipboard" 2>"$work/xclip.log" || fail "the clipboard is empty: $(cat "$work/xclip.log")"
cmp -s "$work/expected" "$work/clipboard" || {
    fail "the clipboard after the window is gone differs from the report"
    diff <(cat -A "$work/expected") <(cat -A "$work/clipboard") | head -20 >&2 || true
}
echo other | xclip -selection clipboard -i 2>/dev/null
status=0
timeout 5 tail --pid="$app_pid" -f /dev/null || fail "the program goes on after another took the clipboard"
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "exit code $status after Sair"

echo "-- a dark desktop theme leaves the window light"
start QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark
keys Tab Tab Tab Tab Tab Tab Return  # panel 1's Aceita
import -window root "$work/dark.png"
# Share of the pixels of a screen rectangle (WxH+X+Y) for which EXPR holds.
share() { convert "$work/dark.png" -crop "$1" +repage -fx "$2" -format '%[fx:mean]' info:; }
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }
field='90x15+38+108'   # inside 1.3 - Znom, which shows 8.00 in blue
status_line='110x13+41+499'  # Label9
above "$(share "$field" 'r>0.9 && g>0.9 && b>0.9')" 0.6 || fail "the entry's background is not light"
above "$(share "$field" 'b>0.6 && r<0.4 && g<0.4')" 0.02 || fail "the accepted value is not blue"
above "$(share "$status_line" 'r<0.3 && g<0.3 && b<0.3')" 0.05 || fail "the status line is not dark text"
above "$(share "$status_line" 'r>0.8 && g>0.8 && b>0.8')" 0.5 || fail "the status line is not on a light window"
kill "$app_pid"
wait "$app_pid" 2>/dev/null || true
app_pid=""

echo "-- a display that cannot be reached"
unused=$((display_number + 1))
while [ -e "/tmp/.X11-unix/X$unused" ]; do unused=$((unused + 1)); done
status=0
DISPLAY=":$unused" "$program" >"$work/unreachable.log" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "exit code $status for an unreachable display"
grep -q "\":$unused\"" "$work/unreachable.log" || fail "the message does not name the display: $(cat "$work/unreachable.log")"
grep -q 'xvfb-run' "$work/unreachable.log" || fail "the message does not say how to run without a display"

if [ "$failures" -ne 0 ]; then
    echo "$failures end-to-end check(s) failed" >&2
    exit 1
fi
echo "all end-to-end checks passed"
