#!/usr/bin/env bash
# The installed Windows program as a user meets it, under wine in the session
# make windows-test opens: a silent install; the default pass with Tab and
# Return alone, "Sair", and the report read back by another Windows program
# after Quorvane has ended; a silent uninstall. (The window tests run under
# wine too, in a comma locale.)
# Usage: run_wine_e2e.sh SETUP_EXE CLIPBOARD_TEXT_EXE
set -euo pipefail
setup=$1 reader=$2 work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2 && exit 1; }
folder="$WINEPREFIX/drive_c/Program Files/Quorvane"
# What the install leaves: Start-menu entries, and registry lines naming it.
traces() {
    wine regedit /E "$work/registry" 'HKEY_LOCAL_MACHINE\Software'
    echo "$(find "$WINEPREFIX/drive_c" -iname 'Quorvane*.lnk' | wc -l) $(iconv -f UTF-16 "$work/registry" | grep -ci quorvane)"
}

wine "$setup" /S || fail "the installer failed"
[[ $(traces) == [1-9]\ [1-9]* ]] || fail "no Start-menu entry or uninstall record: $(traces)"

# Panel 1's Aceita, panel 2's, Calcula; Sair; Return to its message. Then
# the clipboard, once the program has ended. Wine's default locale, en-US:
# '.' decimals, M/d/yyyy, on the day the program starts.
export LC_ALL=C.UTF-8
before=$(date '+%-m/%-d/%Y')
wine "$folder/quorvane.exe" >"$work/app.log" 2>&1 &
app=$!
window() { timeout 60 xdotool search --sync --onlyvisible --name "$1" windowfocus --sync >/dev/null; }
window '^Quorvane V [0-9.]+$' || { cat "$work/app.log" >&2 && fail "no window"; }
after=$(date '+%-m/%-d/%Y')
# Queued in order: each handler moves the focus before the next key is read.
xdotool key Tab Tab Tab Tab Tab Tab Return Return Return Tab Tab Return
# Return as typed, to the focused window: wine 10 refuses keys sent to a window.
window '^Quorvane$' && xdotool key Return || fail "no message after Sair"
timeout 10 tail --pid="$app" -f /dev/null || fail "the program goes on after Sair"
wait "$app" || fail "exit code $? after Sair"
wine "$reader" >"$work/utf16" || fail "no text on the clipboard once Quorvane has ended"
iconv -f UTF-16LE -t UTF-8 "$work/utf16" >"$work/clipboard"
expected() { "$(dirname "$0")/../support/expected_report.sh" "$1"; }
cmp -s <(expected "$before") "$work/clipboard" || cmp <(expected "$after") "$work/clipboard" ||
    fail "the clipboard does not hold the report, CRLF line ends"

wine "$folder/Uninstall.exe" /S || fail "the uninstaller failed"
# It runs on from a copy of itself: its folder goes within ten seconds.
timeout 10 sh -c 'while [ -e "$1" ]; do sleep 0.1; done' gone "$folder" || fail "the uninstaller left $folder"
[ "$(traces)" = "0 0" ] || fail "the uninstaller left Start-menu entries and registry lines: $(traces)"
