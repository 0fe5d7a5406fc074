#!/usr/bin/env bash
# Runs the program under Xvfb against the simulated device in each role, with
# no device, and during a firmware update, and saves a screenshot of each.
#
#   scripts/screenshots.sh [folder]      (default: build/screenshots)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${TVC_BUILD_DIR:-$root/build}
out=$(realpath -m "${1:-$build/screenshots}")
"$root/scripts/setup.sh" xvfb xdotool imagemagick zip >/dev/null
mkdir -p "$out"

work=$(mktemp -d)
pids=()
stop_all() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    pids=()
}
trap 'stop_all; kill "${xvfb_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

# Xvfb picks a free display number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# The visible window of the running program with this title.
window_named() {
    local name=$1 id=""
    for _ in $(seq 150); do
        id=$(xdotool search --all --onlyvisible --pid "$program_pid" --name "^$name\$" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    echo "no window named '$name'; the program said:" >&2
    cat "$work/tvc.log" >&2
    kill -0 "$xvfb_pid" 2>/dev/null && echo "(Xvfb runs)" >&2 || { echo "(Xvfb ended:)" >&2; cat "$work/xvfb.log" >&2; }
    return 1
}

# Starts the simulator with the given options; sets $port and $sim_log.
start_simulator() {
    sim_log="$work/sim-$RANDOM.log"
    "$build/tools/sim/tvc-sim" --log "$sim_log" "$@" >"$work/sim.out" </dev/null &
    pids+=($!)
    port=""
    for _ in $(seq 100); do
        port=$(head -n 1 "$work/sim.out" 2>/dev/null || true)
        [ -n "$port" ] && break
        sleep 0.1
    done
}

# Starts tvc with the given options and answers the welcome box; sets $window.
start_program() {
    "$build/src/tvc" "$@" >"$work/tvc.log" 2>&1 &
    program_pid=$!
    pids+=($program_pid)
    # Answer the welcome box until the main window shows.
    local welcome
    for _ in $(seq 150); do
        xdotool search --all --onlyvisible --pid "$program_pid" --name '^Tavero Companion$' >/dev/null 2>&1 && break
        welcome=$(xdotool search --all --onlyvisible --pid "$program_pid" --name '^Welcome$' 2>/dev/null | head -n 1 || true)
        [ -n "$welcome" ] && xdotool key --window "$welcome" Return 2>/dev/null || true
        sleep 0.2
    done
    window=$(window_named "Tavero Companion")
    xdotool windowmove "$window" 0 0
}

wait_for_device() {
    for _ in $(seq 100); do
        grep -qE ' TX 8d( [0-9a-f]{2}){6} 2a ' "$sim_log" 2>/dev/null && break
        sleep 0.1
    done
    sleep 1
}

click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

shot() {
    import -window "$1" "$out/$2.png"
    echo "  $out/$2.png"
}

echo "Screenshots:"
while read -r name options; do
    start_simulator --report-period 300 $options
    start_program --port "$port"
    wait_for_device
    if [[ "$name" == rxu-* ]]; then
        click "$window" 44 381   # Signal Strength
        sleep 1.5
    fi
    shot "$window" "$name"
    stop_all
done <<'ROLES'
master --role master --channel 44
txu-client --role txu-client --phantom --input 0x8a
rxu-client-repeater-mode --role rxu-client --repeater-mode --slot 3
repeater --role repeater
ROLES

# No device: a port that is not there is not searched for, so search the system.
start_program
sleep 1
shot "$window" "no-device"
stop_all

# A firmware update, half way through: the device acknowledges slowly.
pkg="$work/package"
mkdir -p "$pkg"
printf 'PACKAGE:Screenshot package\nWLAN:1660\nTXU:3.12\nRXU:3.12\n' >"$pkg/fw.txt"
head -c 40000 /dev/urandom >"$pkg/wlan.bin"
head -c 20000 /dev/urandom >"$pkg/txu.ldr"
head -c 20000 /dev/urandom >"$pkg/rxu.ldr"
(cd "$pkg" && zip -q "$work/firmware.zip" fw.txt wlan.bin txu.ldr rxu.ldr)
start_simulator --role txu-client --ack-delay 25
start_program --port "$port"
wait_for_device
# Options, then its third entry, Firmware Update.
for _ in $(seq 10); do
    click "$window" 35 10
    sleep 0.5
    xdotool key Down Down Down Return
    sleep 0.5
    xdotool search --all --onlyvisible --pid "$program_pid" --name '^Firmware Update$' >/dev/null 2>&1 && break
    xdotool key Escape
done
dialog=$(window_named "Firmware Update")
xdotool windowmove "$dialog" 0 0
sleep 0.5
geometry=$(xdotool getwindowgeometry "$dialog" | awk '/Geometry/ {print $2}')
click "$dialog" $(( ${geometry%x*} - 24 )) 24      # "..."
files=$(window_named "Open Firmware Package")
sleep 0.5
xdotool type --window "$files" --delay 5 "$work/firmware.zip"
xdotool key --window "$files" Return
sleep 1
click "$dialog" $(( ${geometry%x*} / 2 )) 58       # Start Firmware Update
sleep 4
shot "$dialog" "firmware-update"
stop_all
kill "$xvfb_pid" 2>/dev/null || true
