#!/usr/bin/env bash
# Builds the program and runs it against the simulated device.
#
#   scripts/run.sh [-- simulator options]
#
# The simulator plays a device on a pseudo-terminal and the program is started
# with --port set to it. Type simulator commands (help, mute on, link 1, ...)
# into this terminal while the window is open; closing the window stops the
# simulator. Without a display, everything runs under Xvfb: the welcome box is
# answered, a screenshot of the window is saved once it shows the simulated
# device, and the script ends.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${TVC_BUILD_DIR:-$root/build}

sim_args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --) shift; sim_args+=("$@"); break ;;
        *) sim_args+=("$1"); shift ;;
    esac
done

headless=0
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    headless=1
fi

if [ $headless -eq 1 ]; then
    "$root/scripts/setup.sh" xvfb xdotool imagemagick
else
    "$root/scripts/setup.sh"
fi

work=$(mktemp -d)
sim_log="$build/tvc-sim.log"
: >"$sim_log"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The simulator reads operator commands from this terminal.
"$build/tools/sim/tvc-sim" --log "$sim_log" "${sim_args[@]}" >"$work/sim.out" <&0 &
pids+=($!)

port=""
for _ in $(seq 100); do
    port=$(head -n 1 "$work/sim.out" 2>/dev/null || true)
    [ -n "$port" ] && break
    sleep 0.1
done
if [ -z "$port" ]; then
    echo "The simulator did not start:" >&2
    cat "$sim_log" >&2 || true
    exit 1
fi
echo "Simulated device on $port; it logs every frame to $sim_log."

if [ $headless -eq 0 ]; then
    "$build/src/tvc" --port "$port" || true
    exit 0
fi

# No display: a virtual one.
# Xvfb picks a free display number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n 1 "$work/display")"
for _ in $(seq 100); do
    xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done

"$build/src/tvc" --port "$port" >"$work/tvc.log" 2>&1 &
tvc_pid=$!
pids+=($tvc_pid)

wait_for_window() {
    local name=$1 id=""
    for _ in $(seq 150); do
        id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$tvc_pid" 2>/dev/null || return 1
        sleep 0.2
    done
    return 1
}

welcome=$(wait_for_window "Welcome") || { echo "The welcome box did not appear." >&2; cat "$work/tvc.log" >&2; exit 1; }
xdotool windowactivate --sync "$welcome" 2>/dev/null || true
xdotool key --window "$welcome" Return

window=$(wait_for_window "Tavero Companion") || { echo "The main window did not appear." >&2; cat "$work/tvc.log" >&2; exit 1; }

# The window shows the device once the device information reply (42) has gone out.
for _ in $(seq 100); do
    grep -qE ' TX 8d( [0-9a-f]{2}){6} 2a ' "$sim_log" 2>/dev/null && break
    sleep 0.1
done
sleep 1

shot="$build/tvc-window.png"
import -window "$window" "$shot"
echo "Screenshot of the window: $shot"
echo "Frames the simulated device received and sent:"
grep -E ' (RX|TX) ' "$sim_log" | head -n 20 || true
