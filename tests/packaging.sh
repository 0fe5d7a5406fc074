#!/usr/bin/env bash
# Installs into a scratch folder and builds the Debian package, then checks
# what a desktop needs is where it looks and that the package depends on
# Debian's Qt 5 and unzip.
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr >/dev/null
for f in usr/bin/tvc usr/bin/tvc-sim usr/share/applications/tavero-companion.desktop \
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
for dep in libqt5widgets5 libqt5serialport5 unzip; do
    echo "$fields" | grep -q "$dep" || { echo "no dependency on $dep"; exit 1; }
done
contents=$(dpkg-deb -c "$deb")
echo "$contents" | grep -q './usr/bin/tvc$'
echo "$contents" | grep -q './usr/share/applications/tavero-companion.desktop$'
