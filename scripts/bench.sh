#!/usr/bin/env bash
# Builds the program and runs every benchmark; each prints its figures.
#
#   scripts/bench.sh            all benchmarks
#   scripts/bench.sh quick      smaller sizes, for a first look
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/qt-version.sh"
# Xvfb and xdotool: the link history's benchmark paints on a virtual display;
# curl, bc and python3: the watch's benchmark scrapes it and counts.
"$root/scripts/setup.sh" xvfb xdotool curl bc python3
cmake --build "$build" -j "$(nproc)" --target benchmarks
bench="$build/bench"
export QT_QPA_PLATFORM=offscreen

paced=100000 large=6553600 decode=200000 lines=100000 runs=10 faults=20000 fleet=1,2,4,8,16 bursts=3 picks=10 seconds=30
campaign=500 window_campaign=200 shows=100 watch_seconds=3600
if [ "${1:-}" = quick ]; then
    paced=20000 large=1000000 decode=20000 lines=10000 runs=3 faults=2000 fleet=1,2,4 bursts=1 picks=3 seconds=5
    campaign=40 window_campaign=20 shows=3 watch_seconds=30
fi

echo "== Machine"
echo "  $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(free -g | awk '/Mem:/ {print $2}') GiB"
echo "  $(. /etc/os-release && echo "$PRETTY_NAME"), Qt $(dpkg-query -W -f='${Version}' "$qt_core_package")"
echo "  load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
quiet() { "$@" 2>/dev/null; }
echo "== 1. Firmware transfer against tvc-sim on a pseudo-terminal: the dialog and tvc-update"
quiet "$bench/bench_transfer" "$paced" "$large"
echo
work=$(mktemp -d)
source "$root/scripts/session.sh"
start_xvfb
trap 'kill "$xvfb_pid" 2>/dev/null || true; rm -rf "$work"' EXIT
echo "   ... and the largest image unpaced again, the window on a virtual display (Xvfb)"
QT_QPA_PLATFORM=xcb quiet "$bench/bench_transfer" 0 "$large"
echo
echo "== 2. Reply decoding through the serial port"
quiet "$bench/bench_decode" "$decode"
echo
echo "== 3. Sniffer log"
quiet "$bench/bench_sniffer" "$lines"
echo
echo "== 4. Start-up"
quiet "$bench/bench_startup" "$runs"
echo
echo "== 5. Reception under line faults"
quiet "$bench/bench_reception" "$faults"
echo
echo "== 6. tvc-update over several devices at once, against tvc-sim --devices N --wire-speed"
quiet "$bench/bench_fleet" "$paced" "$fleet"
echo
echo "== 7. Firmware transfer with a damaged acknowledgement, the simulator answering at once and at wire speed"
quiet "$bench/bench_transfer_faults" "$bursts"
echo
quiet "$bench/bench_transfer_faults" 1 paced
echo
echo "== 8. Picking a firmware package: read and checked until Start is enabled"
quiet "$bench/bench_package" "$picks"
echo
echo "== 9. Link history: a day of recording, and the program at a signal report every 10 ms (Xvfb)"
QT_QPA_PLATFORM=xcb quiet "$bench/bench_history" "$seconds"
echo
echo "== 10. A random fault campaign: seeded updates through tvc-update against tvc-sim under random faults"
"$bench/bench_campaign" --runs "$campaign" --parallel 6 2>/dev/null
echo
echo "   ... and through the window: updates through the firmware dialog, and the main window's status replies"
"$bench/bench_window_campaign" --dialog-runs "$window_campaign" --window-runs "$window_campaign" --parallel 4 2>/dev/null
echo
echo "== 11. All Devices: many simulated devices reporting every 10 ms (Xvfb)"
QT_QPA_PLATFORM=xcb quiet "$bench/bench_overview" "$seconds" 16 100
echo
echo "== 12. The show campaign: simulated hours of a show, their alarms judged; in real time; what the watch costs"
quiet "$bench/bench_show" --seeds "$shows"
quiet "$bench/bench_show" --live "$seconds" --devices 4
quiet "$bench/bench_show" --cost
echo
echo "== 14. tvc-watch --follow --json --metrics: sixteen devices reporting every 10 ms, scraped every second"
"$root/bench/watch.sh" "$build/src/tvc-watch" "$build/tools/sim/tvc-sim" "$watch_seconds"
