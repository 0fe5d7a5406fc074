#!/usr/bin/env bash
# Builds everything and runs every test, headless: on Qt 5 in build/, or with
# TVC_QT=6 on Qt 6 in build-qt6/. Arguments go to ctest.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/qt-version.sh"
# The accessibility events test runs on a virtual display with an
# accessibility bus of its own (tests/with-accessibility.sh). The packaging
# test builds the Debian package (with dpkg-shlibdeps from dpkg-dev, and file)
# and checks it with lintian, appstreamcli, desktop-file-validate and groff.
# The Signal History's test sets the wall clock back under faketime. A
# Prometheus server (with promtool) scrapes tvc-watch's metrics (curl and python3
# read its answers).
"$root/scripts/setup.sh" xvfb dbus-daemon dbus-bin at-spi2-core \
    dpkg-dev file lintian appstream desktop-file-utils groff-base faketime prometheus curl python3

export QT_QPA_PLATFORM=offscreen
cd "$build"
# Most tests wait on the simulated devices far more than they compute, so
# twice as many run at once as there are cores.
ctest --output-on-failure -j "$(( $(nproc) * 2 ))" "$@"
