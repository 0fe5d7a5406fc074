#!/usr/bin/env bash
# Installs into a scratch folder and builds the Debian package, then checks
# what a desktop needs is where it looks and that the package depends on
# exactly libzip and Debian's Qt libraries of the major version it was built
# with (5 or 6): no other Qt, no outside program.
#
#   tests/packaging.sh BUILD-FOLDER QT-MAJOR
set -euo pipefail
build=$1
qt=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr >/dev/null
for f in usr/bin/tvc usr/bin/tvc-update usr/bin/tvc-sim usr/share/applications/tavero-companion.desktop \
         usr/share/icons/hicolor/256x256/apps/tavero-companion.png; do
    [ -e "$scratch/root/$f" ] || { echo "missing after install: $f"; exit 1; }
done
grep -q '^Exec=tvc$' "$scratch/root/usr/share/applications/tavero-companion.desktop"

(cd "$build" && cpack -G DEB -B "$scratch/deb" >/dev/null)
deb=$(ls "$scratch"/deb/*.deb)
fields=$(dpkg-deb -f "$deb" Package Version Depends)
echo "$fields"
echo "$fields" | grep -q '^Package: tavero-companion$'
echo "$fields" | grep -q '^Version: 1.5.0.0$'
if [ "$qt" = 5 ]; then
    wanted="libqt5core5a libqt5gui5 libqt5serialport5 libqt5widgets5 libzip4"
else
    wanted="libqt6core6 libqt6gui6 libqt6serialport6 libqt6widgets6 libzip4 qt6-qpa-plugins"
fi
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/(.*)//; s/ //g' | grep -v '^$' | LC_ALL=C sort | tr '\n' ' ')
if [ "$depends" != "$wanted " ]; then
    echo "depends on: $depends"
    echo "wanted:     $wanted"
    exit 1
fi
contents=$(dpkg-deb -c "$deb")
echo "$contents" | grep -q './usr/bin/tvc$'
echo "$contents" | grep -q './usr/bin/tvc-update$'
echo "$contents" | grep -q './usr/share/applications/tavero-companion.desktop$'
