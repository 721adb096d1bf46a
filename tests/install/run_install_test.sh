#!/usr/bin/env bash
# Installs into a staging folder and checks what a desktop needs; then builds
# the Debian package and checks its dependencies.
# Usage: run_install_test.sh BUILD_DIR
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
for file in usr/bin/quorvane usr/share/applications/quorvane.desktop \
    usr/share/icons/hicolor/32x32/apps/quorvane.png usr/share/icons/hicolor/scalable/apps/quorvane.svg; do
    [ -f "$stage/$file" ] || fail "$file is not installed"
done
[ -x "$stage/usr/bin/quorvane" ] || fail "the program is not executable"
desktop-file-validate "$stage/usr/share/applications/quorvane.desktop" || fail "the .desktop entry is not valid"
grep -q '^Categories=.*Audio;.*Utility;' "$stage/usr/share/applications/quorvane.desktop" || fail "categories"
file "$stage/usr/share/icons/hicolor/32x32/apps/quorvane.png" | grep -q '32 x 32' || fail "the icon is not 32 x 32"

(cd "$build" && cpack -G DEB -B "$stage/package" >/dev/null)
deb=$(ls "$stage"/package/quorvane_*.deb 2>/dev/null | head -n1)
if [ -z "$deb" ]; then
    fail "cpack made no Debian package"
else
    depends=$(dpkg-deb -f "$deb" Depends)
    for needed in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins fonts-liberation; do
        grep -q "$needed" <<<"$depends" || fail "the package does not depend on $needed: $depends"
    done
    contents=$(dpkg-deb -c "$deb")
    grep -q './usr/bin/quorvane$' <<<"$contents" || fail "the package lacks the program"
fi

[ "$failures" -eq 0 ] || exit 1
echo "install and package checks passed"
