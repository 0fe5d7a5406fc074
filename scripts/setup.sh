#!/usr/bin/env bash
# Installs what the build needs (only what is missing) and builds everything
# into build/. Extra package names may be given as arguments.
#
#   scripts/setup.sh                 build dependencies, then build
#   scripts/setup.sh xvfb xdotool    the same, plus these packages
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${TVC_BUILD_DIR:-$root/build}

# The build's packages from Debian, and any named on the command line.
"$root/scripts/install-packages.sh" cmake g++ make qtbase5-dev libqt5serialport5-dev unzip zip "$@"

cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE="${TVC_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
