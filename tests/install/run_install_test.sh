#!/usr/bin/env bash
# Installs into a staging folder and builds the Debian package, and checks
# both with the tools a desktop and Debian judge them by; the first failure
# ends the test with its tool's complaint.
# Usage: run_install_test.sh BUILD_DIR
set -euo pipefail
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$1" --prefix /usr >/dev/null
share=$stage/usr/share
ls "$stage/usr/bin/quorvane" "$share/icons/hicolor/32x32/apps/quorvane.png" "$share/icons/hicolor/scalable/apps/quorvane.svg" >/dev/null
hints=$(desktop-file-validate "$share/applications/quorvane.desktop" 2>&1) && [ -z "$hints" ] || { echo "FAIL: desktop-file-validate: $hints" >&2 && exit 1; }
appstreamcli validate --no-net "$share/metainfo/org.quorvane.quorvane.metainfo.xml"
(cd "$1" && cpack -G DEB -B "$stage/package" >/dev/null 2>&1)
deb=$(echo "$stage"/package/quorvane_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 qt6-wayland fonts-liberation; do grep -q "$needed" <<<"$depends" || { echo "FAIL: no dependency on $needed" >&2 && exit 1; }; done
# lintian checks the copyright file, the changelog, the manual page and the stripped binary.
lintian --no-cfg --allow-root --fail-on error,warning "$deb"
echo "install and package checks passed"
