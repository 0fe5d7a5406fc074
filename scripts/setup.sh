#!/usr/bin/env bash
# Installs what the build needs (only what is missing) and builds everything
# into build/, or with TVC_QT=6 on Qt 6 into build-qt6/. Extra package names
# may be given as arguments.
#
#   scripts/setup.sh                 build dependencies, then build
#   scripts/setup.sh xvfb xdotool    the same, plus these packages
#   TVC_TARGETS="tvc tvc-sim" scripts/setup.sh
#                                    build only these targets (and what they need)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/qt-version.sh"

# The build's packages from Debian, and any named on the command line: Qt
# with lupdate and lrelease, which build the translations, and Qt's own
# translations (scripts/qt-version.sh); libzip
# reads firmware packages (found through pkg-config); cpp-httplib serves the
# devices' metrics (tvc-watch --metrics); zlib and zip write the tests'
# archives; tmux gives the tests a terminal of a chosen size; python3-markdown
# turns the user guide into the HTML that the package ships.
"$root/scripts/install-packages.sh" cmake g++ make pkg-config "${qt_packages[@]}" libzip-dev libcpp-httplib-dev zlib1g-dev \
    zip tmux python3-markdown "$@"

cmake -S "$root" -B "$build" -DTVC_QT_MAJOR="$qt_major" \
    -DCMAKE_BUILD_TYPE="${TVC_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
targets=()
for target in ${TVC_TARGETS:-}; do
    targets+=(--target "$target")
done
cmake --build "$build" -j "$(nproc)" "${targets[@]}"
