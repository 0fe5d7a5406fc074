#!/usr/bin/env bash
# Installs what the build needs (only what is missing) and builds everything
# into build/. Extra package names may be given as arguments.
#
#   scripts/setup.sh                 build dependencies, then build
#   scripts/setup.sh xvfb xdotool    the same, plus these packages
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${TVC_BUILD_DIR:-$root/build}

packages=(cmake g++ make qtbase5-dev libqt5serialport5-dev unzip zip "$@")

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE="${TVC_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
