#!/bin/sh
# The Debian package unpacked into a scratch root: the installed tools run
# from there, rumora-page without Qt until it measures a picture.
# Usage: package_test.sh BUILD_FOLDER WINDOW_PROBE VERSION
set -eu
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
cpack -G DEB -B "$root/deb" --config "$1/CPackConfig.cmake" >/dev/null
deb=$root/deb/rumora_$3_amd64.deb
dpkg-deb -I "$deb" | grep -q 'Depends:.*libqt6gui6'
dpkg -x "$deb" "$root"
bin=$root/usr/bin
icon=$root/usr/share/icons/hicolor/32x32/apps/org.rumora.Rumora.png
"$bin/rumora-page" --version | grep -qx "rumora-page $3"
grep -q "ver\.$3 " "$root/usr/share/rumora/help.html"
grep -q "release version=\"$3\"" "$root/usr/share/metainfo/org.rumora.Rumora.metainfo.xml"
zcat "$root/usr/share/man/man1/rumora-page.1.gz" | grep -q 'picture\\-size'
ldd "$bin/rumora-page" | grep Qt && exit 1
"$bin/rumora-page" --encoding utf-8 --layout standard1 --picture "$icon" >"$root/page.html"
grep -q 'width=32 height=32' "$root/page.html"
# The window looks for its help page from its own folder: the probe is the
# same window, placed where the installed one is.
cp "$2" "$bin/"
"$bin/${2##*/}" --startup | grep -qx "help-page $root/usr/share/rumora/help.html"
# Without the module a page still builds; measuring fails with a message.
find "$root/usr/lib" -name librumora-measure.so -delete
"$bin/rumora-page" >/dev/null
status=0
"$bin/rumora-page" --picture "$icon" >/dev/null 2>"$root/err" || status=$?
[ $status = 1 ] && grep -q 'measuring module is missing' "$root/err"
