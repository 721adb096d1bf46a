#!/bin/sh
# Runs the Windows build's tests (ctest) under wine, in a wine prefix of the
# build folder and on a private X server. One wine session serves the whole
# run, as one Windows login keeps its clipboard from program to program.
# Usage: windows-test.sh WINDOWS_BUILD_DIR
set -eu
if [ -z "${QUORVANE_WINE_INSIDE:-}" ]; then
    exec env QUORVANE_WINE_INSIDE=1 xvfb-run -a -s '-screen 0 1024x768x24 -nolisten tcp' "$0" "$@"
fi
build=$(cd "$1" && pwd)
# No Mono or Gecko prompts while the prefix is made, no menu entries on
# this desktop for what is installed there; Qt programs on Windows'
# own platform, whatever the caller's Qt settings say.
export WINEPREFIX="$build/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" QT_QPA_PLATFORM=windows
trap 'wineserver -k 2>/dev/null || true' EXIT
mkdir -p "$WINEPREFIX"
# Wine takes a program's Windows locale from the C library's locale, which
# LC_ALL names; the window tests' comma locale is compiled here so that the
# C library has it, as a fresh machine has only C.UTF-8 (kept too).
locales="$build/locale"
rm -rf "$locales" && mkdir -p "$locales" && { cp -r /usr/lib/locale/C.utf8 "$locales/" 2>/dev/null || true; }
localedef -c -i pt_BR -f UTF-8 "$locales/pt_BR.UTF-8" || true
[ -f "$locales/pt_BR.UTF-8/LC_CTYPE" ] || { echo "localedef could not make pt_BR.UTF-8 (locales)" >&2 && exit 1; }
export LOCPATH="$locales"
wineserver -p
wine wineboot --init >"$build/wineboot.log" 2>&1 || { cat "$build/wineboot.log" >&2 && exit 1; }
# A program that lasts the whole run, as a login's shell does: when the last
# program on its desktop ends, wine closes the desktop and the clipboard
# with it. A command prompt that waits on a pipe no one writes to; then the
# desktop itself, started here, where it holds no test's output open.
rm -f "$build/session" && mkfifo "$build/session"
exec 3<>"$build/session"
wine cmd.exe <&3 >/dev/null 2>&1 &
wine rundll32.exe user32.dll,GetDesktopWindow >/dev/null 2>&1
ctest --test-dir "$build" --output-on-failure --no-tests=error
