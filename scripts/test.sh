#!/usr/bin/env bash
# Builds everything and runs every test, headless: on Qt 5 in build/, or with
# TVC_QT=6 on Qt 6 in build-qt6/. Arguments go to ctest.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/qt-version.sh"
"$root/scripts/setup.sh"

export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
