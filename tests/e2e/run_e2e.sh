#!/usr/bin/env bash
# End to end on a real X server: starts Xvfb, runs the built program and uses
# it as a person does (xdotool clicks and keys, xclip reads the clipboard).
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

for tool in Xvfb xdotool xclip; do
    if ! command -v "$tool" >/dev/null; then
        echo "FAIL: $tool is not installed; the set-up step (make test) installs it." >&2
        exit 1
    fi
done

# A display of our own, whatever number is free.
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
export DISPLAY=":$(head -n1 "$work/display")"
# A fixed locale: '.' as decimal separator and Qt's "d MMM yyyy" short date.
export LC_ALL=C.UTF-8 LANG=C.UTF-8
unset QT_QPA_PLATFORM

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Screen positions: the window's client area starts at 20,20 (no window
# manager, so no frame); each point is the middle of a control.
declare -A at=(
    [Button1]="542 117" [Button2]="542 242" [Button3]="542 447"
    [Button4]="542 499" [Button5]="542 527" [Button6]="542 557"
    [LabeledEdit3]="75 115" [LabeledEdit4]="190 115" [LabeledEdit12]="417 240"
)

window=""
start() {
    "$program" >"$work/app.log" 2>&1 &
    app_pid=$!
    window=$(timeout 10 xdotool search --sync --onlyvisible --name '^Quorvane V 2\.1\.0$' | head -n1) || true
    if [ -z "$window" ]; then
        fail "the window did not appear"
        cat "$work/app.log" >&2
        exit 1
    fi
    xdotool windowfocus --sync "$window"
}

click() {
    # shellcheck disable=SC2086
    xdotool mousemove --sync ${at[$1]} click 1
    sleep 0.15
}

# Replaces an entry's text by typing, one key at a time.
type_into() {
    click "$1"
    xdotool key --clearmodifiers ctrl+a BackSpace
    xdotool type --delay 30 "$2"
    sleep 0.15
}

message_box() {
    xdotool search --onlyvisible --name '^Quorvane$' 2>/dev/null | head -n1 || true
}

# Replaces an entry's text by pasting it from the clipboard.
paste_into() {
    printf '%s' "$2" | xclip -selection clipboard
    click "$1"
    xdotool key --clearmodifiers ctrl+a ctrl+v
    sleep 0.15
}

# Waits for a message box and closes it with Return, as a user does.
answer_message() {
    local box=""
    for _ in $(seq 50); do
        box=$(message_box)
        [ -n "$box" ] && break
        sleep 0.1
    done
    if [ -z "$box" ]; then
        fail "expected a message box ($1)"
        return
    fi
    xdotool windowfocus --sync "$box" key Return
    for _ in $(seq 50); do
        [ -z "$(message_box)" ] && return
        sleep 0.1
    done
    fail "the message box did not close ($1)"
}

expect_no_message() {
    sleep 0.3
    [ -z "$(message_box)" ] || fail "unexpected message box ($1)"
}

# Sair: the clipboard is read while the closing message is open; Return then
# ends the program, which must exit with 0.
sair() {
    click Button6
    for _ in $(seq 50); do
        [ -n "$(message_box)" ] && break
        sleep 0.1
    done
    xclip -selection clipboard -o >"$work/clipboard" 2>/dev/null || fail "the clipboard is empty"
    answer_message "Sair"
    local status=0
    timeout 10 tail --pid="$app_pid" -f /dev/null || fail "the program did not end after Sair"
    wait "$app_pid" || status=$?
    app_pid=""
    [ "$status" -eq 0 ] || fail "exit code $status after Sair"
}

title_line() {
    printf 'Dados para Quorvane%36s%s\r\n' '' "$(LC_ALL=C date '+%-d %b %Y')"
}

block() {  # block NUMBER: the default block, numbered, with CRLF line ends
    sed -e "s/^ Ajuste : 1  $/ Ajuste : $1  /" -e 's/$/\r/' "$here/../support/default_block.txt"
}

echo "-- default pass, title, position and Sair"
start
[ "$(xdotool getwindowname "$window")" = "Quorvane V 2.1.0" ] || fail "window title"
xdotool getwindowgeometry "$window" | grep -q 'Position: 20,20 ' || fail "window position: $(xdotool getwindowgeometry "$window")"
click Button1
click Button2
click Button3
expect_no_message "default pass"
sair
{ title_line; block 1; } >"$work/expected"
cmp -s "$work/expected" "$work/clipboard" || {
    fail "clipboard after the default pass differs"
    diff <(cat -A "$work/expected") <(cat -A "$work/clipboard") | head -20 >&2 || true
}

echo "-- threshold warning, Recalcula and a second block"
start
type_into LabeledEdit12 14
click Button1
click Button2
click Button3
answer_message "threshold warning"
click Button4
type_into LabeledEdit12 6
click Button1
click Button2
click Button3
expect_no_message "second pass"
sair
grep -q $'^Tens\xc3\xa3o de Saida Limiter  : 868.534 mV \r$' "$work/clipboard" || fail "block 1 holds the warned threshold"
[ "$(grep -c $'^ Ajuste : [0-9]*  \r$' "$work/clipboard")" -eq 2 ] || fail "two blocks"
tail -n 41 "$work/clipboard" | cmp -s - <(block 2) || fail "block 2 is the default block"
[ "$(wc -l <"$work/clipboard")" -eq 83 ] || fail "83 lines"

echo "-- a rejected key, then the number; a pasted number"
start
type_into LabeledEdit4 3x
answer_message "Valor Incorreto"
xdotool key BackSpace
sleep 0.15
expect_no_message "after deleting the letter"
paste_into LabeledEdit3 " 4.5 "
expect_no_message "pasted number"
click Button1
click Button2
click Button3
expect_no_message "pass with 3 W"
sair
grep -q $'^Potencia Maxima Admissivel  : 3.00 Watts \r$' "$work/clipboard" || fail "3 W taken"
grep -q $'^Impedancia Nominal : 4.50 Ohms \r$' "$work/clipboard" || fail "4.5 ohm pasted"

if [ "$failures" -ne 0 ]; then
    echo "$failures end-to-end check(s) failed" >&2
    exit 1
fi
echo "all end-to-end checks passed"
