#!/usr/bin/env bash
# Builds everything and runs every test, headless.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

export QT_QPA_PLATFORM=offscreen
cd "${TVC_BUILD_DIR:-$root/build}"
ctest --output-on-failure -j "$(nproc)" "$@"
