#!/usr/bin/env bash
# Runs the program under Xvfb against the simulated device in each role, with
# no device, during a firmware update, with the Signal History of a wandering
# signal, with All Devices, with All Devices and the show log during a show,
# and the firmware dialog before, during and after an update, and saves a
# screenshot of each. The shots of
# the lamp states are also saved in grey-scale (grey/, and side by side in
# grey/lamps.png), where each state must still be told apart; two more show
# the window under a desktop with a dark colour scheme and under one with
# large text.
#
#   scripts/screenshots.sh [folder]      (default: build/screenshots)
#   TVC_QT=6 scripts/screenshots.sh      built with Qt 6 (default: build-qt6/screenshots)
#   scripts/screenshots.sh --docs        the same, then the pictures that the README
#                                        and docs/ show are replaced with the new shots
#
# Only the program and the simulator are built.
set -euo pipefail
docs=0
if [ "${1:-}" = --docs ]; then
    docs=1
    shift
fi
# The shots are in English, but for those in German and French below.
export LC_ALL=C.UTF-8
unset LANGUAGE

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/qt-version.sh"
out=$(realpath -m "${1:-$build/screenshots}")
TVC_TARGETS="tvc tvc-sim" "$root/scripts/setup.sh" xvfb xdotool imagemagick zip >/dev/null
mkdir -p "$out"

work=$(mktemp -d)
pids=()
stop_all() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    pids=()
}
trap 'stop_all; kill "${xvfb_pid:-}" 2>/dev/null || true; rm -rf "$work"' EXIT

source "$root/scripts/session.sh"
start_xvfb

click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

shot() {
    import -window "$1" "$out/$2.png"
    echo "  $out/$2.png"
}

echo "Screenshots:"
while read -r name options; do
    sim_log="$work/sim-$name.log"
    start_simulator --report-period 300 $options </dev/null
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
txu-client-muted-no-link --role txu-client --mute --link 1
rxu-client-repeater-mode --role rxu-client --repeater-mode --slot 3
rxu-client-weak-signal --role rxu-client --signal -60
repeater --role repeater
ROLES

# The Signal History of a wandering signal, half a minute of it; then All
# Devices.
sim_log="$work/sim-signal-history.log"
start_simulator --role rxu-client --repeater-mode --slot 3 --signal-walk --report-period 50 </dev/null
start_program --port "$port"
wait_for_device
open_signal_history
sleep 30
shot "$history" "signal-history"
# The main window's menu, no longer under the Signal History.
xdotool windowunmap "$history"
open_all_devices
sleep 1
shot "$overview" "all-devices"
stop_all

# The window, the Signal History and All Devices in English, German and French.
for lang in en_US de_DE fr_FR; do
    sim_log="$work/sim-$lang.log"
    start_simulator --role rxu-client --repeater-mode --slot 3 --signal-walk --report-period 50 </dev/null
    locale=$lang.UTF-8
    [ "$lang" = en_US ] && locale=C.UTF-8
    LC_ALL=$locale start_program --port "$port"
    wait_for_device
    open_signal_history
    sleep 5
    shot "$history" "signal-history-${lang%_*}"
    # The window, no longer under the Signal History.
    xdotool windowunmap "$history"
    sleep 1
    shot "$window" "window-${lang%_*}"
    open_all_devices
    sleep 1
    shot "$overview" "all-devices-${lang%_*}"
    stop_all
done

# All Devices during a show, in English, German and French: four named
# devices, one with a past link loss, one whose link is lost now, one whose
# running alarm was acknowledged, one without alarms; then the show log.
# Their names are in the user's settings file, keyed by port. The first
# device's mute is an event in the log.
for lang in en de_DE fr_FR; do
    config="$work/config-$lang"
    mkdir -p "$config/Tavero"
    fifo="$work/sim-commands-$lang"
    mkfifo "$fifo"
    exec 7<>"$fifo"
    sim_log="$work/sim-alarms-$lang.log"
    start_simulator --devices 4 --report-period 300 --device '2:--role rxu-client --slot 2' \
        --device '3:--role master --channel 44' --device '4:--role repeater --no-txu' <&7
    mapfile -t ports < <(head -n 4 "$work/sim.out")
    {
        echo "[device_names]"
        names=("Lead vocal" "Stage left" "Drums" "")
        for i in 0 1 2; do
            echo "$((i + 1))\\key=port:${ports[$i]}"
            echo "$((i + 1))\\name=${names[$i]}"
        done
        echo "size=3"
    } >"$config/Tavero/Tavero Companion.ini"
    program_lang=$lang suffix=-${lang%_*}
    [ "$lang" = en ] && program_lang=C suffix=""
    XDG_CONFIG_HOME=$config LC_ALL=$program_lang.UTF-8 start_program \
        --port "${ports[0]}" --port "${ports[1]}" --port "${ports[2]}" --port "${ports[3]}"
    wait_for_device
    open_all_devices
    sleep 1
    # A past link loss of 1.2 s on the first device; the third loses its
    # link, and its alarm is acknowledged (the third row, then Acknowledge);
    # the second loses its link now.
    echo "1 link 1" >&7
    sleep 1.2
    echo "1 link 2" >&7
    echo "3 link 1" >&7
    sleep 1
    click "$overview" 60 126   # the third row

    sleep 0.3
    xdotool key --window "$overview" Tab Tab Tab space
    sleep 0.5
    echo "2 link 1" >&7
    echo "1 mute on" >&7
    sleep 1.5
    shot "$overview" "alarms-all-devices${suffix}"
    xdotool windowunmap "$overview"
    open_show_log
    sleep 1
    shot "$show_log" "show-log${suffix}"
    stop_all
    exec 7>&-
