#!/usr/bin/env bash
# Builds the program and the simulator (nothing else) and runs the program
# against the simulated device.
#
#   scripts/run.sh [-- simulator options]
#   TVC_QT=6 scripts/run.sh         the same, built with Qt 6
#
# The simulator plays a device on a pseudo-terminal and the program is started
# with --port set to a symlink that follows the terminal, so that the program
# finds the device again after "unplug" and "plug" (or "replug"). Type
# simulator commands (help, mute on, link 1, ...) into this terminal while the
# window is open, and the simulator answers here (its log of every frame goes
# to build/tvc-sim.log); closing the window stops the simulator. The device's signal
# wanders (--signal-walk); without options it is an RXU client in repeater
# mode, whose signal the window shows: tick Signal Strength and open Options,
# Signal History. Its versions (WLAN 1650, DSP 4.5) are those that a package
# made from the user guide's example manifest (docs/user-guide.md) fits. Without a display, everything
# runs under Xvfb: the welcome box is answered, a screenshot of the window is
# saved once it shows the simulated device, then one of the Signal History
# window after a while, and the script ends.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/qt-version.sh"

sim_args=()
while [ $# -gt 0 ]; do
    case "$1" in
        --) shift; sim_args+=("$@"); break ;;
        *) sim_args+=("$1"); shift ;;
    esac
done
if [ ${#sim_args[@]} -eq 0 ]; then
    sim_args=(--role rxu-client --repeater-mode --slot 3 --dsp-version 4.5)
fi
sim_args=(--signal-walk "${sim_args[@]}")

headless=0
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    headless=1
fi

# Only what runs here: the program and the simulator, with what they need
# (their libraries, the translations, the user guide the window opens).
export TVC_TARGETS="tvc tvc-sim"
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

source "$root/scripts/session.sh"
# The simulator reads operator commands from this terminal and answers them
# here; its log of frames goes to $sim_log.
link="$work/tavero"
sim_answers=show
start_simulator --link-path "$link" "${sim_args[@]}"
if [ -z "$port" ]; then
    echo "The simulator did not start:" >&2
    cat "$sim_log" >&2 || true
    exit 1
fi
echo "Simulated device on $port (linked as $link); it logs every frame to $sim_log."
echo "This terminal now takes the simulated device's commands (mute on, link 1, unplug, ...); type help to list them."

if [ $headless -eq 0 ]; then
    "$build/src/tvc" --port "$link" || true
    exit 0
fi

# No display: a virtual one.
start_xvfb
pids+=("$xvfb_pid")
start_program --port "$link"
wait_for_device

shot="$build/tvc-window.png"
import -window "$window" "$shot"
echo "Screenshot of the window: $shot"
# A while of the signal (a TXU shows none: its window has no signal reports).
open_signal_history
sleep 20
history_shot="$build/tvc-signal-history.png"
import -window "$history" "$history_shot"
echo "Screenshot of the Signal History window after 20 s: $history_shot"
echo "Frames the simulated device received and sent:"
grep -E ' (RX|TX) ' "$sim_log" | head -n 20 || true
