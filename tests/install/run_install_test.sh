#!/usr/bin/env bash
# Installs into a staging folder and builds the Debian package, and checks
# both with the tools a desktop and Debian judge them by.
# Usage: run_install_test.sh BUILD_DIR
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
share="$stage/usr/share"
[ -x "$stage/usr/bin/quorvane" ] || fail "the program is not installed"
for file in icons/hicolor/32x32/apps/quorvane.png icons/hicolor/scalable/apps/quorvane.svg \
    doc/quorvane/copyright doc/quorvane/changelog.gz man/man1/quorvane.1.gz; do
    [ -f "$share/$file" ] || fail "$file is not installed"
done
hints=$(desktop-file-validate "$share/applications/quorvane.desktop" 2>&1) || fail "the desktop entry is not valid"
[ -z "$hints" ] || fail "desktop-file-validate: $hints"
appstreamcli validate --no-net "$share/metainfo/org.quorvane.quorvane.metainfo.xml" >"$stage/appstream.log" 2>&1 ||
    fail "appstreamcli: $(cat "$stage/appstream.log")"

(cd "$build" && cpack -G DEB -B "$stage/package" >/dev/null 2>&1)
deb=$(ls "$stage"/package/quorvane_*.deb 2>/dev/null | head -n1)
if [ -z "$deb" ]; then
    fail "cpack made no Debian package"
else
    depends=$(dpkg-deb -f "$deb" Depends)
    for needed in libqt6widgets6 qt6-qpa-plugins fonts-liberation; do
        grep -q "$needed" <<<"$depends" || fail "the package does not depend on $needed: $depends"
    done
    lintian --no-cfg --allow-root --fail-on error,warning "$deb" >&2 || fail "lintian has errors or warnings"
fi

[ "$failures" -eq 0 ] || exit 1
echo "install and package checks passed"