done

# No device: a port that is not there is not searched for, so search the system.
start_program
sleep 1
shot "$window" "no-device"
stop_all

# The lamps in grey-scale: unlit (no device), ticked (linked, +48V on), a
# ring (weak signal), crossed (no link, muted).
mkdir -p "$out/grey"
greys=()
for name in no-device txu-client rxu-client-weak-signal txu-client-muted-no-link; do
    convert "$out/$name.png" -colorspace Gray "$out/grey/$name.png"
    greys+=("$out/grey/$name.png")
done
convert "${greys[@]}" -bordercolor white -border 8 +append "$out/grey/lamps.png"
echo "  $out/grey/lamps.png (and each state in $out/grey/)"

# A desktop theme as a KDE desktop gives it (Qt reads it from kdeglobals):
# a colour scheme and a font.
desktop_theme() {
    local dir=$work/theme-$1 font=$2 scheme=$3
    mkdir -p "$dir"
    printf '[General]\nfont=%s\nwidgetStyle=Fusion\n' "$font" >"$dir/kdeglobals"
    if [ "$scheme" = dark ]; then
        cat >>"$dir/kdeglobals" <<'DARK'
[Colors:Button]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
[Colors:Selection]
BackgroundNormal=61,174,233
ForegroundNormal=252,252,252
[Colors:Tooltip]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
[Colors:View]
BackgroundNormal=35,38,41
ForegroundNormal=239,240,241
BackgroundAlternate=49,54,59
[Colors:Window]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
DARK
    fi
    echo "$dir"
}

# A dark colour scheme at the usual text size (the Signal Strength box is
# where it always is), and large text with the usual colours.
sim_log="$work/sim-dark.log"
start_simulator --report-period 300 --role rxu-client --repeater-mode --slot 3 </dev/null
XDG_CONFIG_HOME=$(desktop_theme dark "Sans Serif,9,-1,5,50,0,0,0,0,0" dark) XDG_CURRENT_DESKTOP=KDE \
    KDE_SESSION_VERSION=5 start_program --port "$port"
wait_for_device
click "$window" 44 381   # Signal Strength
sleep 1.5
shot "$window" "dark-palette"
stop_all
sim_log="$work/sim-large.log"
start_simulator --role master --channel 44 --phantom --input 0x8a </dev/null
XDG_CONFIG_HOME=$(desktop_theme large "Sans Serif,15,-1,5,50,0,0,0,0,0" light) XDG_CURRENT_DESKTOP=KDE \
    KDE_SESSION_VERSION=5 start_program --port "$port"
wait_for_device
shot "$window" "large-text"
stop_all

# The firmware dialog at its default size before Start, half way through an
# update, and after each way an update ends (complete, refused, stopped by the
# user, cable pulled), in English, German and French.
for lang in en de fr; do
    "$build/tests/firmware_dialog_shots" "$out" "$lang" 2>/dev/null
done
kill "$xvfb_pid" 2>/dev/null || true

# The pictures of the README and the pages in docs/ (resources/screenshots/,
# which the package installs with the pages), under the names they show.
if [ $docs -eq 1 ]; then
    pictures=$root/resources/screenshots
    cp "$out/txu-client.png" "$pictures/window.png"
    cp "$out/all-devices.png" "$out/signal-history.png" "$pictures/"
    cp "$out/firmware-during-en.png" "$pictures/firmware-update.png"
    cp "$out/grey/lamps.png" "$pictures/lamps-grey.png"
    echo "The documentation's pictures in $pictures/ are new."
fi
