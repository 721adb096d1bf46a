#!/usr/bin/env bash
# What only a real desktop shows: real keys, the clipboard after the window is
# gone, the exit code. Runs itself on a private Xvfb (no window manager, no
# clipboard manager) and drives the built program with xdotool and xclip.
# Usage: run_e2e.sh PATH_TO_QUORVANE
set -euo pipefail
if [ -z "${QUORVANE_E2E_INSIDE:-}" ]; then
    exec env QUORVANE_E2E_INSIDE=1 xvfb-run -a -s '-screen 0 1024x768x24 -nolisten tcp' "$0" "$@"
fi
program=$1 work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8 XDG_RUNTIME_DIR=$work  # '.' decimals, Qt's "d MMM yyyy" short date
unset QT_QPA_PLATFORM
fail() { echo "FAIL: $*" >&2 && exit 1; }
window() { timeout 10 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n1; }
# Runs the command until it succeeds, for at most $1 seconds.
within() {
    local end=$((SECONDS + $1))
    until "${@:2}"; do ((SECONDS < end)) || return 1 && sleep 0.1; done
}
no_window() { [ -z "$(xdotool search --onlyvisible --name Quorvane)" ]; }

# The title's date is the one the program starts on, which a run across
# midnight leaves on either side of the launch.
before=$(date '+%-d %b %Y')
"$program" >"$work/app.log" 2>&1 &
app=$!
xdotool windowfocus --sync "$(window '^Quorvane V [0-9.]+$')" || { cat "$work/app.log" >&2 && exit 1; }
after=$(date '+%-d %b %Y')
# Aceita, Aceita, Calcula; Sair. Queued in order: each handler moves the focus before the next key is read.
xdotool key Tab Tab Tab Tab Tab Tab Return Return Return Tab Tab Return
xdotool windowfocus --sync "$(window '^Quorvane$')" key Return || fail "no message after Sair"
within 10 no_window || fail "a window is still shown after Sair"
kill -0 "$app" || fail "the program ended with no clipboard manager to take the report"
xclip -selection clipboard -o >"$work/clipboard" || fail "the clipboard is empty"
cmp -s <("$(dirname "$0")/../support/expected_report.sh" "$before") "$work/clipboard" ||
    cmp <("$(dirname "$0")/../support/expected_report.sh" "$after") "$work/clipboard" ||
    fail "the clipboard does not hold the report"
echo other | xclip -selection clipboard -i 2>/dev/null
timeout 10 tail --pid="$app" -f /dev/null || fail "the program goes on after another took the clipboard"
wait "$app" || fail "exit code $? once another took the clipboard"
