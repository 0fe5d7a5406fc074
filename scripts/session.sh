# Shared by run.sh and screenshots.sh (sourced, not run): the simulator, a
# virtual display, and the program driven with xdotool. The caller sets $build
# and $work and keeps the background processes' ids in the array $pids.

# Starts the simulator with the given options, reading operator commands from
# this shell's standard input; sets $port (empty when it did not start). Its
# frames are logged to $sim_log. What it prints goes to $work/sim.out; with
# $sim_answers set to "show", its answers to the commands (all it prints
# after the port's path) go to this shell's standard output too, where the
# user who types them sees them.
start_simulator() {
    if [ "${sim_answers:-}" = show ]; then
        "$build/tools/sim/tvc-sim" --log "$sim_log" "$@" > >(tee "$work/sim.out" | sed -u 1d) <&0 &
    else
        "$build/tools/sim/tvc-sim" --log "$sim_log" "$@" >"$work/sim.out" <&0 &
    fi
    pids+=($!)
    port=""
    for _ in $(seq 100); do
        port=$(head -n 1 "$work/sim.out" 2>/dev/null || true)
        [ -n "$port" ] && break
        sleep 0.1
    done
}

# Starts Xvfb on a free display (it writes the number to fd 3) and sets
# $DISPLAY and $xvfb_pid. -noreset: the server must not restart whenever its
# last client leaves. -dpi 96: with no desktop to say the resolution, Qt 5
# takes it from the screen's size in millimetres and Qt 6 takes 96; the same
# figure for both draws the same text.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n 1 "$work/display")"
    for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
}

# The visible window of the running program with this title.
# The titles of the welcome box and of the Signal History in each of the
# program's languages: the program speaks the desktop's.
WELCOME_TITLES='Welcome|Willkommen|Bienvenue'
HISTORY_TITLES='Signal History|Signalverlauf|Historique du signal'
# (xdotool matches a title's bytes: "." alone would not stand for "ä".)
ALL_DEVICES_TITLES='All Devices.*|Alle Ger.*te.*|Tous les appareils.*'
SHOW_LOG_TITLES='Show Log|Show-Protokoll|Journal du spectacle'

# The first visible window of the program titled with one of the names
# separated by |, if there is one.
titled() {
    local names title id
    IFS='|' read -r -a names <<<"$1"
    for title in "${names[@]}"; do
        id=$(xdotool search --all --onlyvisible --pid "$program_pid" --name "^$title\$" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
    done
    return 1
}

window_named() {
    local name=$1 id=""
    for _ in $(seq 150); do
        id=$(titled "$name" || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.2
    done
    echo "no window named '$name'; the program said:" >&2
    cat "$work/tvc.log" >&2
    return 1
}

# Starts tvc with the given options and answers the welcome box; sets $window
# and $program_pid.
start_program() {
    "$build/src/tvc" "$@" >"$work/tvc.log" 2>&1 &
    program_pid=$!
    pids+=($program_pid)
    # Answer the welcome box until the main window shows.
    local welcome
    for _ in $(seq 150); do
        xdotool search --all --onlyvisible --pid "$program_pid" --name '^Tavero Companion$' >/dev/null 2>&1 && break
        welcome=$(titled "$WELCOME_TITLES" || true)
        [ -n "$welcome" ] && xdotool key --window "$welcome" Return 2>/dev/null || true
        sleep 0.2
    done
    window=$(window_named "Tavero Companion")
    # The box closes as Return goes down, before xdotool lets the key up
    # again; the display would then repeat Return into the window for good.
    xdotool keyup Return 2>/dev/null || true
    xdotool windowmove "$window" 0 0
}

# Waits until the device information reply (42) has gone out, and a moment
# more for the window to show it.
wait_for_device() {
    for _ in $(seq 100); do
        grep -qE ' TX 8d( [0-9a-f]{2}){6} 2a ' "$sim_log" 2>/dev/null && break
        sleep 0.1
    done
    sleep 1
}

# Ticks Signal Strength in the main window $window (a device that reports its
# signal must be attached) and opens Options, Signal History; sets $history to
# that window, moved to the top left corner.
open_signal_history() {
    # The pointer comes from elsewhere (a window that appears under a still
    # pointer may miss its first click), and has moved before the click
    # (--sync), which must not land on whatever was under it before. The tick
    # has taken when the device received report mode 1.
    for _ in $(seq 5); do
        xdotool mousemove --sync 700 700
        xdotool mousemove --sync --window "$window" 44 381 click 1   # Signal Strength
        sleep 0.5
        grep -q ' RX 8d 06 00 02 00 00 00 77 01 ' "$sim_log" && break
    done
    # Up four times: its entry before All Devices, Show Log and Show
    # Settings, whether the first one was taken or none (below them only a
    # separator and the service-mode entries).
    history=$(open_from_options "Up Up Up Up" "$HISTORY_TITLES")
    xdotool windowmove "$history" 0 0
}

# Opens Options, All Devices (its third entry from the end) in the main
# window $window; sets $overview to that window, moved to the top left corner.
open_all_devices() {
    overview=$(open_from_options "Up Up Up" "$ALL_DEVICES_TITLES")
    xdotool windowmove "$overview" 0 0
}

# Opens Options, Show Log (its entry before the last) in the main window
# $window; sets $show_log to that window, moved to the top left corner.
open_show_log() {
    show_log=$(open_from_options "Up Up" "$SHOW_LOG_TITLES")
    xdotool windowmove "$show_log" 0 0
}

# Opens the entry of the main window's Options menu that the keys $1 reach
# from its top, until a window titled with one of the names $2 (separated
# by |) shows; prints that window.
open_from_options() {
    for _ in $(seq 10); do
        xdotool mousemove --sync --window "$window" 35 10 click 1   # Options
        sleep 0.5
        xdotool key $1 Return
        sleep 0.5
        titled "$2" >/dev/null && break
        xdotool key Escape
    done
    window_named "$2"
}
